// Finding a character by what a user types: words of its Unicode name in any
// order and case ("e acute", "arrow left"), everyday words in English, German,
// French and Spanish ("smiley", "Häkchen", "e accent aigu"), the keys of its
// Compose sequence ("ae", "o/", "+-"), its code ("U+20AC", "20AC", "8364",
// "&#8364;"), the name of its HTML entity in the entity table ("eacute"), or
// the character itself.
#pragma once

#include "core/interface/interfacestrings.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace umbrill {

// At most this many results: the best matches are what a user looks at.
inline constexpr std::size_t kFindLimit = 300;
// Only the first this many UTF-16 units of a query are read, so that a page of
// pasted text costs no more than a line.
inline constexpr std::size_t kQueryLimit = 256;

// What a search is asked for beside its query.
struct FindOptions {
    std::size_t limit = kFindLimit;
    // The interface language: its everyday words rank before the same words of
    // the other three languages, which match as well. None: all alike.
    std::optional<InterfaceLanguage> language;
    // Whether an installed font can draw a character. Characters found by
    // their names or words that no font can draw come after all those that one
    // can. Empty: every character counts as drawable. Called at most once per
    // character a search finds.
    std::function<bool(char32_t)> drawable;
};

class NameIndex {
public:
    // Reads every Unicode name from ICU, leaving out the names made of a
    // prefix and the code (CJK, Tangut, Khitan and Nushu ideographs, which are
    // found by their code), and takes in the table of everyday words (see
    // everydaywords.h). Takes some milliseconds and a few megabytes: build it
    // when a search is first wanted, never at start-up.
    NameIndex();

    // The program's one index, built on the first call.
    static const NameIndex &shared();

    // Names and everyday words held.
    std::size_t size() const { return m_names.size(); }
    std::size_t everydaySize() const { return m_words.size() + m_sequences.size(); }

    // The characters query finds, best first, each once, at most limit:
    //  1. the character itself, when the query is one character;
    //  2. a code: "U+hex", "0xhex", "&#decimal;", "&#xhex;", digits alone (as
    //     decimal, then as hexadecimal), hexadecimal with a digit and a letter;
    //  3. an HTML entity name, with or without "&" and ";" (its exact case first),
    //     and a key label of the pad ("nbsp", "zwj", see keyface.h);
    //  4. characters whose name or one of whose everyday words holds every word
    //     of the query (words are runs of letters and digits, compared without
    //     case or accents: "cœur" is "coeur"), or whose Compose sequence is the
    //     query without its blanks ("o /" is "o/"). In turn:
    //     - characters an installed font can draw before the rest;
    //     - texts where every word of the query starts a word (a one-letter
    //       word must be a whole word there) before texts holding a word only
    //       inside another;
    //     - Latin, Greek, Cyrillic, punctuation, currency, letterlike signs,
    //       number forms, arrows, mathematical operators, technical and
    //       geometric signs and dingbats; then other scripts and symbols; then
    //       emoji, the historic and rarely used scripts and the supplementary
    //       planes;
    //     - a name or word made of exactly those words ("check mark", also
    //       written "checkmark"), or that Compose sequence, before the rest (a
    //       tag such as "heart" for a red heart is never exact);
    //     - words of the interface language before words of the others;
    //     - a one-letter word in lower case prefers SMALL letters, in upper
    //       case CAPITAL ones (everyday words meet neither wish);
    //     - fewer joining words left unmatched;
    //     - the loose tags of emoji after other texts;
    //     - fewer other words, whole words, Unicode names before everyday
    //       words; a letter of English, German, French or Spanish before a
    //       rarer Latin letter and an opening sign before its closing one; a
    //       word's first meaning before its lesser ones; shorter texts, lower
    //       codes;
    //     - then the plain sign before its heavy, ornament or single form
    //       found with it (see signVariants() in everydaywords.h).
    //     Words in the four languages stand for the words of the names
    //     ("umlaut" and "tréma" for "diaeresis", "aigu" for "acute", "Zeichen"
    //     for "sign", see namesearch.cpp); "accent", "Akzent", "acento" and,
    //     in Spanish, "tilde" mean the acute first. Joining words ("avec",
    //     "mit", "con", "with", "de", "nach", "sign") may be left unmatched when
    //     other words match ("e accent aigu", "signo de euro"), and rank after
    //     texts that hold them; little words of a text ("vers", "la", "nach")
    //     are not counted as other words. A plural of four letters or more
    //     also meets its singular as a whole word ("three dots").
    //  5. hexadecimal of letters alone ("face"), after the word-start names.
    // A query beginning "U+", "0x" or "&#" is a code and nothing else. Codes
    // of surrogates, of unassigned characters and beyond U+10FFFF find
    // nothing. An empty or blank query finds nothing.
    std::vector<char32_t> find(std::u16string_view query, const FindOptions &options) const;
    std::vector<char32_t> find(std::u16string_view query, std::size_t limit = kFindLimit) const
    {
        FindOptions options;
        options.limit = limit;
        return find(query, options);
    }

private:
    // A name, an everyday word or a Compose sequence of a character.
    struct Entry {
        std::uint32_t offset;   // into m_nameText or the everyday word text
        std::uint32_t slot;     // the character's place among all characters held
        std::uint8_t length;
        std::uint8_t words;     // words of the text, split at blanks and hyphens
        std::uint8_t tier;      // 0 everyday blocks, 1 the rest, 2 emoji and rare scripts
        std::uint8_t languages; // EverydayLanguage bits; none for names and sequences
        bool tag;               // a tag, never the whole of what a character is called
        std::uint8_t caseWords; // names: whether they hold the words SMALL (1) and CAPITAL (2)
        std::uint64_t wholeLetters; // the letters and digits that stand as a word of their own
        std::uint64_t rank;         // the part of its ranks that no query changes; the code last
        char32_t c() const { return static_cast<char32_t>(rank & 0x1FFFFF); }
    };
    // What rules a searched text out without reading it, an entry's each, in
    // a table of their own: a search runs through 16 bytes an entry, not a
    // whole entry, to find the few texts worth reading.
    struct Sieve {
        std::uint64_t letters;  // the ASCII letters and digits of the text, a bit each
        std::uint64_t pairs;    // the pairs of neighbouring bytes of the text, a bit each (hashed)
    };
    struct Query;
    struct Hit;
    // Ranks every entry whose text holds the query's words (names: the
    // Unicode names, whose words the query's other-language words stand for).
    // A query of one word is scanned by code made for one.
    template <bool OneWord>
    void scan(std::string_view text, const std::vector<Entry> &entries, const std::vector<Sieve> &sieves, bool names,
              const Query &query, std::vector<Hit> &hits, std::vector<std::uint32_t> &bestOf) const;
    static void keepBest(std::vector<Hit> &hits, std::vector<std::uint32_t> &bestOf, const Entry &entry,
                         std::uint64_t rank);

    std::string m_nameText;
    std::vector<Entry> m_names;
    std::vector<Sieve> m_nameSieves;
    std::vector<Entry> m_words;
    std::vector<Sieve> m_wordSieves;
    std::vector<Entry> m_sequences;
    // A variant sign and its plain sign, in code order of the variant, and
    // the variants of the first plane as bits, for searches that find few.
    struct Variant {
        char32_t variant;
        std::uint32_t variantSlot;
        std::uint32_t plainSlot;
    };
    std::vector<Variant> m_variants;
    std::vector<std::uint64_t> m_variantBits;
    std::uint32_t m_slots = 0;
};

} // namespace umbrill
