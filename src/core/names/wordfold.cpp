// Search folding through ICU's decompositions and case mapping.
#include "core/names/wordfold.h"

#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/utf8.h>

#include <array>
#include <string_view>

namespace umbrill {
namespace {

// Letters that lose nothing but their look when spelled in plain Latin, and
// that no decomposition takes apart.
std::string_view spelledOut(UChar32 c)
{
    switch (c) {
    case 0x00C6: case 0x00E6: return "AE";
    case 0x0152: case 0x0153: return "OE";
    case 0x00DF: case 0x1E9E: return "SS";
    case 0x00D8: case 0x00F8: return "O";
    case 0x0141: case 0x0142: return "L";
    case 0x0110: case 0x0111: return "D";
    case 0x00DE: case 0x00FE: return "TH";
    case 0x0131: return "I";
    default: return {};
    }
}

void appendUtf8(std::string &out, UChar32 c)
{
    std::array<char, U8_MAX_LENGTH> bytes{};
    int32_t length = 0;
    UBool error = false;
    U8_APPEND(bytes.data(), length, U8_MAX_LENGTH, c, error);
    if (!error)
        out.append(bytes.data(), static_cast<std::size_t>(length));
}

} // namespace

std::string foldForSearch(std::string_view utf8)
{
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2 *nfd = unorm2_getNFDInstance(&status);
    std::string out;
    out.reserve(utf8.size());
    bool blank = false;  // a blank is owed before the next letter
    auto letter = [&](std::string_view text) {
        if (blank && !out.empty())
            out += ' ';
        blank = false;
        out += text;
    };
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(utf8.data());
    const auto size = static_cast<int32_t>(utf8.size());
    for (int32_t i = 0; i < size;) {
        UChar32 c = 0;
        U8_NEXT(bytes, i, size, c);
        if (c < 0) {
            blank = true;
            continue;
        }
        std::array<UChar, 32> parts{};
        int32_t count = U_SUCCESS(status) ? unorm2_getDecomposition(nfd, c, parts.data(), parts.size(), &status) : -1;
        if (count < 0 || count > static_cast<int32_t>(parts.size())) {
            status = U_ZERO_ERROR;
            count = 0;
            U16_APPEND_UNSAFE(parts.data(), count, c);
        }
        for (int32_t k = 0; k < count;) {
            UChar32 part = 0;
            U16_NEXT(parts.data(), k, count, part);
            if (u_charType(part) == U_NON_SPACING_MARK || u_charType(part) == U_ENCLOSING_MARK)
                continue;
            if (const std::string_view spelled = spelledOut(part); !spelled.empty()) {
                letter(spelled);
            } else if (u_isalnum(part)) {
                std::string one;
                appendUtf8(one, u_toupper(part));
                letter(one);
            } else {
                blank = true;
            }
        }
    }
    return out;
}

} // namespace umbrill
