// The record of key codes lent on a display, and the rule for giving one back
// that a run left lent. The record is readable and writable by any program on
// the display, so it is only a hint: a key code is given back only where it
// still holds exactly what a lender binds, and never where the keyboard
// layout has a key of its own.
#pragma once

#include "core/typing/typedtext.h"

#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace umbrill {

struct LentKey {
    int keycode;
    Keysym keysym;
    bool operator==(const LentKey &) const = default;
};

// The record as 32-bit values: key code and keysym, in pairs.
std::vector<long> encodeLentKeys(std::span<const LentKey> keys);
// Pairs back; a trailing odd value is ignored.
std::vector<LentKey> decodeLentKeys(std::span<const long> values);

// What a lender binds: a character's own keysym (see keysymFor), never a
// control, a function key or a keypad keysym.
bool isLendableKeysym(Keysym keysym);

// What a key code holds now, and what is known of it besides.
struct KeycodeNow {
    std::vector<Keysym> syms;  // its keysyms in the core mapping, every column
    bool modifier = false;     // it is in the modifier mapping
    bool inLayout = false;     // the keyboard layout, freshly compiled, has keysyms on it
};

// Whether a key code recorded as lent with keysym may be given back (set to
// no keysyms): the keysym is lendable, the key code holds it on its first two
// columns and nothing else on the others, and it is neither a modifier nor a
// key of the layout.
bool mayGiveBack(Keysym recorded, const KeycodeNow &now);

// The key codes with keysyms in the layout named by XKB rule names (the
// _XKB_RULES_NAMES of the root window: rules, model, layout, variant,
// options), compiled afresh from the system's keyboard descriptions.
// nullopt when it does not compile.
std::optional<std::set<int>> layoutKeycodes(const std::vector<std::string> &ruleNames);

} // namespace umbrill
