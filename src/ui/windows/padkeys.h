// The pad's keys on the window's client area: made for a language's codes,
// placed on the grid, and the arrow keys' moves between them.
#pragma once

#include "core/keypad/keygrid.h"
#include "ui/keys/keybutton.h"

#include <QList>
#include <QObject>

#include <cstdint>

class QFont;

namespace umbrill {

class PadKeys : public QObject {
    Q_OBJECT
public:
    explicit PadKeys(QWidget &area);

    const QList<KeyButton *> &keys() const { return m_keys; }
    // A key for code, of size by size (every placing sets it again), in font;
    // in the Tab order it comes before next.
    KeyButton *add(std::int32_t code, int size, const QFont &font, QWidget *next);
    // The keys go (deleted later: one of them may be asking).
    void clear();
    // Places the keys on grid; returns the room they take.
    GridSize place(const FittedGrid &grid);
    // What a key dragged out carries; without it a key does not drag.
    void setDragData(DragData dragData) { m_dragData = std::move(dragData); }

signals:
    void clicked(KeyButton *key);
    void menuRequested(KeyButton *key, QPoint globalPos);

private:
    // Moves the focus from key to the key the move reaches on the grid as last placed.
    void moveFocusFrom(KeyButton *key, GridMove move);

    QWidget &m_area;
    QList<KeyButton *> m_keys;
    int m_keysPerRow = 0;
    DragData m_dragData;
};

} // namespace umbrill
