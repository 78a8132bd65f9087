// Types into the focused X11 window with XTest key events on a private X
// connection. A character on a key of the current layout is typed on that
// key, at the level it is on; any other is typed on a spare key code (one
// without keysyms) lent to its keysym for the moment, so any character types
// under any layout. KeyLender decides when a key code is bound, pressed and
// given back. Whatever modifiers are held or locked (Shift, Caps Lock), a key
// is pressed with exactly the modifiers of its level, so a click types exactly
// the character on the key.
//
// While typing is on, the pad's characters that the layout lacks stay bound
// (hold), so that clicks change no mapping; see KeyLender. A click that cannot
// be typed within kGiveUpAfter (another program holds the selection below, or
// the server is too slow) is reported by notTyped and never typed later.
//
// One lender per display: a typist lends key codes only while it owns the X
// selection _UMBRILL_KEY_LENDER. It lists the key codes it lends on the root
// window, for other programs to know they are no keys of the layout, and
// records them with a random token in a file of the user's runtime folder,
// so that the next owner gives back what a killed run left lent. The list is
// anyone's to write; only the record is believed, and only where a key code
// still holds exactly what was lent (lentkeys.h).
#pragma once

#include "core/interface/interfacestrings.h"
#include "core/typing/keylender.h"
#include "core/typing/lentkeys.h"
#include "ui/platform/typist.h"

#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>

#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <variant>
#include <vector>

struct _XDisplay;

namespace umbrill {

class XTestTypist : public Typist {
    Q_OBJECT
public:
    // Opens its own connection to displayName (nullptr: $DISPLAY), gives back
    // key codes a killed run left lent (when no other typist lends now), and
    // finds the spare key codes. The reason when typing cannot work there.
    static std::variant<std::unique_ptr<XTestTypist>, TypingUnavailable> open(const char *displayName = nullptr,
                                                                              KeyLendingTiming timing = {});
    ~XTestTypist() override;

    void type(const std::vector<Keysym> &keysyms) override;
    void hold(const std::vector<Keysym> &keysyms) override;
    void finish() override;

    // How long a click may wait for its key.
    static constexpr Millis kGiveUpAfter{300};
    // Changes of the keyboard mapping this typist has made.
    int mappingChanges() const { return m_mappingChanges; }

    // The root-window property that lists the lent key codes and their keysyms.
    static constexpr const char *kLentProperty = "_UMBRILL_LENT_KEYCODES";
    // The key codes that property lists as lent, by any typist on display.
    static std::vector<LentKey> listedLent(_XDisplay *display);
    // The selection its owner lends key codes under.
    static constexpr const char *kLenderSelection = "_UMBRILL_KEY_LENDER";

private:
    XTestTypist(_XDisplay *display, KeyLendingTiming timing);
    void run();
    void schedule();
    void apply(const std::vector<KeyAction> &actions);
    void press(const KeyAction &action);
    // Reads the keyboard mapping: when a layout change replaced it, the lender
    // learns the new spare key codes and the layout's keys.
    void followKeymap();
    // Takes the selection when no one holds it, and then gives back what a
    // killed owner left lent. Whether this typist owns it now.
    bool acquire();
    void release();
    void reclaimLeftovers();
    void publishLent();
    // Reads the connection's events: a keyboard change runs the lender.
    void readEvents();
    void bind(const std::vector<KeyAction> &binds);

    _XDisplay *m_display;
    unsigned long m_owner = 0;  // the window that owns the selection for us
    bool m_owning = false;
    KeyLender m_lender;
    std::map<int, Keysym> m_lent;
    std::vector<unsigned long> m_layoutSeen;  // the mapping of the keys not lent, last read
    int m_groupSeen = -1;
    std::set<int> m_modifierKeys;
    unsigned m_numLock = 0;  // Num Lock's modifier, left as the user has it
    LenderToken m_token{};
    std::filesystem::path m_recordFile;
    int m_mappingChanges = 0;
    int m_xkbEvent = -1;
    QSocketNotifier *m_events = nullptr;
    QTimer m_timer;
    QElapsedTimer m_clock;
};

} // namespace umbrill
