// The user's own keyboard languages and characters, beside the shipped data
// file: a file of the same format in the user's settings folder whose
// Languages list follows the shipped one and whose entries win over shipped
// ones of the same name; "My Characters", a language of that file that the
// user fills from any pad; and Recent, the last characters output.
#pragma once

#include "core/languages/languagerecord.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace umbrill {

class ProfileFile;

// languages.ini beside the settings file (by default in $XDG_CONFIG_HOME/umbrill).
std::filesystem::path ownLanguagesFilePath(const std::filesystem::path &settingsFile);

inline constexpr std::string_view kMyCharactersName = "My Characters";
inline constexpr std::int32_t kMyCharactersKeysPerRow = 8;
inline constexpr std::size_t kRecentLimit = 24;
// What stands for Recent where a language is remembered by name: no entry
// can have it (a key in the data file never starts with "[").
inline constexpr std::string_view kRecentLanguageKey = "[Recent]";

// The catalogue the language dialog lists: the shipped list as it stands, then
// each name of the user's list that it lacks (names compare ignoring ASCII
// case, as entry names do) and that an entry can have (no line break or
// NUL), then extra when not empty. Names are quoted where the comma-list rule
// needs it.
std::string mergedCatalogue(std::string_view shipped, std::string_view own, std::string_view extra);

// The user's file is the program's own: its values are read whole (no
// character limit, nothing lost at a NUL), unlike the shipped data file's.
//
// The user's Languages list as a comma list: the whole value as written, so
// that "My Language" in quotes is one name; only a list that is itself
// enclosed in quotes inside one more pair (as older writes left it) loses
// the outer pair.
std::string ownListText(std::string_view whole);
// The list of the user's file; "" when it has none.
std::string ownLanguagesList(const std::filesystem::path &own);

// The entry of name in the user's file, or nullopt when it holds none.
std::optional<std::string> ownEntry(const std::filesystem::path &own, std::string_view name);

// The entry of name: the user's file's when it holds one, else the shipped
// file's, else "not found". A missing or unreadable file counts as empty.
std::string languageEntry(const std::filesystem::path &shipped, const std::filesystem::path &own,
                          std::string_view name);

// The code that stands for a character in an entry: codes up to 255 name
// Windows-1252 characters, so a code point that the page puts elsewhere
// (U+0080 to U+009F) has none. nullopt for such characters and for anything
// that is not one whole character.
std::optional<std::int32_t> entryCodeOf(std::u16string_view character);

// The code Recent keeps for the character of code (as a key shows it):
// nullopt where that is no real character: a negative code, one beyond
// U+10FFFF, a surrogate, a control character (C0, DEL and C1). Codes that
// show the same character give the same code (233 and 0xE9; 128 and 8364).
std::optional<std::int32_t> recentCode(std::int32_t code);

// Adds code to My Characters in the user's file, creating the language (with
// the given key font, 8 keys per row) and listing it when it is new. Returns
// false when My Characters already holds the character. One locked access:
// two programs adding at once lose neither's character. Throws the store's
// Error("Unable to write to <file>").
bool addToMyCharacters(const std::filesystem::path &own, std::int32_t code, std::string_view face,
                       std::int32_t points);
// Removes the character from My Characters (the language stays, empty when it
// was the last). Returns false when it held no such character.
bool removeFromMyCharacters(const std::filesystem::path &own, std::int32_t code);

// Sets the entry of name in the user's file (as the font command does).
// These three edit only a file that reads as a keyboard-language file (it has
// the data file's section) or holds nothing yet: any other file, reached
// through a link or not, is left as it is and the store's Error("Unable to
// write to <file>") is thrown.
void writeOwnEntry(const std::filesystem::path &own, std::string_view name, std::string_view entry);
// The same edits on a file in memory (the two above do one of them under the
// file's lock); every other value of the file, and every other byte of its
// Languages list, stays as it was. Throw setValue's Error.
bool addToMyCharacters(ProfileFile &file, std::int32_t code, std::string_view face, std::int32_t points);
bool removeFromMyCharacters(ProfileFile &file, std::int32_t code);
// My Characters as an edit reads it (see repairedLanguageEntry); nullopt when
// the file holds no entry for it.
std::optional<LanguageRecord> myCharactersOf(const ProfileFile &file);

// Makes name one of the user's own languages with entry (as written, in the
// entry format): its entry is set, replacing one of that name, and the name
// listed when it is not. One locked access; every other byte of the file
// stays. Throws Error for a name no entry can have and the store's Error.
void addOwnLanguage(const std::filesystem::path &own, std::string_view name, std::string_view entry);
// The same edit on a file in memory; returns whether it changed.
bool addOwnLanguage(ProfileFile &file, std::string_view name, std::string_view entry);

// Recent characters, most recent first, without repeats, at most kRecentLimit.
// Every code in it names a real character (see recentCode), and no two name
// the same one.
class RecentCharacters {
public:
    // From the stored form (decimal codes, comma-separated); damaged items,
    // codes of no real character and repeats of a character are skipped.
    static RecentCharacters fromText(std::string_view text);
    std::string toText() const;

    // The character just output goes first; a code of no real character
    // changes nothing. Returns whether the list changed.
    bool add(std::int32_t code);
    const std::vector<std::int32_t> &codes() const { return m_codes; }
    // The entry the Recent pad loads: a default face, 8 keys per row.
    std::string entry() const;

private:
    std::vector<std::int32_t> m_codes;
};

} // namespace umbrill
