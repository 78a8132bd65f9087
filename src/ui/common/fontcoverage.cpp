// Font coverage through fontconfig, the library Qt itself finds fonts with.
#include "ui/common/fontcoverage.h"

#include <fontconfig/fontconfig.h>

#include <memory>

namespace umbrill {
namespace {

struct CharSetFree {
    void operator()(FcCharSet *set) const { FcCharSetDestroy(set); }
};
using CharSet = std::unique_ptr<FcCharSet, CharSetFree>;

CharSet installedCharacters()
{
    CharSet all(FcCharSetCreate());
    FcPattern *pattern = FcPatternCreate();
    FcObjectSet *objects = FcObjectSetBuild(FC_CHARSET, nullptr);
    FcFontSet *fonts = (pattern && objects) ? FcFontList(nullptr, pattern, objects) : nullptr;
    bool any = false;
    for (int i = 0; fonts && i < fonts->nfont; ++i) {
        FcCharSet *set = nullptr;
        if (FcPatternGetCharSet(fonts->fonts[i], FC_CHARSET, 0, &set) == FcResultMatch && set) {
            FcCharSetMerge(all.get(), set, nullptr);
            any = true;
        }
    }
    if (fonts)
        FcFontSetDestroy(fonts);
    if (objects)
        FcObjectSetDestroy(objects);
    if (pattern)
        FcPatternDestroy(pattern);
    if (!any)
        all.reset();
    return all;
}

} // namespace

bool installedFontDraws(char32_t c)
{
    static const CharSet installed = installedCharacters();
    return !installed || FcCharSetHasChar(installed.get(), static_cast<FcChar32>(c));
}

} // namespace umbrill
