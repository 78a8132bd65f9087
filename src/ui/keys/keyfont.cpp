// The font a keyboard language gives its keys.
#include "ui/keys/keyfont.h"

#include "core/languages/languagerecord.h"
#include "ui/common/qtext.h"

#include <algorithm>

namespace umbrill {

QFont keyFont(const LanguageRecord &language, int largest, QFont base)
{
    if (!language.KeyFontName.empty())
        base.setFamily(qs(language.KeyFontName));
    if (language.KeyFontSize > 0)
        base.setPointSize(std::min(language.KeyFontSize, largest));
    return base;
}

} // namespace umbrill
