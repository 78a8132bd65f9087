// The X keyboard mapping as a set of keysyms.
#include "ui/platform/x11layout.h"

#include "ui/platform/xtesttypist.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <X11/Xlib.h>

#include <memory>
#include <optional>
#include <unordered_set>

namespace umbrill {

namespace {

std::unordered_set<Keysym> mappedKeysyms(Display *display)
{
    std::unordered_set<Keysym> keysyms;
    int first = 0;
    int last = 0;
    XDisplayKeycodes(display, &first, &last);
    int perKeycode = 0;
    KeySym *map = XGetKeyboardMapping(display, static_cast<KeyCode>(first), last - first + 1, &perKeycode);
    if (!map)
        return keysyms;
    // A key code lent for typing is no key of the layout.
    std::unordered_set<int> lent;
    for (const LentKey &key : XTestTypist::listedLent(display))
        lent.insert(key.keycode);
    for (long i = 0, n = static_cast<long>(last - first + 1) * perKeycode; i < n; ++i)
        if (map[i] != NoSymbol && !lent.contains(first + static_cast<int>(i / perKeycode)))
            keysyms.insert(static_cast<Keysym>(map[i]));
    XFree(map);
    return keysyms;
}

} // namespace

std::optional<LayoutHas> x11LayoutHas()
{
    auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return std::nullopt;
    struct Cache {
        std::unordered_set<Keysym> keysyms;
        QElapsedTimer age;
    };
    auto cache = std::make_shared<Cache>();
    return [display, cache](Keysym keysym) {
        if (!cache->age.isValid() || cache->age.elapsed() > 500) {
            cache->keysyms = mappedKeysyms(display);
            cache->age.start();
        }
        return cache->keysyms.contains(keysym);
    };
}

} // namespace umbrill
