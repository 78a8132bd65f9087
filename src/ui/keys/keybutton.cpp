#include "ui/keys/keybutton.h"

#include "core/names/charnames.h"
#include "core/names/keyface.h"
#include "ui/common/qtext.h"
#include "ui/keys/keyinfo.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>
#include <QPointer>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>

namespace umbrill {

KeyButton::KeyButton(std::int32_t code, QWidget *parent)
    : KeyButton(keyCharacter(code), keyCaption(code), keyFace(code), parent)
{
}

KeyButton::KeyButton(char32_t c, QWidget *parent)
    : KeyButton(utf16Of(c), c == U'&' ? u"&&" : utf16Of(c), visibleFace(c), parent)
{
}

KeyButton::KeyButton(std::u16string character, std::u16string caption, std::optional<KeyFace> face, QWidget *parent)
    : QPushButton(parent), m_character(std::move(character)),
      m_codePoint(firstCodePoint(m_character).value_or(0xFFFD)), m_face(std::move(face))
{
    installKeyAccessibility();
    setText(qs(caption));
    setAutoDefault(false);
    setCursor(Qt::PointingHandCursor);
}

bool KeyButton::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty())
        setToolTip(keyToolTip(m_character, font().family()));
    return QPushButton::event(event);
}

void paintKey(QPainter &painter, QStyleOptionButton option, const std::optional<KeyFace> &face, const QWidget *widget)
{
    if (face) {
        option.text = qs(face->text);
        if (face->label) {
            // A label is a word, not a glyph: smaller, so that it fits the key.
            QFont small = painter.font();
            small.setPixelSize(std::max(6, option.rect.height() / 4));
            const QFontMetrics metrics(small);
            const int room = option.rect.width() - 4;
            if (const int wide = metrics.horizontalAdvance(option.text); wide > room && room > 0)
                small.setPixelSize(std::max(5, small.pixelSize() * room / wide));
            painter.setFont(small);
            option.fontMetrics = QFontMetrics(small);
        }
    }
    widget->style()->drawControl(QStyle::CE_PushButton, &option, &painter, widget);
}

void KeyButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    paintKey(painter, option, m_face, this);
}

namespace {

// Owned by its drag, which Qt deletes when the drag is over.
QPointer<QMimeData> g_draggedData;

} // namespace

const QMimeData *draggedCharacterData() { return g_draggedData.data(); }

void dragCharacter(QWidget *source, QMimeData *data, const QPixmap &picture, QPoint hotSpot)
{
    if (!data)
        return;
    auto *drag = new QDrag(source);
    drag->setMimeData(data);
    g_draggedData = data;
    drag->setPixmap(picture);
    drag->setHotSpot(hotSpot);
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

std::optional<GridMove> gridMoveFor(const QKeyEvent &event)
{
    if (event.modifiers() != Qt::NoModifier && event.modifiers() != Qt::KeypadModifier)
        return std::nullopt;
    switch (event.key()) {
    case Qt::Key_Left: return GridMove::Left;
    case Qt::Key_Right: return GridMove::Right;
    case Qt::Key_Up: return GridMove::Up;
    case Qt::Key_Down: return GridMove::Down;
    case Qt::Key_Home: return GridMove::Home;
    case Qt::Key_End: return GridMove::End;
    default: return std::nullopt;
    }
}

void KeyButton::contextMenuEvent(QContextMenuEvent *event)
{
    emit menuRequested(event->globalPos());
    event->accept();
}

void KeyButton::mousePressEvent(QMouseEvent *event)
{
    m_dragged = false;
    m_pressedAt.reset();
    if (event->button() == Qt::LeftButton)
        m_pressedAt = event->position().toPoint();
    QPushButton::mousePressEvent(event);
}

void KeyButton::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragged)
        return;
    const QPoint at = event->position().toPoint();
    if (m_pressedAt && m_dragData && *m_dragData && (event->buttons() & Qt::LeftButton)
        && (at - *m_pressedAt).manhattanLength() >= QApplication::startDragDistance()) {
        // A drag is no click: the key comes up, and its release clicks nothing.
        m_dragged = true;
        setDown(false);
        dragCharacter(this, (*m_dragData)(m_character), grab(), *m_pressedAt);
        return;
    }
    QPushButton::mouseMoveEvent(event);
}

void KeyButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_dragged)
        setDown(false);
    m_dragged = false;
    m_pressedAt.reset();
    QPushButton::mouseReleaseEvent(event);
}

void KeyButton::keyPressEvent(QKeyEvent *event)
{
    // Any key pressed on a key shows the focus frame, as Tab does: the user
    // now steers by keyboard and must see where the focus is.
    if (QWidget *top = window(); !top->testAttribute(Qt::WA_KeyboardFocusChange)) {
        top->setAttribute(Qt::WA_KeyboardFocusChange);
        update();
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        animateClick();
        return;
    }
    if (const auto move = gridMoveFor(*event)) {
        emit moveRequested(*move);
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace umbrill
