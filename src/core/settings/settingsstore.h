// The per-user settings store: string values in sections below the key
// HKEY_CURRENT_USER\umbrill.ini, kept in one file (by default
// $XDG_CONFIG_HOME/umbrill/user.reg, see defaultSettingsFile) in the
// registry-export text format (grammar in registryfile.h):
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\umbrill.ini\Settings]
//   "ControlLanguage"="English"
//
// Strings escape "\\" and "\""; other value types appear in their dword: and
// hex(N): forms. The file is UTF-8. Every access opens the file under an
// advisory lock (shared to read, exclusive to write), does one read or one
// write and releases it; a write replaces the file atomically and keeps every
// other line as it was, lines it cannot parse included. A text holding a line
// break is stored in the hex(1): form (REG_SZ as well), so no value can add a
// line. Symbolic links are followed: the link stays, its target changes.
#pragma once

#include "core/settings/atomicfile.h"

#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace umbrill {

class RegistryFile;

// The settings file of the current user: umbrill/user.reg in $XDG_CONFIG_HOME,
// or in ~/.config when the variable is unset, empty or relative.
std::filesystem::path defaultSettingsFile();

// What a read does with a fresh profile (no file, or an empty one): create
// the file with the empty root key, as opening the root key does, or leave it
// for a later read (the reads before the pad first shows write nothing).
enum class FreshProfile { Create, Leave };

// One section as one read found it: its values can be asked for again without
// touching the file.
class SettingsSection {
public:
    // The stored text of key, or dflt when the section or value is absent. An
    // existing empty value gives "". A value of a type other than a string
    // throws Error("Invalid data type for '<key>'").
    std::string value(std::string_view key, std::string_view dflt) const;
    // The text of key; nullopt when absent or stored as another type. Never throws.
    std::optional<std::string> text(std::string_view key) const;

private:
    friend class SettingsStore;
    std::shared_ptr<const RegistryFile> m_registry; // null: nothing could be read
    std::string m_keyPath;
};

// A settings file. Copies share the count of their locked accesses.
class SettingsStore {
public:
    explicit SettingsStore(std::filesystem::path file);

    const std::filesystem::path &file() const { return m_file; }

    // The stored text of key in section, or dflt (see SettingsSection::value).
    // A missing or unreadable file gives dflt. The first read of a fresh
    // profile creates the file with the empty root key, unless fresh says to
    // leave it.
    std::string read(std::string_view section, std::string_view key, std::string_view dflt,
                     FreshProfile fresh = FreshProfile::Create) const;
    // The whole section in one read; an unreadable file gives an empty one.
    SettingsSection readSection(std::string_view section, FreshProfile fresh = FreshProfile::Create) const;
    // While this store (not its copies) holds its reads, a read of the file
    // unchanged since the last read takes that read again, even when the file
    // had not rested (see setStoreClock), and a missing or unreadable file is
    // not looked at again until it appears or changes. A start-up holds them:
    // it reads many values at once. Off by default.
    void holdReads(bool hold) { m_holding = hold; }

    // Stores value as a string value, creating the folder, the file and the
    // section when needed; the value already stored leaves the file untouched.
    // Throws Error("Failed to create key <section>") when a new section cannot
    // be written (or the file cannot be read, so whether the section exists is
    // unknown), Error("Failed to set data for '<key>'") when the value cannot.
    // A file or folder without any write permission bit counts as read-only,
    // for root too. A failed write leaves the file untouched.
    void write(std::string_view section, std::string_view key, std::string_view value) const;

    // How many times this store (or a copy) has locked its file, reads that
    // found the file unchanged since an earlier one excepted.
    int lockedAccesses() const { return m_accesses->load(); }

private:
    std::filesystem::path m_file;
    std::shared_ptr<std::atomic<int>> m_accesses;
    bool m_holding = false;
};

// The wall clock by which a read tells whether the file has rested long
// enough to be taken again unread (see lockedAccesses): nanoseconds since the
// epoch, as the file's times count them. The system's clock unless another is
// set; nullptr sets the system's again. Tests set their own.
using StoreClock = std::int64_t (*)();
void setStoreClock(StoreClock clock);
std::int64_t systemStoreClock();

// One read or write on an explicit file, for tests and tools.
std::string readSettingFrom(const std::filesystem::path &file, std::string_view section,
                            std::string_view key, std::string_view dflt,
                            FreshProfile fresh = FreshProfile::Create);
void writeSettingTo(const std::filesystem::path &file, std::string_view section,
                    std::string_view key, std::string_view value);

} // namespace umbrill
