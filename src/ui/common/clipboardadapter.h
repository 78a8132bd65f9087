// The system clipboard for the output engine: a payload of MIME types and bytes
// becomes the toolkit's clipboard data here, and nowhere else.
#pragma once

#include "core/keypad/clipboardpayload.h"

#include <QObject>

class QClipboard;
class QMimeData;

namespace umbrill {

// Every format of the payload, bytes unchanged, in the payload's order. The
// caller owns the result (the clipboard takes it over in ClipboardAdapter::set).
QMimeData *toMimeData(const ClipboardPayload &payload);

// A ClipboardSink over the toolkit's clipboard (the application's when none is
// given). set() throws Error("Cannot open clipboard") when, right after
// placing the data, the clipboard does not hold it: the platform refused it.
//
// clear() empties the clipboard when control returns to the event loop, unless
// set() comes first in the same handler: placing data replaces the whole
// content anyway, and a click that empties then places (Single Char, plain
// text) then asks the display server once, not twice. Nothing else can see the
// difference: no other program is served between the two.
class ClipboardAdapter : public ClipboardSink {
public:
    explicit ClipboardAdapter(QClipboard *clipboard = nullptr);

    void clear() override;
    void set(const ClipboardPayload &payload) override;

private:
    QClipboard *m_clipboard;
    bool m_clearPending = false;
    QObject m_context;  // ends a pending clear with the adapter
};

} // namespace umbrill
