// The Options dialog as a user drives it: what it shows from the stored
// settings, what OK stores, and how a picked interface language reaches all
// four windows and is taken back by Cancel.
#include "uifixture.h"

#include "core/interface/interfacestrings.h"
#include "core/settings/settingsstore.h"
#include "ui/common/padmodel.h"
#include "ui/common/qtext.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <optional>
#include <string>
#include <vector>

namespace umbrill::test {
namespace {

QRadioButton *checkedRadio(QWidget *dialog)
{
    for (QRadioButton *radio : dialog->findChildren<QRadioButton *>())
        if (radio->isChecked())
            return radio;
    return nullptr;
}

// What the four windows show of the interface language, one text each.
struct WindowTexts {
    QString mainOptionsItem, optionsCaption, aboutButton, languageDlgCaption;
    bool operator==(const WindowTexts &) const = default;
};

void PrintTo(const WindowTexts &t, std::ostream *os)
{
    *os << '{' << t.mainOptionsItem.toStdString() << " | " << t.optionsCaption.toStdString() << " | "
        << t.aboutButton.toStdString() << " | " << t.languageDlgCaption.toStdString() << '}';
}

WindowTexts textsOf(std::string_view language)
{
    const InterfaceTexts &texts = interfaceTexts(language);
    return {qs(texts.Main.Options1), qs(texts.Options.Caption), qs(texts.About.Button1),
            qs(texts.LanguageDlg.Caption)};
}

class Options : public UiFixture {
protected:
    std::string stored(std::string_view key) const
    {
        return readSettingFrom(settingsFile().toStdString(), "Settings", key, "<absent>");
    }

    WindowTexts shownTexts() const
    {
        return {app->mainForm.findChild<QAction *>(QStringLiteral("Options1"))->text(),
                app->optionsForm().windowTitle(), child<QPushButton>(&app->about(), "Button1")->text(),
                app->languageDlg().windowTitle()};
    }

    // Opens the dialog from the main window and runs `inside` while it is up.
    // A dialog that `inside` leaves open is a failure; it is then closed.
    void withOptions(const std::function<void(TOptionsForm &)> &inside)
    {
        auto ran = std::make_shared<bool>(false);
        whenModal([ran, inside](QWidget *modal) {
            auto *dialog = qobject_cast<TOptionsForm *>(modal);
            ASSERT_NE(dialog, nullptr);
            // Made as it opens, the dialog may be up a moment before it is active.
            EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
            *ran = true;
            inside(*dialog);
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the dialog is still open";
                dialog->done(QDialog::Rejected);
            }
        });
        app->mainForm.commands().Options1Click();
        EXPECT_TRUE(*ran);
    }

    // The user steps through the language list with the arrow keys.
    static void pickLanguage(TOptionsForm &dialog, int index)
    {
        auto *list = child<QComboBox>(&dialog, "LanguageComboBox");
        list->setFocus();
        while (list->currentIndex() < index)
            QTest::keyClick(list, Qt::Key_Down);
        while (list->currentIndex() > index)
            QTest::keyClick(list, Qt::Key_Up);
    }

