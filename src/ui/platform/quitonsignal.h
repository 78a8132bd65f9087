// Ends the program in order on SIGINT, SIGTERM and SIGHUP (how a terminal, a
// desktop session or a service manager asks a program to end) while it
// lives: the signal handler only writes a byte to a pipe, and the event loop
// reads it, emits signalled (where what is pending is written and borrowed
// keycodes are given back) and quits the application. Several may live at
// once (the program's own and the typist's); each is told. The handlers
// before the first come back when the last is destroyed.
#pragma once

#include <QObject>

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
    int m_slot = -1; // -1: no signal reaches this one (more than eight at once, or no pipe)
};

} // namespace umbrill
