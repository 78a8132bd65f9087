// Ends the program in order on SIGINT, SIGTERM and SIGHUP (how a terminal, a
// desktop session or a service manager asks a program to end): the signal
// handler only writes a byte to a pipe, and the event loop reads it, emits
// signalled (where what is pending is written and borrowed keycodes are given
// back) and quits the application. There is one per process, made when first
// asked for and ended with the application; whatever must be done before the
// end connects to signalled. The handlers before it come back when it ends.
#pragma once

#include <QObject>

namespace umbrill {

class QuitOnSignal : public QObject {
    Q_OBJECT
public:
    // The process's one instance, a child of the application. Needs a
    // QCoreApplication.
    static QuitOnSignal &instance();
    ~QuitOnSignal() override;

signals:
    // Emitted from the event loop, before the application is asked to quit.
    void signalled();

private:
    QuitOnSignal();
};

} // namespace umbrill
