// What differs by desktop, behind one interface: the typist that types into
// other windows, which window has the keyboard focus and handing it back,
// bringing a window to the user, and keep-on-top. One implementation for an
// X11 display (also under XWayland), one for a desktop without X11 (Wayland
// through the RemoteDesktop portal); tests put a fake in their place.
#pragma once

#include "ui/platform/typist.h"

#include <functional>
#include <memory>
#include <string>

class QObject;
class QWidget;

namespace umbrill {

class PadModel;

// A window of another program, as the desktop knows it: the one the user was
// writing in, to hand the keyboard focus back to. How the desktop names it
// stays here; it means nothing to another desktop.
class TargetWindow {
public:
    virtual ~TargetWindow() = default;

    // Asks the desktop to make the window the active one (a window manager
    // raises it too); returns at once.
    virtual void activate() = 0;
    // Whether it is the desktop's active window now.
    virtual bool isActive() const = 0;
};

// Activates window, then calls done(true) once it is active (at once when it
// already is), or done(false) when it has not become so within half a second;
// done(false) at once for no window. The wait keeps the window; done is not
// called after context is gone.
void handFocusBack(std::shared_ptr<TargetWindow> window, QObject *context, std::function<void(bool back)> done);

class Desktop {
public:
    virtual ~Desktop() = default;

    // A typist for this desktop, or why there is none.
    virtual TypistOffer typist(PadModel &model) = 0;

    // The window the user is writing in; nullptr where the desktop does not tell.
    virtual std::unique_ptr<TargetWindow> focusedWindow() = 0;

    // Brings window onto the workspace the user is on; makes it the active window.
    virtual void toCurrentWorkspace(QWidget &window) = 0;
    virtual void makeActive(QWidget &window) = 0;
    // Ends the busy cursor of the start the launcher announced by startupId.
    virtual void endStartup(const std::string &startupId) = 0;

    // Keeps window above the others, or not; the window takes the keyboard
    // focus, or never does. Both change the live window in place.
    virtual void keepOnTop(QWidget &window, bool onTop);
    virtual void refuseFocus(QWidget &window, bool refuse);
};

// The desktop this program runs on.
std::unique_ptr<Desktop> thisDesktop();

} // namespace umbrill
