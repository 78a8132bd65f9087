// Every stored setting and data-file key, declared once, with its default and bounds.
#pragma once

#include <cstdint>
#include <string_view>

namespace umbrill {

inline constexpr std::string_view kSettingsSection = "Settings";
inline constexpr std::string_view kControlLanguageKey = "ControlLanguage";
inline constexpr std::string_view kKeySizeKey = "KeySize";
inline constexpr std::string_view kKeySizeDefault = "42";
// The key sizes the Options dialog offers; a stored size outside them is shown clamped.
inline constexpr std::int32_t kKeySizeMinimum = 10;
inline constexpr std::int32_t kKeySizeMaximum = 50;
inline constexpr std::string_view kPasteFormatKey = "PasteFormat";
inline constexpr std::string_view kPasteFormatDefault = "unicode";
// The interface language a load falls back to; start-up reads with "" instead.
inline constexpr std::string_view kControlLanguageDefault = "English";

inline constexpr std::string_view kDataFileName = "Umbrill05.ini";
inline constexpr std::string_view kHelpFileName = "umbrill_help.pdf";
inline constexpr std::string_view kDataSection = "Umbrill";
inline constexpr std::string_view kLanguagesKey = "Languages";
inline constexpr std::string_view kNotFound = "not found";

} // namespace umbrill
