// The per-user settings store: string values in sections below the key
// HKEY_CURRENT_USER\umbrill.ini, kept in $XDG_CONFIG_HOME/umbrill/user.reg
// (~/.config when the variable is unset, empty or relative) in the
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

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace umbrill {

// The settings file of the current user.
std::filesystem::path settingsFilePath();

// What a read does with a fresh profile (no file, or an empty one): create
// the file with the empty root key, as opening the root key does, or leave it
// for a later read (the reads before the pad first shows write nothing).
enum class FreshProfile { Create, Leave };

// The stored text of key in section, or dflt when the section or value is
// absent. An existing empty value gives "". A value of a type other than a
// string (REG_SZ, or REG_EXPAND_SZ taken literally) throws
// Error("Invalid data type for '<key>'"). A missing or unreadable file gives dflt.
// The first read of a fresh profile creates the file with the empty root key,
// unless fresh says to leave it.
std::string ReadSetting(std::string_view section, std::string_view key, std::string_view dflt,
                        FreshProfile fresh = FreshProfile::Create);

// Stores value as a string value, creating the folder, the file and the
// section when needed; the value already stored leaves the file untouched.
// Throws Error("Failed to create key <section>") when a new section cannot be
// written (or the file cannot be read, so whether the section exists is
// unknown), Error("Failed to set data for '<key>'") when the value cannot. A
// file or folder without any write permission bit counts as read-only, for
// root too. A failed write leaves the file untouched.
void WriteSetting(std::string_view section, std::string_view key, std::string_view value);

// Several values of section in one read, in the order of keys: nullopt for a
// value that is absent or stored as another type than text, and for every
// value when the file cannot be read. Never throws.
std::vector<std::optional<std::string>> ReadSettings(std::string_view section,
                                                     std::initializer_list<std::string_view> keys,
                                                     FreshProfile fresh = FreshProfile::Create);

// The same on an explicit file, for tests and tools.
std::string readSettingFrom(const std::filesystem::path &file, std::string_view section,
                            std::string_view key, std::string_view dflt,
                            FreshProfile fresh = FreshProfile::Create);
void writeSettingTo(const std::filesystem::path &file, std::string_view section,
                    std::string_view key, std::string_view value);

} // namespace umbrill
