// What types keysyms into the window that has the keyboard focus: XTest on
// X11, the RemoteDesktop portal on Wayland, or a test's recorder.
#pragma once

#include "core/typing/typedtext.h"

#include "core/interface/interfacestrings.h"

#include <QObject>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace umbrill {

class Typist : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Types the keysyms after any still queued, in order; returns at once.
    virtual void type(const std::vector<Keysym> &keysyms) = 0;
    // Types the text after any still queued; a typist that cannot type some
    // of it emits notTyped with those characters.
    virtual void typeText(const std::u32string &text) { type(keysymsFor(text)); }
    // The keysyms of the pad's keys, while typing is on: a typist may make
    // them ready at once rather than on each click.
    virtual void hold(const std::vector<Keysym> &keysyms) { (void)keysyms; }
    // Typing is turned on (the portal asks for the user's consent here) or off.
    virtual void start() {}
    virtual void stop() {}
    // Gives back whatever was borrowed from the desktop; queued keysyms are dropped.
    virtual void finish() {}

signals:
    // Typing cannot go on (the user refused consent, the session was closed).
    void ended();
    // The desktop ended typing (the user stopped sharing); ended() follows.
    void closedByDesktop();
    // Characters that no way of typing could bring into the focused window.
    void notTyped(const std::u32string &characters);
};

// A typist for a desktop, or why there is none.
struct TypistOffer {
    std::unique_ptr<Typist> typist;
    std::optional<TypingUnavailable> reason;
};

} // namespace umbrill
