// What a click types, and the keysyms it takes.
#include "core/typing/typedtext.h"

#include "core/keypad/htmlentities.h"
#include "core/text/ansi.h"

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
    if ((cp >= 0x20 && cp <= 0x7e) || (cp >= 0xa0 && cp <= 0xff))
        return cp;
    if (cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff))
        cp = 0xfffd;
    return 0x01000000u + cp;
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

} // namespace umbrill
