// Ends the program in order on SIGINT and SIGTERM while it lives: the signal
// handler only writes a byte to a pipe, and the event loop reads it and quits
// the application, so that borrowed keycodes are given back outside the
// handler. The handlers before it come back when it is destroyed.
#pragma once

#include <QObject>

#include <csignal>

class QSocketNotifier;

namespace umbrill {

class QuitOnSignal : public QObject {
    Q_OBJECT
public:
    explicit QuitOnSignal(QObject *parent = nullptr);
    ~QuitOnSignal() override;

signals:
    // Emitted from the event loop, before the application is asked to quit.
    void signalled();

private:
    QSocketNotifier *m_notifier = nullptr;
    struct sigaction m_oldInt {};
    struct sigaction m_oldTerm {};
};

} // namespace umbrill
