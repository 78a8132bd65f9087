// The strip of collected characters.
#include "ui/windows/collectionstrip.h"

#include "core/interface/interfacestrings.h"
#include "ui/common/qtext.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolButton>

namespace umbrill {
namespace {
constexpr int kMargin = 4;
} // namespace

CollectionStrip::CollectionStrip(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("CollectionStrip"));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setBackgroundRole(QPalette::Base);
    setForegroundRole(QPalette::Text);
    setAutoFillBackground(true);
    m_clear = new QToolButton(this);
    m_clear->setObjectName(QStringLiteral("ClearCollection"));
    // The multiplication sign is in every font: no icon theme needed.
    m_clear->setText(QStringLiteral("\u00D7"));
    m_clear->setAutoRaise(true);
    // Mouse only: the keyboard has Ctrl+Backspace, and a click on it must not
    // take the focus from the key the user works with.
    m_clear->setFocusPolicy(Qt::NoFocus);
    m_clear->setCursor(Qt::ArrowCursor);
    connect(m_clear, &QToolButton::clicked, this, &CollectionStrip::clearRequested);
    setStrings(collectionStrings("English"));
}

void CollectionStrip::setCollection(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    updateNames();
    update();
}

void CollectionStrip::setStrings(const CollectionStrings &strings)
{
    m_empty = qs(strings.Empty);
    setAccessibleDescription(qs(strings.Description));
    m_clear->setToolTip(qs(strings.ClearButton));
    m_clear->setAccessibleName(qs(strings.ClearButton));
    updateNames();
    update();
}

void CollectionStrip::updateNames()
{
    const QString name = m_text.isEmpty() ? m_empty : m_text;
    setToolTip(m_text.isEmpty() ? QString() : m_text);
    if (accessibleName() != name) {
        setAccessibleName(name);
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
    m_clear->setEnabled(!m_text.isEmpty());
}

QRect CollectionStrip::textRect() const
{
    return rect().adjusted(kMargin, 0, -(m_clear->width() + kMargin), 0);
}

QString CollectionStrip::shownText() const
{
    return fontMetrics().elidedText(m_text, Qt::ElideLeft, std::max(textRect().width(), 0));
}

QSize CollectionStrip::sizeHint() const
{
    const int height = std::max(fontMetrics().height() + 2 * kMargin, m_clear->sizeHint().height());
    return {2 * kMargin + m_clear->sizeHint().width() + fontMetrics().averageCharWidth() * 4, height};
}

void CollectionStrip::resizeEvent(QResizeEvent *event)
{
    m_clear->setGeometry(width() - height(), 0, height(), height());
    QWidget::resizeEvent(event);
}

void CollectionStrip::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    // A line between the keys and the strip, in the palette's own colour.
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, 0, width() - 1, 0);
    const QRect text = textRect();
    if (m_text.isEmpty()) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(text, Qt::AlignVCenter | Qt::AlignLeft, m_empty);
    } else {
        painter.setPen(palette().color(QPalette::Text));
        // Right-aligned: the newest characters stay in view next to the button.
        painter.drawText(text, Qt::AlignVCenter | Qt::AlignRight, shownText());
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = text.adjusted(-2, 2, 2, -2);
        focus.backgroundColor = palette().color(QPalette::Base);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

void CollectionStrip::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && textRect().contains(event->position().toPoint())) {
        emit placeRequested();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void CollectionStrip::keyPressEvent(QKeyEvent *event)
{
    const bool plain = event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    if (plain && (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        emit placeRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CollectionStrip::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QWidget::changeEvent(event);
}

} // namespace umbrill
