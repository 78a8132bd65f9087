// The modal dialog that chooses the keyboard language from the catalogue: the
// data file's list and the user's own languages as ever, then under a heading
// the generated languages; a filter field above the list narrows it. It
// reports the choice by signals.
#pragma once

#include "core/pad/catalogue.h"
#include "ui/common/stringsets.h"

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace umbrill {

struct InterfaceTexts;
struct LanguageDlgStrings;

class TLanguageDlg : public QDialog, public StringSets<TLanguageDlg> {
    Q_OBJECT
public:
    // Runs FormCreate: shows the default captions.
    explicit TLanguageDlg(QWidget *parent);

    // Empties the list and adds each item of the catalogue (comma-list rule) as a row.
    void ConvertCSVtoStrings(const std::string &catalogue);
    // Empties the filter and the list and shows entries in their order, a
    // generated language with its own name beside it, the heading before the
    // first generated one.
    void showCatalogue(std::vector<CatalogueEntry> entries);
    // Selects the entry at position; -1 or a position past the end selects nothing.
    void selectRow(int position);

    // Reports the selected row (languageConfirmed) and closes, even when the
    // listener fails to load it. A double click on a row reports it too, but
    // the dialog then closes only when the listener accepts it.
    void OKBtnClick();
    // Reports cancelled and closes.
    void CancelBtnClick();
    // Shows a language's texts.
    void showTexts(const InterfaceTexts &texts);

    // Escape and the close box cancel.
    void reject() override;

signals:
    // The entry at position (-1: none selected) was confirmed; name is its
    // load name (see CatalogueEntry::loadName). The listener loads it and,
    // when it has loaded, accepts the dialog.
    void languageConfirmed(int position, const std::optional<std::string> &name);
    void cancelled();
    // Copy to My Languages on the generated language of key.
    void copyRequested(const std::string &key);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void confirmSelection();
    void applyStrings(const LanguageDlgStrings &strings);
    // Hides the rows the filter's text does not match, and the heading when
    // no generated row is left; a hidden selection moves to the first row left.
    void applyFilter();
    // The entry a row shows; nullptr for the heading.
    const CatalogueEntry *entryOf(const QListWidgetItem *item) const;
    void updateCopyButton();

    QLabel *m_prompt;
    QLabel *m_filterLabel;
    QLineEdit *m_filter;
    QListWidget *m_list;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    QPushButton *m_copy;
    QListWidgetItem *m_heading = nullptr;
    QString m_headingText;
    std::vector<CatalogueEntry> m_entries;
};

} // namespace umbrill
