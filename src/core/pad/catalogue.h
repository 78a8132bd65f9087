// The catalogue of keyboard languages as the Language dialog lists it: the
// shipped languages, the user's own, Recent, then the languages generated
// from CLDR at build time (generated-languages.ini in the program folder),
// each entry with its kind, a stable key and the name shown. The generated
// file is read only when asked for: a start pays for it only when a generated
// language is remembered.
#pragma once

#include "core/interface/interfacestrings.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace umbrill {

// The generated file beside the data file.
inline constexpr std::string_view kGeneratedFileName = "generated-languages.ini";

// One generated language. Its names are by InterfaceLanguage (English,
// German, French, Spanish); none is empty.
struct GeneratedLanguage {
    std::string code;   // CLDR's code, such as "yo" or "sr_Latn"
    std::string entry;  // in the data file's entry format
    std::string own;    // its name in itself; may be empty
    std::array<std::string, 4> names;

    const std::string &name(InterfaceLanguage language) const { return names[static_cast<std::size_t>(language)]; }
};

// The generated languages of a file, in the order its Languages list gives.
// A listed code that is not plain ASCII (letters, digits, "_"), is listed
// again, or has no section or no Entry is left out; a missing name takes the
// English one, a missing English name the code. A missing, unreadable or
// damaged file gives what it holds that is sound, down to nothing; reading
// never throws.
class GeneratedLanguages {
public:
    // The file's bytes (UTF-8, with or without a byte-order mark), read by the
    // data file's rules: section and key names ignoring ASCII case, the first
    // of a repeated section or key, blanks and one pair of outer quotes
    // dropped, ';' starting a comment line, at most 2047 bytes of a value.
    static GeneratedLanguages fromBytes(std::string_view bytes);
    static GeneratedLanguages load(const std::filesystem::path &file);

    const std::vector<GeneratedLanguage> &languages() const { return m_languages; }
    // The language of code (exactly as listed), or nullptr.
    const GeneratedLanguage *byCode(std::string_view code) const;
    // The language a command line names: a code (any ASCII case), else a name
    // in the interface language, else an English name, each by the command
    // line's rule (see findLanguageName). nullptr when none or several match.
    const GeneratedLanguage *named(std::string_view wanted, InterfaceLanguage language) const;

private:
    std::vector<GeneratedLanguage> m_languages;
};

// What a row of the catalogue stands for.
enum class CatalogueKind { Shipped, Own, Recent, Generated };

struct CatalogueEntry {
    CatalogueKind kind = CatalogueKind::Shipped;
    // What the language is loaded and remembered by: a shipped or own
    // language's name, kRecentLanguageKey, or a generated language's
    // generatedKey. Never a caption: those follow the interface language.
    std::string key;
    std::string shown;  // the name in the list and the caption
    std::string own;    // a generated language's name in itself; else empty
    // The texts the dialog's filter looks in (see filterMatches).
    std::string filterText;

    // What confirming the row loads by: its key.
    const std::string &loadName() const { return key; }
};

// A generated language's key: its code in brackets behind "generated:", so
// that it is never the name of a data file's entry (no entry key starts with
// "[") and never Recent's key.
std::string generatedKey(std::string_view code);
// The code of a generated language's key; nullopt for any other text.
std::optional<std::string> generatedCode(std::string_view key);

// The rows of names, the merged catalogue's list (see mergedCatalogue):
// the first shippedCount are shipped, the others are the user's own, each
// keyed by its name.
std::vector<CatalogueEntry> listedEntries(const std::vector<std::string> &names, std::size_t shippedCount);
// Recent's row, shown by its caption in the interface language.
CatalogueEntry recentEntry(std::string_view caption);

// The position of the entry a command line names by its shown name (see
// findLanguageName, the one rule for a name typed by the user); nullopt when
// none or several match.
std::optional<std::size_t> findEntry(const std::vector<CatalogueEntry> &entries, std::string_view wanted);

// Appends the generated languages to entries, sorted by their name in the
// interface language (accents and case aside, then byte for byte), each shown
// by that name. A generated language whose shown name is already listed
// (ignoring ASCII case) as a shipped or own language is left out: that
// language wins. Recent's caption hides nothing.
void appendGenerated(std::vector<CatalogueEntry> &entries, const GeneratedLanguages &generated,
                     InterfaceLanguage language);

// The dialog's filter: the query folded as Find folds words (case and accents
// aside) is found in the entry's filter text: the shown name, and for a
// generated language also its English name, own name and code. An empty
// query matches every entry.
std::string filterQuery(std::string_view typed);
bool filterMatches(const CatalogueEntry &entry, std::string_view query);

} // namespace umbrill
