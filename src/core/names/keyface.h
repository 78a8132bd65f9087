// What a key shows where its character would show nothing: a space or a
// format character gets a short label (NBSP, ZWJ), a combining mark sits on a
// dotted circle. Only the face changes; the key's caption and what a click
// outputs stay the bare character.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace umbrill {

struct KeyFace {
    std::u16string text;
    bool label = false;  // a short label (shown in a smaller font), not a glyph
};

// The face of character c, by its general category: a label for the spaces
// other than U+0020 (Zs), the line and paragraph separators (Zl, Zp), the
// format characters (Cf, U+00AD among them) and the controls (Cc); the mark on
// U+25CC for the combining marks (Mn, Me), except the variation selectors,
// which get labels (VS1 ...). nullopt: the character shows as itself.
std::optional<KeyFace> visibleFace(char32_t c);

// The face of a pad key by its data-file code: as visibleFace for the key's
// character, except that the Arabic marks 1611 to 1618 keep the caption with a
// blank each side, which the pad has always shown.
std::optional<KeyFace> keyFace(std::int32_t code);

// The character a label of the table stands for, in any case ("nbsp", "ZWJ");
// nullopt for a text that is no label there.
std::optional<char32_t> labelledCharacter(std::u16string_view label);

} // namespace umbrill
