// The comma-list rule that splits a language entry and the catalogue of
// languages into items, and the two whole-number conversions of their items.
//
// Grammar: blanks and control characters (1 to 32) around items are skipped;
// an item is either "quoted" (a doubled quote inside stands for one quote) or
// runs up to the next comma or character 0 to 32. A comma ends an item; a
// blank between two items separates them like a comma; a comma at the very
// end adds one empty item. An unterminated quote runs to the end of the text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace umbrill {

std::vector<std::string> splitCommaList(std::string_view text);

// Strict conversion: leading blanks, then [+-]digits or a hexadecimal number
// written $E9, xE9, XE9, 0xE9 or 0XE9; nothing may follow and the value must
// fit a signed 32-bit integer. Throws Error("'item' is not a valid integer value").
std::int32_t strictToInt(std::string_view item);

// The strict conversion for a reader that skips what does not convert: nullopt
// where strictToInt throws. A long damaged list costs no exception an item.
std::optional<std::int32_t> strictNumber(std::string_view item);

// Lenient conversion: the same syntax, but it stops at the first character that
// does not fit and keeps the value read so far (0 when nothing fitted); digits
// that would overflow 32 bits are not taken. Never fails.
std::int32_t lenientToInt(std::string_view item);

// Plain decimal: no leading zeros or blanks, "-" only for negative values.
std::string decimalText(std::int64_t value);

} // namespace umbrill
