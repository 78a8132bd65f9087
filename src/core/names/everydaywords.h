// The everyday words and sequences Find knows beside the Unicode names: the
// informal aliases of Unicode's names list, the CLDR annotations in English,
// German, French and Spanish, the X11 Compose sequences and a short list of
// our own. Written at build time by tools/findwords/findwordsgen.cpp into a
// table of constant data, so nothing of it is read before Find first searches.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace umbrill {

// The languages of a word, one bit each; a word with none belongs to every
// language (a Compose sequence, a sequence of our own).
enum EverydayLanguage : std::uint8_t {
    kWordEnglish = 1,
    kWordGerman = 2,
    kWordFrench = 4,
    kWordSpanish = 8,
};

enum class EverydayKind : std::uint8_t {
    Words,     // a name in other words: folded by foldForSearch, words in upper case, single blanks
    Tag,       // a word a character is tagged with ("grinning" for a grinning cat), folded alike
    Sequence,  // the keys a user types, exactly ("ae", "+-", "!="), no blanks
};

// One row: text at [textOffset, textOffset + textLength) of everydayWordText().
struct EverydayWord {
    std::uint32_t textOffset;
    std::uint8_t textLength;
    std::uint8_t languages;
    EverydayKind kind;
    char32_t character;
};

std::string_view everydayWordText();
std::span<const EverydayWord> everydayWords();

} // namespace umbrill
