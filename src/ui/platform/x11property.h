// One property of an X window, read in a single request and freed with the
// object that holds it: the desktop's notes on the root window (the active
// window, the current workspace, the keyboard's rules, the lent key codes).
// Include it after Qt's headers: Xlib's macros (None, Bool, Status) would
// break them.
#pragma once

#include <X11/Xlib.h>

#include <span>
#include <string_view>

namespace umbrill {

class X11Property {
public:
    // Reads at most maxLength 32-bit units of window's property if it has
    // type and holds items of format bits (8 or 32). A property that is
    // missing, of another type or format, or a failed request reads as no
    // items.
    X11Property(Display *display, Window window, Atom property, Atom type, int format, long maxLength);
    ~X11Property();
    X11Property(const X11Property &) = delete;
    X11Property &operator=(const X11Property &) = delete;

    // The items of a format-32 property, as Xlib hands them over (a long
    // each, whatever its width); empty for format 8.
    std::span<const long> longs() const;
    // The bytes of a format-8 property; empty for format 32.
    std::string_view bytes() const;

private:
    unsigned char *m_data = nullptr;
    unsigned long m_count = 0;
    int m_format = 0;
};

} // namespace umbrill
