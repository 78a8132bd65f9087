// The language dialog.
#include "ui/dialogs/tlanguagedlg.h"

#include "core/interface/interfacestrings.h"
#include "core/text/commalist.h"
#include "ui/common/qtext.h"
#include "ui/common/shell.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace umbrill {
namespace {

// The row's entry position; the heading holds none.
constexpr int kPositionRole = Qt::UserRole;
constexpr int kNoPosition = -1;

} // namespace

TLanguageDlg::TLanguageDlg(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TLanguageDlg"));
    setModal(true);
    setFixedSize(384, 318);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    m_prompt = new QLabel(this);
    m_prompt->setObjectName(QStringLiteral("StaticText1"));
    m_prompt->setGeometry(8, 8, 281, 24);
    QFont promptFont = m_prompt->font();
    promptFont.setPixelSize(16);
    m_prompt->setFont(promptFont);

    m_filterLabel = new QLabel(this);
    m_filterLabel->setObjectName(QStringLiteral("FilterLabel"));
    m_filterLabel->setGeometry(8, 38, 76, 22);
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("LanguageFilter"));
    m_filter->setGeometry(86, 38, 203, 22);
    m_filter->setClearButtonEnabled(true);
    m_filterLabel->setBuddy(m_filter);
    m_filter->installEventFilter(this);
    connect(m_filter, &QLineEdit::textChanged, this, [this] { applyFilter(); });

    auto *bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setGeometry(8, 68, 281, 201);
    bevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ListBox1"));
    m_list->setGeometry(24, 84, 249, 169);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setUniformItemSizes(true);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { confirmSelection(); });
    connect(m_list, &QListWidget::currentItemChanged, this, [this] { updateCopyButton(); });

    m_ok = new QPushButton(this);
    m_ok->setObjectName(QStringLiteral("OKBtn"));
    m_ok->setGeometry(300, 84, 75, 25);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, [this] { OKBtnClick(); });

    m_cancel = new QPushButton(this);
    m_cancel->setObjectName(QStringLiteral("CancelBtn"));
    m_cancel->setGeometry(300, 130, 75, 25);
    connect(m_cancel, &QPushButton::clicked, this, [this] { CancelBtnClick(); });

    m_copy = new QPushButton(this);
    m_copy->setObjectName(QStringLiteral("CopyToOwnButton"));
    m_copy->setGeometry(8, 280, 281, 27);
    m_copy->setAutoDefault(false);
    m_copy->setEnabled(false);
    connect(m_copy, &QPushButton::clicked, this, [this] {
        if (const CatalogueEntry *entry = entryOf(m_list->currentItem()); entry && entry->kind == CatalogueKind::Generated)
            emit copyRequested(entry->key);
    });

    setTabOrder(m_filter, m_list);
    setTabOrder(m_list, m_ok);
    setTabOrder(m_ok, m_cancel);
    setTabOrder(m_cancel, m_copy);

    applyStrings(kLanguageDlgDefault);
}

void TLanguageDlg::applyStrings(const LanguageDlgStrings &s)
{
    setWindowTitle(qs(s.Caption));
    m_prompt->setText(qs(s.StaticText1));
    m_ok->setText(qs(s.OKBtn));
    m_cancel->setText(qs(s.CancelBtn));
    m_filterLabel->setText(qs(s.Filter));
    m_copy->setText(qs(s.CopyToOwn));
    m_headingText = qs(s.Generated);
    if (m_heading)
        m_heading->setText(m_headingText);
    // Screen readers hear the list by its prompt, the filter by its label.
    m_list->setAccessibleName(qs(s.StaticText1));
    m_filter->setAccessibleName(QString(qs(s.Filter)).remove(QLatin1Char('&')));
    m_ok->setAccessibleName(qs(s.OKBtn));
    m_cancel->setAccessibleName(qs(s.CancelBtn));
    m_copy->setAccessibleName(QString(qs(s.CopyToOwn)).remove(QLatin1Char('&')));
}

void TLanguageDlg::showTexts(const InterfaceTexts &texts) { applyStrings(texts.LanguageDlg); }

void TLanguageDlg::ConvertCSVtoStrings(const std::string &catalogue)
{
    const std::vector<std::string> names = splitCommaList(catalogue);
    showCatalogue(listedEntries(names, names.size()));
}

