// Lends spare keycodes (those with no keysyms in the keyboard mapping) to the
// characters a click types, and says when each may be rebound and when it is
// given back. A pure state machine over a clock the caller reads: it makes no
// X call itself; the X typist carries out the actions it returns, in order.
//
// The rules, measured against real targets: a program looks a key's keysym up
// when it handles the key event, which may be well after the press was sent,
// so a keycode keeps its keysym for rebindAfter after its last press before it
// is bound to another one, and is given back (NoSymbol) only after it has been
// idle for restoreAfter. A character already bound types again at once.
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
};

class KeyLender {
public:
    explicit KeyLender(std::vector<int> spareKeycodes, KeyLendingTiming timing = {});

    // Queues keysyms to type after those already queued.
    void enqueue(std::span<const Keysym> keysyms);
    // The layout's own keys: a keysym found here is typed on its key, never lent.
    void setLayoutKeys(std::map<Keysym, LayoutKey> keys) { m_layout = std::move(keys); }
    // What to do at now: the restores that are due, then as many queued
    // keysyms as can be typed now, each a Press preceded by a Bind when its
    // keysym is neither bound yet nor on a layout key. Stops at the first
    // keysym that must wait, and, without mayBind, at the first that needs a Bind.
    std::vector<KeyAction> run(Millis now, bool mayBind = true);
    // The next queued keysym needs a key code bound to it.
    bool wantsToBind() const;
    // When run has something to do next: a queued keysym's keycode becomes
    // free, or a binding falls due for restoring. nullopt: nothing to do.
    std::optional<Millis> wakeAt() const;
    // Every binding given back at once (on exit); the queue is dropped.
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
    std::optional<int> freeKeycode(Millis now) const;

    std::vector<int> m_spare;
    KeyLendingTiming m_timing;
    std::deque<Keysym> m_queue;
    std::map<Keysym, LayoutKey> m_layout;
    std::map<int, Keysym> m_bound;
    std::map<int, Millis> m_lastPress;
};

} // namespace umbrill
