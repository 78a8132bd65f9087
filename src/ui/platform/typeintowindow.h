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

class Desktop;
class PadModel;

class TypeIntoWindow : public QObject {
    Q_OBJECT
public:
    using Offer = TypistOffer;
    using TypistFactory = std::function<Offer()>;

    // The item (object name "TypeIntoWindow") belongs to window; the caller
    // puts it in its menu; the window prepares its keys (prepareKey) as the
    // model announces typing on or off. desktop offers the typist and must outlive this, or be replaced.
    TypeIntoWindow(QMainWindow &window, PadModel &model, Desktop &desktop);
    ~TypeIntoWindow() override;

    QAction *action() const { return m_action; }
    bool isOn() const { return m_on; }
    // Why there is no way to type, as the item's tooltip says it; empty when there is one (or none was looked for).
    QString unavailableReason() const { return m_reason ? QString::fromUtf8(typingUnavailableReason(m_language, *m_reason)) : QString(); }

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
    // Puts text that could not be typed on the model's clipboard, and says so
    // on the pad; a clipboard that refuses it is shown as the error it is.
    void putOnClipboard(const std::u32string &text);
    // The desktop that offers the typist when typing is first looked for.
    void setDesktop(Desktop &desktop) { m_desktop = &desktop; }

    // Replaces how a typist is found (tests).
    void setTypistFactory(TypistFactory factory) { m_factory = std::move(factory); }
    Typist *typist() const { return m_typist.get(); }

signals:
    // One short line for the pad to show (characters put on the clipboard).
    void notice(const QString &text);

private:
    void holdKeys();

    QMainWindow &m_window;
    PadModel &m_model;
    Desktop *m_desktop;
    QAction *m_action;
    std::string m_language = "English";
    bool m_on = false;
    bool m_probed = false;
    bool m_closed = false;  // the desktop ended the last typing session
    std::optional<TypingUnavailable> m_reason;
    std::unique_ptr<Typist> m_typist;
    QMetaObject::Connection m_finishOnSignal;  // while on: a quit by signal gives the keys back
    TypistFactory m_factory;
};

} // namespace umbrill
