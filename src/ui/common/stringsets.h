// The four string sets by their names. A window that shows a language's row
// with showTexts(row) gets SetEnglish, SetGerman, SetFrench and SetSpanish,
// each showing that language's row; any other language is shown by its row.
#pragma once

#include "core/interface/interfacestrings.h"

#include <string_view>

namespace umbrill {

template <typename Window>
class StringSets {
public:
    void SetEnglish() { showSet("English"); }
    void SetGerman() { showSet("Deutsch"); }
    void SetFrench() { showSet("Français"); }
    void SetSpanish() { showSet("Español"); }

private:
    void showSet(std::string_view name) { static_cast<Window *>(this)->showTexts(interfaceTexts(name)); }
};

} // namespace umbrill
