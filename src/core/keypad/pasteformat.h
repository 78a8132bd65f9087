// The four paste formats, their codes and the names they are stored by.
#pragma once

#include <cstdint>
#include <string_view>

namespace umbrill {

enum class PasteFormat : std::uint8_t { PlainText = 0, RichText = 1, Unicode = 2, Html = 3 };

// "richText" 1, "unicode" 2, "html" 3, anything else 0; exact and case-sensitive.
PasteFormat pasteFormatFromName(std::string_view name);
// 1 "richText", 2 "unicode", 3 "html", anything else "plainText".
std::string_view pasteFormatName(PasteFormat format);

} // namespace umbrill
