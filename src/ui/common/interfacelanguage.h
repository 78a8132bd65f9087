// Applies a window's string set by the interface-language match.
#pragma once

#include "core/interface/interfacestrings.h"

namespace umbrill {

template <class Window>
void applyInterfaceLanguage(Window &window, std::string_view controlLanguage)
{
    const auto language = matchInterfaceLanguage(controlLanguage);
    if (!language)
        return;
    switch (*language) {
    case InterfaceLanguage::English: window.SetEnglish(); break;
    case InterfaceLanguage::German: window.SetGerman(); break;
    case InterfaceLanguage::French: window.SetFrench(); break;
    case InterfaceLanguage::Spanish: window.SetSpanish(); break;
    }
}

} // namespace umbrill
