// The paste-format names as they are stored.
#include "core/keypad/pasteformat.h"

namespace umbrill {

PasteFormat pasteFormatFromName(std::string_view name)
{
    if (name == "richText") return PasteFormat::RichText;
    if (name == "unicode") return PasteFormat::Unicode;
    if (name == "html") return PasteFormat::Html;
    return PasteFormat::PlainText;
}

std::string_view pasteFormatName(PasteFormat format)
{
    switch (format) {
    case PasteFormat::RichText: return "richText";
    case PasteFormat::Unicode: return "unicode";
    case PasteFormat::Html: return "html";
    case PasteFormat::PlainText: break;
    }
    return "plainText";
}

} // namespace umbrill
