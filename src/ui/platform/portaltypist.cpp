// The RemoteDesktop portal client.
#include "ui/platform/portaltypist.h"

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
constexpr Keysym kShiftL = 0xffe1;

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
    : Typist(parent), m_bus(std::move(bus)), m_restoreToken(std::move(restoreToken)), m_keepToken(std::move(keepToken)),
      m_settle(new QTimer(this)), m_pause(new QTimer(this))
{
    m_pause->setSingleShot(true);
    connect(m_pause, &QTimer::timeout, this, [this] {
        m_sending = false;
        sendNext();
    });
    m_settle->setSingleShot(true);
    connect(m_settle, &QTimer::timeout, this, [this] {
        // The desktop's new keyboard drops the first keys it sends to a
        // window: a lone Shift goes first, and the rest a moment after it.
        m_outbox.push_back({kShiftL, true});
        m_outbox.push_back({kShiftL, false, m_settleDelay / 2});
        m_settled = true;
        flush();
    });
}

void PortalTypist::setKeyboard(LayoutHas layoutHas, bool unicodeEntry)
{
    m_layoutHas = std::move(layoutHas);
    m_unicodeEntry = unicodeEntry;
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
                watchSession(true);
                // The focus is still on its way back from the desktop's question.
                m_settled = false;
                m_settle->start(m_settleDelay);
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
    m_state = State::Refused;
    dropQueue();
    if (wasStarting)
        emit ended();
}

void PortalTypist::type(const std::vector<Keysym> &keysyms)
{
    if (m_state == State::Refused)
        return;
    for (const Keysym keysym : keysyms)
        m_queue.push_back({false, keysym});
    sendQueued();
}

void PortalTypist::typeText(const std::u32string &text)
{
    if (m_state == State::Refused) {
        emit notTyped(text);
        return;
    }
    for (const char32_t cp : text)
        m_queue.push_back({true, cp});
    sendQueued();
}

void PortalTypist::sendQueued()
{
    if (m_state == State::Ready)
        flush();
    else if (m_state == State::Idle)
        start();
}

void PortalTypist::flush()
{
    if (m_state != State::Ready || !m_settled)
        return;
    std::vector<KeyEvent> events;
    std::u32string notTypedText;
    for (const Pending &pending : m_queue) {
        if (!pending.character) {
            events.push_back({pending.value, true});
            events.push_back({pending.value, false});
        } else if (!appendKeyEvents(pending.value, m_layoutHas, m_unicodeEntry, events)) {
            notTypedText.push_back(pending.value);
        }
    }
    m_queue.clear();
    m_outbox.insert(m_outbox.end(), events.begin(), events.end());
    sendNext();
    if (!notTypedText.empty())
        emit notTyped(notTypedText);
}

void PortalTypist::sendNext()
{
    // One event at a time: the portal may handle calls side by side, and a
    // release overtaking its press loses the key.
    if (m_sending || m_outbox.empty() || m_state != State::Ready)
        return;
    const KeyEvent event = m_outbox.front();
    m_outbox.pop_front();
    QDBusMessage call = portalCall(kRemoteDesktop, QStringLiteral("NotifyKeyboardKeysym"));
    call << QVariant::fromValue(QDBusObjectPath(m_session)) << QVariantMap() << static_cast<int>(event.keysym)
         << (event.pressed ? 1u : 0u);
    m_sending = true;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, event](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        if (event.pauseAfterMs > 0) {
            m_pause->start(event.pauseAfterMs);
            return;
        }
        m_sending = false;
        sendNext();
    });
}

void PortalTypist::dropQueue()
{
    std::u32string characters;
    for (const Pending &pending : m_queue)
        if (pending.character)
            characters.push_back(pending.value);
    m_queue.clear();
    if (!characters.empty())
        emit notTyped(characters);
}

void PortalTypist::watchSession(bool watch)
{
    const QString interface = QStringLiteral("org.freedesktop.portal.Session");
    if (watch)
        m_bus.connect(kService, m_session, interface, QStringLiteral("Closed"), this, SLOT(onClosed(QVariantMap)));
    else
        m_bus.disconnect(kService, m_session, interface, QStringLiteral("Closed"), this, SLOT(onClosed(QVariantMap)));
}

void PortalTypist::onClosed(const QVariantMap &)
{
    if (m_state != State::Ready)
        return;
    watchSession(false);
    m_settle->stop();
    m_pause->stop();
    m_sending = false;
    m_outbox.clear();
    m_session.clear();
    m_state = State::Idle;
    dropQueue();
    emit closedByDesktop();
    emit ended();
}

void PortalTypist::stop()
{
    m_settle->stop();
    m_pause->stop();
    m_sending = false;
    m_outbox.clear();
    if (m_state == State::Ready && !m_session.isEmpty())
        watchSession(false);
    if (m_state == State::Ready && !m_session.isEmpty())
        m_bus.send(QDBusMessage::createMethodCall(kService, m_session, QStringLiteral("org.freedesktop.portal.Session"),
                                                  QStringLiteral("Close")));
    m_then = nullptr;
    m_queue.clear();
    m_session.clear();
    m_state = State::Idle;
}

} // namespace umbrill

