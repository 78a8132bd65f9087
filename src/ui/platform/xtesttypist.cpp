// XTest typing on a private X connection.
#include "ui/platform/xtesttypist.h"

#include "core/typing/lentkeys.h"

// Xlib after Qt: its macros (None, Bool, Status) would break Qt's headers.
#include "ui/platform/x11property.h"
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <iterator>
#include <set>

namespace umbrill {

namespace {

struct Mapping {
    int first = 0;
    int perKeycode = 0;
    std::vector<KeySym> syms;  // (keycode - first) * perKeycode + column
    int count() const { return perKeycode ? static_cast<int>(syms.size()) / perKeycode : 0; }
    bool has(int keycode) const { return keycode >= first && keycode < first + count(); }
    const KeySym *of(int keycode) const { return &syms[static_cast<std::size_t>((keycode - first) * perKeycode)]; }
    std::vector<Keysym> column(int keycode) const
    {
        return has(keycode) ? std::vector<Keysym>(of(keycode), of(keycode) + perKeycode) : std::vector<Keysym>{};
    }
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

struct Modifiers {
    std::set<int> keycodes;  // every key code that sets a modifier
    unsigned numLock = 0;    // the modifier Num_Lock sets: left as the user has it
};

Modifiers readModifiers(Display *display)
{
    Modifiers mods;
    XModifierKeymap *map = XGetModifierMapping(display);
    if (!map)
        return mods;
    for (int mod = 0; mod < 8; ++mod) {
        for (int i = 0; i < map->max_keypermod; ++i) {
            const KeyCode keycode = map->modifiermap[mod * map->max_keypermod + i];
            if (!keycode)
                continue;
            mods.keycodes.insert(keycode);
            if (XkbKeycodeToKeysym(display, keycode, 0, 0) == XStringToKeysym("Num_Lock"))
                mods.numLock |= 1u << mod;
        }
    }
    XFreeModifiermap(map);
    return mods;
}

bool unbound(const Mapping &m, int keycode)
{
    const KeySym *s = m.of(keycode);
    return std::all_of(s, s + m.perKeycode, [](KeySym k) { return k == NoSymbol; });
}

void setKeycode(Display *display, int keycode, KeySym keysym)
{
    KeySym syms[2] = {keysym, keysym};
    XChangeKeyboardMapping(display, keycode, 2, syms, 1);
}

std::vector<int> spareIn(const Mapping &m)
{
    std::vector<int> spare;
    for (int keycode = m.first; keycode < m.first + m.count(); ++keycode)
        if (unbound(m, keycode))
            spare.push_back(keycode);
    return spare;
}

// The characters on the keys of the layout's group, at the first two levels
// (Shift reaches the second), found in the core mapping: the first two of its
// columns are group 1, the next two group 2.
std::map<Keysym, LayoutKey> layoutKeysIn(const Mapping &m, int group, const std::map<int, Keysym> &lent,
                                         const Modifiers &mods)
{
    std::map<Keysym, LayoutKey> keys;
    if (group < 0 || group > 1 || m.perKeycode < 2 * (group + 1))
        return keys;
    for (int keycode = m.first; keycode < m.first + m.count(); ++keycode) {
        if (lent.count(keycode) || mods.keycodes.count(keycode))
            continue;
        const KeySym *s = m.of(keycode) + 2 * group;
        if (isLendableKeysym(static_cast<Keysym>(s[0])))
            keys.emplace(static_cast<Keysym>(s[0]), LayoutKey{keycode, 0});
        if (s[1] != s[0] && isLendableKeysym(static_cast<Keysym>(s[1])))
            keys.emplace(static_cast<Keysym>(s[1]), LayoutKey{keycode, ShiftMask});
    }
    return keys;
}

int currentGroup(Display *display)
{
    XkbStateRec state{};
    return XkbGetState(display, XkbUseCoreKbd, &state) == Success ? state.group : 0;
}

std::vector<std::string> ruleNames(Display *display)
{
    const Atom names = XInternAtom(display, "_XKB_RULES_NAMES", True);
    std::vector<std::string> result;
    if (names == None)
        return result;
    const X11Property property(display, DefaultRootWindow(display), names, XA_STRING, 8, 1024);
    const std::string_view all = property.bytes();
    if (all.empty())
        return result;
    std::size_t start = 0;
    while (start <= all.size()) {
        const std::size_t end = std::min(all.find('\0', start), all.size());
        result.emplace_back(all.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

Atom lentAtom(Display *display) { return XInternAtom(display, XTestTypist::kLentProperty, False); }

KeyLendingTiming withGiveUp(KeyLendingTiming timing)
{
    if (!timing.giveUpAfter)
        timing.giveUpAfter = XTestTypist::kGiveUpAfter;
    return timing;
}
} // namespace

namespace {

Atom lenderAtom(Display *display) { return XInternAtom(display, XTestTypist::kLenderSelection, False); }

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
    std::unique_ptr<XTestTypist> typist(new XTestTypist(display, timing));
    // Key codes that a killed run left lent come back first.
    if (typist->acquire())
        typist->release();
    if (!typist->m_lender.canType())
        return TypingUnavailable::NoSpareKeycode;
    return typist;
}

XTestTypist::XTestTypist(_XDisplay *display, KeyLendingTiming timing)
    : m_display(display), m_lender({}, withGiveUp(timing)),
      m_recordFile(lentRecordFile(qEnvironmentVariable("XDG_RUNTIME_DIR").toStdString(), DisplayString(display)))
{
    m_owner = XCreateWindow(display, DefaultRootWindow(display), -1, -1, 1, 1, 0, CopyFromParent, InputOnly,
                            CopyFromParent, 0, nullptr);
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &XTestTypist::run);
    m_clock.start();
    // A new layout drops the bindings: told at once, the held ones are bound
    // again before the next click rather than on it.
    int opcode = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (XkbQueryExtension(display, &opcode, &m_xkbEvent, &error, &major, &minor)) {
        const unsigned long mask = XkbNewKeyboardNotifyMask | XkbMapNotifyMask;
        XkbSelectEvents(display, XkbUseCoreKbd, mask, mask);
    } else {
        m_xkbEvent = -1;
    }
    m_events = new QSocketNotifier(ConnectionNumber(display), QSocketNotifier::Read, this);
    connect(m_events, &QSocketNotifier::activated, this, &XTestTypist::readEvents);
    followKeymap();
}

void XTestTypist::readEvents()
{
    bool keymap = false;
    while (XPending(m_display)) {
        XEvent event;
        XNextEvent(m_display, &event);
        keymap = keymap || event.type == MappingNotify || event.type == m_xkbEvent;
    }
    // Our own changes come back too; run then finds nothing to do.
    if (keymap && m_lender.holding())
        run();
}

XTestTypist::~XTestTypist()
{
    finish();
    delete m_events;
    XDestroyWindow(m_display, m_owner);
    XCloseDisplay(m_display);
}

void XTestTypist::type(const std::vector<Keysym> &keysyms)
{
    m_lender.enqueue(keysyms, Millis(m_clock.elapsed()));
    run();
}

void XTestTypist::hold(const std::vector<Keysym> &keysyms)
{
    followKeymap();
    acquire();
    apply(m_lender.hold(keysyms, Millis(m_clock.elapsed()), m_owning));
    if (m_owning && m_lent.empty() && !m_lender.wantsToBind() && !m_lender.holding())
        release();
    schedule();
    if (XEventsQueued(m_display, QueuedAlready) > 0)
        QMetaObject::invokeMethod(this, &XTestTypist::readEvents, Qt::QueuedConnection);
}

void XTestTypist::followKeymap()
{
    const Mapping m = readMapping(m_display);
    for (const auto &[keycode, keysym] : m_lender.bindings()) {
        if (!m.has(keycode) || !mayGiveBack(keysym, KeycodeNow{m.column(keycode)})) {
            // A new layout replaced the mapping, and our bindings with it.
            std::erase_if(m_lent, [&](const auto &lent) { return !mayGiveBack(lent.second, KeycodeNow{m.column(lent.first)}); });
            m_lender.keymapReplaced(spareIn(m), Millis(m_clock.elapsed()));
            publishLent();
            break;
        }
    }
    // Key codes lent, by us or by another typist, are no keys of the layout.
    std::map<int, Keysym> lent = m_lent;
    for (const LentKey &key : listedLent(m_display))
        lent.emplace(key.keycode, key.keysym);
    std::vector<unsigned long> layout = m.syms;
    for (const auto &[keycode, keysym] : lent)
        if (m.has(keycode))
            std::fill_n(layout.begin() + (keycode - m.first) * m.perKeycode, m.perKeycode, NoSymbol);
    const int group = currentGroup(m_display);
    if (layout == m_layoutSeen && group == m_groupSeen)
        return;
    m_layoutSeen = std::move(layout);
    m_groupSeen = group;
    const Modifiers mods = readModifiers(m_display);
    m_modifierKeys = mods.keycodes;
    m_numLock = mods.numLock;
    m_lender.setLayoutKeys(layoutKeysIn(m, group, lent, mods));
    if (m_lender.bindings().empty())
        m_lender.setSpare(spareIn(m));
}

bool XTestTypist::acquire()
{
    if (m_owning)
        return true;
    const Atom selection = lenderAtom(m_display);
    // Looked at and taken in one step: two typists never both take it.
    XGrabServer(m_display);
    if (XGetSelectionOwner(m_display, selection) == None)
        XSetSelectionOwner(m_display, selection, m_owner, CurrentTime);
    XUngrabServer(m_display);
    m_owning = XGetSelectionOwner(m_display, selection) == m_owner;
    if (m_owning) {
        reclaimLeftovers();
        // Another lender may have given its key codes back since we looked.
        m_layoutSeen.clear();
        followKeymap();
    }
    return m_owning;
}

void XTestTypist::release()
{
    if (!m_owning)
        return;
    XSetSelectionOwner(m_display, lenderAtom(m_display), None, CurrentTime);
    XFlush(m_display);
    m_owning = false;
}

namespace {

std::vector<long> displayList(Display *display)
{
    const X11Property property(display, DefaultRootWindow(display), lentAtom(display), XA_CARDINAL, 32, 4096);
    return {property.longs().begin(), property.longs().end()};
}

} // namespace

std::vector<LentKey> XTestTypist::listedLent(Display *display) { return decodeLentKeys(displayList(display)); }

void XTestTypist::reclaimLeftovers()
{
    std::error_code ignored;
    const Window root = DefaultRootWindow(m_display);
    const std::vector<LentKey> leftovers = leftoverKeys(readLentRecord(m_recordFile), displayList(m_display));
    if (!leftovers.empty()) {
        const Mapping m = readMapping(m_display);
        const Modifiers mods = readModifiers(m_display);
        const std::optional<std::set<int>> layout = layoutKeycodes(ruleNames(m_display));
        for (const LentKey &key : leftovers) {
            if (!m.has(key.keycode))
                continue;
            // Where the layout cannot be compiled, no key code is known to be free of it.
            const KeycodeNow now{m.column(key.keycode), mods.keycodes.count(key.keycode) > 0,
                                 !layout || layout->count(key.keycode) > 0};
            if (mayGiveBack(key.keysym, now))
                setKeycode(m_display, key.keycode, NoSymbol);
        }
    }
    XDeleteProperty(m_display, root, lentAtom(m_display));
    if (!m_recordFile.empty())
        std::filesystem::remove(m_recordFile, ignored);
    // A new owner, a new token: a list copied from an earlier one names no record.
    m_token = newLenderToken();
    XSync(m_display, False);
}

void XTestTypist::run()
{
    followKeymap();
    if (m_lender.wantsToBind())
        acquire();
    apply(m_lender.run(Millis(m_clock.elapsed()), m_owning));
    if (m_owning && m_lent.empty() && !m_lender.wantsToBind() && !m_lender.holding())
        release();
    schedule();
    if (XEventsQueued(m_display, QueuedAlready) > 0)
        QMetaObject::invokeMethod(this, &XTestTypist::readEvents, Qt::QueuedConnection);
    if (const std::vector<Keysym> late = m_lender.takeLate(); !late.empty()) {
        std::u32string text;
        for (const Keysym keysym : late)
            if (const char32_t cp = characterOf(keysym))
                text.push_back(cp);
        emit notTyped(text);
    }
}

void XTestTypist::schedule()
{
    auto at = m_lender.wakeAt();
    // Another typist lends now: try again shortly.
    if (m_lender.wantsToBind() && !m_owning)
        at = std::min(at.value_or(Millis::max()), Millis(m_clock.elapsed() + 50));
    if (at)
        m_timer.start(static_cast<int>(std::max<Millis::rep>(0, at->count() - m_clock.elapsed())));
    else
        m_timer.stop();
}

void XTestTypist::press(const KeyAction &a)
{
    const auto key = [this](int keycode, bool down) {
        XTestFakeKeyEvent(m_display, static_cast<unsigned>(keycode), down, CurrentTime);
    };
    XkbStateRec state{};
    XkbGetState(m_display, XkbUseCoreKbd, &state);
    const unsigned keep = m_numLock;
    if ((state.mods & ~keep) == a.mods) {
        key(a.keycode, true);
        key(a.keycode, false);
        return;
    }
    // Held modifier keys are let go for the press and held again after it;
    // locked and latched modifiers are set to the key's level and put back.
    std::vector<int> held;
    if (state.base_mods & ~keep) {
        char down[32] = {};
        XQueryKeymap(m_display, down);
        for (int keycode : m_modifierKeys)
            if (keycode < 256 && (down[keycode / 8] & (1 << (keycode % 8))))
                held.push_back(keycode);
    }
    for (int keycode : held)
        key(keycode, false);
    const unsigned affect = 0xff & ~keep;
    XkbLatchModifiers(m_display, XkbUseCoreKbd, affect, 0);
    XkbLockModifiers(m_display, XkbUseCoreKbd, affect, a.mods);
    key(a.keycode, true);
    key(a.keycode, false);
    XkbLockModifiers(m_display, XkbUseCoreKbd, affect, state.locked_mods & affect);
    XkbLatchModifiers(m_display, XkbUseCoreKbd, affect, state.latched_mods & affect);
    for (int keycode : held)
        key(keycode, true);
}

void XTestTypist::apply(const std::vector<KeyAction> &actions)
{
    if (actions.empty())
        return;
    bool lentChanged = false;
    for (const KeyAction &a : actions) {
        if (a.kind == KeyAction::Kind::Bind) {
            m_lent[a.keycode] = a.keysym;
            lentChanged = true;
        }
    }
    // Listed before they are bound, so that no kill can leave one unlisted.
    if (lentChanged)
        publishLent();
    lentChanged = false;
    std::vector<KeyAction> binds;
    std::copy_if(actions.begin(), actions.end(), std::back_inserter(binds),
                 [](const KeyAction &a) { return a.kind == KeyAction::Kind::Bind; });
    bind(binds);
    for (const KeyAction &a : actions) {
        switch (a.kind) {
        case KeyAction::Kind::Bind:
            break;
        case KeyAction::Kind::Press:
            press(a);
            break;
        case KeyAction::Kind::Restore:
            setKeycode(m_display, a.keycode, NoSymbol);
            ++m_mappingChanges;
            m_lent.erase(a.keycode);
            lentChanged = true;
            break;
        }
    }
    if (lentChanged)
        publishLent();
    // Our own MappingNotify events are of no use on this connection: dropped.
    XSync(m_display, False);
}

void XTestTypist::bind(const std::vector<KeyAction> &binds)
{
    if (binds.empty())
        return;
    // One request for each run of adjacent key codes; one request over the
    // key codes between would rewrite the layout's keys from their core
    // mapping and lose their XKB levels.
    std::map<int, KeySym> wanted;
    for (const KeyAction &a : binds)
        wanted[a.keycode] = a.keysym;
    for (auto it = wanted.begin(); it != wanted.end();) {
        const int first = it->first;
        std::vector<KeySym> syms;
        int next = first;
        for (; it != wanted.end() && it->first == next; ++it, ++next) {
            syms.push_back(it->second);
            syms.push_back(it->second);
        }
        XChangeKeyboardMapping(m_display, first, 2, syms.data(), next - first);
        ++m_mappingChanges;
    }
    // The presses must find the new mapping in place at the server.
    XSync(m_display, False);
}

void XTestTypist::publishLent()
{
    const Window root = DefaultRootWindow(m_display);
    std::error_code ignored;
    if (m_lent.empty()) {
        XDeleteProperty(m_display, root, lentAtom(m_display));
        if (!m_recordFile.empty())
            std::filesystem::remove(m_recordFile, ignored);
        return;
    }
    std::vector<LentKey> keys;
    for (const auto &[keycode, keysym] : m_lent)
        keys.push_back({keycode, keysym});
    // The record, then the list with its token, and only then the bindings.
    if (!m_recordFile.empty())
        writeLentRecord(m_recordFile, LentRecord{m_token, keys});
    const std::vector<long> values = encodeLentKeys(m_token, keys);
    XChangeProperty(m_display, root, lentAtom(m_display), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char *>(values.data()), static_cast<int>(values.size()));
}

void XTestTypist::finish()
{
    m_timer.stop();
    apply(m_lender.restoreAll());
    if (!m_lent.empty()) {
        // Left over from a keymap that changed under a binding.
        const Mapping m = readMapping(m_display);
        for (const auto &[keycode, keysym] : m_lent)
            if (m.has(keycode) && mayGiveBack(keysym, KeycodeNow{m.column(keycode)}))
                setKeycode(m_display, keycode, NoSymbol);
        m_lent.clear();
        publishLent();
    }
    release();
    XSync(m_display, False);
}

} // namespace umbrill
