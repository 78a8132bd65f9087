// The pad's keys.
#include "ui/windows/padkeys.h"

namespace umbrill {

PadKeys::PadKeys(QWidget &area) : QObject(&area), m_area(area) {}

KeyButton *PadKeys::add(std::int32_t code, int size, const QFont &font, QWidget *next)
{
    auto *key = new KeyButton(code, &m_area);
    key->setObjectName(QStringLiteral("Key%1").arg(m_keys.size() + 1));
    key->resize(size, size);
    key->setFont(font);
    connect(key, &QPushButton::clicked, this, [this, key] { emit clicked(key); });
    connect(key, &KeyButton::moveRequested, this, [this, key](GridMove move) { moveFocusFrom(key, move); });
    connect(key, &KeyButton::menuRequested, this, [this, key](QPoint at) { emit menuRequested(key, at); });
    key->setDragData(&m_dragData);
    key->show();
    QWidget::setTabOrder(key, next);
    m_keys.append(key);
    return key;
}

void PadKeys::clear()
{
    for (KeyButton *key : std::as_const(m_keys)) {
        key->hide();
        key->deleteLater();
    }
    m_keys.clear();
}

GridSize PadKeys::place(const FittedGrid &grid)
{
    const int keyCount = static_cast<int>(m_keys.size());
    m_keysPerRow = grid.keysPerRow;
    for (int k = 0; k < keyCount; ++k) {
        const KeyPlacement at = placeKey(k, grid.keysPerRow, grid.keySize);
        // Keys take the pitch too, so that a smaller key size never overlaps them.
        m_keys[k]->setGeometry(at.left, at.top, grid.keySize, grid.keySize);
    }
    return gridSize(keyCount, grid.keysPerRow, grid.keySize);
}

void PadKeys::moveFocusFrom(KeyButton *key, GridMove move)
{
    const int keyCount = static_cast<int>(m_keys.size());
    const int target = moveOnGrid(static_cast<int>(m_keys.indexOf(key)), move, keyCount, m_keysPerRow);
    if (target >= 0 && target < keyCount)
        m_keys[target]->setFocus(Qt::OtherFocusReason);
}

} // namespace umbrill
