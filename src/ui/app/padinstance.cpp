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
#include <QTimer>

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
// A program of another kind may hold the pad's bus name: it gets this long
// to answer as a pad does. A pad of this very program gets the long wait.
constexpr int kStrangerAnswerTimeoutMs = 1000;
// A command line is a few words; a sender of more is not a start of ours.
constexpr qint64 kLargestCommandLine = 64 * 1024;
// A start sends its command line at once: a connection that has not sent a
// whole one by then is dropped, and no more than so many are open at once.
constexpr int kWholeCommandLineMs = 2000;
constexpr int kMostConnections = 32;
// Out of file descriptors, the socket stops being watched for this long
// rather than be told again and again of a connection it cannot take.
constexpr int kNoDescriptorPauseMs = 500;

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

// A folder of this user's own that no one else can enter (checked with lstat,
// so a link is no such folder).
bool isPrivateFolder(const QString &path)
{
    struct stat info {};
    return lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid()
        && (info.st_mode & 077) == 0;
}

// path, made private when it does not exist yet; empty when it is not private.
QString madePrivate(const QString &path)
{
    mkdir(QFile::encodeName(path).constData(), 0700);
    return isPrivateFolder(path) ? path : QString();
}

// A folder only this user can enter, for the socket: XDG_RUNTIME_DIR, else one
// of our own in the temporary folder, else one of our own in XDG_RUNTIME_DIR.
// Empty, after a line on standard error, when there is none to trust.
QString privateFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivateFolder(runtime))
        return runtime;
    const QString temporary = QDir::tempPath() + QStringLiteral("/umbrill-%1").arg(getuid());
    if (const QString own = madePrivate(temporary); !own.isEmpty())
        return own;
    if (!runtime.isEmpty()) {
        if (const QString own = madePrivate(runtime + QStringLiteral("/umbrill")); !own.isEmpty())
            return own;
    }
    say(QStringLiteral("Umbrill: %1 is not a private folder of this user's; one pad per display is off.").arg(temporary));
    return {};
}

// True when the process pid runs this very program.
bool runsThisProgram(uint pid)
{
    const QString theirs = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
    return !theirs.isEmpty() && theirs == QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
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
        m_deadline.setSingleShot(true);
        connect(&m_deadline, &QTimer::timeout, this, &QObject::deleteLater);
        m_deadline.start(kWholeCommandLineMs);
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
            m_deadline.stop();
            m_notifier->setEnabled(false);
            m_received(this, *arguments);
        }
    }

    int m_fd;
    QSocketNotifier *m_notifier;
    std::function<void(PadConnection *, const QStringList &)> m_received;
    QByteArray m_bytes;
    QTimer m_deadline;
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
        if (claimed.value() == QDBusConnectionInterface::ServiceRegistered)
            return std::nullopt;
        QDBusMessage call =
            QDBusMessage::createMethodCall(name, QLatin1String(kObjectPath), QLatin1String(kInterface), QStringLiteral("Activate"));
        call << arguments;
        // A pad still starting answers once it is up; any other holder of the
        // name must answer as a pad at once.
        const QDBusReply<uint> owner = bus.interface()->servicePid(name);
        const bool ours = owner.isValid() && runsThisProgram(owner.value());
        const QDBusMessage reply = bus.call(call, QDBus::Block, ours ? kAnswerTimeoutMs : kStrangerAnswerTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage && reply.signature() == QLatin1String("s"))
            return answered(reply.arguments().value(0).toString());
        // The holder has just ended, or a pad of ours timed out as it ended.
        if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown")
            || (ours && reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply")))
            continue;
        if (ours)
            return answered(QStringLiteral("Umbrill: the running pad did not answer (%1).").arg(reply.errorMessage()));
        say(QStringLiteral("Umbrill: %1 on the session bus is held by a program that does not answer as a pad; "
                           "this pad starts on its own.").arg(name));
        break;
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
    m_incoming = new QSocketNotifier(m_listening, QSocketNotifier::Read, this);
    connect(m_incoming, &QSocketNotifier::activated, this, [this] { acceptConnection(); });
    return std::nullopt;
}

void PadInstance::acceptConnection()
{
    const int fd = accept4(m_listening, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
        if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
            // The connection stays queued and the socket readable: watched, it
            // would wake this pad without end.
            m_incoming->setEnabled(false);
            QTimer::singleShot(kNoDescriptorPauseMs, m_incoming, [notifier = m_incoming] { notifier->setEnabled(true); });
        }
        return;
    }
    if (m_connections >= kMostConnections) {
        close(fd);
        return;
    }
    auto *connection = new PadConnection(fd, this, [this](PadConnection *from, const QStringList &args) {
        if (m_handler)
            from->answer(m_handler(args));
        else
            m_pending->connections.emplace_back(args, from);
    });
    ++m_connections;
    connect(connection, &QObject::destroyed, this, [this] { --m_connections; });
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
