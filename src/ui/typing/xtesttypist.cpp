// XTest typing on a private X connection.
#include "ui/typing/xtesttypist.h"

#include <QDebug>

// Xlib after Qt: its macros (None, Bool, Status) would break Qt's headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace umbrill {

namespace {

struct Mapping {
    int first = 0;
    int perKeycode = 0;
    std::vector<KeySym> syms;  // (keycode - first) * perKeycode + level
    int count() const { return perKeycode ? static_cast<int>(syms.size()) / perKeycode : 0; }
    const KeySym *of(int keycode) const { return &syms[static_cast<std::size_t>((keycode - first) * perKeycode)]; }
};

Mapping readMapping(Display *display)
{
    int minKeycode = 0, maxKeycode = 0;
    XDisplayKeycodes(display, &minKeycode, &maxKeycode);
    Mapping m;
    m.first = minKeycode;
    KeySym *syms = XGetKeyboardMapping(display, static_cast<KeyCode>(minKeycode), maxKeycode - minKeycode + 1, &m.perKeycode);
    if (syms) {
        m.syms.assign(syms, syms + (maxKeycode - minKeycode + 1) * m.perKeycode);
        XFree(syms);
    }
    return m;
}

bool unbound(const Mapping &m, int keycode)
{
    const KeySym *s = m.of(keycode);
    return std::all_of(s, s + m.perKeycode, [](KeySym k) { return k == NoSymbol; });
}

// What binding a keycode leaves: one keysym, on every level and group the
// server fills in, and nothing else.
bool looksLent(const Mapping &m, int keycode)
{
    const KeySym *s = m.of(keycode);
    return m.perKeycode >= 1 && s[0] != NoSymbol
           && std::all_of(s, s + m.perKeycode, [&](KeySym k) { return k == NoSymbol || k == s[0]; });
}

void setKeycode(Display *display, int keycode, KeySym keysym)
{
    KeySym syms[2] = {keysym, keysym};
    XChangeKeyboardMapping(display, keycode, 2, syms, 1);
}

// Keycodes free for lending: those with no keysyms, and those of ours that
// still hold what we bound.
std::vector<int> spareIn(const Mapping &m, const std::set<int> &ours)
{
    std::vector<int> spare;
    for (int keycode = m.first; keycode < m.first + m.count(); ++keycode)
        if (unbound(m, keycode) || (ours.count(keycode) && looksLent(m, keycode)))
            spare.push_back(keycode);
    return spare;
}

Atom lentAtom(Display *display) { return XInternAtom(display, XTestTypist::kLentProperty, False); }

} // namespace

std::variant<std::unique_ptr<XTestTypist>, TypingUnavailable> XTestTypist::open(const char *displayName,
                                                                                 KeyLendingTiming timing)
{
    Display *display = XOpenDisplay(displayName);
    if (!display)
        return TypingUnavailable::NoDisplay;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
        XCloseDisplay(display);
        return TypingUnavailable::NoXTest;
    }
    // Keycodes that a killed run left lent come back first.
    const Atom lent = lentAtom(display);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    if (XGetWindowProperty(display, DefaultRootWindow(display), lent, 0, 1024, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success && data) {
        if (format == 32) {
            const Mapping m = readMapping(display);
            const auto *keycodes = reinterpret_cast<const long *>(data);
            for (unsigned long i = 0; i < count; ++i) {
                const int keycode = static_cast<int>(keycodes[i]);
                if (keycode >= m.first && keycode < m.first + m.count() && looksLent(m, keycode))
                    setKeycode(display, keycode, NoSymbol);
            }
        }
        XFree(data);
        XDeleteProperty(display, DefaultRootWindow(display), lent);
        XSync(display, True);
    }
    std::unique_ptr<XTestTypist> typist(new XTestTypist(display, timing));
    if (!typist->m_lender.canType())
        return TypingUnavailable::NoSpareKeycode;
    return typist;
}

