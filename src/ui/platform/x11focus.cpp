// The focus on X11, through a connection of this module's own.
#include "ui/platform/x11focus.h"

#include "ui/platform/x11property.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <optional>

namespace umbrill::x11focus {
namespace {

Display *display()
{
    static Display *const connection = XOpenDisplay(nullptr); // nullptr off X11; closed with the program
    return connection;
}

// The manager's active window (None when it says there is none); nullopt
// when the manager does not say.
std::optional<Window> activeWindow(Display *dpy)
{
    const X11Property active(dpy, DefaultRootWindow(dpy), XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False), XA_WINDOW,
                             32, 1);
    if (active.longs().size() != 1)
        return std::nullopt;
    return static_cast<Window>(active.longs()[0]);
}

// Asks the window manager, by a client message to the root window, to apply
// the request named by message to window, with its first two data fields.
void askWindowManager(Display *dpy, Window window, const char *message, long first, long second)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(dpy, message, False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = first;
    event.xclient.data.l[1] = second;
    XSendEvent(dpy, DefaultRootWindow(dpy), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(dpy);
}

} // namespace

unsigned long focusedWindow()
{
    Display *dpy = display();
    if (!dpy)
        return 0;
    std::optional<Window> window = activeWindow(dpy);
    if (!window) {
        int revert = 0;
        XGetInputFocus(dpy, &window.emplace(), &revert);
    }
    return *window == PointerRoot ? 0 : *window;
}

void activate(unsigned long window)
{
    Display *dpy = display();
    if (!dpy || !window)
        return;
    if (!activeWindow(dpy)) {
        XSetInputFocus(dpy, window, RevertToParent, CurrentTime);
        XFlush(dpy);
        return;
    }
    askWindowManager(dpy, window, "_NET_ACTIVE_WINDOW", 2 /* from a pager */, CurrentTime);
}

} // namespace umbrill::x11focus

namespace umbrill::x11focus {

void moveToCurrentDesktop(unsigned long window)
{
    Display *dpy = display();
    if (!dpy || !window)
        return;
    const X11Property current(dpy, DefaultRootWindow(dpy), XInternAtom(dpy, "_NET_CURRENT_DESKTOP", False),
                              XA_CARDINAL, 32, 1);
    if (current.longs().size() != 1)
        return;
    askWindowManager(dpy, window, "_NET_WM_DESKTOP", current.longs()[0], 2 /* from a pager */);
}

} // namespace umbrill::x11focus

namespace umbrill::x11focus {

void endStartup(const std::string &startupId)
{
    Display *dpy = display();
    if (!dpy || startupId.empty())
        return;
    std::string message = "remove: ID=\"";
    for (const char c : startupId) {
        if (c == '"' || c == '\\')
            message += '\\';
        message += c;
    }
    message += '"';
    message += '\0';
    // The startup-notification protocol: the text in pieces of 20 bytes, from
    // a window of the sender's own, to every client watching the root window.
    const Window root = DefaultRootWindow(dpy);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    const Window sender = XCreateWindow(dpy, root, -100, -100, 1, 1, 0, CopyFromParent, InputOnly, CopyFromParent,
                                        CWOverrideRedirect, &attributes);
    const Atom begin = XInternAtom(dpy, "_NET_STARTUP_INFO_BEGIN", False);
    const Atom more = XInternAtom(dpy, "_NET_STARTUP_INFO", False);
    for (std::size_t at = 0; at < message.size(); at += 20) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = sender;
        event.xclient.message_type = at == 0 ? begin : more;
        event.xclient.format = 8;
        message.copy(event.xclient.data.b, 20, at);
        XSendEvent(dpy, root, False, PropertyChangeMask, &event);
    }
    XDestroyWindow(dpy, sender);
    XFlush(dpy);
}

} // namespace umbrill::x11focus
