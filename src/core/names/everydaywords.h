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

// One row in eight bytes: its text at [textOffset(), textOffset() +
// textLength()) of everydayWordText(), its languages and kind packed in one
// number beside the character.
struct EverydayWord {
    static constexpr unsigned kOffsetBits = 18;  // the text stays below 256 KiB
    std::uint32_t packed;  // offset, length (8 bits), languages (4), kind (2)
    char32_t character;

    static constexpr std::uint32_t pack(std::uint32_t offset, std::uint32_t length, std::uint32_t languages,
                                        EverydayKind kind)
    {
        return offset | length << kOffsetBits | languages << (kOffsetBits + 8)
               | static_cast<std::uint32_t>(kind) << (kOffsetBits + 12);
    }
    constexpr std::uint32_t textOffset() const { return packed & ((1u << kOffsetBits) - 1); }
    constexpr std::uint32_t textLength() const { return (packed >> kOffsetBits) & 0xFF; }
    constexpr std::uint8_t languages() const { return static_cast<std::uint8_t>((packed >> (kOffsetBits + 8)) & 0xF); }
    constexpr EverydayKind kind() const { return static_cast<EverydayKind>(packed >> (kOffsetBits + 12)); }
};

std::string_view everydayWordText();
std::span<const EverydayWord> everydayWords();

// The letters of English, German, French and Spanish (CLDR's main and
// auxiliary exemplar characters, small and capital), in code order. A letter
// outside them is a rarer spelling of what a query names ("n tilde" is ñ
// before ń).
std::span<const char32_t> everydayLetters();

// A sign and the plainer sign it is a variant of: a heavy, black, white or
// ornament form ("BLACK RIGHTWARDS ARROW" of "RIGHTWARDS ARROW") or a single
// quotation mark of its double one, from the Unicode names. In code order of
// the variant.
struct SignVariant {
    char32_t variant;
    char32_t plain;
};
std::span<const SignVariant> signVariants();

} // namespace umbrill
