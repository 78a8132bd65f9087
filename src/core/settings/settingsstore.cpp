// The settings store: one locked access to its file for each read or write.
#include "core/settings/settingsstore.h"

#include "core/settings/atomicfile.h"
#include "core/settings/registryfile.h"
#include "core/text/ansi.h"
#include "core/text/error.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>

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

fs::path defaultSettingsFile()
{
    fs::path base;
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the base-directory rules say.
    if (const char *config = std::getenv("XDG_CONFIG_HOME"); config && *config && fs::path(config).is_absolute())
        base = config;
    else
        base = homeFolder() / ".config";
    return base / "umbrill" / "user.reg";
}

std::int64_t systemStoreClock()
{
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

namespace {

// The file as last read, with the identity it had then: a read of an
// unchanged file takes it again instead of reading and parsing the file anew
// (a start-up reads several values; a large file would be parsed each time).
struct ParsedStore {
    fs::path file;
    std::optional<FileIdentity> identity;         // nullopt: there was none
    std::shared_ptr<const RegistryFile> registry; // null: the file could not be read
    // Read, and old enough that a later edit must change its identity.
    bool rested = false;
};
std::mutex g_parsedMutex;
ParsedStore g_parsed;
std::atomic<StoreClock> g_clock{systemStoreClock};

// One locked read of the file, made first when the profile is fresh (unless
// fresh says to leave it); counts its locked accesses in accesses. The last
// read is taken again while the file is unchanged: when it had rested, or
// for a store that holds its reads. Null: the file could not be read.
std::shared_ptr<const RegistryFile> readRegistry(const fs::path &file, FreshProfile fresh, bool holding, std::atomic<int> &accesses)
{
    const fs::path target = resolveStorePath(file);
    const std::optional<FileIdentity> now = identityOf(target);
    {
        const std::lock_guard guard(g_parsedMutex);
        if (g_parsed.file == target && g_parsed.identity == now && (g_parsed.rested || holding))
            return g_parsed.registry;
    }
    ++accesses;
    FileContents contents = readLocked(target);
    if (isFresh(contents) && fresh == FreshProfile::Create) {
        std::error_code ec;
        fs::create_directories(folderOf(file), ec);
        createFreshFile(target);
        contents = readLocked(target);
        accesses += 2;
    }
    ParsedStore read{target, std::nullopt, nullptr, false};
    if (contents.status == FileContents::Status::Read) {
        read.identity = contents.identity;
        read.registry = std::make_shared<const RegistryFile>(RegistryFile::fromBytes(std::move(contents.bytes)));
        // File times tick coarsely (a few milliseconds): a file changed just
        // now may change again, in place and at the same size, within the
        // same tick, so it is taken again only once it has rested.
        constexpr std::int64_t kRested = 100'000'000; // nanoseconds
        read.rested = g_clock.load()() - std::max(read.identity->modified, read.identity->changed) >= kRested;
    } else if (contents.status != FileContents::Status::Missing) {
        read.identity = identityOf(target);
    }
    const std::lock_guard guard(g_parsedMutex);
    g_parsed = read;
    return read.registry;
}

} // namespace

void setStoreClock(StoreClock clock) { g_clock = clock ? clock : systemStoreClock; }

std::string SettingsSection::value(std::string_view key, std::string_view dflt) const
{
    const auto value = m_registry ? m_registry->stringValue(m_keyPath, key) : std::nullopt;
    return value ? *value : std::string(dflt);
}

std::optional<std::string> SettingsSection::text(std::string_view key) const
{
    try {
        if (m_registry)
            return m_registry->stringValue(m_keyPath, key);
    } catch (const Error &) {
        // another type than text: nothing to read
    }
    return std::nullopt;
}

SettingsStore::SettingsStore(fs::path file) : m_file(std::move(file)), m_accesses(std::make_shared<std::atomic<int>>(0))
{
}

SettingsSection SettingsStore::readSection(std::string_view section, FreshProfile fresh) const
{
    SettingsSection found;
    found.m_registry = readRegistry(m_file, fresh, m_holding, *m_accesses);
    found.m_keyPath = keyPathOf(section);
    return found;
}

std::string SettingsStore::read(std::string_view section, std::string_view key, std::string_view dflt,
                                FreshProfile fresh) const
{
    return readSection(section, fresh).value(key, dflt);
}

void SettingsStore::write(std::string_view section, std::string_view key, std::string_view value) const
{
    const std::string keyPath = keyPathOf(section);
    const Error createFailure("Failed to create key " + std::string(section));
    const Error setFailure("Failed to set data for '" + std::string(key) + "'");

    // The folder of the file named is made; that of a link's target must exist.
    std::error_code ec;
    fs::create_directories(folderOf(m_file), ec);
    const fs::path target = resolveStorePath(m_file);
    if (ec || !fs::is_directory(folderOf(target), ec))
        throw createFailure;

    ++*m_accesses;
    const Error *failure = &createFailure;
    const std::error_code replaced =
        editLocked(target, WideFiles::LittleEndian, [&](FileContents &contents, bool held, bool wide) {
            const bool read = contents.status == FileContents::Status::Read;
            RegistryFile registry = isFresh(contents) ? RegistryFile::fresh()
                                    : wide            ? RegistryFile::fromBytes(contents.bytes)
                                                      : RegistryFile::fromBytes(std::move(contents.bytes));
            if (read && registry.hasKey(keyPath))
                failure = &setFailure;
            if (!held || contents.status == FileContents::Status::Unreadable || !canReplaceFile(target))
                throw *failure;
            const bool changed = registry.setString(keyPath, key, value);
            return EditedBytes{std::move(registry).toBytes(), changed};
        });
    if (replaced)
        throw *failure;
}

std::string readSettingFrom(const fs::path &file, std::string_view section, std::string_view key,
                            std::string_view dflt, FreshProfile fresh)
{
    return SettingsStore(file).read(section, key, dflt, fresh);
}

void writeSettingTo(const fs::path &file, std::string_view section, std::string_view key, std::string_view value)
{
    SettingsStore(file).write(section, key, value);
}

} // namespace umbrill
