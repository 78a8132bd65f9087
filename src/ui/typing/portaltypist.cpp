// The RemoteDesktop portal client.
#include "ui/typing/portaltypist.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace umbrill {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kRemoteDesktop = QStringLiteral("org.freedesktop.portal.RemoteDesktop");
constexpr uint kKeyboard = 1;
constexpr uint kPersistUntilRevoked = 2;

QDBusMessage portalCall(const QString &interface, const QString &method)
{
    return QDBusMessage::createMethodCall(kService, kPath, interface, method);
}

QDBusMessage versionCall()
{
    QDBusMessage call = portalCall(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << kRemoteDesktop << QStringLiteral("version");
    return call;
}

std::uint32_t versionOf(const QDBusMessage &reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return 0;
    return reply.arguments().first().value<QDBusVariant>().variant().toUInt();
}

} // namespace

PortalTypist::PortalTypist(QDBusConnection bus, QString restoreToken, std::function<void(const QString &)> keepToken,
                           QObject *parent)
    : Typist(parent), m_bus(std::move(bus)), m_restoreToken(std::move(restoreToken)), m_keepToken(std::move(keepToken))
{
}

PortalTypist::~PortalTypist() { stop(); }

bool PortalTypist::available(QDBusConnection bus)
{
    if (!bus.isConnected())
        return false;
    return versionOf(bus.call(versionCall(), QDBus::Block, 3000)) >= 1;
}

void PortalTypist::start()
{
    if (m_state == State::Starting || m_state == State::Ready)
        return;
    m_state = State::Starting;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(versionCall()), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        m_version = versionOf(w->reply());
        if (m_version < 1 || m_state != State::Starting)
            return refuse();
        createSession();
    });
}

void PortalTypist::createSession()
{
    QVariantMap options{{QStringLiteral("session_handle_token"), QStringLiteral("umbrill")}};
    request(QStringLiteral("CreateSession"), {}, options, [this](uint code, const QVariantMap &results) {
        const QVariant handle = results.value(QStringLiteral("session_handle"));
        m_session = handle.canConvert<QDBusObjectPath>() ? handle.value<QDBusObjectPath>().path() : handle.toString();
        if (code != 0 || m_session.isEmpty())
            return refuse();
        selectDevices();
    });
}

void PortalTypist::selectDevices()
{
    QVariantMap options{{QStringLiteral("types"), kKeyboard}};
    // Keeping the consent came with version 2.
    if (m_version >= 2) {
        options.insert(QStringLiteral("persist_mode"), kPersistUntilRevoked);
        if (!m_restoreToken.isEmpty())
            options.insert(QStringLiteral("restore_token"), m_restoreToken);
    }
    request(QStringLiteral("SelectDevices"), {QVariant::fromValue(QDBusObjectPath(m_session))}, options,
            [this](uint code, const QVariantMap &) {
                if (code != 0)
                    return refuse();
                startSession();
            });
}

void PortalTypist::startSession()
{
    request(QStringLiteral("Start"), {QVariant::fromValue(QDBusObjectPath(m_session)), QString()}, {},
            [this](uint code, const QVariantMap &results) {
                if (code != 0 || !(results.value(QStringLiteral("devices")).toUInt() & kKeyboard))
                    return refuse();
                const QString token = results.value(QStringLiteral("restore_token")).toString();
                if (!token.isEmpty()) {
                    m_restoreToken = token;
                    if (m_keepToken)
                        m_keepToken(token);
                }
                m_state = State::Ready;
                flush();
            });
}

void PortalTypist::request(const QString &method, QList<QVariant> arguments, QVariantMap options,
                           std::function<void(uint, const QVariantMap &)> then)
{
    const QString token = QStringLiteral("umbrill%1").arg(++m_requests);
    options.insert(QStringLiteral("handle_token"), token);
    QString sender = m_bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    // Listening before the call: a portal may answer before its reply arrives.
    if (!m_requestPath.isEmpty())
        m_bus.disconnect(kService, m_requestPath, QStringLiteral("org.freedesktop.portal.Request"),
                         QStringLiteral("Response"), this, SLOT(onResponse(uint, QVariantMap)));
    m_requestPath = kPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
    m_then = std::move(then);
    m_bus.connect(kService, m_requestPath, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"),
                  this, SLOT(onResponse(uint, QVariantMap)));
    QDBusMessage call = portalCall(kRemoteDesktop, method);
    arguments.append(options);
    call.setArguments(arguments);
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        if (w->isError() && m_state == State::Starting)
            refuse();
    });
}

void PortalTypist::onResponse(uint code, const QVariantMap &results)
{
    if (!m_then)
        return;
    auto then = std::move(m_then);
    m_then = nullptr;
    then(code, results);
}

void PortalTypist::refuse()
{
    const bool wasStarting = m_state == State::Starting;
    m_then = nullptr;
    m_queue.clear();
    m_state = State::Refused;
    if (wasStarting)
        emit ended();
}

void PortalTypist::type(const std::vector<Keysym> &keysyms)
{
    if (m_state == State::Refused)
        return;
    m_queue.insert(m_queue.end(), keysyms.begin(), keysyms.end());
    if (m_state == State::Ready)
        flush();
    else if (m_state == State::Idle)
        start();
}

void PortalTypist::flush()
{
    const QVariant session = QVariant::fromValue(QDBusObjectPath(m_session));
    for (const Keysym keysym : m_queue) {
        for (const uint state : {1u, 0u}) {
            QDBusMessage call = portalCall(kRemoteDesktop, QStringLiteral("NotifyKeyboardKeysym"));
            call << session << QVariantMap() << static_cast<int>(keysym) << state;
            m_bus.send(call);
        }
    }
    m_queue.clear();
}

void PortalTypist::stop()
{
    if (m_state == State::Ready && !m_session.isEmpty())
        m_bus.send(QDBusMessage::createMethodCall(kService, m_session, QStringLiteral("org.freedesktop.portal.Session"),
                                                  QStringLiteral("Close")));
    m_then = nullptr;
    m_queue.clear();
    m_session.clear();
    m_state = State::Idle;
}

} // namespace umbrill