void TLanguageDlg::showCatalogue(std::vector<CatalogueEntry> entries)
{
    m_entries = std::move(entries);
    {
        // The list is refilled below: an emptied filter needs no pass over the old one.
        const QSignalBlocker quiet(m_filter);
        m_filter->clear();
    }
    m_list->clear();
    m_heading = nullptr;
    for (std::size_t k = 0; k < m_entries.size(); ++k) {
        const CatalogueEntry &entry = m_entries[k];
        if (entry.kind == CatalogueKind::Generated && !m_heading) {
            m_heading = new QListWidgetItem(m_headingText, m_list);
            m_heading->setFlags(Qt::NoItemFlags);
            m_heading->setData(kPositionRole, kNoPosition);
            QFont bold = m_list->font();
            bold.setBold(true);
            m_heading->setFont(bold);
        }
        QString text = qs(entry.shown);
        if (!entry.own.empty() && entry.own != entry.shown)
            text += QStringLiteral(" \u2014 ") + qs(entry.own);
        auto *item = new QListWidgetItem(text, m_list);
        item->setData(kPositionRole, static_cast<int>(k));
    }
    updateCopyButton();
}

const CatalogueEntry *TLanguageDlg::entryOf(const QListWidgetItem *item) const
{
    if (!item)
        return nullptr;
    const int position = item->data(kPositionRole).toInt();
    if (position < 0 || static_cast<std::size_t>(position) >= m_entries.size())
        return nullptr;
    return &m_entries[static_cast<std::size_t>(position)];
}

void TLanguageDlg::selectRow(int position)
{
    m_list->clearSelection();
    // The rows before the heading are the entries before it, one for one.
    const int row = m_heading && position >= m_list->row(m_heading) ? position + 1 : position;
    if (position >= 0 && row < m_list->count())
        m_list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    else
        m_list->setCurrentRow(-1);
    updateCopyButton();
}

void TLanguageDlg::applyFilter()
{
    const std::string query = filterQuery(utf8(m_filter->text()));
    bool generatedShown = false;
    QListWidgetItem *firstShown = nullptr;
    for (int row = 0; row < m_list->count(); ++row) {
        QListWidgetItem *item = m_list->item(row);
        const CatalogueEntry *entry = entryOf(item);
        if (!entry)
            continue;
        const bool shown = filterMatches(*entry, query);
        if (item->isHidden() == shown)
            item->setHidden(!shown);
        if (shown && !firstShown)
            firstShown = item;
        generatedShown = generatedShown || (shown && entry->kind == CatalogueKind::Generated);
    }
    if (m_heading)
        m_heading->setHidden(!generatedShown);
    QListWidgetItem *current = m_list->currentItem();
    if ((!current || current->isHidden() || !current->isSelected()) && !query.empty() && firstShown)
        m_list->setCurrentItem(firstShown, QItemSelectionModel::ClearAndSelect);
    else if (current && current->isHidden())
        m_list->setCurrentRow(-1);
    if (QListWidgetItem *now = m_list->currentItem())
        m_list->scrollToItem(now);
    updateCopyButton();
}

void TLanguageDlg::updateCopyButton()
{
    const QListWidgetItem *current = m_list->currentItem();
    const CatalogueEntry *entry = current && !current->isHidden() && current->isSelected() ? entryOf(current) : nullptr;
    m_copy->setEnabled(entry && entry->kind == CatalogueKind::Generated);
}

void TLanguageDlg::confirmSelection()
{
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    const CatalogueEntry *entry = selected.isEmpty() || selected.first()->isHidden() ? nullptr : entryOf(selected.first());
    if (!entry)
        emit languageConfirmed(-1, std::nullopt);
    else
        emit languageConfirmed(static_cast<int>(entry - m_entries.data()), entry->loadName());
}

void TLanguageDlg::OKBtnClick()
{
    // The button carries the result OK: the dialog closes even when loading fails.
    confirmSelection();
    if (isVisible())
        accept();
}

void TLanguageDlg::CancelBtnClick()
{
    emit cancelled();
    QDialog::reject();
}

void TLanguageDlg::reject() { CancelBtnClick(); }

void TLanguageDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    centreOnScreen(this);
    // Typing narrows the list at once.
    m_filter->setFocus(Qt::OtherFocusReason);
}

bool TLanguageDlg::eventFilter(QObject *watched, QEvent *event)
{
    // The arrow and page keys in the filter move in the list.
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            QApplication::sendEvent(m_list, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace umbrill
