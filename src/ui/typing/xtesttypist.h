// Types into the focused X11 window with XTest key events on a private X
// connection. Each character is typed on a spare keycode (one without
// keysyms) that is bound to the character's keysym for the moment, so any
// character types under any keyboard layout; KeyLender decides when a keycode
// is bound, pressed and given back. The keycodes lent are also listed on the
// root window, so that a run that was killed leaves nothing behind: the next
// run gives them back when it opens.
#pragma once

#include "core/interface/interfacestrings.h"
#include "core/typing/keylender.h"
#include "ui/typing/typist.h"

#include <QElapsedTimer>
#include <QTimer>

#include <memory>
#include <set>
#include <variant>

struct _XDisplay;

namespace umbrill {

class XTestTypist : public Typist {
    Q_OBJECT
public:
    // Opens its own connection to displayName (nullptr: $DISPLAY), gives back
    // keycodes a killed run left lent, and finds the spare keycodes. The reason
    // when typing cannot work there.
    static std::variant<std::unique_ptr<XTestTypist>, TypingUnavailable> open(const char *displayName = nullptr,
                                                                              KeyLendingTiming timing = {});
    ~XTestTypist() override;

    void type(const std::vector<Keysym> &keysyms) override;
    void finish() override;

    // The name of the root-window property that lists the lent keycodes.
    static constexpr const char *kLentProperty = "_UMBRILL_LENT_KEYCODES";

private:
    XTestTypist(_XDisplay *display, KeyLendingTiming timing);
    void run();
    void schedule();
    void apply(const std::vector<KeyAction> &actions);
    // Reads the keyboard mapping; when a layout change replaced it, the lender
    // learns the new spare keycodes.
    void followKeymap();
    void publishLent();

    _XDisplay *m_display;
    KeyLender m_lender;
    std::set<int> m_lent;
    QTimer m_timer;
    QElapsedTimer m_clock;
};

} // namespace umbrill
