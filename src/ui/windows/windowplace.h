// Where a window stands: brought back where the last run left it, kept on its
// screen, and remembered once it has rested for a moment after a move (the
// window's moves are watched from the start).
#pragma once

#include "core/keypad/keygrid.h"

#include <QObject>

#include <optional>

class QTimer;
class QWidget;

namespace umbrill {

class PadModel;

class WindowPlace : public QObject {
    Q_OBJECT
public:
    WindowPlace(QWidget &window, PadModel &model);

    // Back on the screen its centre lies on; where nothing was remembered, or
    // that screen has gone: centred. Then kept on its screen.
    void restore(const std::optional<KeyPlacement> &remembered);
    // Moves the window the least it takes so that all of it lies on its screen.
    void keepOnScreen();
protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The window moved: its place is noted, and stored half a second later.
    void moved();
    // No store waits any more (the window closes, and what is pending is stored).
    void stop();

    QWidget &m_window;
    PadModel &m_model;
    QTimer *m_saver;
};

} // namespace umbrill
