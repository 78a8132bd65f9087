// Lends spare keycodes (those with no keysyms in the keyboard mapping) to the
// characters a click types, and says when each may be rebound and when it is
// given back. A pure state machine over a clock the caller reads: it makes no
// X call itself; the X typist carries out the actions it returns, in order.
//
// The rules, measured against real targets: a program looks a key's keysym up
// when it handles the key event, which may be well after the press was sent,
// so a keycode keeps its keysym for rebindAfter after its last press before it
// is bound to another one. A character already bound types again at once.
//
// Every change of the keyboard mapping makes each window manager and program
// on the display read the mapping again and grab its keys anew; one that falls
// behind drops or misplaces the clicks meanwhile. So while typing is on the
// lender holds a set of keysyms (the characters of the pad that the layout
// lacks): it binds them as far as the spare keycodes go, in one batch, and
// keeps them bound; a click on a character outside the batch takes the least
// recently used keycode. Without a held set, a keycode is given back
// (NoSymbol) after it has been idle for restoreAfter.
#pragma once

#include "core/typing/typedtext.h"

#include <chrono>
#include <cstddef>
#include <deque>
#include <map>
#include <optional>
#include <span>
#include <vector>

namespace umbrill {

using Millis = std::chrono::milliseconds;  // since any fixed start of the same clock

struct KeyAction {
    enum class Kind { Bind, Press, Restore };
    Kind kind;
    int keycode;
    Keysym keysym = 0;  // Bind: the keysym on both levels; Press: what it types; Restore: 0
    unsigned mods = 0;  // Press: the modifiers to hold for its level (a layout's key), else none
    bool operator==(const KeyAction &) const = default;
};

// A key of the keyboard layout that holds a keysym, and the modifiers (X
// modifier mask) that reach its level.
struct LayoutKey {
    int keycode;
    unsigned mods;
};

struct KeyLendingTiming {
    Millis rebindAfter{100};
    Millis restoreAfter{1000};
    // A queued keysym not typed this long after its click is given up (see
    // takeLate): typed later, it would land wherever the focus is by then.
    std::optional<Millis> giveUpAfter;
};

class KeyLender {
public:
    explicit KeyLender(std::vector<int> spareKeycodes, KeyLendingTiming timing = {});

    // Queues keysyms, clicked at `at`, to type after those already queued.
    void enqueue(std::span<const Keysym> keysyms, Millis at = Millis{0});
    // Typing turned on, or the pad's characters changed: binds the keysyms
    // not on the layout as far as unbound spare keycodes go (the first ones
    // first), and keeps every binding until release. Returns the Binds, all
    // before any Press, as run does; mayBind as for run.
    std::vector<KeyAction> hold(std::span<const Keysym> keysyms, Millis now, bool mayBind = true);
    // Typing turned off: every binding given back, the queue dropped.
    std::vector<KeyAction> release() { return restoreAll(); }
    bool holding() const { return m_holding; }
    // The queued keysyms given up since the last call, in order.
    std::vector<Keysym> takeLate();
    // The layout's own keys: a keysym found here is typed on its key, never lent.
    void setLayoutKeys(std::map<Keysym, LayoutKey> keys) { m_layout = std::move(keys); }
    // What to do at now: the restores that are due (none while holding), then
    // as many queued keysyms as can be typed now, each a Press, with a Bind
    // when its keysym is neither bound yet nor on a layout key. All Binds come
    // first, so that they reach the server as one batch. Stops at the first
    // keysym that must wait, and, without mayBind, at the first that needs a
    // Bind. Then, while holding, binds held keysyms to keycodes that are
    // free, and gives up the queued keysyms that have waited giveUpAfter.
    std::vector<KeyAction> run(Millis now, bool mayBind = true);
    // The next queued keysym needs a key code bound to it.
    bool wantsToBind() const;
    // When run has something to do next: a queued keysym's keycode becomes
    // free, or a binding falls due for restoring. nullopt: nothing to do.
    std::optional<Millis> wakeAt() const;
    // Every binding given back at once (on exit); the queue and the held set are dropped.
    std::vector<KeyAction> restoreAll();
    // The keyboard mapping was replaced (a layout change): the old bindings are
    // gone with it, and the spare keycodes are those of the new mapping. A
    // program that is still taking in the new mapping would read a keycode
    // bound now as something else, so every spare keycode rests as if just
    // pressed at now before it is bound.
    void keymapReplaced(std::vector<int> spareKeycodes, Millis now);

    // New spare key codes while nothing is bound (another lender gave its own back).
    void setSpare(std::vector<int> spareKeycodes) { m_spare = std::move(spareKeycodes); }

    bool canType() const { return !m_spare.empty(); }
    std::size_t queued() const { return m_queue.size(); }
    // Keycode to the keysym it is lent to.
    const std::map<int, Keysym> &bindings() const { return m_bound; }

private:
    struct Queued {
        Keysym keysym;
        Millis at;
    };
    std::optional<int> freeKeycode(Millis now, bool unboundOnly = false) const;
    bool isBound(Keysym keysym) const;
    void bindHeld(Millis now, std::vector<KeyAction> &binds);

    std::vector<int> m_spare;
    KeyLendingTiming m_timing;
    std::deque<Queued> m_queue;
    std::vector<Keysym> m_held;  // in the pad's order
    bool m_holding = false;
    std::vector<Keysym> m_late;
    Millis m_lastRun = Millis::min();
    std::map<Keysym, LayoutKey> m_layout;
    std::map<int, Keysym> m_bound;
    std::map<int, Millis> m_lastPress;
};

} // namespace umbrill
