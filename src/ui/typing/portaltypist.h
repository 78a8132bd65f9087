// Types through the desktop's RemoteDesktop portal (org.freedesktop.portal.Desktop)
// over D-Bus, for Wayland desktops, where XTest reaches X11 programs only.
// start() opens a session with a keyboard device, which is where the desktop
// asks the user's consent; a portal of version 2 or later is asked to keep
// that consent, and gives a restore token with which the next session starts
// without asking. Keysyms typed before the session has started wait for it;
// if the user refuses, they are dropped and ended() is emitted.
#pragma once

#include "ui/typing/typist.h"

#include <QDBusConnection>
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

    State state() const { return m_state; }
    std::uint32_t version() const { return m_version; }

private slots:
    void onResponse(uint code, const QVariantMap &results);

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

    QDBusConnection m_bus;
    QString m_restoreToken;
    std::function<void(const QString &)> m_keepToken;
    State m_state = State::Idle;
    std::uint32_t m_version = 0;
    QString m_session;
    QString m_requestPath;
    std::function<void(uint, const QVariantMap &)> m_then;
    std::deque<Keysym> m_queue;
    int m_requests = 0;
};

} // namespace umbrill
