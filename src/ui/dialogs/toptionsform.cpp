// The Options dialog.
#include "ui/dialogs/toptionsform.h"

#include "core/interface/interfacestrings.h"
#include "core/settings/settingnames.h"
#include "ui/common/accessiblenames.h"
#include "ui/common/qtext.h"
#include "ui/common/shell.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <algorithm>

namespace umbrill {
namespace {

// The key-size field changes only by its arrow buttons, the Up and Down keys
// and the wheel, one step at a time. Typed characters, deleting, cut and paste
// are refused with a beep; copying and moving the cursor stay possible.
class KeySizeSpinEdit : public QSpinBox {
public:
    explicit KeySizeSpinEdit(QWidget *parent) : QSpinBox(parent)
    {
        // A read-only editor still lets the spin box step: stepping depends on
        // the spin box's own read-only flag, which stays off.
        lineEdit()->setReadOnly(true);
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown) {
            event->ignore();
            return;
        }
        if (refused(event)) {
            QApplication::beep();
            event->accept();
            return;
        }
        QSpinBox::keyPressEvent(event);
    }

private:
    static bool refused(const QKeyEvent *event)
    {
        if (event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Paste)
            || event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete)
            return true;
        const QString text = event->text();
        return !text.isEmpty() && text.at(0).isPrint();
    }
};

// Widths are laid out for the layout's reference font; a wider text widens its
// control to the right rather than being cut off.
void fitWidth(QWidget *widget, int referenceWidth)
{
    widget->resize(std::max(referenceWidth, widget->sizeHint().width()), widget->height());
}

// Labels take the size of their text, from their top left corner.
void fitLabel(QLabel *label) { label->resize(label->sizeHint()); }

// The layout: the client area of a 375 x 238 window, the paste-format group
// at the top left with OK and Cancel beside it, the key size and the language below.
constexpr int kWidth = 367;
constexpr int kHeight = 211;
constexpr int kGroupHeight = 105;
constexpr int kRadioHeight = 17;
constexpr int kRadioPitch = 20;
constexpr int kKeySizeTop = 140;
constexpr int kLanguageTop = 176;
constexpr int kRowGap = 12;

} // namespace

TOptionsForm::TOptionsForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TOptionsForm"));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(kWidth, kHeight);

    m_pasteControl = new QGroupBox(this);
    m_pasteControl->setObjectName(QStringLiteral("PasteControlGroupBox"));
    m_pasteControl->setGeometry(24, 16, 185, kGroupHeight);
    // Placed below the title by placePasteControl.
    const auto addRadio = [this](const char *name, int width) {
        auto *radio = new QRadioButton(m_pasteControl);
        radio->setObjectName(QString::fromLatin1(name));
        radio->resize(width, kRadioHeight);
        return radio;
    };
    m_plainText = addRadio("PlainTextRadioButton", 160);
    m_richText = addRadio("RichTextRadioButton", 164);
    m_unicodeText = addRadio("UnicodeTextRadioButton", 164);
    m_htmlText = addRadio("HtmlTextRadioButton", 164);
    m_plainText->setChecked(true);

    // Neither button is the default: Enter presses the focused one, and OK from a
    // paste format (see keyPressEvent).
    m_ok = new QPushButton(this);
    m_ok->setObjectName(QStringLiteral("OptionsOkButton"));
    m_ok->setGeometry(256, 41, 75, 25);
    m_ok->setAutoDefault(false);
    connect(m_ok, &QPushButton::clicked, this, [this] { OptionsOkButtonClick(); });

    m_cancel = new QPushButton(this);
    m_cancel->setObjectName(QStringLiteral("OptionsCancelButton"));
    m_cancel->setGeometry(256, 88, 75, 25);
    m_cancel->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, [this] { OptionsCancelButtonClick(); });

    m_keySize = new KeySizeSpinEdit(this);
    m_keySize->setObjectName(QStringLiteral("KeySizeSpinEdit"));
    m_keySize->setGeometry(34, 140, 41, 22);
    m_keySize->setRange(kKeySizeMinimum, kKeySizeMaximum);
    m_keySize->setSingleStep(1);
    m_keySize->setValue(kKeySizeMinimum);

    m_language = new LabelledComboBox(this);
    m_language->setObjectName(QStringLiteral("LanguageComboBox"));
    m_language->setGeometry(26, 176, 195, 21);
    for (const InterfaceTexts &language : interfaceLanguages())
        m_language->addItem(qs(language.Name));
    // activated() comes from the user's picks only (mouse or arrow keys), never
    // from the selection the dialog sets while it opens.
    connect(m_language, &QComboBox::activated, this, [this] { LanguageComboBoxChange(); });

    m_keySizeLabel = new QLabel(this);
    m_keySizeLabel->setObjectName(QStringLiteral("KeySizeLabel"));
    m_keySizeLabel->move(92, 144);
    m_keySizeLabel->setBuddy(m_keySize);

    m_menuLanguageLabel = new QLabel(this);
    m_menuLanguageLabel->setObjectName(QStringLiteral("MenuLanguageLabel"));
    m_menuLanguageLabel->move(232, 178);
    m_menuLanguageLabel->setBuddy(m_language);

    // Top to bottom, left to right: the paste formats (one stop, the checked
    // one), OK and Cancel beside them, then the key size and the language.
    setTabOrder(m_plainText, m_richText);
    setTabOrder(m_richText, m_unicodeText);
    setTabOrder(m_unicodeText, m_htmlText);
    setTabOrder(m_htmlText, m_ok);
    setTabOrder(m_ok, m_cancel);
    setTabOrder(m_cancel, m_keySize);
    setTabOrder(m_keySize, m_language);

    applyStrings(kOptionsFormDefault);
}

