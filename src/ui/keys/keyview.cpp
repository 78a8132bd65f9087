// Characters as a list model, and the view that shows them as keys.
#include "ui/keys/keyview.h"

#include "core/names/charnames.h"
#include "core/names/keyface.h"
#include "ui/common/qtext.h"
#include "ui/keys/keybutton.h"
#include "ui/keys/keyinfo.h"

#include <QCache>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QSet>
#include <QStyledItemDelegate>

#include <memory>

namespace umbrill {

void CharacterModel::setCharacters(std::vector<char32_t> characters)
{
    if (characters == m_characters)
        return;
    beginResetModel();
    m_characters = std::move(characters);
    endResetModel();
}

void CharacterModel::setKeyFont(const QFont &font)
{
    m_font = font;
    if (!m_characters.empty())
        emit dataChanged(index(0), index(static_cast<int>(m_characters.size()) - 1));
}

char32_t CharacterModel::at(qsizetype k) const
{
    return k >= 0 && k < size() ? m_characters[static_cast<std::size_t>(k)] : 0;
}

std::u16string CharacterModel::text(qsizetype k) const { return k >= 0 && k < size() ? utf16Of(at(k)) : std::u16string(); }

int CharacterModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_characters.size());
}

QVariant CharacterModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= size())
        return {};
    const char32_t c = at(index.row());
    switch (role) {
    case Qt::DisplayRole: return qs(utf16Of(c));
    case Qt::FontRole: return m_font;
    case Qt::ToolTipRole: return keyToolTip(utf16Of(c), m_font.family());
    case Qt::AccessibleTextRole: return qs(characterName(c));
    case Qt::AccessibleDescriptionRole: return qs(codePointLabel(c));
    default: return {};
    }
}

Qt::ItemFlags CharacterModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren
                           : Qt::NoItemFlags;
}

QMimeData *CharacterModel::mimeData(const QModelIndexList &indexes) const
{
    if (indexes.isEmpty() || !indexes.front().isValid())
        return nullptr;
    const std::u16string character = text(indexes.front().row());
    if (m_dragData)
        return m_dragData(character);
    auto *data = new QMimeData;
    data->setText(qs(character));
    return data;
}

namespace {

// A painted key, as the view keeps it: what is drawn, in which state and size.
struct TileKey {
    char32_t c;
    QStyle::State state;
    QSize size;
    qreal pixelRatio;
    bool operator==(const TileKey &) const = default;
};

size_t qHash(const TileKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.c, key.state.toInt(), key.size.width(), key.size.height(), key.pixelRatio);
}

// Paints each row as the pad's KeyButton paints itself: the same push-button
// face, state and focus frame, in the model's key font. A key's first paint
// goes straight to the view; painted again in the same state and size, it is
// painted on the viewport's colour into a picture of its own, which later
// paints copy. Most keys of a new search are painted once; those of the
// searches typed after it, of hovering and of scrolling, again and again.
// The pictures are kept for one font, palette, style, direction and
// background, up to a size (the visible keys twice over, at least
// kMinTileBytes), and dropped when the view hides.
class KeyDelegate : public QStyledItemDelegate {
public:
    explicit KeyDelegate(KeyView *view) : QStyledItemDelegate(view), m_view(view) { m_tiles.setMaxCost(kMinTileBytes); }