XTestTypist::XTestTypist(_XDisplay *display, KeyLendingTiming timing)
    : m_display(display), m_lender(spareIn(readMapping(display), {}), timing)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &XTestTypist::run);
    m_clock.start();
}

XTestTypist::~XTestTypist()
{
    finish();
    XCloseDisplay(m_display);
}

void XTestTypist::type(const std::vector<Keysym> &keysyms)
{
    m_lender.enqueue(keysyms);
    if (getenv("UMBRILL_DBG")) fprintf(stderr, "DBG %lld type %x\n", (long long)m_clock.elapsed(), keysyms.empty()?0:keysyms[0]);
    run();
}

void XTestTypist::followKeymap()
{
    const Mapping m = readMapping(m_display);
    for (const auto &[keycode, keysym] : m_lender.bindings()) {
        if (keycode >= m.first + m.count() || m.of(keycode)[0] != keysym || !looksLent(m, keycode)) {
            std::erase_if(m_lent, [&](int k) { return k >= m.first + m.count() || !looksLent(m, k); });
            m_lender.keymapReplaced(spareIn(m, m_lent), Millis(m_clock.elapsed()));
            publishLent();
            return;
        }
    }
}

void XTestTypist::run()
{
    if (!m_lender.bindings().empty())
        followKeymap();
    apply(m_lender.run(Millis(m_clock.elapsed())));
    schedule();
}

void XTestTypist::schedule()
{
    if (const auto at = m_lender.wakeAt())
        m_timer.start(static_cast<int>(std::max<Millis::rep>(0, at->count() - m_clock.elapsed())));
    else
        m_timer.stop();
}

void XTestTypist::apply(const std::vector<KeyAction> &actions)
{
    if (actions.empty())
        return;
    bool lentChanged = false;
    for (const KeyAction &a : actions) {
        if (a.kind == KeyAction::Kind::Bind && m_lent.insert(a.keycode).second)
            lentChanged = true;
    }
    // Listed before they are bound, so that no kill can leave one unlisted.
    if (lentChanged)
        publishLent();
    for (const KeyAction &a : actions) {
        switch (a.kind) {
        case KeyAction::Kind::Bind:
            setKeycode(m_display, a.keycode, a.keysym);
            // The press must find the new mapping in place at the server.
            XSync(m_display, True);
            break;
        case KeyAction::Kind::Press:
            if (getenv("UMBRILL_DBG")) fprintf(stderr, "DBG %lld press %d %x\n", (long long)m_clock.elapsed(), a.keycode, a.keysym);
            XTestFakeKeyEvent(m_display, static_cast<unsigned>(a.keycode), True, CurrentTime);
            XTestFakeKeyEvent(m_display, static_cast<unsigned>(a.keycode), False, CurrentTime);
            break;
        case KeyAction::Kind::Restore:
            setKeycode(m_display, a.keycode, NoSymbol);
            m_lent.erase(a.keycode);
            lentChanged = true;
            break;
        }
    }
    if (lentChanged)
        publishLent();
    // Our own MappingNotify events are of no use on this connection: dropped.
    XSync(m_display, True);
}

void XTestTypist::publishLent()
{
    const Window root = DefaultRootWindow(m_display);
    if (m_lent.empty()) {
        XDeleteProperty(m_display, root, lentAtom(m_display));
        return;
    }
    std::vector<long> keycodes(m_lent.begin(), m_lent.end());
    XChangeProperty(m_display, root, lentAtom(m_display), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char *>(keycodes.data()), static_cast<int>(keycodes.size()));
}

void XTestTypist::finish()
{
    m_timer.stop();
    apply(m_lender.restoreAll());
    if (m_lent.empty())
        return;
    // Left over from a keymap that changed under a binding.
    const Mapping m = readMapping(m_display);
    for (int keycode : m_lent)
        if (keycode < m.first + m.count() && looksLent(m, keycode))
            setKeycode(m_display, keycode, NoSymbol);
    m_lent.clear();
    publishLent();
    XSync(m_display, True);
}

} // namespace umbrill
