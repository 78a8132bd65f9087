// The rich-text writer: the text of a click in the key font, as RTF and as an
// HTML fragment, and the clipboard payloads built from them.
#pragma once

#include "core/keypad/clipboardpayload.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace umbrill {

// Sizes above this are written as this: RTF readers take 16-bit parameters, and
// no word processor sets a larger font. A size of 0 or less names no size, so
// the reader keeps its default.
inline constexpr std::int32_t kLargestRichTextPoints = 1638;

// An RTF 1.x document (ASCII bytes) holding exactly text, without a closing
// paragraph mark, in the font face (UTF-8) at points:
//   {\rtf1\ansi\ansicpg1252\deff0\uc1{\fonttbl{\f0\fnil\fcharset0 face;}}\f0\fsN text}
// \fsN is twice the points. \ { } are escaped; a tab is \tab, a line end (CR,
// LF or CR LF) is \line, other control characters are \'hh. Every other
// non-ASCII character is \uN (signed 16-bit, as RTF requires) followed by one
// Windows-1252 fallback \'hh, or \'3f where the page lacks it; a character
// beyond U+FFFF is its two surrogates, each with its own fallback. The
// fallback "?" is written as \'3f so that no reader takes a following letter
// for part of it.
std::string rtfFromText(std::u16string_view text, std::string_view face, std::int32_t points);

// UTF-8 HTML: a charset declaration and the text, HTML-escaped (line ends as
// <br>), in a span whose style names the face and the size in pt.
std::string htmlFromText(std::u16string_view text, std::string_view face, std::int32_t points);

// Plain text from Windows-1252 bytes: text/plain and text/plain;charset=utf-8,
// both the UTF-8 of the text (so a character the page lacked is already "?")
// up to its first NUL.
ClipboardPayload plainTextPayload(std::string_view ansi);
// Plain text already in UTF-8, every character whole (what could not be typed
// into a window): text/plain and text/plain;charset=utf-8, up to its first NUL.
ClipboardPayload utf8TextPayload(std::string_view utf8);

// Rich text: text/rtf and application/rtf (one document), text/html, and
// text/plain and text/plain;charset=utf-8 (UTF-8 of text, every character
// whole, up to the first NUL). For the rich-text paste format pass the wide form of the ANSI text.
ClipboardPayload richTextPayload(std::u16string_view text, std::string_view face, std::int32_t points);

} // namespace umbrill
