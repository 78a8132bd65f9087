// ReadSetting and WriteSetting: one locked access to user.reg each.
#include "core/settings/settingsstore.h"

#include "core/settings/atomicfile.h"
#include "core/settings/registryfile.h"
#include "core/text/ansi.h"
#include "core/text/error.h"

#include <cstdlib>

#include <pwd.h>
#include <unistd.h>

namespace umbrill {
namespace {

namespace fs = std::filesystem;

fs::path homeFolder()
{
    if (const char *home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd *entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

std::string keyPathOf(std::string_view section)
{
    std::string path(kSettingsRootKey);
    if (!section.empty())
        path += "\\" + std::string(section);
    return path;
}

// A fresh profile: the file with the header and the empty root key, as opening
// the root key with create access makes it. Failing that is not an error. The
// folder is made by the caller: that of the link, never that of its target.
void createFreshFile(const fs::path &file)
{
    const FileLock lock = FileLock::acquire(file, LockMode::Exclusive);
    if (!lock.held() || !canReplaceFile(file))
        return;
    const FileContents contents = readWholeFile(file);
    if (contents.status == FileContents::Status::Read && !contents.bytes.empty())
        return; // another process came first
    if (contents.status == FileContents::Status::Unreadable)
        return;
    static_cast<void>(replaceFileAtomically(file, RegistryFile::fresh().toBytes()));
}

bool isFresh(const FileContents &contents)
{
    return contents.status == FileContents::Status::Missing
           || (contents.status == FileContents::Status::Read && contents.bytes.empty());
}

FileContents readLocked(const fs::path &file)
{
    const FileLock lock = FileLock::acquire(file, LockMode::Shared); // reads go on without it
    return readWholeFile(file);
}

} // namespace

fs::path settingsFilePath()
{
    fs::path base;
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the base-directory rules say.
    if (const char *config = std::getenv("XDG_CONFIG_HOME"); config && *config && fs::path(config).is_absolute())
        base = config;
    else
        base = homeFolder() / ".config";
    return base / "umbrill" / "user.reg";
}

std::string ReadSetting(std::string_view section, std::string_view key, std::string_view dflt, FreshProfile fresh)
{
    return readSettingFrom(settingsFilePath(), section, key, dflt, fresh);
}

void WriteSetting(std::string_view section, std::string_view key, std::string_view value)
{
    writeSettingTo(settingsFilePath(), section, key, value);
}

namespace {

// One locked read of the file, made first when the profile is fresh (unless
// fresh says to leave it); nullopt when it cannot be read.
std::optional<RegistryFile> readRegistry(const fs::path &file, FreshProfile fresh)
{
    const fs::path target = resolveStorePath(file);
    FileContents contents = readLocked(target);
    if (isFresh(contents) && fresh == FreshProfile::Create) {
        std::error_code ec;
        fs::create_directories(folderOf(file), ec);
        createFreshFile(target);
        contents = readLocked(target);
    }
    if (contents.status != FileContents::Status::Read)
        return std::nullopt;
    return RegistryFile::fromBytes(std::move(contents.bytes));
}

} // namespace

std::string readSettingFrom(const fs::path &file, std::string_view section, std::string_view key,
                            std::string_view dflt, FreshProfile fresh)
{
    const std::optional<RegistryFile> registry = readRegistry(file, fresh);
    const auto value = registry ? registry->stringValue(keyPathOf(section), key) : std::nullopt;
    return value ? *value : std::string(dflt);
}

std::vector<std::optional<std::string>> ReadSettings(std::string_view section,
                                                     std::initializer_list<std::string_view> keys, FreshProfile fresh)
{
    const std::optional<RegistryFile> registry = readRegistry(settingsFilePath(), fresh);
    std::vector<std::optional<std::string>> values;
    for (std::string_view key : keys) {
        std::optional<std::string> value;
        try {
            if (registry)
                value = registry->stringValue(keyPathOf(section), key);
        } catch (const Error &) {
            // another type than text: nothing to read
        }
        values.push_back(std::move(value));
    }
    return values;
}

void writeSettingTo(const fs::path &file, std::string_view section, std::string_view key,
                    std::string_view value)
{
    const std::string keyPath = keyPathOf(section);
    const Error createFailure("Failed to create key " + std::string(section));
    const Error setFailure("Failed to set data for '" + std::string(key) + "'");

    // The folder of the file named is made; that of a link's target must exist.
    std::error_code ec;
    fs::create_directories(folderOf(file), ec);
    const fs::path target = resolveStorePath(file);
    if (ec || !fs::is_directory(folderOf(target), ec))
        throw createFailure;

    const FileLock lock = FileLock::acquire(target, LockMode::Exclusive);
    FileContents contents = readWholeFile(target);
    const bool read = contents.status == FileContents::Status::Read;
    // A UTF-16 file is compared whole after the edit (its conversion may repair
    // it); any other is taken over by the editor, which says whether it changed.
    const bool wide = std::string_view(contents.bytes).starts_with(kUtf16LeBom);
    RegistryFile registry = isFresh(contents) ? RegistryFile::fresh()
                            : wide            ? RegistryFile::fromBytes(contents.bytes)
                                              : RegistryFile::fromBytes(std::move(contents.bytes));
    const bool sectionExists = read && registry.hasKey(keyPath);
    const Error &failure = sectionExists ? setFailure : createFailure;
    if (!lock.held() || contents.status == FileContents::Status::Unreadable || !canReplaceFile(target))
        throw failure;

    const bool changed = registry.setString(keyPath, key, value);
    const std::string bytes = std::move(registry).toBytes();
    if (read && (wide ? bytes == contents.bytes : !changed))
        return;
    if (replaceFileAtomically(target, bytes))
        throw failure;
}

} // namespace umbrill
