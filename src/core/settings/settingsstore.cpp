// ReadSetting and WriteSetting: one locked access to user.reg each.
#include "core/settings/settingsstore.h"

#include "core/settings/atomicfile.h"
#include "core/settings/registryfile.h"
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

fs::path folderOf(const fs::path &file)
{
    return file.parent_path().empty() ? fs::path(".") : file.parent_path();
}

// A fresh profile: the file with the header and the empty root key, as opening
// the root key with create access makes it. Failing that is not an error.
void createFreshFile(const fs::path &file)
{
    std::error_code ec;
    fs::create_directories(folderOf(file), ec);
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

std::string ReadSetting(std::string_view section, std::string_view key, std::string_view dflt)
{
    return readSettingFrom(settingsFilePath(), section, key, dflt);
}

void WriteSetting(std::string_view section, std::string_view key, std::string_view value)
{
    writeSettingTo(settingsFilePath(), section, key, value);
}

std::string readSettingFrom(const fs::path &file, std::string_view section, std::string_view key,
                            std::string_view dflt)
{
    const fs::path target = resolveStorePath(file);
    FileContents contents = readLocked(target);
    if (isFresh(contents)) {
        createFreshFile(target);
        contents = readLocked(target);
    }
    if (contents.status != FileContents::Status::Read)
        return std::string(dflt);
    const auto value = RegistryFile::fromBytes(std::move(contents.bytes)).stringValue(keyPathOf(section), key);
    return value ? *value : std::string(dflt);
}

void writeSettingTo(const fs::path &file, std::string_view section, std::string_view key,
                    std::string_view value)
{
    const fs::path target = resolveStorePath(file);
    const std::string keyPath = keyPathOf(section);
    const Error createFailure("Failed to create key " + std::string(section));
    const Error setFailure("Failed to set data for '" + std::string(key) + "'");

    std::error_code ec;
    fs::create_directories(folderOf(target), ec);
    if (ec || !fs::is_directory(folderOf(target), ec))
        throw createFailure;

    const FileLock lock = FileLock::acquire(target, LockMode::Exclusive);
    const FileContents contents = readWholeFile(target);
    RegistryFile registry = isFresh(contents) ? RegistryFile::fresh() : RegistryFile::fromBytes(contents.bytes);
    const bool sectionExists = contents.status == FileContents::Status::Read && registry.hasKey(keyPath);
    const Error &failure = sectionExists ? setFailure : createFailure;
    if (!lock.held() || contents.status == FileContents::Status::Unreadable || !canReplaceFile(target))
        throw failure;

    registry.setString(keyPath, key, value);
    const std::string bytes = registry.toBytes();
    if (contents.status == FileContents::Status::Read && bytes == contents.bytes)
        return;
    if (replaceFileAtomically(target, bytes))
        throw failure;
}

} // namespace umbrill
