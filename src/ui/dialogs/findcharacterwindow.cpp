// The Find Character window.
#include "ui/dialogs/findcharacterwindow.h"

#include "core/keypad/keygrid.h"
#include "core/names/namesearch.h"
#include "ui/common/accessiblenames.h"
#include "ui/common/fontcoverage.h"
#include "ui/common/qtext.h"
#include "ui/keys/keybutton.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QFocusEvent>
#include <QScrollArea>
#include <QToolButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace umbrill {

FindCharacterWindow::FindCharacterWindow(QWidget *pad) : QWidget(pad, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("FindCharacter"));
    installAccessibleNames();
    m_field = new QLineEdit(this);
    m_field->setObjectName(QStringLiteral("FindField"));
    m_field->setClearButtonEnabled(true);
    m_field->installEventFilter(this);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("FindResults"));
    // The results are the tab stops, not the area around them.
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setWidgetResizable(false);
    m_grid = new QWidget;
    m_scroll->setWidget(m_grid);
    m_scroll->viewport()->installEventFilter(this);
    connect(m_scroll->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { makeVisibleKeys(); });
    m_nothing = new QLabel(this);
    m_nothing->setObjectName(QStringLiteral("NothingFound"));
    m_nothing->setAlignment(Qt::AlignCenter);
    m_nothing->hide();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_field);
    layout->addWidget(m_nothing);
    layout->addWidget(m_scroll, 1);
    resize(420, 320);

    connect(m_field, &QLineEdit::textChanged, this, &FindCharacterWindow::search);
    connect(m_field, &QLineEdit::returnPressed, this, [this] {
        if (KeyButton *first = resultKey(0))
            emit chosen(first);
    });
}

void FindCharacterWindow::setStrings(const FindStrings &strings)
{
    setWindowTitle(qs(strings.Caption));
    m_field->setPlaceholderText(qs(strings.SearchPrompt));
    m_field->setAccessibleName(qs(strings.SearchPrompt));
    m_nothing->setText(qs(strings.NothingFound));
    for (QToolButton *clear : m_field->findChildren<QToolButton *>())
        clear->setAccessibleName(qs(strings.ClearSearch));
}

void FindCharacterWindow::setSearchLanguage(std::optional<InterfaceLanguage> language)
{
    if (language == m_searchLanguage)
        return;
    m_searchLanguage = language;
    search(m_field->text());
}

void FindCharacterWindow::setKeyFont(const QFont &font, int keySize)
{
    m_keyFont = font;
    m_keySize = std::max(keySize, 24);
    search(m_field->text());
}

void FindCharacterWindow::search(const QString &text)
{
    FindOptions options;
    options.language = m_searchLanguage;
    options.drawable = installedFontDraws;
    m_found = NameIndex::shared().find(wide(text), options);
    // The keys of the last search take the new characters; keys no longer
    // needed are hidden and kept for the next search, in the order they were made.
    const qsizetype count = resultCount();
    while (m_results.size() > count) {
        KeyButton *spare = m_results.takeLast();
        spare->hide();
        m_spare.append(spare);
    }
    for (qsizetype k = 0; k < m_results.size(); ++k) {
        m_results[k]->showCharacter(m_found[static_cast<std::size_t>(k)]);
        m_results[k]->setFont(m_keyFont);
    }
    m_nothing->setVisible(m_found.empty() && !text.trimmed().isEmpty());
    layOutResults();
}

KeyButton *FindCharacterWindow::resultKey(qsizetype k)
{
    if (k < 0 || k >= resultCount())
        return nullptr;
    makeKeys(k + 1);
    return m_results[k];
}

void FindCharacterWindow::makeKeys(qsizetype count)
{
    count = std::min(count, resultCount());
    for (qsizetype k = m_results.size(); k < count; ++k) {
        const char32_t c = m_found[static_cast<std::size_t>(k)];
        KeyButton *key = nullptr;
        if (!m_spare.isEmpty()) {
            key = m_spare.takeLast();
            key->showCharacter(c);
        } else {
            key = new KeyButton(c, m_grid);
            key->setObjectName(QStringLiteral("Result%1").arg(k + 1));
            key->setFocusPolicy(Qt::TabFocus);
            key->installEventFilter(this);
            connect(key, &QPushButton::clicked, this, [this, key] { emit chosen(key); });
            connect(key, &KeyButton::menuRequested, this, [this, key](QPoint at) { emit keyMenuRequested(key, at); });
            connect(key, &KeyButton::moveRequested, this, [this, key](GridMove move) { moveFrom(key, move); });
        }
        key->setFont(m_keyFont);
        const KeyPlacement place = placeKey(static_cast<int>(k), m_perRow, m_keySize);
        key->setGeometry(place.left, place.top, m_keySize, m_keySize);
        m_results.append(key);
        key->show();
    }
}

