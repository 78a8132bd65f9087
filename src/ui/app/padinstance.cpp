// One pad per display: the session bus, or a local socket where there is none.
#include "ui/app/padinstance.h"

#include "core/pad/onepad.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>

#include <cstdio>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace umbrill {
namespace {

constexpr auto kObjectPath = "/org/example/Umbrill";
constexpr auto kInterface = "org.example.Umbrill.Pad";
// The running pad answers at once (it carries a command line out afterwards);
// a long wait only covers a pad still starting on a loaded machine.
constexpr int kAnswerTimeoutMs = 30000;
// A command line is a few words; a sender of more is not a start of ours.
constexpr qint64 kLargestCommandLine = 64 * 1024;

void say(const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fputs(bytes.constData(), stderr);
    if (!text.endsWith(QLatin1Char('\n')))
        std::fputc('\n', stderr);
}

int answered(const QString &problem)
{
    if (problem.isEmpty())
        return 0;
    say(problem);
    return 1;
}

// The session bus, where one is set up: never started on demand just to ask.
bool sessionBusConfigured()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

// A folder only this user can enter, for the socket: XDG_RUNTIME_DIR, else one
// of our own in the temporary folder. Empty when there is none to trust.
QString privateFolder()
{
    const auto trusted = [](const QString &path) {
        struct stat info {};
        return lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode)
            && info.st_uid == getuid() && (info.st_mode & 077) == 0;
    };
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && trusted(runtime))
        return runtime;
    const QString own = QDir::tempPath() + QStringLiteral("/umbrill-%1").arg(getuid());
    mkdir(QFile::encodeName(own).constData(), 0700);
    return trusted(own) ? own : QString();
}

} // namespace

// The object that answers later starts on the bus.
class PadBusObject : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.example.Umbrill.Pad")
public:
    // take answers a command line, or returns nullopt when it keeps the
    // message to answer later.
    using Take = std::function<std::optional<QString>(const QStringList &, const QDBusMessage &)>;
    PadBusObject(PadInstance *instance, Take take) : QObject(instance), m_take(std::move(take)) {}

public slots:
    // The command line of a later start; the answer is empty when carried out, else why not.
    QString Activate(const QStringList &arguments, const QDBusMessage &message)
    {
        const std::optional<QString> answer = m_take(arguments, message);
        if (!answer)
            message.setDelayedReply(true);
        return answer.value_or(QString());
    }

private:
    Take m_take;
};

struct PadInstance::Pending {
    std::vector<std::pair<QStringList, QDBusMessage>> calls;
    std::vector<std::pair<QStringList, QPointer<QLocalSocket>>> sockets;
    PadBusObject *busObject = nullptr;
};

PadInstance::PadInstance(const std::string &displayKey) : m_key(displayKey), m_pending(std::make_unique<Pending>()) {}

PadInstance::~PadInstance() = default;

std::optional<int> PadInstance::claimOrHandOver(const QStringList &arguments)
{
    if (sessionBusConfigured() && QDBusConnection::sessionBus().isConnected())
        return overBus(arguments);
    return overSocket(arguments);
}

std::optional<int> PadInstance::overBus(const QStringList &arguments)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString name = QString::fromStdString(padBusName(m_key));
    if (!m_pending->busObject) {
        m_pending->busObject =
            new PadBusObject(this, [this](const QStringList &args, const QDBusMessage &message) -> std::optional<QString> {
                if (!m_handler) {
                    m_pending->calls.emplace_back(args, message);
                    return std::nullopt;
                }
                return m_handler(args);
            });
        bus.registerObject(QLatin1String(kObjectPath), m_pending->busObject, QDBusConnection::ExportAllSlots);
    }
    // A pad that ends, however it ends, loses its bus connection and with it
    // the name; one that ended just now is replaced by a second try.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> claimed = bus.interface()->registerService(
            name, QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
        if (!claimed.isValid())
            break;
        if (claimed.value() == QDBusConnectionInterface::ServiceRegistered) {
            m_channel = QStringLiteral("bus");
            return std::nullopt;
        }
        QDBusMessage call =
            QDBusMessage::createMethodCall(name, QLatin1String(kObjectPath), QLatin1String(kInterface), QStringLiteral("Activate"));
        call << arguments;
        const QDBusMessage reply = bus.call(call, QDBus::Block, kAnswerTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage)
            return answered(reply.arguments().value(0).toString());
        if (reply.errorName() != QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown")
            && reply.errorName() != QLatin1String("org.freedesktop.DBus.Error.NoReply"))
            return answered(QStringLiteral("Umbrill: the running pad did not answer (%1).").arg(reply.errorMessage()));
    }
    bus.unregisterObject(QLatin1String(kObjectPath));
    delete m_pending->busObject;
    m_pending->busObject = nullptr;
    return overSocket(arguments);
}

std::optional<int> PadInstance::overSocket(const QStringList &arguments)
{
    const QString folder = privateFolder();
    if (folder.isEmpty())
        return std::nullopt;
    const QString path = folder + QLatin1Char('/') + QString::fromStdString(padSocketName(m_key));
    // Two starts at once: one decides while the other waits. A lock left by a
    // process that died is taken over.
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(10000))
        return std::nullopt;

    QLocalSocket running;
    running.connectToServer(path);
    if (running.waitForConnected(2000)) {
        lock.unlock();
        {
            QDataStream out(&running);
            out.setVersion(QDataStream::Qt_6_0);
            out << arguments;
        }
        running.waitForBytesWritten(kAnswerTimeoutMs);
        QDataStream in(&running);
        in.setVersion(QDataStream::Qt_6_0);
        for (;;) {
            in.startTransaction();
            QString problem;
            in >> problem;
            if (in.commitTransaction())
                return answered(problem);
            if (!running.waitForReadyRead(kAnswerTimeoutMs))
                break;
        }
        return answered(QStringLiteral("Umbrill: the running pad did not answer."));
    }
    // Nobody listens: a socket left by a pad that died, or none at all.
    QLocalServer::removeServer(path);
    auto *server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(path)) {
        delete server;
        return std::nullopt;
    }
    m_server = server;
    m_channel = QStringLiteral("socket");
    connect(server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->bytesAvailable() > kLargestCommandLine) {
                    socket->abort();
                    return;
                }
                QDataStream in(socket);
                in.setVersion(QDataStream::Qt_6_0);
                in.startTransaction();
                QStringList args;
                in >> args;
                if (!in.commitTransaction())
                    return;
                if (!m_handler) {
                    m_pending->sockets.emplace_back(args, socket);
                    return;
                }
                const QString problem = m_handler(args);
                QDataStream out(socket);
                out.setVersion(QDataStream::Qt_6_0);
                out << problem;
                socket->disconnectFromServer();
            });
        }
    });
    return std::nullopt;
}

void PadInstance::setHandler(Handler handler)
{
    m_handler = std::move(handler);
    for (auto &[args, message] : std::exchange(m_pending->calls, {}))
        QDBusConnection::sessionBus().send(message.createReply(m_handler(args)));
    for (auto &[args, socket] : std::exchange(m_pending->sockets, {})) {
        const QString problem = m_handler(args);
        if (!socket)
            continue;
        QDataStream out(socket.data());
        out.setVersion(QDataStream::Qt_6_0);
        out << problem;
        socket->disconnectFromServer();
    }
}

} // namespace umbrill

#include "padinstance.moc"
