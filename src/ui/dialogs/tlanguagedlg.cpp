// The language dialog.
#include "ui/dialogs/tlanguagedlg.h"

#include "core/interface/interfacestrings.h"
#include "core/text/commalist.h"
#include "ui/common/qtext.h"
#include "ui/common/shell.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace umbrill {

TLanguageDlg::TLanguageDlg(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TLanguageDlg"));
    setModal(true);
    setFixedSize(384, 250);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    m_prompt = new QLabel(this);
    m_prompt->setObjectName(QStringLiteral("StaticText1"));
    m_prompt->setGeometry(8, 8, 281, 24);
    QFont promptFont = m_prompt->font();
    promptFont.setPixelSize(16);
    m_prompt->setFont(promptFont);

    auto *bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setGeometry(8, 32, 281, 201);
    bevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ListBox1"));
    m_list->setGeometry(24, 48, 249, 169);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setUniformItemSizes(true);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { confirmSelection(); });

    m_ok = new QPushButton(this);
    m_ok->setObjectName(QStringLiteral("OKBtn"));
    m_ok->setGeometry(300, 48, 75, 25);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, [this] { OKBtnClick(); });

    m_cancel = new QPushButton(this);
    m_cancel->setObjectName(QStringLiteral("CancelBtn"));
    m_cancel->setGeometry(300, 94, 75, 25);
    connect(m_cancel, &QPushButton::clicked, this, [this] { CancelBtnClick(); });

    setTabOrder(m_ok, m_cancel);
    setTabOrder(m_cancel, m_list);

    applyStrings(kLanguageDlgDefault);
}

void TLanguageDlg::applyStrings(const LanguageDlgStrings &s)
{
    setWindowTitle(qs(s.Caption));
    m_prompt->setText(qs(s.StaticText1));
    m_ok->setText(qs(s.OKBtn));
    m_cancel->setText(qs(s.CancelBtn));
    // Screen readers hear the list by its prompt.
    m_list->setAccessibleName(qs(s.StaticText1));
    m_ok->setAccessibleName(qs(s.OKBtn));
    m_cancel->setAccessibleName(qs(s.CancelBtn));
}

void TLanguageDlg::showTexts(const InterfaceTexts &texts) { applyStrings(texts.LanguageDlg); }

void TLanguageDlg::ConvertCSVtoStrings(const std::string &catalogue)
{
    m_list->clear();
    for (const std::string &name : splitCommaList(catalogue))
        m_list->addItem(qs(name));
}

void TLanguageDlg::selectRow(int position)
{
    m_list->clearSelection();
    if (position >= 0 && position < m_list->count())
        m_list->setCurrentRow(position, QItemSelectionModel::ClearAndSelect);
    else
        m_list->setCurrentRow(-1);
}

void TLanguageDlg::confirmSelection()
{
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    if (selected.isEmpty())
        emit languageConfirmed(-1, std::nullopt);
    else
        emit languageConfirmed(m_list->row(selected.first()), utf8(selected.first()->text()));
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
}

} // namespace umbrill
