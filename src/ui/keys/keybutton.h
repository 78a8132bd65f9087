// A key of the pad or of Find's results: its caption or face, its keyboard
// steering and its menu request.
#pragma once

#include "core/keypad/keygrid.h"
#include "core/names/keyface.h"

#include <QPushButton>
#include <QStyleOptionButton>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QMimeData;

namespace umbrill {

// Paints a key as the style paints a push button in option, in painter's
// font: with face, where given, in place of option's text. The keys of the
// pad and Find's results are painted by this one function.
void paintKey(QPainter &painter, QStyleOptionButton option, const std::optional<KeyFace> &face,
              const QWidget *widget);

// What a drag of character carries; the caller owns the result.
using DragData = std::function<QMimeData *(std::u16string_view character)>;

// Drags data out of source, as a copy, showing picture under the pointer at
// hotSpot; returns when it is dropped or given up.
void dragCharacter(QWidget *source, QMimeData *data, const QPixmap &picture, QPoint hotSpot);

// The data of the last character drag while the drag lives: until it is
// given up, or until its drop target has read what it needs. Null otherwise.
const QMimeData *draggedCharacterData();

// The grid move an arrow key, Home or End asks for (no modifier but the
// keypad's); nullopt for any other key.
std::optional<GridMove> gridMoveFor(const QKeyEvent &event);

// One key of the grid, or of Find's results. character() is what a click
// outputs (never the caption). Where the character would show nothing, the
// key paints its face instead of the caption: a short label, or the mark on a
// dotted circle (core/names/keyface.h). Its tooltip, and its name and
// description for screen readers (ui/keys/keyinfo.h), are made when asked for.
class KeyButton : public QPushButton {
    Q_OBJECT
public:
    // A pad key for a data-file code.
    KeyButton(std::int32_t code, QWidget *parent);
    // A key for the Unicode character c (Find's results): no code of the data file.
    KeyButton(char32_t c, QWidget *parent);
    const std::u16string &character() const { return m_character; }
    // The character as one code point.
    char32_t codePoint() const { return m_codePoint; }
    // Pressed and moved past the start distance, the key drags its character
    // out with what dragData makes (it must outlive the key), and the press
    // clicks nothing. Without dragData, or while it is empty, it does not drag.
    void setDragData(const DragData *dragData) { m_dragData = dragData; }

signals:
    // An arrow key, Home or End asks the window to move the focus on the grid.
    void moveRequested(umbrill::GridMove move);
    // A right click or the Menu key asks for the key's menu at a point of the screen.
    void menuRequested(QPoint globalPos);

protected:
    // Enter and Return press a key like Space does; the arrow keys, Home and
    // End move on the grid (see moveRequested).
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    // The tooltip is made on the first ToolTip event.
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    KeyButton(std::u16string character, std::u16string caption, std::optional<KeyFace> face, QWidget *parent);

    std::u16string m_character;
    char32_t m_codePoint;
    std::optional<KeyFace> m_face;
    // Where the left button went down, while it is down; a drag's press is
    // done with once the drag starts.
    std::optional<QPoint> m_pressedAt;
    bool m_dragged = false;
    const DragData *m_dragData = nullptr;
};

} // namespace umbrill