void TOptionsForm::applyStrings(const OptionsFormStrings &s)
{
    setWindowTitle(qs(s.Caption));
    m_pasteControl->setTitle(qs(s.PasteControlGroupBox));
    m_plainText->setText(qs(s.PlainTextRadioButton));
    m_richText->setText(qs(s.RichTextRadioButton));
    m_unicodeText->setText(qs(s.UnicodeTextRadioButton));
    m_htmlText->setText(qs(s.HtmlTextRadioButton));
    m_keySizeLabel->setText(qs(s.KeySizeLabel));
    m_menuLanguageLabel->setText(qs(s.MenuLanguageLabel));
    m_ok->setText(qs(s.OptionsOkButton));
    m_cancel->setText(qs(s.OptionsCancelButton));

    // Screen readers hear each control by its own text, or its label's.
    m_pasteControl->setAccessibleName(qs(s.PasteControlGroupBox));
    for (QRadioButton *radio : {m_plainText, m_richText, m_unicodeText, m_htmlText})
        radio->setAccessibleName(radio->text());
    m_keySize->setAccessibleName(qs(s.KeySizeLabel));
    m_language->setAccessibleName(qs(s.MenuLanguageLabel));
    m_ok->setAccessibleName(qs(s.OptionsOkButton));
    m_cancel->setAccessibleName(qs(s.OptionsCancelButton));

    placePasteControl();
    fitLabel(m_keySizeLabel);
    fitLabel(m_menuLanguageLabel);
}

void TOptionsForm::placePasteControl()
{
    // The radios stack in the group's content area, below its title; the group
    // grows to hold them, and wider texts widen it.
    const QRect content = m_pasteControl->contentsRect();
    int top = content.top() + 2;
    int groupWidth = 185;
    for (QRadioButton *radio : {m_plainText, m_richText, m_unicodeText, m_htmlText}) {
        fitWidth(radio, radio == m_plainText ? 160 : 164);
        radio->move(16, top);
        top += kRadioPitch;
        groupWidth = std::max(groupWidth, radio->x() + radio->width() + 5);
    }
    const int bottom = m_htmlText->geometry().bottom() + 1 + m_pasteControl->contentsMargins().bottom() + 4;
    m_pasteControl->resize(groupWidth, std::max(kGroupHeight, bottom));

    // A group taller than laid out pushes the rows below it down, and the dialog grows with them.
    const int below = std::max(0, m_pasteControl->geometry().bottom() + kRowGap - kKeySizeTop);
    m_keySize->move(34, kKeySizeTop + below);
    m_keySizeLabel->move(92, kKeySizeTop + 4 + below);
    m_language->move(26, kLanguageTop + below);
    m_menuLanguageLabel->move(232, kLanguageTop + 2 + below);
    setFixedSize(kWidth, kHeight + below);
}

void TOptionsForm::showTexts(const InterfaceTexts &texts) { applyStrings(texts.Options); }

void TOptionsForm::fill(const OptionsChoice &choice, bool unicodeEnabled)
{
    m_unicodeText->setEnabled(unicodeEnabled);
    switch (choice.pasteFormat) {
    case PasteFormat::RichText: m_richText->setChecked(true); break;
    case PasteFormat::Unicode: m_unicodeText->setChecked(true); break;
    case PasteFormat::Html: m_htmlText->setChecked(true); break;
    default: m_plainText->setChecked(true); break;
    }

    m_keySize->setValue(choice.keySize);

    m_language->setCurrentIndex(0);
    // MatchFixedString compares whole texts without regard to case; -1 (no match) clears the selection.
    m_language->setCurrentIndex(m_language->findText(qs(choice.controlLanguage.value_or("")), Qt::MatchFixedString));
}

void TOptionsForm::Options1Click(const OptionsChoice &choice, bool unicodeEnabled)
{
    fill(choice, unicodeEnabled);
    exec();
}

void TOptionsForm::LanguageComboBoxChange() { emit interfaceLanguagePicked(utf8(m_language->currentText())); }

void TOptionsForm::OptionsOkButtonClick()
{
    OptionsChoice choice;
    if (m_plainText->isChecked())
        choice.pasteFormat = PasteFormat::PlainText;
    else if (m_unicodeText->isChecked())
        choice.pasteFormat = PasteFormat::Unicode;
    else if (m_htmlText->isChecked())
        choice.pasteFormat = PasteFormat::Html;
    else
        choice.pasteFormat = PasteFormat::RichText;
    choice.keySize = m_keySize->value();
    if (m_language->currentIndex() >= 0)
        choice.controlLanguage = utf8(m_language->currentText());
    emit chosen(choice);
}

void TOptionsForm::OptionsCancelButtonClick()
{
    emit cancelled();
    QDialog::reject();
}

void TOptionsForm::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        switch (event->key()) {
        case Qt::Key_Escape:
            OptionsCancelButtonClick();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (auto *button = qobject_cast<QPushButton *>(focusWidget()); button == m_ok || button == m_cancel) {
                button->click();
                return;
            }
            // On a paste format, Return confirms the dialog as OK does.
            if (qobject_cast<QRadioButton *>(focusWidget())) {
                m_ok->click();
                return;
            }
            break;
        default: break;
        }
    }
    QDialog::keyPressEvent(event);
}

void TOptionsForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    centreOnScreen(this);
    // The dialog opens at its first control, the checked paste format; Qt's
    // tab stop of the group is the radio that last had the focus.
    for (QRadioButton *radio : {m_plainText, m_richText, m_unicodeText, m_htmlText})
        if (radio->isChecked())
            radio->setFocus(Qt::TabFocusReason);
}

} // namespace umbrill
