// The X keyboard mapping as a set of keysyms.
#include "ui/platform/x11layout.h"

#include "ui/platform/xtesttypist.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <memory>
#include <optional>
#include <unordered_set>

namespace umbrill {

namespace {

// The keysyms typed right in the layout now on (see typeableKeysyms).
std::unordered_set<Keysym> mappedKeysyms(Display *display)
{
    XkbDescPtr keyboard = XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    XkbStateRec state{};
    if (!keyboard || XkbGetState(display, XkbUseCoreKbd, &state) != Success) {
        if (keyboard)
            XkbFreeKeyboard(keyboard, 0, True);
        return {};
    }
    // A key code lent for typing is no key of the layout.
    std::unordered_set<int> lent;
    for (const LentKey &key : XTestTypist::listedLent(display))
        lent.insert(key.keycode);
    KeyboardLayouts keys;
    for (int key = keyboard->min_key_code; key <= keyboard->max_key_code; ++key) {
        auto &layouts = keys.emplace_back();
        if (lent.contains(key))
            continue;
        for (int group = 0; group < XkbKeyNumGroups(keyboard, key); ++group) {
            auto &levels = layouts.emplace_back();
            for (int level = 0; level < XkbKeyGroupWidth(keyboard, key, group); ++level)
                levels.push_back(static_cast<Keysym>(XkbKeySymEntry(keyboard, key, level, group)));
        }
    }
    XkbFreeKeyboard(keyboard, 0, True);
    return typeableKeysyms(keys, static_cast<std::size_t>(state.group));
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
