// The Find Character window.
#include "ui/dialogs/findcharacterwindow.h"

#include "core/names/namesearch.h"
#include "ui/common/accessiblenames.h"
#include "ui/common/fontcoverage.h"
#include "ui/common/qtext.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
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
    m_results = new CharacterModel(this);
    m_view = new KeyView(this);
    m_view->setObjectName(QStringLiteral("FindResults"));
    m_view->setModel(m_results);
    m_nothing = new QLabel(this);
    m_nothing->setObjectName(QStringLiteral("NothingFound"));
    m_nothing->setAlignment(Qt::AlignCenter);
    m_nothing->hide();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_field);
    layout->addWidget(m_nothing);
    layout->addWidget(m_view, 1);
    resize(420, 320);

    connect(m_field, &QLineEdit::textChanged, this, &FindCharacterWindow::search);
    connect(m_field, &QLineEdit::returnPressed, this, [this] {
        if (m_results->size() > 0)
            emit chosen(m_results->text(0));
    });
    connect(m_view, &KeyView::chosen, this, [this](int row) { emit chosen(m_results->text(row)); });
    connect(m_view, &KeyView::menuRequested, this,
            [this](int row, QPoint at) { emit keyMenuRequested(m_results->text(row), at); });
    connect(m_view, &KeyView::upFromFirstRow, this, [this] { m_field->setFocus(Qt::OtherFocusReason); });
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
    m_results->setKeyFont(font);
    m_view->setKeySize(std::max(keySize, 24));
}

void FindCharacterWindow::search(const QString &text)
{
    FindOptions options;
    options.language = m_searchLanguage;
    options.drawable = installedFontDraws;
    // An empty field finds nothing, and needs no index: the window opens
    // without waiting for it to be built.
    m_results->setCharacters(text.isEmpty() ? std::vector<char32_t>() : NameIndex::shared().find(wide(text), options));
    m_nothing->setVisible(m_results->size() == 0 && !text.trimmed().isEmpty());
}

bool FindCharacterWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_field && event->type() == QEvent::KeyPress && m_results->size() > 0) {
        const auto *press = static_cast<QKeyEvent *>(event);
        const bool plain = press->modifiers() == Qt::NoModifier || press->modifiers() == Qt::KeypadModifier;
        if (plain && (press->key() == Qt::Key_Down || press->key() == Qt::Key_Tab)) {
            m_view->focusKey(0);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
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
