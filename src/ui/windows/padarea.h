// The pad's client area: the keys, placed by hand; the empty pad's hint while
// there are none; and Multiple Char's strip along the bottom.
#pragma once

#include "core/keypad/keygrid.h"

#include <QWidget>

class QLabel;

namespace umbrill {

class CollectionStrip;
class PadKeys;
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
    GridSize layOut(PadState &state, QSize room);
    // The strip's height while it shows, else 0.
    int stripHeight() const;

private:
    QLabel *m_hint;
    CollectionStrip *m_strip;
    PadKeys *m_keys;
};

} // namespace umbrill
