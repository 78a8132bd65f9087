// The Options dialog's session.
#include "core/pad/options.h"

#include <algorithm>

namespace umbrill {

OptionsChoice OptionsSession::open(Preferences &preferences, const PadMemory &memory, bool languageShown)
{
    if (!languageShown)
        preferences.keySize = memory.setting(kKeySize);
    preferences.pasteFormat = pasteFormatFromName(memory.setting(kPasteFormat));
    m_openingLanguage = preferences.controlLanguage;
    return OptionsChoice{preferences.pasteFormat, std::clamp(preferences.keySize, kKeySizeMinimum, kKeySizeMaximum),
                         preferences.controlLanguage};
}

void OptionsSession::pick(Preferences &preferences, const std::string &controlLanguage, const ShowLanguage &show) const
{
    preferences.controlLanguage = controlLanguage;
    show(preferences.controlLanguage);
}

void OptionsSession::cancel(Preferences &preferences, const ShowLanguage &show) const
{
    if (preferences.controlLanguage == m_openingLanguage)
        return;
    preferences.controlLanguage = m_openingLanguage;
    show(preferences.controlLanguage);
}

void OptionsSession::store(Preferences &preferences, const PadMemory &memory, const OptionsChoice &choice,
                           const ShowLanguage &show) const
{
    preferences.pasteFormat = choice.pasteFormat;
    preferences.keySize = choice.keySize;
    memory.store(kKeySize, preferences.keySize);
    memory.store(kPasteFormat, std::string(pasteFormatName(preferences.pasteFormat)));
    if (!choice.controlLanguage)
        return;
    const bool shown = *choice.controlLanguage == preferences.controlLanguage;
    preferences.controlLanguage = *choice.controlLanguage;
    if (!shown)
        show(preferences.controlLanguage);
    memory.store(kControlLanguage, preferences.controlLanguage);
}

} // namespace umbrill