    void paint(QPainter *painter, const QStyleOptionViewItem &item, const QModelIndex &index) const override
    {
        const auto *model = static_cast<const CharacterModel *>(index.model());
        const char32_t c = model->at(index.row());
        QStyle::State state = item.state & (QStyle::State_Enabled | QStyle::State_Active | QStyle::State_HasFocus
                                            | QStyle::State_MouseOver | QStyle::State_KeyboardFocusChange);
        state |= m_view->pressedRow() == index.row() ? QStyle::State_Sunken : QStyle::State_Raised;
        const QWidget *viewport = m_view->viewport();
        const QBrush &background = viewport->palette().brush(viewport->backgroundRole());
        // A picture stands for the key only where the key is copied as it
        // was painted: on a plain colour, moved but neither scaled nor turned.
        if (background.style() != Qt::SolidPattern || painter->deviceTransform().type() > QTransform::TxTranslate) {
            paintOne(*painter, item.rect, c, state, model->keyFont(), item.direction);
            return;
        }
        forgetUnless(model->keyFont(), background.color(), item.direction);
        const qreal ratio = painter->device()->devicePixelRatio();
        const TileKey key{c, state, item.rect.size(), ratio};
        if (const QPixmap *tile = m_tiles.object(key)) {
            painter->drawPixmap(item.rect.topLeft(), *tile);
            return;
        }
        if (!m_painted.contains(key)) {
            if (m_painted.size() >= kMaxPainted)
                m_painted.clear();
            m_painted.insert(key);
            paintOne(*painter, item.rect, c, state, model->keyFont(), item.direction);
            return;
        }
        paintScratch(item.rect.size(), ratio, background.color(), c, state, model->keyFont(), item.direction);
        auto tile = std::make_unique<QPixmap>(QPixmap::fromImage(m_scratch.copy()));
        painter->drawPixmap(item.rect.topLeft(), *tile);
        m_tiles.insert(key, tile.release(), m_scratch.sizeInBytes());
    }

    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return {m_view->keySize(), m_view->keySize()};
    }

    // Room for the keys the viewport shows now, twice over.
    void fitTo(QSize viewport)
    {
        const qreal ratio = m_view->devicePixelRatioF();
        const auto bytes = static_cast<qsizetype>(2 * 4 * viewport.width() * viewport.height() * ratio * ratio);
        m_tiles.setMaxCost(std::max(kMinTileBytes, bytes));
    }

    void forget()
    {
        m_tiles.clear();
        m_painted.clear();
    }

private:
    static constexpr qsizetype kMinTileBytes = 4 << 20;
    // Keys remembered as painted once, at most.
    static constexpr qsizetype kMaxPainted = 8192;

    void paintOne(QPainter &painter, const QRect &rect, char32_t c, QStyle::State state, const QFont &font,
                  Qt::LayoutDirection direction) const
    {
        QStyleOptionButton option;
        option.direction = direction;
        option.rect = rect;
        option.palette = m_view->palette();
        option.fontMetrics = QFontMetrics(font);
        option.state = state;
        // A button's caption takes "&" as the mark of an access key.
        option.text = c == U'&' ? QStringLiteral("&&") : qs(utf16Of(c));
        painter.save();
        painter.setFont(font);
        paintKey(painter, option, visibleFace(c), m_view);
        painter.restore();
    }

    // Paints a key on a scratch picture, which keeps its paint engine.
    void paintScratch(QSize size, qreal ratio, QColor background, char32_t c, QStyle::State state, const QFont &font,
                      Qt::LayoutDirection direction) const
    {
        const QSize pixels = size * ratio;
        const QImage::Format format = background.alpha() == 255 ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied;
        if (m_scratch.size() != pixels || m_scratch.format() != format)
            m_scratch = QImage(pixels, format);
        m_scratch.setDevicePixelRatio(ratio);
        m_scratch.fill(background);
        QPainter onScratch(&m_scratch);
        paintOne(onScratch, QRect(QPoint(), size), c, state, font, direction);
    }

    // The pictures kept show the keys as painted in one font, palette, style,
    // direction and background; any change of them makes them useless.
    void forgetUnless(const QFont &font, QColor background, Qt::LayoutDirection direction) const
    {
        const qint64 palette = m_view->palette().cacheKey();
        const QStyle *style = m_view->style();
        if (font == m_font && palette == m_palette && style == m_style && background == m_background
            && direction == m_direction)
            return;
        m_tiles.clear();
        m_painted.clear();
        m_font = font;
        m_palette = palette;
        m_style = style;
        m_background = background;
        m_direction = direction;
    }

    KeyView *m_view;
    mutable QCache<TileKey, QPixmap> m_tiles;
    mutable QSet<TileKey> m_painted;
    mutable QImage m_scratch;
    mutable QFont m_font;
    mutable qint64 m_palette = 0;
    mutable const QStyle *m_style = nullptr;
    mutable QColor m_background;
    mutable Qt::LayoutDirection m_direction = Qt::LeftToRight;
};

} // namespace

