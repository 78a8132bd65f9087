// The HTML entity texts that the HTML paste format places instead of a key's
// character: accented Latin letters of the Western European languages and a set
// of common symbols. Every other character is placed as itself.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace umbrill {

struct HtmlEntityRow {
    char16_t character;      // one UTF-16 unit; every row lies in the Basic Multilingual Plane
    std::string_view entity;  // "&" name ";", ASCII
};

// Fixed, ordered; no character occurs twice. U+00BA deliberately shares "&deg;"
// with U+00B0, and the markup characters & < > " have no rows.
extern const std::array<HtmlEntityRow, 79> HtmlEntityTable;

// The entity text of the row whose character is the whole of c, compared unit
// by unit and length included (case-sensitive, no normalisation: a base letter
// followed by a combining accent finds nothing); nullopt when no row matches.
std::optional<std::string_view> GetHtmlEntity(std::u16string_view c);

} // namespace umbrill
