// Characters as a list model, and a view that shows them as the pad shows its
// keys: Find's results. The view steers as the pad does and reports what the
// user did; a character dragged out carries what the pad gives it.
#pragma once

#include "core/keypad/keygrid.h"
#include "ui/keys/keybutton.h"

#include <QAbstractListModel>
#include <QFont>
#include <QListView>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QStyledItemDelegate;

namespace umbrill {

// One row per character. DisplayRole is the character, FontRole the key font,
// ToolTipRole the key's tooltip, and a screen reader hears the Unicode name
// (AccessibleTextRole) and the code "U+00E9" (AccessibleDescriptionRole); each
// is made when asked for. A row drags as a copy of dragData's content.
class CharacterModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // New contents, announced as a reset; the same contents change nothing
    // (the view keeps its place, its focused key and its painting).
    void setCharacters(std::vector<char32_t> characters);
    void setKeyFont(const QFont &font);
    const QFont &keyFont() const { return m_font; }
    void setDragData(DragData dragData) { m_dragData = std::move(dragData); }
    qsizetype size() const { return static_cast<qsizetype>(m_characters.size()); }
    // The character of row k (0 when there is none).
    char32_t at(qsizetype k) const;
    // Row k's character as a key outputs it.
    std::u16string text(qsizetype k) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }
    QMimeData *mimeData(const QModelIndexList &indexes) const override;

private:
    std::vector<char32_t> m_characters;
    QFont m_font;
    DragData m_dragData;
};

// The keys of a CharacterModel in rows that fill the width, each keySize
// square and painted as a pad key (ui/keys/keybutton.h paintKey); a key
// painted again in the same look is copied from a picture the view keeps
// while it is shown. The arrow
// keys, Home and End move as on the pad; Up from the first row is reported
// (upFromFirstRow). A left click, Return, Enter or Space reports the row
// (chosen); a right click or the Menu key asks for its menu. A press and a
// move past the start distance drags the character out and chooses nothing.
class KeyView : public QListView {
    Q_OBJECT
public:
    explicit KeyView(QWidget *parent = nullptr);

    void setKeySize(int keySize);
    int keySize() const { return m_keySize; }
    // The keys per row as laid out now.
    int keysPerRow() const;
    // Row k becomes the current key, focused as a key press focuses it: with
    // the focus frame, scrolled into view.
    void focusKey(int k);
    // The row pressed by the mouse, -1 when none: it is painted sunken.
    int pressedRow() const { return m_pressedRow; }
    // New contents are laid out at once, so that the next paint shows them,
    // and shown from their first row.
    void reset() override;
    // Drops the keys kept painted, as hiding the view does: the next paint
    // paints every key anew.
    void forgetPaintedKeys();

signals:
    void chosen(int row);
    void menuRequested(int row, QPoint globalPos);
    void upFromFirstRow();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void setPressedRow(int row);

    QStyledItemDelegate *m_delegate = nullptr;
    int m_keySize = 42;
    int m_pressedRow = -1;
    QPoint m_pressedAt;
};

} // namespace umbrill
