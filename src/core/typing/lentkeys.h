// The record of key codes lent on a display, and the rule for giving one back
// that a run left lent. The list on the root window is readable and writable
// by any program on the display, so it only tells other programs which key
// codes are no keys of the layout. What a run left lent is read from the
// lender's own record, a file only this user can read and write, and only
// while the display's list carries that file's random token (the file of an
// earlier X server on the same display number is stale). Even then a key code
// is given back only where it still holds exactly what a lender binds, and
// never where the keyboard layout has a key of its own.
#pragma once

#include "core/typing/typedtext.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace umbrill {

struct LentKey {
    int keycode;
    Keysym keysym;
    bool operator==(const LentKey &) const = default;
};

// Random, made once per X server by the lender that first lends there.
using LenderToken = std::array<std::uint32_t, 4>;
LenderToken newLenderToken();

// The display's list as 32-bit values: the token, then key code and keysym in pairs.
std::vector<long> encodeLentKeys(const LenderToken &token, std::span<const LentKey> keys);
// The token of a list; nullopt when it is too short to hold one.
std::optional<LenderToken> lentKeysToken(std::span<const long> values);
// The pairs of a list after its token; a trailing odd value is ignored.
std::vector<LentKey> decodeLentKeys(std::span<const long> values);

// The lender's own record: the token and the key codes it lends now.
struct LentRecord {
    LenderToken token{};
    std::vector<LentKey> keys;
    bool operator==(const LentRecord &) const = default;
};
// Where the record of the display lies: in the user's runtime folder
// (XDG_RUNTIME_DIR, which only the user may enter). Empty when there is none.
std::filesystem::path lentRecordFile(std::string_view runtimeDir, std::string_view displayName);
// Written whole (a new file, mode 0600, renamed over the old one); false when it cannot be.
bool writeLentRecord(const std::filesystem::path &file, const LentRecord &record);
// nullopt when there is none or it is not a record.
std::optional<LentRecord> readLentRecord(const std::filesystem::path &file);
// What a run left lent, as far as it may be believed: the record's keys when
// the display's list carries the record's token, else none.
std::vector<LentKey> leftoverKeys(const std::optional<LentRecord> &record, std::span<const long> displayList);

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
