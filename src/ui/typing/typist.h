// What types keysyms into the window that has the keyboard focus: XTest on
// X11, the RemoteDesktop portal on Wayland, or a test's recorder.
#pragma once

#include "core/typing/typedtext.h"

#include <QObject>

#include <vector>

namespace umbrill {

class Typist : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Types the keysyms after any still queued, in order; returns at once.
    virtual void type(const std::vector<Keysym> &keysyms) = 0;
    // Typing is turned on (the portal asks for the user's consent here) or off.
    virtual void start() {}
    virtual void stop() {}
    // Gives back whatever was borrowed from the desktop; queued keysyms are dropped.
    virtual void finish() {}

signals:
    // Typing cannot go on (the user refused consent, the session was closed).
    void ended();
};

} // namespace umbrill
