// Windows-1252 is fixed for this program whatever the locale, so the page is a
// table here rather than a locale-dependent converter: every user sees the same keys.
#include "core/text/ansi.h"

#include <algorithm>
#include <array>

namespace umbrill {
namespace {

// Bytes 0x80 to 0x9F; the rest of the page equals Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char ansiByteFor(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

void appendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void appendUtf16(std::u16string &out, char32_t c)
{
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
}

// Decodes one UTF-8 sequence at pos; returns U+FFFD and advances one byte on a fault.
char32_t nextUtf8(std::string_view s, std::size_t &pos, bool &valid)
{
    const auto b0 = static_cast<unsigned char>(s[pos]);
    int extra = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if (b0 < 0x80) {
        ++pos;
        return b0;
    } else if ((b0 & 0xE0) == 0xC0) {
        extra = 1; c = b0 & 0x1F; minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2; c = b0 & 0x0F; minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3; c = b0 & 0x07; minimum = 0x10000;
    } else {
        ++pos; valid = false;
        return 0xFFFD;
    }
    if (pos + static_cast<std::size_t>(extra) >= s.size()) {
        ++pos; valid = false;
        return 0xFFFD;
    }
    for (int i = 1; i <= extra; ++i) {
        const auto b = static_cast<unsigned char>(s[pos + static_cast<std::size_t>(i)]);
        if ((b & 0xC0) != 0x80) {
            ++pos; valid = false;
            return 0xFFFD;
        }
        c = (c << 6) | (b & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++pos; valid = false;
        return 0xFFFD;
    }
    pos += static_cast<std::size_t>(extra) + 1;
    return c;
}

} // namespace

std::u32string codePointsFromWide(std::u16string_view text)
{
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xd800 && unit <= 0xdbff && i + 1 < text.size() && text[i + 1] >= 0xdc00 && text[i + 1] <= 0xdfff) {
            out += static_cast<char32_t>(0x10000 + ((unit - 0xd800) << 10) + (text[i + 1] - 0xdc00));
            ++i;
        } else if (unit >= 0xd800 && unit <= 0xdfff) {
            out += U'\uFFFD';
        } else {
            out += unit;
        }
    }
    return out;
}

char16_t wideFromAnsiByte(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return kHighControls[byte - 0x80];
    return byte;
}

std::string ansiFromWide(std::u16string_view wide)
{
    std::string out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const char16_t u = wide[i];
        if (isHighSurrogate(u) && i + 1 < wide.size() && isLowSurrogate(wide[i + 1])) {
            out += '?';
            ++i;
        } else if (isHighSurrogate(u) || isLowSurrogate(u)) {
            out += '?';
        } else {
            out += ansiByteFor(u);
        }
    }
    return out;
}

std::u16string wideFromAnsi(std::string_view ansi)
{
    std::u16string out;
    out.reserve(ansi.size());
    for (char c : ansi)
        out += wideFromAnsiByte(static_cast<unsigned char>(c));
    return out;
}

std::string utf8FromWide(std::u16string_view wide)
{
    std::string out;
    out.reserve(wide.size() * 2);
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const char16_t u = wide[i];
        if (isHighSurrogate(u) && i + 1 < wide.size() && isLowSurrogate(wide[i + 1])) {
            appendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(wide[i + 1]) - 0xDC00));
            ++i;
        } else if (isHighSurrogate(u) || isLowSurrogate(u)) {
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, u);
        }
    }
    return out;
}

std::u16string wideFromUtf8(std::string_view utf8)
{
    std::u16string out;
    out.reserve(utf8.size());
    bool valid = true;
    for (std::size_t pos = 0; pos < utf8.size();)
        appendUtf16(out, nextUtf8(utf8, pos, valid));
    return out;
}

std::string utf8FromAnsi(std::string_view ansi)
{
    // One pass, runs of ASCII copied whole: no character of the page needs a surrogate pair.
    std::string out;
    out.reserve(ansi.size());
    std::size_t done = 0;
    while (done < ansi.size()) {
        std::size_t end = done;
        while (end < ansi.size() && static_cast<unsigned char>(ansi[end]) < 0x80)
            ++end;
        out.append(ansi, done, end - done);
        if (end == ansi.size())
            break;
        appendUtf8(out, wideFromAnsiByte(static_cast<unsigned char>(ansi[end])));
        done = end + 1;
    }
    return out;
}
std::string ansiFromUtf8(std::string_view utf8)
{
    // Straight from UTF-8, without a UTF-16 copy of a text that may be a whole file;
    // as through UTF-16, a character beyond the page (a supplementary one included) is one "?".
    // Each sequence gives one byte, so the text never grows: written in place, then cut.
    std::string out(utf8.size(), '\0');
    std::size_t written = 0;
    bool valid = true;
    for (std::size_t pos = 0; pos < utf8.size();)
        out[written++] = ansiByteFor(nextUtf8(utf8, pos, valid));
    out.resize(written);
    return out;
}

bool isValidUtf8(std::string_view bytes)
{
    bool valid = true;
    for (std::size_t pos = 0; pos < bytes.size() && valid;)
        nextUtf8(bytes, pos, valid);
    return valid;
}

std::string repairedUtf8(std::string_view s)
{
    return isValidUtf8(s) ? std::string(s) : utf8FromWide(wideFromUtf8(s));
}

namespace {

// low: the index, 0 or 1, of a unit's low byte.
std::string utf8FromUtf16(std::string_view bytes, std::size_t low)
{
    std::u16string wide;
    wide.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        wide += static_cast<char16_t>(static_cast<unsigned char>(bytes[i + low])
                                      | (static_cast<unsigned char>(bytes[i + 1 - low]) << 8));
    return utf8FromWide(wide);
}

std::string utf16FromUtf8(std::string_view text, bool littleEndian)
{
    std::string bytes;
    for (char16_t unit : wideFromUtf8(text)) {
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>(unit >> 8);
        bytes += littleEndian ? low : high;
        bytes += littleEndian ? high : low;
    }
    return bytes;
}

} // namespace

std::string utf8FromUtf16Le(std::string_view bytes) { return utf8FromUtf16(bytes, 0); }
std::string utf16LeFromUtf8(std::string_view text) { return utf16FromUtf8(text, true); }
std::string utf8FromUtf16Be(std::string_view bytes) { return utf8FromUtf16(bytes, 1); }
std::string utf16BeFromUtf8(std::string_view text) { return utf16FromUtf8(text, false); }

bool holdsLineBreakOrNul(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
}

std::u16string wideFromCodePoint(long long code)
{
    std::u16string out;
    if (code < 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        code = 0xFFFD;
    appendUtf16(out, static_cast<char32_t>(code));
    return out;
}

} // namespace umbrill
