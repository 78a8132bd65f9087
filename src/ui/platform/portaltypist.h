// Types through the desktop's RemoteDesktop portal (org.freedesktop.portal.Desktop)
// over D-Bus, for Wayland desktops, where XTest reaches X11 programs only.
// start() opens a session with a keyboard device, which is where the desktop
// asks the user's consent; a portal of version 2 or later is asked to keep
// that consent, and gives a restore token with which the next session starts
// without asking. What is typed before the session has started waits for it,
// and for the focus to settle back on the window once the question closes;
// if the user refuses, it is dropped and ended() is emitted. When the desktop
// closes the session (the user stops sharing), closedByDesktop() and ended()
// are emitted, and the next start asks again.
// The portal types only keysyms of the current layout: a character the layout
// lacks goes by the input method's Unicode entry where the session takes it,
// else it is reported by notTyped().
#pragma once

#include "core/typing/keyentry.h"
#include "ui/platform/typist.h"

#include <QDBusConnection>
#include <QTimer>
#include <QString>
#include <QVariantMap>

#include <deque>
#include <functional>

namespace umbrill {

class PortalTypist : public Typist {
    Q_OBJECT
public:
    enum class State { Idle, Starting, Ready, Refused };

    // keepToken is called with each new restore token, to be stored.
    PortalTypist(QDBusConnection bus, QString restoreToken, std::function<void(const QString &)> keepToken,
                 QObject *parent = nullptr);
    ~PortalTypist() override;

    // Whether the bus offers the portal with its RemoteDesktop interface
    // (asks it for its version, which may start it; blocks for that call).
    static bool available(QDBusConnection bus);

    void start() override;
    void stop() override;
    void finish() override { stop(); }
    void type(const std::vector<Keysym> &keysyms) override;
    void typeText(const std::u32string &text) override;

    // What the current layout has, and whether the Unicode entry may be used;
    // by default every keysym counts as on the layout.
    void setKeyboard(LayoutHas layoutHas, bool unicodeEntry);
    // How long typing waits after the session has started (milliseconds).
    void setSettleDelay(int milliseconds) { m_settleDelay = milliseconds; }

    State state() const { return m_state; }

private slots:
    void onResponse(uint code, const QVariantMap &results);
    void onClosed(const QVariantMap &details);

private:
    // Calls method on the portal with options carrying a fresh handle_token,
    // listening for its Response first; then runs with the Response.
    void request(const QString &method, QList<QVariant> arguments, QVariantMap options,
                 std::function<void(uint, const QVariantMap &)> then);
    void createSession();
    void selectDevices();
    void startSession();
    void refuse();
    void flush();
    // What is queued is sent now when the session is ready, else once it is.
    void sendQueued();
    void watchSession(bool watch);
    // Empties the queue; its characters are reported by notTyped.
    void dropQueue();
    void sendNext();

    // A keysym sent as it is, or a character sent the way the layout allows.
    struct Pending {
        bool character;
        std::uint32_t value;
    };

    QDBusConnection m_bus;
    QString m_restoreToken;
    std::function<void(const QString &)> m_keepToken;
    State m_state = State::Idle;
    std::uint32_t m_version = 0;
    QString m_session;
    QString m_requestPath;
    std::function<void(uint, const QVariantMap &)> m_then;
    std::deque<Pending> m_queue;
    std::deque<KeyEvent> m_outbox;  // key events planned, sent one after the other
    bool m_sending = false;
    int m_requests = 0;
    LayoutHas m_layoutHas = [](Keysym) { return true; };
    bool m_unicodeEntry = false;
    int m_settleDelay = 1200;
    bool m_settled = false;
    QTimer *m_settle;
    QTimer *m_pause;  // between a Unicode entry and the next key
};

} // namespace umbrill
