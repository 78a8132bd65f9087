#include "ui/platform/xdndsource.h"

#include "ui/keys/keybutton.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QGuiApplication>
#include <QHash>
#include <QMimeData>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace umbrill::xdndsource {

namespace {

class SelectionServer : public QAbstractNativeEventFilter {
public:
    explicit SelectionServer(xcb_connection_t *connection)
        : m_connection(connection)
    {
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_SELECTION_REQUEST)
            return false;
        const auto *request = static_cast<const xcb_selection_request_event_t *>(message);
        const QMimeData *data = draggedCharacterData();
        if (!data || request->selection != atom("XdndSelection"))
            return false;
        return answer(*request, *data);
    }

private:
    xcb_atom_t atom(const QByteArray &name)
    {
        if (auto known = m_atoms.constFind(name); known != m_atoms.cend())
            return *known;
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(name.size()), name.constData()), nullptr);
        const xcb_atom_t value = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        if (value != XCB_ATOM_NONE)
            m_atoms.insert(name, value);
        return value;
    }

    QByteArray atomName(xcb_atom_t atom)
    {
        xcb_get_atom_name_reply_t *reply =
            xcb_get_atom_name_reply(m_connection, xcb_get_atom_name(m_connection, atom), nullptr);
        QByteArray name;
        if (reply)
            name = QByteArray(xcb_get_atom_name_name(reply), xcb_get_atom_name_name_length(reply));
        std::free(reply);
        return name;
    }

    // Writes what the request asks for into its property and tells the
    // requestor; false (Qt answers) for a format the drag does not carry.
    bool answer(const xcb_selection_request_event_t &request, const QMimeData &data)
    {
        // A requestor of the old protocol names no property: the target's name is used.
        const xcb_atom_t property = request.property != XCB_ATOM_NONE ? request.property : request.target;
        if (request.target == atom("TARGETS")) {
            std::vector<xcb_atom_t> targets{atom("TARGETS"), atom("UTF8_STRING")};
            for (const QString &format : data.formats())
                if (const xcb_atom_t named = atom(format.toLatin1()); named != XCB_ATOM_NONE)
                    targets.push_back(named);
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, request.requestor, property, XCB_ATOM_ATOM, 32,
                                static_cast<uint32_t>(targets.size()), targets.data());
        } else {
            QByteArray bytes;
            if (request.target == atom("UTF8_STRING")) {
                bytes = data.text().toUtf8();
            } else {
                const QString format = QString::fromLatin1(atomName(request.target));
                if (!data.hasFormat(format))
                    return false;
                bytes = data.data(format);
            }
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, request.requestor, property, request.target, 8,
                                static_cast<uint32_t>(bytes.size()), bytes.constData());
        }
        xcb_selection_notify_event_t notify{};
        notify.response_type = XCB_SELECTION_NOTIFY;
        notify.time = request.time;
        notify.requestor = request.requestor;
        notify.selection = request.selection;
        notify.target = request.target;
        notify.property = property;
        // An event sent is always 32 bytes long.
        char event[32] = {};
        static_assert(sizeof notify <= sizeof event);
        std::memcpy(event, &notify, sizeof notify);
        xcb_send_event(m_connection, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT, event);
        xcb_flush(m_connection);
        return true;
    }

    xcb_connection_t *m_connection;
    QHash<QByteArray, xcb_atom_t> m_atoms;
};

} // namespace

void serve()
{
    auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    // The program has one display connection for its whole life.
    static SelectionServer server(connection);
    qApp->installNativeEventFilter(&server);
}

} // namespace umbrill::xdndsource
