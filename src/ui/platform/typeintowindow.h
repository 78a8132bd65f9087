// Type into Window: the Mode menu's check item, and while it is on, a pad that
// never takes the keyboard focus and types each click into the window that has
// it. Off, nothing here touches the window, the keys or the clipboard.
#pragma once

#include "core/interface/interfacestrings.h"
#include "ui/platform/typist.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QMainWindow;
class QWidget;

namespace umbrill {

class PadState;
class QuitOnSignal;

class TypeIntoWindow : public QObject {
    Q_OBJECT
public:
    // A typist for this desktop, or why there is none.
    struct Offer {
        std::unique_ptr<Typist> typist;
        std::optional<TypingUnavailable> reason;
    };
    using TypistFactory = std::function<Offer()>;

    // The item (object name "TypeIntoWindow") belongs to window; the caller
    // puts it in its menu. The keys are the push buttons of window's central widget.
    TypeIntoWindow(QMainWindow &window, PadState &state);
    ~TypeIntoWindow() override;

    QAction *action() const { return m_action; }
    bool isOn() const { return m_on; }

    // Looks for a way to type, once: when the menu is first opened, or when
    // the item comes on. Disables the item, with the reason as tooltip, when
    // there is none.
    void probe();
    // Turns typing on or off as the item does, and remembers it.
    void setOn(bool on);
    // The caption (and the reason, when disabled) in this interface language.
    void setLanguage(std::string_view controlLanguage);
    // A key made while typing is on takes no focus either.
    void prepareKey(QWidget *key) const;
    // Types text into the focused window.
    void type(const std::u32string &text);

    // Replaces how a typist is found (tests).
    void setTypistFactory(TypistFactory factory) { m_factory = std::move(factory); }
    Typist *typist() const { return m_typist.get(); }

signals:
    // One short line for the pad to show (characters put on the clipboard).
    void notice(const QString &text);

private:
    void applyFocus(bool on);
    static Offer desktopTypist(PadState &state);

    QMainWindow &m_window;
    PadState &m_state;
    QAction *m_action;
    std::string m_language = "English";
    bool m_on = false;
    bool m_probed = false;
    bool m_closed = false;  // the desktop ended the last typing session
    std::optional<TypingUnavailable> m_reason;
    std::unique_ptr<Typist> m_typist;
    std::unique_ptr<QuitOnSignal> m_quitOnSignal;
    TypistFactory m_factory;
};

} // namespace umbrill
