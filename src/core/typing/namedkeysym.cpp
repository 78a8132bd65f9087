// Named keysyms, from libxkbcommon's table.
#include "core/typing/namedkeysym.h"

#include <xkbcommon/xkbcommon.h>

namespace umbrill {

Keysym namedKeysym(char32_t cp)
{
    if (cp < 0x20 || cp == 0x7f)
        return keysymFor(cp);
    if (cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff))
        cp = 0xfffd;
    const xkb_keysym_t keysym = xkb_utf32_to_keysym(cp);
    return keysym != XKB_KEY_NoSymbol ? keysym : keysymFor(cp);
}

} // namespace umbrill
