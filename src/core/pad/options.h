// The user's preferences as the pad uses them (the three user settings and
// the key size), and the Options dialog's session on them, from opening to OK
// or Cancel.
#pragma once

#include "core/keypad/pasteformat.h"
#include "core/pad/padmemory.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace umbrill {

// Shows a language in every window. Where a rule changes the interface
// language, it is called at the point of the rule where the texts change, so
// that a failing store after it leaves the windows as the rule left them.
using ShowLanguage = std::function<void(const std::string &controlLanguage)>;

// What the Options dialog shows when it opens and reports on OK.
struct OptionsChoice {
    PasteFormat pasteFormat = PasteFormat::PlainText;
    std::int32_t keySize = 0;                   // kKeySizeMinimum to kKeySizeMaximum
    std::optional<std::string> controlLanguage; // nullopt: no item of the list selected
};

// The three user settings as the pad uses them: the interface language, the
// key size (which a key font may raise) and the paste format.
struct Preferences {
    std::string controlLanguage{kControlLanguage.dflt};
    std::int32_t keySize = 0;
    PasteFormat pasteFormat = PasteFormat::PlainText;
};

class OptionsSession {
public:
    // The dialog opens: with no keyboard language shown the key size is read
    // from the settings (with one shown, the window's counts: a large key
    // font may have raised it); the paste format is read; the interface
    // language is remembered for Cancel. The key size comes clamped to the
    // sizes the dialog offers.
    OptionsChoice open(Preferences &preferences, const PadMemory &memory, bool languageShown);
    // A language picked in the list shows at once; nothing is stored.
    void pick(Preferences &preferences, const std::string &controlLanguage, const ShowLanguage &show) const;
    // Cancel: the language of the opening shows again when another was picked.
    void cancel(Preferences &preferences, const ShowLanguage &show) const;
    // OK: stores KeySize, PasteFormat and, when an item is selected,
    // ControlLanguage, in that order. A chosen language that is not the one
    // shown (a stored "english" selects "English") is shown before it is
    // stored. A failing write throws; the writes before it stay done.
    void store(Preferences &preferences, const PadMemory &memory, const OptionsChoice &choice,
               const ShowLanguage &show) const;

private:
    std::string m_openingLanguage;
};

} // namespace umbrill
