// One pad per display: the session bus, or a local socket where there is none.
#include "ui/app/padinstance.h"

#include "core/pad/onepad.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QPointer>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
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

// A Unix stream socket at path, listening or connected to it; -1 when that fails.
int unixSocket(const QString &path, bool listening)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(name.size()) >= sizeof address.sun_path)
        return -1;
    std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const auto *at = reinterpret_cast<const sockaddr *>(&address);
    const bool done = listening ? bind(fd, at, sizeof address) == 0 && chmod(name.constData(), 0600) == 0
                                      && listen(fd, 16) == 0
                                : connect(fd, at, sizeof address) == 0;
    if (done)
        return fd;
    close(fd);
    return -1;
}

// Sends all of bytes; a reader that went away is no signal to end on.
bool sendAll(int fd, const QByteArray &bytes)
{
    for (qsizetype sent = 0; sent < bytes.size();) {
        const ssize_t n = send(fd, bytes.constData() + sent, static_cast<std::size_t>(bytes.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += n;
    }
    return true;
}

// What one value of T streams as, in the format both ends of the socket read.
template <typename T>
QByteArray streamed(const T &value)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << value;
    return bytes;
}

// One value of T when bytes hold it whole.
template <typename T>
std::optional<T> unstreamed(const QByteArray &bytes)
{
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    T value;
    in >> value;
    return in.status() == QDataStream::Ok ? std::optional<T>(std::move(value)) : std::nullopt;
}

} // namespace

// A later start's connection to the socket: its command line, read as it comes.
class PadConnection : public QObject {
public:
    PadConnection(int fd, QObject *parent, std::function<void(PadConnection *, const QStringList &)> received)
        : QObject(parent), m_fd(fd), m_notifier(new QSocketNotifier(fd, QSocketNotifier::Read, this)),
          m_received(std::move(received))
    {
        connect(m_notifier, &QSocketNotifier::activated, this, [this] { readSome(); });
    }
    ~PadConnection() override { close(m_fd); }
    // Answers and ends the connection.
    void answer(const QString &problem)
    {
        sendAll(m_fd, streamed(problem));
        deleteLater();
    }

private:
    void readSome()
    {
        char chunk[4096];
        const ssize_t n = recv(m_fd, chunk, sizeof chunk, MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        if (n <= 0 || m_bytes.size() + n > kLargestCommandLine) {
            deleteLater();
            return;
        }
        m_bytes.append(chunk, n);
        if (const auto arguments = unstreamed<QStringList>(m_bytes)) {
            m_notifier->setEnabled(false);
            m_received(this, *arguments);
        }
    }

    int m_fd;
    QSocketNotifier *m_notifier;
    std::function<void(PadConnection *, const QStringList &)> m_received;
    QByteArray m_bytes;
};

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
    std::vector<std::pair<QStringList, QPointer<PadConnection>>> connections;
    PadBusObject *busObject = nullptr;
};

PadInstance::PadInstance(const std::string &displayKey) : m_key(displayKey), m_pending(std::make_unique<Pending>()) {}

PadInstance::~PadInstance()
{
    if (m_listening >= 0) {
        delete m_incoming; // before the socket it watches closes
        close(m_listening);
        unlink(QFile::encodeName(m_socketPath).constData());
    }
}

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

    if (const int running = unixSocket(path, false); running >= 0) {
        lock.unlock();
        // The running pad answers once it has carried the command line out.
        QByteArray reply;
        std::optional<QString> problem;
        if (sendAll(running, streamed(arguments))) {
            pollfd wait{running, POLLIN, 0};
            char chunk[4096];
            while (!problem && poll(&wait, 1, kAnswerTimeoutMs) > 0) {
                const ssize_t n = recv(running, chunk, sizeof chunk, 0);
                if (n <= 0)
                    break;
                reply.append(chunk, n);
                problem = unstreamed<QString>(reply);
            }
        }
        close(running);
        return answered(problem.value_or(QStringLiteral("Umbrill: the running pad did not answer.")));
    }
    // Nobody listens: a socket left by a pad that died, or none at all.
    unlink(QFile::encodeName(path).constData());
    m_listening = unixSocket(path, true);
    if (m_listening < 0)
        return std::nullopt;
    m_socketPath = path;
    m_channel = QStringLiteral("socket");
    m_incoming = new QSocketNotifier(m_listening, QSocketNotifier::Read, this);
    connect(m_incoming, &QSocketNotifier::activated, this, [this] {
        const int fd = accept4(m_listening, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            return;
        new PadConnection(fd, this, [this](PadConnection *connection, const QStringList &args) {
            if (m_handler)
                connection->answer(m_handler(args));
            else
                m_pending->connections.emplace_back(args, connection);
        });
    });
    return std::nullopt;
}

void PadInstance::setHandler(Handler handler)
{
    m_handler = std::move(handler);
    for (auto &[args, message] : std::exchange(m_pending->calls, {}))
        QDBusConnection::sessionBus().send(message.createReply(m_handler(args)));
    for (auto &[args, connection] : std::exchange(m_pending->connections, {})) {
        const QString problem = m_handler(args);
        if (connection)
            connection->answer(problem);
    }
}

} // namespace umbrill

#include "padinstance.moc"
