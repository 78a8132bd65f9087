// The modal dialog that chooses the keyboard language from the data file's catalogue.
#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QListWidget;
class QPushButton;

namespace umbrill {

class TMainForm;

class TLanguageDlg : public QDialog {
    Q_OBJECT
public:
    // Runs FormCreate: applies the string set of the interface language the
    // main window's dialogs show.
    explicit TLanguageDlg(TMainForm *mainForm);

    // Empties the list and adds each item of the catalogue (comma-list rule) as a row.
    void ConvertCSVtoStrings(const std::string &catalogue);
    // Selects the row at position; -1 or a position past the end selects nothing.
    void selectRow(int position);

    void OKBtnClick();
    void CancelBtnClick();
    void SetEnglish();
    void SetGerman();
    void SetFrench();
    void SetSpanish();

    // Escape and the close box cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Returns true when a language was loaded.
    bool confirmSelection();
    void applyStrings(const struct LanguageDlgStrings &strings);

    TMainForm *m_main;
    QLabel *m_prompt;
    QListWidget *m_list;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};

} // namespace umbrill
