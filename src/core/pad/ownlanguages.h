// The user's own keyboard languages and characters, beside the shipped data
// file: a file of the same format in the user's settings folder whose
// Languages list follows the shipped one and whose entries win over shipped
// ones of the same name; "My Characters", a language of that file that the
// user fills from any pad; and Recent, the last characters output.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace umbrill {

// $XDG_CONFIG_HOME/umbrill/languages.ini (~/.config when the variable is unset).
std::filesystem::path ownLanguagesFilePath();

inline constexpr std::string_view kMyCharactersName = "My Characters";
inline constexpr std::int32_t kMyCharactersKeysPerRow = 8;
inline constexpr std::size_t kRecentLimit = 24;

// The catalogue the language dialog lists: the shipped list as it stands, then
// each name of the user's list that it lacks (names compare ignoring ASCII
// case, as entry names do), then extra when not empty. Names are quoted where
// the comma-list rule needs it.
std::string mergedCatalogue(std::string_view shipped, std::string_view own, std::string_view extra);

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

// Recent characters, most recent first, without repeats, at most kRecentLimit.
class RecentCharacters {
public:
    // From the stored form (decimal codes, comma-separated); damaged items are skipped.
    static RecentCharacters fromText(std::string_view text);
    std::string toText() const;

    // The character just output goes first. Returns whether the list changed.
    bool add(std::int32_t code);
    const std::vector<std::int32_t> &codes() const { return m_codes; }
    // The entry the Recent pad loads: a default face, 8 keys per row.
    std::string entry() const;

private:
    std::vector<std::int32_t> m_codes;
};

} // namespace umbrill
