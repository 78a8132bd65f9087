// The label table and the rule that picks a key's face.
#include "core/names/keyface.h"

#include "core/keypad/keygrid.h"
#include "core/names/charnames.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

namespace umbrill {
namespace {

struct Label {
    char32_t c;
    std::string_view text;
};

// Sorted by code. The usual abbreviations of the characters' names.
constexpr auto kLabels = std::to_array<Label>({
    {0x0000, "NUL"},    {0x0009, "TAB"},   {0x000A, "LF"},     {0x000B, "VT"},    {0x000C, "FF"},
    {0x000D, "CR"},     {0x001B, "ESC"},   {0x007F, "DEL"},    {0x0085, "NEL"},   {0x00A0, "NBSP"},
    {0x00AD, "SHY"},    {0x0600, "ANS"},   {0x0601, "ASY"},    {0x0602, "AFN"},   {0x0603, "ASF"},
    {0x0604, "ASM"},    {0x0605, "ANA"},   {0x061C, "ALM"},    {0x06DD, "AEOA"},  {0x070F, "SAM"},
    {0x1680, "OGSP"},   {0x180E, "MVS"},   {0x2000, "NQSP"},   {0x2001, "MQSP"},  {0x2002, "ENSP"},
    {0x2003, "EMSP"},   {0x2004, "3/MSP"}, {0x2005, "4/MSP"},  {0x2006, "6/MSP"}, {0x2007, "FSP"},
    {0x2008, "PSP"},    {0x2009, "THSP"},  {0x200A, "HSP"},    {0x200B, "ZWSP"},  {0x200C, "ZWNJ"},
    {0x200D, "ZWJ"},    {0x200E, "LRM"},   {0x200F, "RLM"},    {0x2028, "LSEP"},  {0x2029, "PSEP"},
    {0x202A, "LRE"},    {0x202B, "RLE"},   {0x202C, "PDF"},    {0x202D, "LRO"},   {0x202E, "RLO"},
    {0x202F, "NNBSP"},  {0x205F, "MMSP"},  {0x2060, "WJ"},     {0x2061, "FA"},    {0x2062, "IT"},
    {0x2063, "IS"},     {0x2064, "IP"},    {0x2066, "LRI"},    {0x2067, "RLI"},   {0x2068, "FSI"},
    {0x2069, "PDI"},    {0x206A, "ISS"},   {0x206B, "ASS"},    {0x206C, "IAFS"},  {0x206D, "AAFS"},
    {0x206E, "NADS"},   {0x206F, "NODS"},  {0x3000, "IDSP"},   {0xFEFF, "ZWNBSP"}, {0xFFF9, "IAA"},
    {0xFFFA, "IAS"},    {0xFFFB, "IAT"},   {0x110BD, "KNS"},   {0x110CD, "KNSA"}, {0xE0001, "LANG"},
    {0xE007F, "CANTAG"},
});

std::u16string ascii16(std::string_view text) { return {text.begin(), text.end()}; }

std::u16string hexLabel(char32_t c)
{
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%04X", static_cast<unsigned>(c));
    return ascii16(text.data());
}

std::u16string labelFor(char32_t c)
{
    const auto *found = std::lower_bound(kLabels.begin(), kLabels.end(), c,
                                         [](const Label &label, char32_t code) { return label.c < code; });
    if (found != kLabels.end() && found->c == c)
        return ascii16(found->text);
    if (c >= 0xE0020 && c <= 0xE007E)  // tag characters: TAG followed by the ASCII character they mirror
        return u"TAG " + std::u16string(1, static_cast<char16_t>(c - 0xE0000));
    return hexLabel(c);
}

std::optional<std::u16string> variationSelector(char32_t c)
{
    std::array<char, 16> text{};
    if (c >= 0xFE00 && c <= 0xFE0F)
        std::snprintf(text.data(), text.size(), "VS%u", static_cast<unsigned>(c - 0xFE00 + 1));
    else if (c >= 0xE0100 && c <= 0xE01EF)
        std::snprintf(text.data(), text.size(), "VS%u", static_cast<unsigned>(c - 0xE0100 + 17));
    else if (c >= 0x180B && c <= 0x180D)
        std::snprintf(text.data(), text.size(), "FVS%u", static_cast<unsigned>(c - 0x180B + 1));
    else if (c == 0x180F)
        return u"FVS4";
    else
        return std::nullopt;
    return ascii16(text.data());
}

} // namespace

std::optional<KeyFace> visibleFace(char32_t c)
{
    if (c > 0x10FFFF)
        return std::nullopt;
    switch (u_charType(static_cast<UChar32>(c))) {
    case U_SPACE_SEPARATOR:
        if (c == 0x20)
            return std::nullopt;
        [[fallthrough]];
    case U_LINE_SEPARATOR:
    case U_PARAGRAPH_SEPARATOR:
    case U_FORMAT_CHAR:
    case U_CONTROL_CHAR:
        return KeyFace{labelFor(c), true};
    case U_NON_SPACING_MARK:
    case U_ENCLOSING_MARK:
        if (auto selector = variationSelector(c))
            return KeyFace{std::move(*selector), true};
        return KeyFace{u"\u25CC" + utf16Of(c), false};
    default:
        return std::nullopt;
    }
}

std::optional<KeyFace> keyFace(std::int32_t code)
{
    if (code >= 1611 && code <= 1618)
        return std::nullopt;
    const auto c = firstCodePoint(keyCharacter(code));
    return c ? visibleFace(*c) : std::nullopt;
}

std::optional<char32_t> labelledCharacter(std::u16string_view label)
{
    for (const Label &row : kLabels) {
        if (row.text.size() == label.size()
            && std::equal(row.text.begin(), row.text.end(), label.begin(), [](char a, char16_t b) {
                   return static_cast<char16_t>(a) == ((b >= 'a' && b <= 'z') ? b - 'a' + 'A' : b);
               }))
            return row.c;
    }
    return std::nullopt;
}

} // namespace umbrill
