// Every stored setting and data-file key, declared once, with its default and bounds.
#pragma once

#include <array>
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

// What the pad remembers between runs, in the same section: the keyboard
// language last confirmed (its name), the window's top left corner ("x,y"),
// Keep on Top ("1" or "0") and the input mode ("SingleChar", "MultipleChar").
inline constexpr std::string_view kLastLanguageKey = "LastLanguage";
inline constexpr std::string_view kWindowPositionKey = "WindowPosition";
inline constexpr std::string_view kKeepOnTopKey = "KeepOnTop";
inline constexpr std::string_view kInputModeKey = "InputMode";
// The last characters output, most recent first: decimal codes, comma-separated.
inline constexpr std::string_view kRecentKey = "Recent";
// Type into Window ("1" or "0"), and the token with which the desktop's
// RemoteDesktop portal restores the user's consent without asking again.
inline constexpr std::string_view kTypeIntoWindowKey = "TypeIntoWindow";
inline constexpr std::string_view kPortalRestoreTokenKey = "PortalRestoreToken";
// The Find Character window's size ("width,height").
inline constexpr std::string_view kFindSizeKey = "FindWindowSize";

inline constexpr std::string_view kDataFileName = "Umbrill05.ini";
inline constexpr std::string_view kHelpFileName = "umbrill_help.pdf";
inline constexpr std::string_view kDataSection = "Umbrill";
inline constexpr std::string_view kLanguagesKey = "Languages";
inline constexpr std::string_view kNotFound = "not found";

} // namespace umbrill
