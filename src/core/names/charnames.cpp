// Names from ICU, descriptions for the characters Unicode leaves unnamed.
#include "core/names/charnames.h"

#include "core/text/ansi.h"

#include <unicode/uchar.h>

#include <array>
#include <cstdio>

namespace umbrill {

std::string codePointLabel(char32_t c)
{
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "U+%04X", static_cast<unsigned>(c));
    return text.data();
}

std::string characterName(char32_t c)
{
    if (c > 0x10FFFF)
        return "not a character " + codePointLabel(c);
    const auto code = static_cast<UChar32>(c);
    std::array<char, 128> name{};
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = u_charName(code, U_UNICODE_CHAR_NAME, name.data(), static_cast<int32_t>(name.size()), &status);
    if (U_SUCCESS(status) && length > 0)
        return std::string(name.data(), static_cast<std::size_t>(length));
    const char *kind = "unassigned ";
    switch (u_charType(code)) {
    case U_CONTROL_CHAR: kind = "control "; break;
    case U_PRIVATE_USE_CHAR: kind = "private use "; break;
    case U_SURROGATE: kind = "surrogate "; break;
    default:
        if (u_hasBinaryProperty(code, UCHAR_NONCHARACTER_CODE_POINT))
            kind = "noncharacter ";
        break;
    }
    return kind + codePointLabel(c);
}

std::optional<char32_t> firstCodePoint(std::u16string_view text)
{
    if (text.empty())
        return std::nullopt;
    const char16_t lead = text[0];
    if (lead >= 0xD800 && lead <= 0xDBFF && text.size() > 1 && text[1] >= 0xDC00 && text[1] <= 0xDFFF)
        return 0x10000 + ((char32_t(lead) - 0xD800) << 10) + (char32_t(text[1]) - 0xDC00);
    return lead;
}

std::u16string utf16Of(char32_t c) { return wideFromCodePoint(c); }

std::string utf8Of(char32_t c)
{
    return utf8FromWide(wideFromCodePoint(c)); // U+FFFD for a surrogate or a code beyond U+10FFFF
}

} // namespace umbrill
