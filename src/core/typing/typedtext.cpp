// What a click types, and the keysyms it takes.
#include "core/typing/typedtext.h"

#include "core/keypad/htmlentities.h"
#include "core/text/ansi.h"

#include <xkbcommon/xkbcommon.h>

namespace umbrill {

Keysym keysymFor(char32_t cp)
{
    switch (cp) {
    case U'\b': return 0xff08;  // BackSpace
    case U'\t': return 0xff09;  // Tab
    case U'\n':
    case U'\r': return 0xff0d;  // Return
    default: break;
    }
    if (cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff))
        cp = 0xfffd;
    // Other controls are no keys of a keyboard (xkbcommon would make U+001B Escape).
    if (cp < 0x20 || (cp >= 0x7f && cp < 0xa0))
        return 0x01000000u + cp;
    const Keysym named = xkb_utf32_to_keysym(cp);
    return named ? named : 0x01000000u + cp;  // noncharacters have no keysym there
}

std::u32string typedText(std::u16string_view character, PasteFormat format)
{
    if (format == PasteFormat::Html) {
        if (const auto entity = GetHtmlEntity(character))
            return std::u32string(entity->begin(), entity->end());
    }
    return codePointsFromWide(character);
}

std::vector<Keysym> keysymsFor(std::u32string_view text)
{
    std::vector<Keysym> keysyms;
    keysyms.reserve(text.size());
    for (char32_t cp : text)
        keysyms.push_back(keysymFor(cp));
    return keysyms;
}

char32_t characterOf(Keysym keysym) { return xkb_keysym_to_utf32(keysym); }

} // namespace umbrill
