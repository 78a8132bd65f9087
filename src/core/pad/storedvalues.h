// Every value the pad keeps in the section kSettingsSection of the settings store,
// declared once: its key, its type, how it is written and what reads back.
// Reads and writes go through these declarations only.
#pragma once

#include "core/keypad/keygrid.h"
#include "core/keypad/outputengine.h"
#include "core/settings/settingnames.h"
#include "core/settings/settingsstore.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace umbrill {

// A value the pad remembers between runs. One that is absent, empty, stored
// as another type than text, damaged or out of bounds is not remembered.
template <class T>
struct RememberedValue {
    std::string_view key;
    std::optional<T> (*parse)(std::string_view text); // nullopt: damaged or out of bounds
    std::optional<std::string> (*format)(const T &value); // nullopt: not stored

    std::optional<T> in(const SettingsSection &section) const
    {
        const std::optional<std::string> text = section.text(key);
        return text && !text->empty() ? parse(*text) : std::nullopt;
    }
};

// A user setting: read with its default when absent; a value stored as
// another type than text is the store's Error.
template <class T>
struct UserSetting {
    std::string_view key;
    std::string_view dflt;
    T (*parse)(std::string_view text);
    std::string (*format)(const T &value);

    T in(const SettingsSection &section) const { return parse(section.value(key, dflt)); }
};

// "x,y" as stored for a place or a size: two whole numbers, as the comma-list
// rule splits them; nullopt for anything else.
std::optional<std::pair<std::int32_t, std::int32_t>> numberPair(std::string_view text);
std::string pairText(std::int64_t first, std::int64_t second);

// The forms of the values below.
std::string asText(std::string_view text);
std::optional<std::string> someText(std::string_view text);
std::optional<std::string> sameText(const std::string &text);
std::string textOf(const std::string &text);
std::int32_t keySizeOf(std::string_view text);
std::string keySizeText(const std::int32_t &size);
std::optional<bool> flagOf(std::string_view text);
std::optional<std::string> flagText(const bool &on);
std::optional<KeyPlacement> placementOf(std::string_view text);
std::optional<std::string> placementText(const KeyPlacement &place);
std::optional<InputMode> modeOf(std::string_view text);
std::optional<std::string> modeText(const InputMode &mode);
std::optional<GridSize> positiveSizeOf(std::string_view text);
std::optional<std::string> sizeText(const GridSize &size);

// The interface language ("English", "Deutsch", ...); start-up reads it with
// "" instead of the default, to tell a first start.
inline constexpr UserSetting<std::string> kControlLanguage{"ControlLanguage", "English", asText, textOf};
// The key size in pixels; any text reads as a whole number (see lenientToInt).
// The Options dialog offers kKeySizeMinimum to kKeySizeMaximum (settingnames.h),
// and shows a stored size outside them clamped.
inline constexpr UserSetting<std::int32_t> kKeySize{"KeySize", "42", keySizeOf, keySizeText};
// The paste format's name (see pasteFormatFromName).
inline constexpr UserSetting<std::string> kPasteFormat{"PasteFormat", "unicode", asText, textOf};

// The keyboard language last confirmed: its name, or kRecentLanguageKey for Recent.
inline constexpr RememberedValue<std::string> kLastLanguage{"LastLanguage", someText, sameText};
// The window's top left corner: "x,y".
inline constexpr RememberedValue<KeyPlacement> kWindowPosition{"WindowPosition", placementOf, placementText};
// Keep on Top: "1" or "0".
inline constexpr RememberedValue<bool> kKeepOnTop{"KeepOnTop", flagOf, flagText};
// "SingleChar" or "MultipleChar"; Direct Paste is not stored.
inline constexpr RememberedValue<InputMode> kInputMode{"InputMode", modeOf, modeText};
// Type into Window: "1" or "0".
inline constexpr RememberedValue<bool> kTypeIntoWindow{"TypeIntoWindow", flagOf, flagText};
// The token with which the desktop's RemoteDesktop portal restores the
// user's consent without asking again.
inline constexpr RememberedValue<std::string> kPortalRestoreToken{"PortalRestoreToken", someText, sameText};
// The last characters output, most recent first: decimal codes, comma-separated
// (see RecentCharacters).
inline constexpr RememberedValue<std::string> kRecent{"Recent", someText, sameText};
// The Find Character window's size as it was last closed: "width,height",
// both positive.
inline constexpr RememberedValue<GridSize> kFindSize{"FindWindowSize", positiveSizeOf, sizeText};

} // namespace umbrill
