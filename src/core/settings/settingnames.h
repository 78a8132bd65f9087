// The names of the program's files and of the sections that hold its values,
// and the key sizes the Options dialog offers. Each value the pad stores in
// the settings is declared in core/pad/storedvalues.h.
#pragma once

#include <cstdint>
#include <string_view>

namespace umbrill {

// The section of the settings store that holds every value of the pad.
inline constexpr std::string_view kSettingsSection = "Settings";
// The key sizes the Options dialog offers; a stored size outside them is shown clamped.
inline constexpr std::int32_t kKeySizeMinimum = 10;
inline constexpr std::int32_t kKeySizeMaximum = 50;

inline constexpr std::string_view kDataFileName = "Umbrill05.ini";
inline constexpr std::string_view kHelpFileName = "umbrill_help.pdf";
inline constexpr std::string_view kDataSection = "Umbrill";
inline constexpr std::string_view kLanguagesKey = "Languages";
inline constexpr std::string_view kNotFound = "not found";

} // namespace umbrill
