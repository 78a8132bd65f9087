// One pad per display. The first start claims the pad's unique name on the
// session bus (or, where there is no session bus, a local socket in a folder
// of the user's own) and answers later starts; a later start hands its
// arguments to the running pad and ends. A pad that died (kill -9) leaves
// nothing that blocks the next start: the bus frees its name, and a socket
// nobody listens on is replaced.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QSocketNotifier;

namespace umbrill {

class PadInstance : public QObject {
    Q_OBJECT
public:
    // What the running pad made of a handed-over command line: empty when it
    // carried it out, else the message for the start that handed it over.
    using Handler = std::function<QString(const QStringList &arguments)>;

    // The display's key (core/pad/onepad.h). Needs a QCoreApplication.
    explicit PadInstance(const std::string &displayKey);
    ~PadInstance() override;

    // Claims the display's pad for this process. When another pad holds it,
    // hands it arguments and returns the exit status for this start: 0 when
    // the running pad carried them out, else 1 after printing its message
    // (or why it could not be reached) on standard error. nullopt: this
    // process is the display's pad (also when neither bus nor socket can be
    // used: then every start is a pad of its own).
    std::optional<int> claimOrHandOver(const QStringList &arguments);

    // Handles the command lines of later starts from now on; those that came
    // while there was no handler are handled first.
    void setHandler(Handler handler);

private:
    std::optional<int> overBus(const QStringList &arguments);
    std::optional<int> overSocket(const QStringList &arguments);
    // Takes a later start's connection to the socket (see padinstance.cpp for
    // the limits).
    void acceptConnection();

    struct Pending;
    std::string m_key;
    Handler m_handler;
    std::unique_ptr<Pending> m_pending;
    // The socket this pad listens on, when it was claimed by socket.
    int m_listening = -1;
    QSocketNotifier *m_incoming = nullptr;
    QString m_socketPath;
    int m_connections = 0; // open connections of later starts
};

} // namespace umbrill