KeyView::KeyView(QWidget *parent) : QListView(parent)
{
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setUniformItemSizes(true);
    setSpacing(0);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A click leaves the focus in the search field, as a key's click leaves it.
    setFocusPolicy(Qt::TabFocus);
    viewport()->setAttribute(Qt::WA_Hover);
    // The keys stand on the window's colour, as on the pad.
    viewport()->setBackgroundRole(QPalette::Window);
    viewport()->setCursor(Qt::PointingHandCursor);
    m_delegate = new KeyDelegate(this);
    setItemDelegate(m_delegate);
    setKeySize(m_keySize);
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) { emit chosen(index.row()); });
}

void KeyView::setKeySize(int keySize)
{
    m_keySize = keySize;
    setGridSize(QSize(keySize, keySize));
}

void KeyView::reset()
{
    QListView::reset();
    executeDelayedItemsLayout();
    // New contents show from their first key, the best found.
    scrollToTop();
}

int KeyView::keysPerRow() const
{
    const int count = model() ? model()->rowCount() : 0;
    if (count == 0)
        return 1;
    const int top = visualRect(model()->index(0, 0)).top();
    int perRow = 1;
    while (perRow < count && visualRect(model()->index(perRow, 0)).top() == top)
        ++perRow;
    return perRow;
}

void KeyView::focusKey(int k)
{
    const QModelIndex index = model()->index(k, 0);
    if (!index.isValid())
        return;
    // Qt draws the focus frame once the window knows the keyboard moved the focus.
    window()->setAttribute(Qt::WA_KeyboardFocusChange);
    setCurrentIndex(index);
    scrollTo(index);
    setFocus(Qt::TabFocusReason);
}

void KeyView::keyPressEvent(QKeyEvent *event)
{
    // Any key pressed on a key shows the focus frame, as on the pad.
    if (QWidget *top = window(); !top->testAttribute(Qt::WA_KeyboardFocusChange)) {
        top->setAttribute(Qt::WA_KeyboardFocusChange);
        viewport()->update();
    }
    const int row = currentIndex().row();
    const int count = model() ? model()->rowCount() : 0;
    const bool plain = event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space)) {
        if (row >= 0)
            emit chosen(row);
        return;
    }
    if (const auto move = gridMoveFor(*event)) {
        const int perRow = keysPerRow();
        if (*move == GridMove::Up && row < perRow) {
            emit upFromFirstRow();
            return;
        }
        const int target = moveOnGrid(std::max(row, 0), *move, count, perRow);
        if (target >= 0 && target < count)
            focusKey(target);
        return;
    }
    // Other keys go to the window (Escape closes it).
    event->ignore();
}

void KeyView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressedAt = event->position().toPoint();
        setPressedRow(indexAt(m_pressedAt).row());
    }
    QListView::mousePressEvent(event);
}

void KeyView::mouseReleaseEvent(QMouseEvent *event)
{
    QListView::mouseReleaseEvent(event);
    setPressedRow(-1);
}

void KeyView::contextMenuEvent(QContextMenuEvent *event)
{
    const bool mouse = event->reason() == QContextMenuEvent::Mouse;
    const QModelIndex index = mouse ? indexAt(event->pos()) : currentIndex();
    if (!index.isValid())
        return;
    emit menuRequested(index.row(), mouse ? event->globalPos() : viewport()->mapToGlobal(visualRect(index).center()));
    event->accept();
}

void KeyView::startDrag(Qt::DropActions)
{
    // The drag ends the press: the key comes up and nothing is chosen.
    const QModelIndex index = model()->index(m_pressedRow, 0);
    setPressedRow(-1);
    if (!index.isValid())
        return;
    const QRect rect = visualRect(index);
    dragCharacter(this, model()->mimeData({index}), viewport()->grab(rect), m_pressedAt - rect.topLeft());
}

void KeyView::forgetPaintedKeys()
{
    static_cast<KeyDelegate *>(m_delegate)->forget();
}

void KeyView::hideEvent(QHideEvent *event)
{
    QListView::hideEvent(event);
    forgetPaintedKeys();
}

void KeyView::resizeEvent(QResizeEvent *event)
{
    QListView::resizeEvent(event);
    static_cast<KeyDelegate *>(m_delegate)->fitTo(viewport()->size());
}

void KeyView::setPressedRow(int row)
{
    if (row == m_pressedRow)
        return;
    m_pressedRow = row;
    viewport()->update();
}

} // namespace umbrill
