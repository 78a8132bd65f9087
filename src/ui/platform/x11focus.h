// The window that has the keyboard focus on the X display, and giving the
// focus back to one. Find's window takes the focus for its search field; with
// Type into Window on, a result must go to the window the user was writing in.
#pragma once

#include <string>

namespace umbrill::x11focus {

// The active window (the window manager's _NET_ACTIVE_WINDOW, else the
// input focus); 0 when unknown, as off X11.
unsigned long focusedWindow();

// Asks the window manager to make window active (as a pager does, which
// managers obey), or sets the input focus where no manager says which window
// is active. Returns at once; focusedWindow() tells when it has happened.
void activate(unsigned long window);

} // namespace umbrill::x11focus

namespace umbrill::x11focus {

// Asks the window manager to put window on the workspace the user is on
// (as a pager does); nothing where the manager has no workspaces.
void moveToCurrentDesktop(unsigned long window);

} // namespace umbrill::x11focus

namespace umbrill::x11focus {

// Tells the desktop that the start it announced by startupId (the launcher's
// DESKTOP_STARTUP_ID) is over, so that its busy cursor stops: a start that
// hands over to the running pad shows no window that would say so.
void endStartup(const std::string &startupId);

} // namespace umbrill::x11focus
