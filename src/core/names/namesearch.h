// Finding a character by what a user types: words of its Unicode name in any
// order and case ("e acute", "arrow left"), its code ("U+20AC", "20AC",
// "8364", "&#8364;"), the name of its HTML entity in the entity table
// ("eacute"), or the character itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace umbrill {

// At most this many results: the best matches are what a user looks at.
inline constexpr std::size_t kFindLimit = 300;
// Only the first this many UTF-16 units of a query are read, so that a page of
// pasted text costs no more than a line.
inline constexpr std::size_t kQueryLimit = 256;

class NameIndex {
public:
    // Reads every Unicode name from ICU, leaving out the names made of a
    // prefix and the code (CJK, Tangut, Khitan and Nushu ideographs, which are
    // found by their code). Takes some milliseconds and about two megabytes:
    // build it when a search is first wanted, never at start-up.
    NameIndex();

    // The program's one index, built on the first call.
    static const NameIndex &shared();

    std::size_t size() const { return m_entries.size(); }

    // The characters query finds, best first, each once, at most limit:
    //  1. the character itself, when the query is one character;
    //  2. a code: "U+hex", "0xhex", "&#decimal;", "&#xhex;", digits alone (as
    //     decimal, then as hexadecimal), hexadecimal with a digit and a letter;
    //  3. an HTML entity name, with or without "&" and ";" (its exact case first),
    //     and a key label of the pad ("nbsp", "zwj", see keyface.h);
    //  4. names holding every word of the query (words are runs of ASCII
    //     letters and digits): names made of exactly those words, then names
    //     where every word starts a word of the name (a one-letter word must
    //     be a whole word there), then the rest. Within each group a one-letter
    //     word in lower case prefers SMALL letters, in upper case CAPITAL ones;
    //     then fewer other words, whole words, shorter names, lower codes.
    //     The word "umlaut" is read as "diaeresis", the name Unicode gives it.
    //  5. hexadecimal of letters alone ("face"), after the word-start names.
    // A query beginning "U+", "0x" or "&#" is a code and nothing else. Codes
    // of surrogates, of unassigned characters and beyond U+10FFFF find
    // nothing. An empty or blank query finds nothing.
    std::vector<char32_t> find(std::u16string_view query, std::size_t limit = kFindLimit) const;

private:
    struct Entry {
        char32_t c;
        std::uint32_t offset;  // into m_names
        std::uint16_t length;
        std::uint16_t words;   // words of the name, split at blanks and hyphens
    };
    std::string m_names;
    std::vector<Entry> m_entries;
};

} // namespace umbrill
