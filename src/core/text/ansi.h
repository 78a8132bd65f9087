// Conversions between the program's three text forms: ANSI (Windows-1252 bytes,
// the form of plain clipboard text and of data-file codes 0 to 255), wide
// (UTF-16, what a key carries) and UTF-8 (what files and the toolkit take).
#pragma once

#include <string>
#include <string_view>

namespace umbrill {

// Windows-1252 bytes of a UTF-16 text; a character the page lacks (a surrogate
// pair counts as one character) becomes "?".
std::string ansiFromWide(std::u16string_view wide);
// UTF-16 of Windows-1252 bytes. Never fails: the five bytes the page leaves
// undefined map to the C1 controls of the same value, as Windows maps them.
std::u16string wideFromAnsi(std::string_view ansi);

// The character of one Windows-1252 byte.
char16_t wideFromAnsiByte(unsigned char byte);

// UTF-8 and UTF-16. Malformed input (a lone surrogate, a bad byte sequence)
// becomes U+FFFD; these never throw.
std::string utf8FromWide(std::u16string_view wide);
std::u16string wideFromUtf8(std::string_view utf8);

std::string utf8FromAnsi(std::string_view ansi);
std::string ansiFromUtf8(std::string_view utf8);

// True when the bytes are well-formed UTF-8.
bool isValidUtf8(std::string_view bytes);
// The bytes unchanged when they are well-formed UTF-8, else with every bad
// sequence replaced by U+FFFD.
std::string repairedUtf8(std::string_view bytes);

// The byte-order marks a text file may start with.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
inline constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
inline constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

// UTF-16LE bytes (as Windows writes text files) and UTF-8; an odd last byte is dropped.
std::string utf8FromUtf16Le(std::string_view bytes);
std::string utf16LeFromUtf8(std::string_view text);
// The same for UTF-16BE bytes.
std::string utf8FromUtf16Be(std::string_view bytes);
std::string utf16BeFromUtf8(std::string_view text);

// True when text holds CR, LF or NUL: it would break a line-based file.
bool holdsLineBreakOrNul(std::string_view text);

// UTF-16 of one Unicode scalar value; a negative code, a surrogate or a code
// beyond U+10FFFF gives U+FFFD.
std::u16string wideFromCodePoint(long long code);
// The Unicode scalar values of UTF-16 text; a lone surrogate gives U+FFFD.
std::u32string codePointsFromWide(std::u16string_view text);

} // namespace umbrill
