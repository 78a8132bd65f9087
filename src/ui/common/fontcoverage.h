// Whether an installed font can draw a character, as Find ranks its results.
#pragma once

namespace umbrill {

// True when a font that fontconfig knows holds a glyph for c: the union of
// the character sets of every installed font, gathered on the first call
// (some milliseconds), so call it when a search is first wanted, never at
// start-up. Where fontconfig knows no fonts, every character counts as drawn.
bool installedFontDraws(char32_t c);

} // namespace umbrill
