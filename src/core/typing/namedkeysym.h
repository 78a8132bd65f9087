// The keysym that a keyboard layout carries for a character.
#pragma once

#include "core/typing/typedtext.h"

namespace umbrill {

// The named keysym of a code point where X has one (é is 0xe9, € is
// EuroSign 0x20ac, α is Greek_alpha 0x7e1), else 0x01000000 + the code point;
// Tab, Return (for U+000A and U+000D) and BackSpace as keysymFor gives them.
// A surrogate or a value above U+10FFFF gives the keysym of U+FFFD.
Keysym namedKeysym(char32_t codePoint);

} // namespace umbrill
