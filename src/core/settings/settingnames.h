// Every stored setting and data-file key, declared once, with the paste-format
// names and codes.
#pragma once

#include <cstdint>
#include <string_view>

namespace umbrill {

inline constexpr std::string_view kSettingsSection = "Settings";
inline constexpr std::string_view kControlLanguageKey = "ControlLanguage";
inline constexpr std::string_view kKeySizeKey = "KeySize";
inline constexpr std::string_view kKeySizeDefault = "42";
inline constexpr std::string_view kPasteFormatKey = "PasteFormat";
inline constexpr std::string_view kPasteFormatDefault = "unicode";
// The interface language a load falls back to; start-up reads with "" instead.
inline constexpr std::string_view kControlLanguageDefault = "English";

inline constexpr std::string_view kDataFileName = "Umbrill05.ini";
inline constexpr std::string_view kHelpFileName = "umbrill_help.pdf";
inline constexpr std::string_view kDataSection = "Umbrill";
inline constexpr std::string_view kLanguagesKey = "Languages";
inline constexpr std::string_view kNotFound = "not found";

enum class PasteFormat : std::uint8_t { PlainText = 0, RichText = 1, Unicode = 2, Html = 3 };

// "richText" 1, "unicode" 2, "html" 3, anything else 0; exact and case-sensitive.
PasteFormat pasteFormatFromName(std::string_view name);
// 1 "richText", 2 "unicode", 3 "html", anything else "plainText".
std::string_view pasteFormatName(PasteFormat format);

} // namespace umbrill