void FindCharacterWindow::makeVisibleKeys()
{
    const int bottom = m_scroll->verticalScrollBar()->value() + m_scroll->viewport()->height();
    const qsizetype rows = std::max(1, (bottom + m_keySize - 1) / m_keySize);
    makeKeys(rows * m_perRow);
}

void FindCharacterWindow::resultFocused(KeyButton *key, Qt::FocusReason reason)
{
    const qsizetype k = m_results.indexOf(key);
    if (k < 0)
        return;
    if (reason == Qt::BacktabFocusReason && k + 1 == m_results.size() && k + 1 < resultCount()) {
        // Shift+Tab came round from the search field: to the last result, as ever.
        makeKeys(resultCount());
        m_results.last()->setFocus(Qt::BacktabFocusReason);
        return;
    }
    makeKeys(k + 1 + m_perRow);
}

void FindCharacterWindow::layOutResults()
{
    // The keys go where they stay: with the width the viewport has once the
    // scroll bar has come or gone for this many results, not laid out twice.
    const int count = static_cast<int>(resultCount());
    const QSize most = m_scroll->maximumViewportSize();
    QScrollBar *bar = m_scroll->verticalScrollBar();
    const bool barComes = gridSize(count, std::max(1, most.width() / m_keySize), m_keySize).height > most.height();
    int width = m_scroll->viewport()->width();
    if (barComes != bar->isVisible() && m_scroll->isVisible())
        width = barComes ? most.width() - bar->sizeHint().width() : most.width();
    m_perRow = std::max(1, width / m_keySize);
    for (qsizetype k = 0; k < m_results.size(); ++k) {
        const KeyPlacement place = placeKey(static_cast<int>(k), m_perRow, m_keySize);
        m_results[k]->setGeometry(place.left, place.top, m_keySize, m_keySize);
    }
    const GridSize size = gridSize(count, m_perRow, m_keySize);
    m_grid->resize(size.width, size.height);
    makeVisibleKeys();
}

bool FindCharacterWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize)
        layOutResults();
    if (watched == m_field && event->type() == QEvent::KeyPress && resultCount() > 0) {
        const auto *press = static_cast<QKeyEvent *>(event);
        const bool plain = press->modifiers() == Qt::NoModifier || press->modifiers() == Qt::KeypadModifier;
        if (plain && (press->key() == Qt::Key_Down || press->key() == Qt::Key_Tab)) {
            focusResult(resultKey(0));
            return true;
        }
    }
    if (event->type() == QEvent::FocusIn)
        if (auto *key = qobject_cast<KeyButton *>(watched))
            resultFocused(key, static_cast<QFocusEvent *>(event)->reason());
    return QWidget::eventFilter(watched, event);
}

void FindCharacterWindow::focusResult(KeyButton *key)
{
    // Qt draws the focus frame once the window knows the keyboard moved the focus.
    setAttribute(Qt::WA_KeyboardFocusChange);
    key->setFocus(Qt::TabFocusReason);
    m_scroll->ensureWidgetVisible(key, 0, 0);
}

void FindCharacterWindow::moveFrom(KeyButton *key, GridMove gridMove)
{
    const int index = static_cast<int>(m_results.indexOf(key));
    if (gridMove == GridMove::Up && index >= 0 && index < m_perRow) {
        m_field->setFocus(Qt::OtherFocusReason);
        return;
    }
    const int count = static_cast<int>(resultCount());
    const int target = moveOnGrid(index, gridMove, count, m_perRow);
    if (KeyButton *to = resultKey(target))
        focusResult(to);
}

void FindCharacterWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FindCharacterWindow::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (m_painted)
        return;
    m_painted = true;
    // What the first search needs, while the user starts to type.
    QTimer::singleShot(0, this, [] {
        static_cast<void>(NameIndex::shared());
        static_cast<void>(installedFontDraws(U'a'));
    });
}

void FindCharacterWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    emit closed();
}

} // namespace umbrill
