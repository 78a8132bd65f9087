// The system clipboard for the output engine.
#include "ui/common/clipboardadapter.h"

#include "core/text/error.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>
#include <QTimer>

namespace umbrill {

QMimeData *toMimeData(const ClipboardPayload &payload)
{
    auto *data = new QMimeData;
    for (const auto &[type, bytes] : payload.formats)
        data->setData(QString::fromStdString(type), QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return data;
}

ClipboardAdapter::ClipboardAdapter(QClipboard *clipboard)
    : m_clipboard(clipboard ? clipboard : QGuiApplication::clipboard())
{
}

void ClipboardAdapter::clear()
{
    if (m_clearPending)
        return;
    m_clearPending = true;
    QTimer::singleShot(0, &m_context, [this] {
        if (m_clearPending) {
            m_clearPending = false;
            m_clipboard->clear(QClipboard::Clipboard);
        }
    });
}

void ClipboardAdapter::set(const ClipboardPayload &payload)
{
    // A platform that refuses deletes the data, keeps another owner's, or has
    // no clipboard at all; in each case the clipboard does not hand ours back.
    // Ownership, where the platform reports it (X11, Wayland), is known without
    // asking the display server again; elsewhere the data is asked back.
    m_clearPending = false;
    QPointer<QMimeData> placed(toMimeData(payload));
    m_clipboard->setMimeData(placed.data(), QClipboard::Clipboard);
    if (!placed)
        throw Error(std::string(kCannotOpenClipboard));
    if (!m_clipboard->ownsClipboard() && m_clipboard->mimeData(QClipboard::Clipboard) != placed.data())
        throw Error(std::string(kCannotOpenClipboard));
}

} // namespace umbrill
