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

class Desktop {
public:
    virtual ~Desktop() = default;

    // A typist for this desktop, or why there is none.
    virtual TypistOffer typist(PadModel &model) = 0;

    // The window the user is writing in; 0 where the desktop does not tell.
    virtual unsigned long focusedWindow() = 0;
    // Gives the focus back to window, then calls done(true) once it has it,
    // or done(false) when it cannot be given back or never arrives. done is
    // not called after context is gone.
    virtual void handFocusBack(unsigned long window, QObject *context, std::function<void(bool back)> done) = 0;

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
