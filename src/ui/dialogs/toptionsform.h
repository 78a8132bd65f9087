// The Options dialog: the paste format, the key size and the interface
// language. It shows the choices it is given and reports the user's by
// signals: OK the choices to store, a language picked in the list, Cancel.
#pragma once

#include "core/pad/padstate.h"
#include "ui/common/stringsets.h"

#include <QDialog>

#include <string>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace umbrill {

struct InterfaceTexts;
struct OptionsFormStrings;

class TOptionsForm : public QDialog, public StringSets<TOptionsForm> {
    Q_OBJECT
public:
    // Runs FormCreate: shows the default captions.
    explicit TOptionsForm(QWidget *parent);

    // Shows the stored choices (Unicode is offered when unicodeEnabled) and
    // runs the dialog modally.
    void Options1Click(const OptionsChoice &choice, bool unicodeEnabled);

    // Reports the choices (chosen). The dialog stays open until the listener
    // has stored them and accepts it.
    void OptionsOkButtonClick();
    // The Esc key too: reports cancelled and closes.
    void OptionsCancelButtonClick();
    // The user picked an item of the language list: reports it.
    void LanguageComboBoxChange();

    // Shows a language's texts.
    void showTexts(const InterfaceTexts &texts);

    // The close box (QDialog::reject) only hides the dialog: neither handler
    // runs, so nothing is reported and a language picked in the list stays in effect.

signals:
    // OK: the choices to store; the listener accepts the dialog once they are stored.
    void chosen(const OptionsChoice &choice);
    // A language picked in the list, to show in every window; nothing is stored.
    void interfaceLanguagePicked(const std::string &controlLanguage);
    // Cancel: the language of the opening is to be shown again.
    void cancelled();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void fill(const OptionsChoice &choice, bool unicodeEnabled);
    void applyStrings(const OptionsFormStrings &strings);
    void placePasteControl();

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
