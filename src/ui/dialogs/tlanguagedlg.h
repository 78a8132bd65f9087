// The modal dialog that chooses the keyboard language from the data file's
// catalogue; it reports the choice by signals.
#pragma once

#include "ui/common/stringsets.h"

#include <QDialog>

#include <optional>
#include <string>

class QLabel;
class QListWidget;
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
    // Selects the row at position; -1 or a position past the end selects nothing.
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
    // The row at position (-1: none selected) naming name was confirmed. The
    // listener loads it and, when it has loaded, accepts the dialog.
    void languageConfirmed(int position, const std::optional<std::string> &name);
    void cancelled();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void confirmSelection();
    void applyStrings(const LanguageDlgStrings &strings);

    QLabel *m_prompt;
    QListWidget *m_list;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};

} // namespace umbrill
