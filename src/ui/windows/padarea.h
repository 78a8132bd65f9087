// The pad's client area: the keys, placed by hand; the empty pad's hint while
// there are none; and Multiple Char's strip along the bottom.
#pragma once

#include "core/keypad/keygrid.h"

#include <QWidget>

class QLabel;
class QMainWindow;

namespace umbrill {

class CollectionStrip;
class PadKeys;
class PadModel;
class PadState;
class TypeIntoWindow;

class PadArea : public QWidget {
    Q_OBJECT
public:
    explicit PadArea(QWidget *parent);

    QLabel *hint() const { return m_hint; }
    CollectionStrip *strip() const { return m_strip; }
    PadKeys &keys() const { return *m_keys; }
    // The hint shows while there are no keys.
    void updateHint();
    // The keys of the language state has loaded, fitted to room, ready for typing's focus rule.
    void makeKeys(const PadState &state, QSize room, const TypeIntoWindow &typing);
    // Lays the keys out on the grid that fits room; returns the room they take.
    GridSize layOut(PadModel &model, QSize room);
    // The strip shows the collection, and shows while collecting; true when
    // it came or went, and the window must grow or shrink by its height.
    bool showCollection(const QString &collection, bool collecting);
    // The strip's height while it shows, else 0.
    int stripHeight() const;
    // The room for the grid on the screen the window is on, below its menu and
    // beside the frame the window manager adds.
    QSize room(const QMainWindow &window) const;
    // The window takes the size of a grid of that size, with its strip and
    // menu; false when it had that size already.
    bool fitWindow(QMainWindow &window, GridSize grid);

private:
    QLabel *m_hint;
    CollectionStrip *m_strip;
    PadKeys *m_keys;
};

} // namespace umbrill
