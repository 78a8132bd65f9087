// How a character reaches the focused window through a keyboard that sends
// keysyms only of the current layout (the desktop's RemoteDesktop portal):
// the layout's own key, or the input method's Unicode entry (Ctrl+Shift+U,
// the code point in hex, Return), which GTK's and IBus's input methods take.
#pragma once

#include "core/typing/typedtext.h"

#include <functional>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace umbrill {

struct KeyEvent {
    Keysym keysym;
    bool pressed;
    // How long the next event waits: an input method commits a Unicode entry
    // on its own time, and a key sent meanwhile overtakes it or is lost.
    int pauseAfterMs = 0;
    bool operator==(const KeyEvent &) const = default;
};

// The pause after a Unicode entry.
inline constexpr int kUnicodeEntryPauseMs = 150;

// Whether the current layout has a key for the keysym.
using LayoutHas = std::function<bool(Keysym)>;

// A keyboard mapping: for each key, its keysyms in each layout (an X "group"),
// by level (plain, Shift, AltGr, ...). A key with fewer layouts than the
// keyboard repeats its own from the first.
using KeyboardLayouts = std::vector<std::vector<std::vector<Keysym>>>;

// The keysyms that a keyboard of keysyms types right while layout `active` is
// on: those on the plain or the Shift level of a key in the active layout
// that, wherever either layout has them, sit on that key and level in both.
// A desktop may look a keysym up in either layout (KWin 5.27 looks in the
// first, and the window reads the key in the active one), and presses the key
// without the modifier of a higher level (GNOME 43 typed € as e and { as 7
// under de); a keysym elsewhere, on AltGr, or only in one layout would come
// out as another character or not at all.
std::unordered_set<Keysym> typeableKeysyms(const KeyboardLayouts &keys, std::size_t active);

// Appends the key events that type the code point: a press and release of its
// named keysym where the layout has it; else, when unicodeEntry is allowed,
// the Unicode entry, if the layout has Control_L, Shift_L, u, the hex digits
// and Return. Returns false, appending nothing, when neither way can.
bool appendKeyEvents(char32_t codePoint, const LayoutHas &layoutHas, bool unicodeEntry, std::vector<KeyEvent> &events);

// Whether the windows of this session take the Unicode entry, from the
// session's environment: where IBus is the input method (GNOME runs it, and
// QT_IM_MODULE or GTK_IM_MODULE names it) every GTK and Qt program takes it.
// Elsewhere Qt programs would get the hex digits as text.
bool sessionTakesUnicodeEntry(std::string_view currentDesktop, std::string_view qtImModule, std::string_view gtkImModule);

} // namespace umbrill
