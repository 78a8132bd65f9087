// The pad's side of the Find Character window: made when first opened, at
// the size it last had (bounded by its screen), its results in the pad's key
// font, on top when the pad is; with Type into Window on, a chosen result
// goes back to the window the user was writing in when Find opened.
#pragma once

#include <QObject>

#include <memory>
#include <string>

class QWidget;

namespace umbrill {

class Desktop;
class FindCharacterWindow;
class PadModel;
class PadState;
class TargetWindow;
class TypeIntoWindow;

class FindLink : public QObject {
    Q_OBJECT
public:
    FindLink(QWidget &pad, PadModel &model, TypeIntoWindow &typing, Desktop &desktop);
    // Another desktop: the window noted on the one before means nothing to it.
    void setDesktop(Desktop &desktop);

    // The window, made when first asked for (showing controlLanguage's texts); nullptr before.
    FindCharacterWindow *window() const { return m_window; }
    FindCharacterWindow *make(const std::string &controlLanguage);
    // Shows the made window in front, its search field selected for a new search.
    void open(bool onTop);
    void keepOnTop(bool onTop);
    // Types text into the window that had the focus when Find opened, once
    // it has it back; where it cannot be given back, on the clipboard.
    void typeBack(const std::u32string &text);

private:
    QWidget &m_pad;
    PadModel &m_model;
    const PadState &m_state;
    TypeIntoWindow &m_typing;
    Desktop *m_desktop;
    FindCharacterWindow *m_window = nullptr;
    std::shared_ptr<TargetWindow> m_focusBefore;  // the window the user was writing in when Find opened
};

} // namespace umbrill
