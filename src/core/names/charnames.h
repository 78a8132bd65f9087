// What a character is called: its Unicode name, a description where Unicode
// gives none, and the forms a user sees its code in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace umbrill {

// The Unicode name in ICU's capitals ("LATIN SMALL LETTER E WITH ACUTE").
// A character without a name is described by its kind and code:
// "control U+0009", "private use U+E000", "surrogate U+D800",
// "noncharacter U+FFFF", "unassigned U+0378"; a code beyond U+10FFFF is
// "not a character U+110000". Never empty. Reads ICU's name data on its
// first call, so call it when a name is wanted, not at start-up.
std::string characterName(char32_t c);

// "U+" and at least four upper-case hexadecimal digits: "U+00E9", "U+1F600".
std::string codePointLabel(char32_t c);

// The first code point of a UTF-16 text (a lone surrogate stands for itself);
// nullopt for an empty text.
std::optional<char32_t> firstCodePoint(std::u16string_view text);

// A code point as UTF-16 and as UTF-8; a surrogate or a code beyond U+10FFFF
// gives U+FFFD.
std::u16string utf16Of(char32_t c);
std::string utf8Of(char32_t c);

} // namespace umbrill
