// What a click types into the focused window with Type into Window on, and the
// X keysym that stands for each character typed.
#pragma once

#include "core/keypad/pasteformat.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace umbrill {

using Keysym = std::uint32_t;

// The keysym of a Unicode code point, as keyboard layouts name it: the named
// keysym where X has one (é 0xe9, € 0x20ac EuroSign, α 0x7e1 Greek_alpha),
// otherwise 0x01000000 + the code point, which X defines for every Unicode
// character up to U+10FFFF. U+0009 is Tab, U+000A and U+000D Return, U+0008
// BackSpace; the other controls take the 0x01000000 form. A code point above
// U+10FFFF or a surrogate gives the keysym of U+FFFD.
Keysym keysymFor(char32_t codePoint);

// The text a click on a key with this character types: the bare character,
// whole (a surrogate pair is one character), in every format but HTML; in the
// HTML format the character's entity text where it has one, else the bare
// character. Nothing is collected and nothing becomes "?".
std::u32string typedText(std::u16string_view character, PasteFormat format);

// The character a keysym types (0 for none): the reverse of keysymFor.
char32_t characterOf(Keysym keysym);

// The keysyms that type the text, one per code point, in order.
std::vector<Keysym> keysymsFor(std::u32string_view text);

} // namespace umbrill
