// Reading an X window's property.
#include "ui/platform/x11property.h"

namespace umbrill {

X11Property::X11Property(Display *display, Window window, Atom property, Atom type, int format, long maxLength)
{
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    const bool read = XGetWindowProperty(display, window, property, 0, maxLength, False, type, &actualType,
                                         &actualFormat, &m_count, &after, &data)
                      == Success;
    m_data = data;
    if (!read || !data || actualType != type || actualFormat != format)
        m_count = 0;
    else
        m_format = format;
}

X11Property::~X11Property()
{
    if (m_data)
        XFree(m_data);
}

std::span<const long> X11Property::longs() const
{
    if (m_format != 32)
        return {};
    return {reinterpret_cast<const long *>(m_data), m_count};
}

std::string_view X11Property::bytes() const
{
    if (m_format != 8)
        return {};
    return {reinterpret_cast<const char *>(m_data), m_count};
}

} // namespace umbrill
