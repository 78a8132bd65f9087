// Clipboard content as plain data.
#include "core/keypad/clipboardpayload.h"

namespace umbrill {

const std::string *ClipboardPayload::find(std::string_view mimeType) const
{
    for (const auto &[type, bytes] : formats) {
        if (type == mimeType)
            return &bytes;
    }
    return nullptr;
}

ClipboardSink::~ClipboardSink() = default;

} // namespace umbrill