    static void clickOk(TOptionsForm &dialog) { child<QPushButton>(&dialog, "OptionsOkButton")->click(); }
    static void clickCancel(TOptionsForm &dialog) { child<QPushButton>(&dialog, "OptionsCancelButton")->click(); }
};

TEST_F(Options, KeySizeIsReadLenientlyAndClampedAndOkStoresWhatIsShown)
{
    struct Row { const char *name; QByteArray values; int shown; };
    const Row rows[] = {
        {"above the range", "\"KeySize\"=\"60\"\r\n", 50},
        {"nothing stored", "", 42},
        {"no number", "\"KeySize\"=\"big\"\r\n", 10},
        {"number then text", "\"KeySize\"=\"33px\"\r\n", 33},
        {"below the range", "\"KeySize\"=\"-5\"\r\n", 10},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        writeSettings(settingsWith("\"ControlLanguage\"=\"English\"\r\n" + row.values));
        start();
        withOptions([&](TOptionsForm &dialog) {
            EXPECT_EQ(child<QSpinBox>(&dialog, "KeySizeSpinEdit")->value(), row.shown);
            clickOk(dialog);
        });
        EXPECT_EQ(stored("KeySize"), std::to_string(row.shown));
        EXPECT_EQ(app->mainForm.state().KeySize(), row.shown);
        app.reset();
    }
}

TEST_F(Options, WithAKeyboardLanguageLoadedTheWindowsKeySizeCounts)
{
    writeSettings(settingsWith("\"KeySize\"=\"20\"\r\n"));
    start();
    app->mainForm.model().setLanguageName("Twelve");
    app->mainForm.model().applyKeyFont("Arial", 44, 72.0);  // to 64, as a large key font raises it
    withOptions([](TOptionsForm &dialog) {
        EXPECT_EQ(child<QSpinBox>(&dialog, "KeySizeSpinEdit")->value(), 50);
        clickOk(dialog);
    });
    EXPECT_EQ(app->mainForm.state().KeySize(), 50);
    EXPECT_EQ(stored("KeySize"), "50");
}

TEST_F(Options, TheStoredPasteFormatChecksItsButtonAndOkStoresTheCheckedOne)
{
    struct Row { const char *name; QByteArray values; const char *checked; const char *storedAfter; PasteFormat code; };
    const Row rows[] = {
        {"nothing stored", "", "UnicodeTextRadioButton", "unicode", PasteFormat::Unicode},
        {"rich text", "\"PasteFormat\"=\"richText\"\r\n", "RichTextRadioButton", "richText", PasteFormat::RichText},
        {"html", "\"PasteFormat\"=\"html\"\r\n", "HtmlTextRadioButton", "html", PasteFormat::Html},
        {"plain text", "\"PasteFormat\"=\"plainText\"\r\n", "PlainTextRadioButton", "plainText",
         PasteFormat::PlainText},
        {"names are case-sensitive", "\"PasteFormat\"=\"RichText\"\r\n", "PlainTextRadioButton", "plainText",
         PasteFormat::PlainText},
        {"unknown name", "\"PasteFormat\"=\"pdf\"\r\n", "PlainTextRadioButton", "plainText", PasteFormat::PlainText},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        writeSettings(settingsWith(row.values));
        start();
        withOptions([&](TOptionsForm &dialog) {
            QRadioButton *checked = checkedRadio(&dialog);
            ASSERT_NE(checked, nullptr);
            EXPECT_EQ(checked->objectName(), row.checked);
            EXPECT_TRUE(child<QRadioButton>(&dialog, "UnicodeTextRadioButton")->isEnabled());
            clickOk(dialog);
        });
        EXPECT_EQ(stored("PasteFormat"), row.storedAfter);
        EXPECT_EQ(app->mainForm.state().PasteFormatCode(), row.code);
        app.reset();
    }
}

TEST_F(Options, OkStoresTheUsersChoicesAndCancelStoresNothing)
{
    writeSettings(settingsWith("\"ControlLanguage\"=\"English\"\r\n\"KeySize\"=\"30\"\r\n"));
    start();
    const QByteArray before = readSettings();
    withOptions([](TOptionsForm &dialog) {
        child<QRadioButton>(&dialog, "HtmlTextRadioButton")->click();
        QTest::keyClick(child<QSpinBox>(&dialog, "KeySizeSpinEdit"), Qt::Key_Up);
        clickCancel(dialog);
    });
    EXPECT_EQ(readSettings(), before);
    EXPECT_EQ(app->mainForm.state().PasteFormatCode(), PasteFormat::Unicode);  // from the opening, not the dialog

    withOptions([](TOptionsForm &dialog) {
        EXPECT_EQ(child<QSpinBox>(&dialog, "KeySizeSpinEdit")->value(), 30);  // the next opening starts afresh
        EXPECT_TRUE(child<QRadioButton>(&dialog, "UnicodeTextRadioButton")->isChecked());
        child<QRadioButton>(&dialog, "RichTextRadioButton")->click();
        QTest::keyClick(child<QSpinBox>(&dialog, "KeySizeSpinEdit"), Qt::Key_Down);
        clickOk(dialog);
    });
    EXPECT_EQ(stored("KeySize"), "29");
    EXPECT_EQ(stored("PasteFormat"), "richText");
    EXPECT_EQ(stored("ControlLanguage"), "English");
    EXPECT_EQ(app->mainForm.state().PasteFormatCode(), PasteFormat::RichText);
    EXPECT_EQ(app->mainForm.state().KeySize(), 29);
}

TEST_F(Options, OnAPlatformWithoutUnicodeItsButtonIsCheckedButDisabled)
{
    start();
    app->mainForm.model().setUnicodeEnabled(false);
    withOptions([](TOptionsForm &dialog) {
        auto *unicode = child<QRadioButton>(&dialog, "UnicodeTextRadioButton");
        EXPECT_TRUE(unicode->isChecked());
        EXPECT_FALSE(unicode->isEnabled());
        clickOk(dialog);
    });
    EXPECT_EQ(stored("PasteFormat"), "unicode");
}

TEST_F(Options, APickedLanguageShowsInAllFourWindowsAndCancelTakesItBack)
{
    writeSettings(settingsWith("\"ControlLanguage\"=\"English\"\r\n"));
    start();
    ASSERT_EQ(shownTexts(), textsOf("English"));
    withOptions([this](TOptionsForm &dialog) {
        pickLanguage(dialog, 1);
        EXPECT_EQ(shownTexts(), textsOf("Deutsch"));
        EXPECT_EQ(app->mainForm.state().ControlLanguage(), "Deutsch");
        pickLanguage(dialog, 3);
        EXPECT_EQ(shownTexts(), textsOf("Español"));
        clickCancel(dialog);
    });
    EXPECT_EQ(shownTexts(), textsOf("English"));
    EXPECT_EQ(app->mainForm.state().ControlLanguage(), "English");
    EXPECT_EQ(stored("ControlLanguage"), "English");

    withOptions([](TOptionsForm &dialog) {
        pickLanguage(dialog, 1);
        clickOk(dialog);
    });
    EXPECT_EQ(shownTexts(), textsOf("Deutsch"));
    EXPECT_EQ(stored("ControlLanguage"), "Deutsch");
    // The About box, hidden all along, shows the German build line next time.
    EXPECT_TRUE(child<QLabel>(&app->about(), "Label3")->text().startsWith(qs(interfaceTexts("Deutsch").About.BuildPrefix)));
}

TEST_F(Options, EscapeCancelsButTheCloseBoxKeepsThePickedLanguageUnstored)
{
    writeSettings(settingsWith("\"ControlLanguage\"=\"English\"\r\n"));
    start();
    withOptions([](TOptionsForm &dialog) {
        pickLanguage(dialog, 2);
        QTest::keyClick(child<QSpinBox>(&dialog, "KeySizeSpinEdit"), Qt::Key_Escape);
    });
    EXPECT_EQ(shownTexts(), textsOf("English"));

    withOptions([](TOptionsForm &dialog) {
        pickLanguage(dialog, 2);
        dialog.close();
    });
    EXPECT_EQ(shownTexts(), textsOf("Français"));
    EXPECT_EQ(app->mainForm.state().ControlLanguage(), "Français");
    EXPECT_EQ(stored("ControlLanguage"), "English");
}

TEST_F(Options, TheListMatchesTheStoredLanguageIgnoringCaseAndOkShowsWhatItStores)
{
    struct Row { const char *name; QByteArray storedBefore; int selected; const char *storedAfter;
                 const char *shownAfter; };  // nullptr: none
    const Row rows[] = {
        {"lower case", "english", 0, "English", "English"},
        {"upper case with a cedilla", "FRAN\xC3\x87" "AIS", 2, "Français", "Français"},
        {"exact", "Deutsch", 1, "Deutsch", "Deutsch"},
        {"no item", "Italiano", -1, "Italiano", nullptr},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        writeSettings(settingsWith("\"ControlLanguage\"=\"" + row.storedBefore + "\"\r\n"));
        start();
        const WindowTexts atStart = shownTexts();
        withOptions([&](TOptionsForm &dialog) {
            EXPECT_EQ(child<QComboBox>(&dialog, "LanguageComboBox")->currentIndex(), row.selected);
            EXPECT_EQ(shownTexts(), atStart);  // selecting the item is not the user's change
            clickOk(dialog);
        });
        EXPECT_EQ(stored("ControlLanguage"), row.storedAfter);
        EXPECT_EQ(app->mainForm.state().ControlLanguage(), row.storedAfter);
        // The windows show the language now stored (no item chosen: they keep what they showed).
        EXPECT_EQ(shownTexts(), row.shownAfter ? textsOf(row.shownAfter) : atStart);
        app.reset();
    }
}

TEST_F(Options, TheKeySizeFieldStepsByOneAndRefusesTextCutAndPaste)
{
    writeSettings(settingsWith("\"KeySize\"=\"49\"\r\n"));
    start();
    withOptions([](TOptionsForm &dialog) {
        auto *spin = child<QSpinBox>(&dialog, "KeySizeSpinEdit");
        spin->setFocus();
        QTest::keyClick(spin, Qt::Key_Up);
        QTest::keyClick(spin, Qt::Key_Up);
        EXPECT_EQ(spin->value(), 50);
        QTest::keyClick(spin, Qt::Key_Down);
        EXPECT_EQ(spin->value(), 49);

        QTest::keyClicks(spin, "12");
        QTest::keyClick(spin, Qt::Key_Backspace);
        QTest::keyClick(spin, Qt::Key_Delete);
        QGuiApplication::clipboard()->setText(QStringLiteral("33"));
        spin->selectAll();
        QTest::keySequence(spin, QKeySequence::Paste);
        QTest::keySequence(spin, QKeySequence::Cut);
        // The field's context menu offers neither.
        auto *editor = spin->findChild<QLineEdit *>();
        ASSERT_NE(editor, nullptr);
        std::unique_ptr<QMenu> menu(editor->createStandardContextMenu());
        QStringList offered;
        for (const QAction *action : menu->actions())
            if (action->isEnabled())
                offered << action->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
        EXPECT_TRUE(offered.contains(QStringLiteral("Copy"))) << offered.join(u',').toStdString();
        for (const char *refused : {"Paste", "Cut", "Delete"})
            EXPECT_FALSE(offered.contains(QString::fromLatin1(refused))) << refused;
        EXPECT_EQ(spin->value(), 49);
        EXPECT_EQ(spin->text(), "49");
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "33");

        // Enter in the field presses no button: OK is not the default.
        QTest::keyClick(spin, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        auto *ok = child<QPushButton>(&dialog, "OptionsOkButton");
        ok->setFocus();
        QTest::keyClick(ok, Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(stored("KeySize"), "49");
}

TEST_F(Options, TabGoesTopToBottomLeftToRight)
{
    start();
    auto order = std::make_shared<QStringList>();
    withOptions([order](TOptionsForm &dialog) {
        for (int press = 0; press < 6; ++press) {
            QWidget *focused = QApplication::focusWidget();
            // The key-size field's editor stands for the field.
            if (focused && qobject_cast<QSpinBox *>(focused->parentWidget()))
                focused = focused->parentWidget();
            *order << (focused ? focused->objectName() : QStringLiteral("<none>"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        clickCancel(dialog);
    });
    // It opens at the checked paste format (Unicode when nothing is stored);
    // the paste formats are one stop.
    EXPECT_EQ(*order, QStringList({"UnicodeTextRadioButton", "OptionsOkButton", "OptionsCancelButton",
                                   "KeySizeSpinEdit", "LanguageComboBox", "UnicodeTextRadioButton"}));
}

// All three dialogs, here where all four windows follow the interface language.
TEST_F(Options, EveryFocusableControlOfTheDialogsIsNamedInTheInterfaceLanguage)
{
    start();
    for (const char *language : {"English", "Deutsch"}) {
        SCOPED_TRACE(language);
        app->mainForm.commands().applyInterfaceLanguageToAll(language);
        for (QDialog *dialog : std::initializer_list<QDialog *>{&app->optionsForm(), &app->languageDlg(), &app->about()}) {
            for (QWidget *control : dialog->findChildren<QWidget *>()) {
                // A spin box's editor is heard as the spin box.
                if (control->focusPolicy() == Qt::NoFocus || qobject_cast<QSpinBox *>(control->parentWidget()))
                    continue;
                EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
            }
        }
        // Fields are named by their labels, the list by its prompt, and the group by its title.
        EXPECT_EQ(child<QSpinBox>(&app->optionsForm(), "KeySizeSpinEdit")->accessibleName(),
                  child<QLabel>(&app->optionsForm(), "KeySizeLabel")->text());
        EXPECT_EQ(child<QComboBox>(&app->optionsForm(), "LanguageComboBox")->accessibleName(),
                  child<QLabel>(&app->optionsForm(), "MenuLanguageLabel")->text());
        EXPECT_EQ(child<QGroupBox>(&app->optionsForm(), "PasteControlGroupBox")->accessibleName(),
                  child<QGroupBox>(&app->optionsForm(), "PasteControlGroupBox")->title());
        EXPECT_EQ(child<QWidget>(&app->languageDlg(), "ListBox1")->accessibleName(),
                  child<QLabel>(&app->languageDlg(), "StaticText1")->text());
        EXPECT_EQ(child<QPushButton>(&app->about(), "Button1")->accessibleName(),
                  child<QPushButton>(&app->about(), "Button1")->text());
    }
}

TEST_F(Options, ReturnOnAPasteFormatPressesOk)
{
    start();
    withOptions([](TOptionsForm &dialog) {
        // The dialog opens at the checked format; Down chooses the next one.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        ASSERT_EQ(QApplication::focusWidget(), child<QRadioButton>(&dialog, "HtmlTextRadioButton"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    });
    EXPECT_EQ(stored("PasteFormat"), "html");
}

// Qt names a combo box on Linux by its current item; the list of interface
// languages is heard by its label, its choice being its value.
TEST_F(Options, ScreenReadersHearTheLanguageListByItsLabel)
{
    for (const char *language : {"English", "Deutsch", "Español"}) {
        SCOPED_TRACE(language);
        writeSettings(settingsWith(QByteArray("\"ControlLanguage\"=\"") + language + "\"\r\n"));
        start();
        withOptions([language](TOptionsForm &dialog) {
            auto *list = child<QComboBox>(&dialog, "LanguageComboBox");
            QAccessibleInterface *access = QAccessible::queryAccessibleInterface(list);
            ASSERT_NE(access, nullptr);
            EXPECT_EQ(access->role(), QAccessible::ComboBox);
            const QString label = child<QLabel>(&dialog, "MenuLanguageLabel")->text();
            EXPECT_EQ(access->text(QAccessible::Name), label);
            if (QString::fromUtf8(language) == "English") {
                EXPECT_EQ(label, "Control language");
            }
            EXPECT_EQ(access->text(QAccessible::Value), QString::fromUtf8(language));
            clickCancel(dialog);
        });
        app.reset();
    }
}

TEST_F(Options, AFailingWriteIsShownAndKeepsTheDialogOpen)
{
    start();
    // A file where the settings folder belongs: no setting can be written.
    QDir(QFileInfo(settingsFile()).absolutePath()).removeRecursively();
    {
        QFile blocker(QFileInfo(settingsFile()).absolutePath());
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    auto seen = std::make_shared<QString>();
    withOptions([seen](TOptionsForm &dialog) {
        child<QRadioButton>(&dialog, "HtmlTextRadioButton")->click();
        whenModal([seen](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            ASSERT_NE(box, nullptr);
            *seen = box->text();
            box->accept();
        });
        clickOk(dialog);
        EXPECT_TRUE(dialog.isVisible());
        clickCancel(dialog);
    });
    EXPECT_EQ(*seen, "Failed to create key Settings.");
    // The values placed before the failing write stay.
    EXPECT_EQ(app->mainForm.state().PasteFormatCode(), PasteFormat::Html);
    EXPECT_EQ(app->mainForm.state().KeySize(), 42);
}

// The dialog stands alone: it shows the choices it is given and reports the
// user's by its signals; OK leaves it open until the listener accepts.
TEST_F(Options, TheDialogShowsWhatItIsGivenAndReportsByItsSignals)
{
    TOptionsForm dialog(nullptr);
    std::vector<std::string> picked;
    std::vector<OptionsChoice> chosen;
    int cancelled = 0;
    QObject::connect(&dialog, &TOptionsForm::interfaceLanguagePicked,
                     [&](const std::string &language) { picked.push_back(language); });
    QObject::connect(&dialog, &TOptionsForm::chosen, [&](const OptionsChoice &choice) { chosen.push_back(choice); });
    QObject::connect(&dialog, &TOptionsForm::cancelled, [&] { ++cancelled; });
    auto stayedOpen = std::make_shared<bool>(false);
    whenModal([stayedOpen](QWidget *modal) {
        auto &shown = *qobject_cast<TOptionsForm *>(modal);
        EXPECT_TRUE(child<QRadioButton>(&shown, "HtmlTextRadioButton")->isChecked());
        EXPECT_FALSE(child<QRadioButton>(&shown, "UnicodeTextRadioButton")->isEnabled());
        EXPECT_EQ(child<QSpinBox>(&shown, "KeySizeSpinEdit")->value(), 17);
        EXPECT_EQ(child<QComboBox>(&shown, "LanguageComboBox")->currentIndex(), 1);
        pickLanguage(shown, 3);
        child<QRadioButton>(&shown, "RichTextRadioButton")->click();
        clickOk(shown);
        *stayedOpen = shown.isVisible();
        clickCancel(shown);
    });
    dialog.Options1Click(OptionsChoice{PasteFormat::Html, 17, "deutsch"}, false);
    EXPECT_TRUE(*stayedOpen);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(picked, (std::vector<std::string>{"Fran\xC3\xA7" "ais", "Espa\xC3\xB1ol"}));
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].pasteFormat, PasteFormat::RichText);
    EXPECT_EQ(chosen[0].keySize, 17);
    EXPECT_EQ(chosen[0].controlLanguage, "Espa\xC3\xB1ol");
    EXPECT_EQ(cancelled, 1);
}

TEST_F(Options, EachStringSetGivesEveryControlItsText)
{
    start();
    TOptionsForm &dialog = app->optionsForm();
    for (const InterfaceTexts &language : interfaceLanguages()) {
        SCOPED_TRACE(std::string(language.Name));
        dialog.showTexts(language);
        const OptionsFormStrings &s = language.Options;
        EXPECT_EQ(dialog.windowTitle(), qs(s.Caption));
        EXPECT_EQ(child<QGroupBox>(&dialog, "PasteControlGroupBox")->title(), qs(s.PasteControlGroupBox));
        EXPECT_EQ(child<QRadioButton>(&dialog, "PlainTextRadioButton")->text(), qs(s.PlainTextRadioButton));
        EXPECT_EQ(child<QRadioButton>(&dialog, "RichTextRadioButton")->text(), qs(s.RichTextRadioButton));
        EXPECT_EQ(child<QRadioButton>(&dialog, "UnicodeTextRadioButton")->text(), qs(s.UnicodeTextRadioButton));
        EXPECT_EQ(child<QRadioButton>(&dialog, "HtmlTextRadioButton")->text(), qs(s.HtmlTextRadioButton));
        EXPECT_EQ(child<QLabel>(&dialog, "KeySizeLabel")->text(), qs(s.KeySizeLabel));
        EXPECT_EQ(child<QLabel>(&dialog, "MenuLanguageLabel")->text(), qs(s.MenuLanguageLabel));
        EXPECT_EQ(child<QPushButton>(&dialog, "OptionsOkButton")->text(), qs(s.OptionsOkButton));
        EXPECT_EQ(child<QPushButton>(&dialog, "OptionsCancelButton")->text(), qs(s.OptionsCancelButton));
        // The list and the layout do not change with the language.
        auto *list = child<QComboBox>(&dialog, "LanguageComboBox");
        ASSERT_EQ(list->count(), static_cast<int>(interfaceLanguages().size()));
        EXPECT_EQ(list->itemText(2), "Français");
        EXPECT_EQ(child<QPushButton>(&dialog, "OptionsOkButton")->geometry(), QRect(256, 41, 75, 25));
        // No text is cut off, and the radios sit below the group's title, clear of its frame.
        auto *group = child<QGroupBox>(&dialog, "PasteControlGroupBox");
        for (QRadioButton *radio : dialog.findChildren<QRadioButton *>()) {
            EXPECT_GE(radio->width(), radio->sizeHint().width()) << radio->objectName().toStdString();
            EXPECT_TRUE(group->contentsRect().contains(radio->geometry())) << radio->objectName().toStdString();
        }
        // The group stays clear of the rows below it, and every control inside the dialog.
        EXPECT_LT(group->geometry().bottom(), child<QSpinBox>(&dialog, "KeySizeSpinEdit")->y());
        for (QWidget *control : dialog.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            EXPECT_TRUE(dialog.rect().contains(control->geometry())) << control->objectName().toStdString();
    }
}

} // namespace
} // namespace umbrill::test
