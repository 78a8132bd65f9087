// The Options dialog: the paste format, the key size and the interface
// language. OK stores all three in the user's settings; a language picked in
// the list shows in all four windows at once, and Cancel puts the previous one back.
#pragma once

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace umbrill {

class TMainForm;
struct OptionsFormStrings;

class TOptionsForm : public QDialog {
    Q_OBJECT
public:
    // Runs FormCreate: applies the string set of the interface language the
    // main window's dialogs show. The main window must outlive the dialog (it
    // is its parent).
    explicit TOptionsForm(TMainForm *mainForm);

    // Fills the dialog with what the main window reports (the stored settings
    // and its state) and runs the dialog modally.
    // A settings read that fails throws before the dialog is shown.
    void Options1Click();

    // Reports the choices to the main window, which stores them and lays the
    // keys out again, and closes. A failing write is shown; the writes before
    // it stay done and the dialog stays open.
    void OptionsOkButtonClick();
    // The Esc key too: restores the interface language of the opening when it
    // was changed, stores nothing and closes.
    void OptionsCancelButtonClick();
    // The user picked an item of the language list: it becomes the interface
    // language of all four windows at once; nothing is stored.
    void LanguageComboBoxChange();

    void SetEnglish();
    void SetGerman();
    void SetFrench();
    void SetSpanish();

    // The close box (QDialog::reject) only hides the dialog: neither handler
    // runs, so nothing is stored and a language picked in the list stays in effect.

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void fillFromSettings();
    void storeChoices();
    void applyStrings(const OptionsFormStrings &strings);
    void placePasteControl();

    TMainForm *m_main;
    QGroupBox *m_pasteControl;
    QRadioButton *m_plainText;
    QRadioButton *m_richText;
    QRadioButton *m_unicodeText;
    QRadioButton *m_htmlText;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    QSpinBox *m_keySize;
    QComboBox *m_language;
    QLabel *m_keySizeLabel;
    QLabel *m_menuLanguageLabel;
};

} // namespace umbrill
