// The main window as a user finds it: start-up, menus, interface languages,
// Keep on Top, Help, and loading a keyboard language through the dialog.
#include "uifixture.h"

#include "core/interface/interfacestrings.h"
#include "core/settings/settingsstore.h"
#include "ui/common/padmodel.h"
#include "ui/common/qtext.h"
#include "ui/dialogs/tlanguagedlg.h"
#include "ui/windows/collectionstrip.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QPushButton>
#include <QTest>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace umbrill::test {
namespace {

QAction *item(TMainForm &form, const char *name) { return form.findChild<QAction *>(QString::fromLatin1(name)); }

QStringList names(const QList<QAction *> &actions)
{
    QStringList list;
    for (QAction *a : actions)
        list << (a->menu() ? a->menu()->objectName() : a->objectName());
    return list;
}

class MainForm : public UiFixture {
protected:
    // Chooses a keyboard language through the Language command, pressing OK.
    void chooseLanguage(TMainForm &form, int row)
    {
        whenModal([row](QWidget *dialog) {
            auto *list = dialog->findChild<QListWidget *>(QStringLiteral("ListBox1"));
            list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
            dialog->findChild<QPushButton *>(QStringLiteral("OKBtn"))->click();
        });
        form.commands().LanguageClick();
    }
};

TEST_F(MainForm, StartsWithTheWholeMenuTreeAndItsStates)
{
    TMainForm &form = start().mainForm;
    EXPECT_EQ(form.windowTitle(), "Umbrill");
    EXPECT_EQ(applicationTitle(), "Umbrill05");
    EXPECT_EQ(form.size(), QSize(200, 200));
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    // The pad and its dialogs have a fixed size and offer no maximise button.
    for (QWidget *window : std::initializer_list<QWidget *>{&form, &app->optionsForm(), &app->languageDlg(), &app->about()}) {
        SCOPED_TRACE(window->objectName().toStdString());
        EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
        EXPECT_EQ(window->minimumSize(), window->maximumSize());
    }
    EXPECT_TRUE(form.state().IniFileFound());

    QMenuBar *bar = form.findChild<QMenuBar *>(QStringLiteral("UmbrillMenu"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(names(bar->actions()), QStringList({"ModeMenuItem", "Language", "Help"}));
    auto *mode = form.findChild<QMenu *>(QStringLiteral("ModeMenuItem"));
    EXPECT_EQ(names(mode->actions()), QStringList({"SingleChar", "MultipleChar", "DirectPaste", "TypeIntoWindow", "ClearClipboard",
                                                   "FindCharacter",
                                                   "Font", "Options1", "KeeponTop", "Exit"}));
    EXPECT_EQ(names(form.findChild<QMenu *>(QStringLiteral("Help"))->actions()),
              QStringList({"HelpMenuIItem", "AboutMenuItem"}));

    EXPECT_TRUE(item(form, "SingleChar")->isChecked());
    EXPECT_FALSE(item(form, "MultipleChar")->isChecked());
    EXPECT_TRUE(item(form, "KeeponTop")->isChecked());
    EXPECT_FALSE(item(form, "DirectPaste")->isVisible());
    EXPECT_FALSE(item(form, "DirectPaste")->isEnabled());
    EXPECT_FALSE(item(form, "Font")->isVisible());
    EXPECT_FALSE(item(form, "Font")->isEnabled());
    EXPECT_EQ(item(form, "ClearClipboard")->text(), "Clear Clipboard");
    EXPECT_EQ(item(form, "Options1")->text(), "&Options");  // English set applied
}

TEST_F(MainForm, FirstStartStoresEnglish)
{
    start();
    app->show();
    // Not before the pad has first painted.
    EXPECT_FALSE(QFile::exists(settingsFile()));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app->mainForm));
    for (const QDeadlineTimer deadline(5000); !QFile::exists(settingsFile()) && !deadline.hasExpired();)
        QTest::qWait(5);
    EXPECT_EQ(readSettingFrom(settingsFile().toStdString(), "Settings", "ControlLanguage", "absent"), "English");
}

TEST_F(MainForm, StoredInterfaceLanguageChoosesTheMenuTexts)
{
    struct Row { QByteArray stored; const char *options; const char *language; };
    const Row rows[] = {
        {"Deutsch", "&Alternativen", "&Spracke"},
        {"Fran\xC3\xA7" "ais", "&Options", "&Langue"},
        {"Fran\xC3\xA7" "aise", "&Options", "&Langue"},
        {"Espa\xC3\xB1" "ol", "&Opciones", "&Idioma"},
        {"english", "&Options ...", "&Language"},  // no match: the default captions stay
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.stored.toStdString());
        writeSettings(settingsWith("\"ControlLanguage\"=\"" + row.stored + "\"\r\n"));
        TMainForm &form = start().mainForm;
        EXPECT_EQ(item(form, "Options1")->text(), QString::fromUtf8(row.options));
        EXPECT_EQ(item(form, "Language")->text(), QString::fromUtf8(row.language));
        EXPECT_EQ(form.state().ControlLanguage(), row.stored.toStdString());
        app.reset();
    }
}

// The dialogs are made when first opened, in the language they would have
// shown had they been made at start: loading a language shows a stored one
// in the main window only, and one shown in all windows reaches them too.
TEST_F(MainForm, DialogsMadeWhenFirstOpenedShowTheLanguageOfTheOtherDialogs)
{
    writeSettings(settingsWith("\"ControlLanguage\"=\"English\"\r\n"));
    TMainForm &form = start().mainForm;
    EXPECT_EQ(form.findChild<QDialog *>(), nullptr);
    writeSettings(settingsWith("\"ControlLanguage\"=\"Deutsch\"\r\n"));
    form.commands().confirmLanguage(0, std::string("Twelve"));
    EXPECT_EQ(item(form, "Options1")->text(), qs(interfaceTexts("Deutsch").Main.Options1));
    whenModal([](QWidget *modal) {
        EXPECT_EQ(child<QPushButton>(modal, "Button1")->text(), qs(interfaceTexts("English").About.Button1));
        modal->close();
    });
    item(form, "AboutMenuItem")->trigger();
    whenModal([](QWidget *modal) {
        EXPECT_EQ(modal->windowTitle(), qs(interfaceTexts("English").LanguageDlg.Caption));
        modal->close();
    });
    item(form, "Language")->trigger();

    form.commands().applyInterfaceLanguageToAll("Espa\xC3\xB1ol");
    form.commands().applyInterfaceLanguageToAll("Klingon");  // matches nothing: no window changes
    whenModal([](QWidget *modal) {
        EXPECT_EQ(modal->windowTitle(), qs(interfaceTexts("Espa\xC3\xB1ol").Options.Caption));
        child<QPushButton>(modal, "OptionsCancelButton")->click();
    });
    item(form, "Options1")->trigger();
}

TEST_F(MainForm, MissingDataFileSaysSoAndTouchesNoSettings)
{
    QFile::remove(dataFile());
    auto seen = std::make_shared<QString>();
    auto offCentre = std::make_shared<QPoint>();
    whenModal([seen, offCentre](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        ASSERT_NE(box, nullptr);
        *seen = box->windowTitle() + QLatin1Char('|') + box->text();
        *offCentre = box->frameGeometry().center() - box->screen()->availableGeometry().center();
        box->accept();
    });
    TMainForm &form = start().mainForm;
    EXPECT_FALSE(form.state().IniFileFound());
    EXPECT_EQ(*seen, "Information|Cannot find file Umbrill05.ini\nCannot continue");
    // Shown before the main window: centred on the screen, not at its corner.
    EXPECT_LE(offCentre->manhattanLength(), 2) << offCentre->x() << "," << offCentre->y();
    EXPECT_FALSE(QFile::exists(settingsFile()));
}

TEST_F(MainForm, KeepOnTopTogglesTheLiveWindowAndTheCheckMark)
{
    TMainForm &form = start().mainForm;
    form.show();
    form.commands().KeeponTopClick();
    EXPECT_FALSE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(item(form, "KeeponTop")->isChecked());
    EXPECT_TRUE(form.isVisible());
    form.commands().KeeponTopClick();
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(item(form, "KeeponTop")->isChecked());
}

TEST_F(MainForm, HelpOpensTheDocumentAndMinimisesOrSaysWhyNot)
{
    QStringList opened;
    bool launcher = true;
    overrideShellOpen([&opened, &launcher](const QUrl &url) {
        opened << url.toLocalFile();
        return launcher;
    });
    writeSettings(settingsWith("\"ControlLanguage\"=\"Deutsch\"\r\n"));
    TMainForm &form = start().mainForm;
    form.show();

    auto seen = std::make_shared<QString>();
    whenModal([seen](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        *seen = box->windowTitle() + QLatin1Char('|') + box->text();
        box->accept();
    });
    form.commands().HelpMenuIItemClick();
    EXPECT_EQ(*seen, "Information|Kann das Dokument nicht finden: umbrill_help.pdf");
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_FALSE(form.isMinimized());

    QFile help(programDir() + QStringLiteral("umbrill_help.pdf"));
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.close();

    // No program on the desktop to open it with: said so, and the pad stays.
    launcher = false;
    whenModal([seen](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        *seen = box->windowTitle() + QLatin1Char('|') + box->text();
        box->accept();
    });
    form.commands().HelpMenuIItemClick();
    EXPECT_EQ(*seen, "Information|Kein Programm kann das Dokument öffnen: umbrill_help.pdf");
    EXPECT_FALSE(form.isMinimized());

    launcher = true;
    opened.clear();
    form.commands().HelpMenuIItemClick();
    EXPECT_EQ(opened, QStringList({programDir() + QStringLiteral("umbrill_help.pdf")}));
    EXPECT_TRUE(form.windowState() & Qt::WindowMinimized);

    // The German document, once in the program folder, is the one opened.
    QFile german(programDir() + QStringLiteral("umbrill_help_de.pdf"));
    ASSERT_TRUE(german.open(QIODevice::WriteOnly));
    german.close();
    opened.clear();
    form.commands().HelpMenuIItemClick();
    EXPECT_EQ(opened, QStringList({programDir() + QStringLiteral("umbrill_help_de.pdf")}));
    overrideShellOpen({});
}

TEST(Shell, AFileAddressCarriesThePathsBytes)
{
    EXPECT_EQ(fileUrl("/tmp/prog \xFF\xE9/umbrill_help.pdf").toEncoded(), "file:///tmp/prog%20%FF%E9/umbrill_help.pdf");
}

TEST_F(MainForm, ComesBackAsItWasLeft)
{
    // A first start remembers nothing and shows the hint on an empty pad.
    TMainForm *form = &start().mainForm;
    app->show();
    EXPECT_EQ(form->size(), QSize(200, 200));
    EXPECT_TRUE(form->hint()->isVisibleTo(form));
    EXPECT_EQ(form->hint()->text(), "Choose a language: Alt+L");
    EXPECT_FALSE(readSettings().contains("LastLanguage"));

    chooseLanguage(*form, 1); // French
    EXPECT_FALSE(form->hint()->isVisibleTo(form));
    form->commands().MultipleCharClick();
    form->commands().KeeponTopClick();
    form->move(30, 40);
    form->close(); // a place not yet stored is stored now

    form = &start().mainForm;
    app->show();
    EXPECT_EQ(form->windowTitle(), "French Umbrill");
    EXPECT_EQ(applicationTitle(), "French");
    EXPECT_EQ(form->keys().size(), 7);
    EXPECT_EQ(form->state().LanguageIndex(), 1);
    EXPECT_TRUE(form->fontEnabled());
    EXPECT_TRUE(item(*form, "MultipleChar")->isChecked());
    EXPECT_FALSE(item(*form, "SingleChar")->isChecked());
    EXPECT_EQ(form->state().Output().Mode(), InputMode::MultipleChar);
    EXPECT_FALSE(item(*form, "KeeponTop")->isChecked());
    EXPECT_FALSE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(form->pos(), QPoint(30, 40));
}

TEST_F(MainForm, ARememberedLanguageOrPlaceThatIsGoneLeavesTheDefaults)
{
    struct Row {
        const char *name;
        QByteArray values;
        QString shown; // the error shown, if any
    };
    const Row rows[] = {
        {"language no longer listed", "\"LastLanguage\"=\"Klingon\"\r\n", {}},
        {"language that fails to load", "\"LastLanguage\"=\"Broken\"\r\n", "'x' is not a valid integer value."},
        {"place off every screen", "\"WindowPosition\"=\"-90000,70000\"\r\n", {}},
        {"damaged values", "\"WindowPosition\"=\"12\"\r\n\"KeepOnTop\"=\"yes\"\r\n\"InputMode\"=dword:00000001\r\n", {}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        writeSettings(settingsWith("\"ControlLanguage\"=\"English\"\r\n" + row.values));
        auto shown = std::make_shared<QString>();
        if (!row.shown.isEmpty()) {
            whenModal([shown](QWidget *w) {
                *shown = qobject_cast<QMessageBox *>(w)->text();
                w->close();
            });
        }
        TMainForm &form = start().mainForm;
        app->show();
        EXPECT_EQ(*shown, row.shown);
        EXPECT_TRUE(form.keys().isEmpty());
        EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_EQ(form.state().Output().Mode(), InputMode::SingleChar);
        const QPoint offCentre = form.frameGeometry().center() - form.screen()->availableGeometry().center();
        EXPECT_LE(offCentre.manhattanLength(), 8); // centred, give or take the menu bar's rounding
    }
}

TEST_F(MainForm, ThePadStaysOnItsScreenWhenItGrows)
{
    TMainForm &form = start().mainForm;
    app->show();
    const QRect area = form.screen()->availableGeometry();
    form.move(area.right() - 50, area.bottom() - 50);
    chooseLanguage(form, 0); // Twelve: 210 x 126 keys below the menu
    EXPECT_TRUE(area.contains(form.frameGeometry())) << form.frameGeometry().x() << "," << form.frameGeometry().y();
}

TEST_F(MainForm, MyCharactersReloadsAtOnceWhenItIsThePadShown)
{
    TMainForm &form = start().mainForm;
    chooseLanguage(form, 1); // French
    form.commands().addToMyCharacters(u"é");
    form.commands().addToMyCharacters(u"\U0001F600");
    chooseLanguage(form, 6); // after the six shipped languages
    ASSERT_EQ(form.windowTitle(), "My Characters Umbrill");
    ASSERT_EQ(form.keys().size(), 2);
    EXPECT_EQ(form.keys()[0]->font().family(), "DejaVu Sans"); // French's key font

    form.commands().addToMyCharacters(u"€");
    EXPECT_EQ(form.keys().size(), 3);
    form.commands().removeFromMyCharacters(u"é");
    QCoreApplication::processEvents(); // the pad is built again once the key's menu is gone
    ASSERT_EQ(form.keys().size(), 2);
    EXPECT_EQ(form.keys()[0]->character(), u"\U0001F600");
}

TEST_F(MainForm, KeysTakeANewKeySizeAsTheirPitch)
{
    TMainForm &form = start().mainForm;
    chooseLanguage(form, 1);  // French: 7 keys, 6 per row, 42 pixels
    for (const int size : {30, 46}) {
        SCOPED_TRACE(size);
        form.commands().optionsChosen(OptionsChoice{PasteFormat::Unicode, size, std::nullopt});
        EXPECT_EQ(form.keys()[1]->geometry(), QRect(size, 0, size, size));
        EXPECT_EQ(form.keys()[6]->geometry(), QRect(0, size, size, size));
        EXPECT_EQ(form.centralWidget()->size(), QSize(6 * size, 2 * size));
    }
}

TEST_F(MainForm, LoadingLaysOutTheGridAndNamesTheLanguage)
{
    TMainForm &form = start().mainForm;
    chooseLanguage(form, 0);  // Twelve: 12 keys, 5 per row, 8 points
    EXPECT_EQ(form.windowTitle(), "Twelve Umbrill");
    EXPECT_EQ(applicationTitle(), "Twelve");
    ASSERT_EQ(form.keys().size(), 12);
    EXPECT_EQ(form.state().KeySize(), 42);
    EXPECT_EQ(form.keys()[5]->pos(), QPoint(0, 42));
    EXPECT_EQ(form.keys()[11]->pos(), QPoint(42, 84));
    EXPECT_EQ(form.keys()[0]->size(), QSize(42, 42));
    EXPECT_EQ(form.centralWidget()->size(), QSize(210, 126));
    EXPECT_TRUE(form.fontEnabled());
    EXPECT_EQ(form.state().LanguageIndex(), 0);

    chooseLanguage(form, 1);  // French: "&" and a mark between blanks
    ASSERT_EQ(form.keys().size(), 7);
    EXPECT_EQ(form.keys()[4]->text(), "&&");
    EXPECT_EQ(form.keys()[4]->character(), u"&");
    EXPECT_EQ(form.keys()[5]->text(), QString::fromUtf16(u" \u064E "));
    EXPECT_EQ(form.keys()[5]->character(), u"\u064E");
    EXPECT_EQ(form.keys()[0]->font().family(), "DejaVu Sans");
    EXPECT_EQ(form.keys()[0]->font().pointSize(), 12);
    EXPECT_EQ(form.centralWidget()->size(), QSize(6 * 42, 2 * 42));

    chooseLanguage(form, 2);  // a 24-point font raises the key size to 46
    EXPECT_EQ(form.state().KeySize(), 46);
}

// Gives key the focus once the language dialog has handed the activation back.
void takeFocus(QWidget *key, Qt::FocusReason reason)
{
    ASSERT_TRUE(QTest::qWaitFor([&] {
        key->setFocus(reason);
        return QApplication::focusWidget() == key;
    }));
}

TEST_F(MainForm, ArrowsHomeAndEndMoveTheFocusOnTheGrid)
{
    TMainForm &form = start().mainForm;
    chooseLanguage(form, 0);  // Twelve: keys 0-4, 5-9, 10-11
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    takeFocus(form.keys()[0], Qt::OtherFocusReason);
    struct Step { Qt::Key key; int focused; };
    const Step steps[] = {{Qt::Key_Right, 1}, {Qt::Key_Down, 6}, {Qt::Key_End, 9},  {Qt::Key_Down, 9},
                          {Qt::Key_Home, 5},  {Qt::Key_Down, 10}, {Qt::Key_Up, 5}, {Qt::Key_Left, 5}};
    for (const Step &step : steps) {
        SCOPED_TRACE(testing::Message() << "key 0x" << std::hex << step.key << " to " << std::dec << step.focused);
        QTest::keyClick(QApplication::focusWidget(), step.key);
        EXPECT_EQ(QApplication::focusWidget(), form.keys()[step.focused]);
    }
}

// The focus frame shows once the keyboard is used, also where a key press
// moves nothing; a key focused by other means (the window coming up) shows none.
TEST_F(MainForm, AKeyPressShowsTheFocusFrame)
{
    TMainForm &form = start().mainForm;
    chooseLanguage(form, 0);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    KeyButton *first = form.keys()[0];
    KeyButton *second = form.keys()[1];
    const QImage secondPlain = second->grab().toImage();
    takeFocus(first, Qt::ActiveWindowFocusReason);
    const QImage firstBefore = first->grab().toImage();

    QTest::keyClick(first, Qt::Key_Left);  // the row's start: the focus stays
    ASSERT_EQ(QApplication::focusWidget(), first)
        << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "no focus") << " "
        << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString() : "");
    EXPECT_NE(first->grab().toImage(), firstBefore) << "no focus frame after Left";

    QTest::keyClick(first, Qt::Key_Right);
    ASSERT_EQ(QApplication::focusWidget(), second);
    EXPECT_NE(second->grab().toImage(), secondPlain) << "no focus frame on the key Right reached";
    EXPECT_EQ(first->grab().toImage(), firstBefore) << "the key left behind keeps a frame";
}

TEST_F(MainForm, CancelLeavesNoKeysAndAZeroHighClientArea)
{
    TMainForm &form = start().mainForm;
    chooseLanguage(form, 0);
    whenModal([](QWidget *dialog) { dialog->findChild<QPushButton *>(QStringLiteral("CancelBtn"))->click(); });
    form.commands().LanguageClick();
    EXPECT_TRUE(form.keys().isEmpty());
    EXPECT_EQ(form.windowTitle(), "Umbrill");
    EXPECT_EQ(form.centralWidget()->height(), 0);
    EXPECT_FALSE(form.fontEnabled());
    EXPECT_EQ(form.state().LanguageIndex(), 0);
}

TEST_F(MainForm, ABadEntryStopsLoadingWithItsMessage)
{
    TMainForm &form = start().mainForm;
    for (int row : {4, 5}) {  // Missing reads "not found"; Broken has size "x"
        SCOPED_TRACE(row);
        auto seen = std::make_shared<QString>();
        whenModal([row, seen](QWidget *dialog) {
            auto *list = dialog->findChild<QListWidget *>(QStringLiteral("ListBox1"));
            list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
            whenModal([seen](QWidget *w) {
                auto *box = qobject_cast<QMessageBox *>(w);
                *seen = box->windowTitle() + QLatin1Char('|') + box->text();
                box->accept();
            });
            dialog->findChild<QPushButton *>(QStringLiteral("OKBtn"))->click();
        });
        form.commands().LanguageClick();
        EXPECT_EQ(*seen, row == 4 ? "Missing|'found' is not a valid integer value."
                                  : "Broken|'x' is not a valid integer value.");
        EXPECT_TRUE(form.keys().isEmpty());
        EXPECT_FALSE(form.fontEnabled());
        EXPECT_FALSE(form.commands().languageDlg()->isVisible());
    }
}

// The language dialog stands alone: it reports what was confirmed or
// cancelled, and after a double click waits for the listener to accept.
TEST_F(MainForm, TheLanguageDialogReportsByItsSignals)
{
    TLanguageDlg dialog(nullptr);
    std::vector<std::pair<int, std::optional<std::string>>> confirmed;
    int cancelled = 0;
    QObject::connect(&dialog, &TLanguageDlg::languageConfirmed,
                     [&](int position, const std::optional<std::string> &name) { confirmed.emplace_back(position, name); });
    QObject::connect(&dialog, &TLanguageDlg::cancelled, [&] { ++cancelled; });
    dialog.ConvertCSVtoStrings("Alpha,\"Beta Gamma\"");
    dialog.show();
    dialog.selectRow(1);
    auto *list = child<QListWidget>(&dialog, "ListBox1");
    emit list->itemDoubleClicked(list->item(1));
    EXPECT_TRUE(dialog.isVisible());
    dialog.OKBtnClick();
    EXPECT_FALSE(dialog.isVisible());
    dialog.show();
    dialog.selectRow(-1);
    dialog.OKBtnClick();
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    using Report = std::pair<int, std::optional<std::string>>;
    EXPECT_EQ(confirmed, (std::vector<Report>{{1, "Beta Gamma"}, {1, "Beta Gamma"}, {-1, std::nullopt}}));
    EXPECT_EQ(cancelled, 1);
}

// A double click that fails to load shows the message over the dialog, which
// stays open for another choice; a double click that loads closes it.
TEST_F(MainForm, ADoubleClickThatFailsToLoadKeepsTheLanguageDialogOpen)
{
    TMainForm &form = start().mainForm;
    auto seen = std::make_shared<QString>();
    auto stayedOpen = std::make_shared<bool>(false);
    whenModal([seen, stayedOpen](QWidget *dialog) {
        auto *list = dialog->findChild<QListWidget *>(QStringLiteral("ListBox1"));
        const auto doubleClick = [list](int row) {
            list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
            emit list->itemDoubleClicked(list->item(row));
        };
        whenModal([seen, dialog](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->parentWidget(), dialog);
            *seen = box->text();
            box->accept();
        });
        doubleClick(5);  // Broken has size "x"
        *stayedOpen = dialog->isVisible();
        doubleClick(0);
    });
    form.commands().LanguageClick();
    EXPECT_EQ(*seen, "'x' is not a valid integer value.");
    EXPECT_TRUE(*stayedOpen);
    EXPECT_FALSE(form.commands().languageDlg()->isVisible());
    EXPECT_EQ(form.keys().size(), 12);
    EXPECT_TRUE(form.fontEnabled());
}

TEST_F(MainForm, CatalogueIsReadAfreshWithItsOddities)
{
    TMainForm &form = start().mainForm;
    auto rowsShown = [&form]() {
        auto rows = std::make_shared<QStringList>();
        whenModal([rows](QWidget *dialog) {
            auto *list = dialog->findChild<QListWidget *>(QStringLiteral("ListBox1"));
            for (int i = 0; i < list->count(); ++i)
                *rows << list->item(i)->text() + (list->item(i)->isSelected() ? QStringLiteral("*") : QString());
            dialog->findChild<QPushButton *>(QStringLiteral("CancelBtn"))->click();
        });
        form.commands().LanguageClick();
        return *rows;
    };
    EXPECT_EQ(rowsShown(), QStringList({"Twelve*", "French", "Big Font", "Bare", "Missing", "Broken"}));
    writeDataFile("[Umbrill]\nLanguages=Pad,,Pad, Two Words\n");
    EXPECT_EQ(rowsShown(), QStringList({"Pad*", "", "Pad", "Two", "Words"}));
    writeDataFile("[Umbrill]\nLanguages=\n");
    EXPECT_EQ(rowsShown(), QStringList());
    writeDataFile("[Other]\n");
    EXPECT_EQ(rowsShown(), QStringList({"not*", "found"}));
}

TEST_F(MainForm, AnEntryWithoutKeysGivesAZeroHighPad)
{
    TMainForm &form = start().mainForm;
    chooseLanguage(form, 3);  // Bare: face, size and keys per row only
    EXPECT_TRUE(form.keys().isEmpty());
    EXPECT_EQ(form.centralWidget()->size(), QSize(4 * 42, 0));
    EXPECT_EQ(form.windowTitle(), "Bare Umbrill");
}

TEST_F(MainForm, ADataFileDeletedWhileRunningFailsLikeAMissingEntry)
{
    TMainForm &form = start().mainForm;
    QFile::remove(dataFile());
    auto seen = std::make_shared<QString>();
    whenModal([seen](QWidget *dialog) {
        whenModal([seen](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            *seen = box->text();
            box->accept();
        });
        dialog->findChild<QPushButton *>(QStringLiteral("OKBtn"))->click();
    });
    form.commands().LanguageClick();  // the list still shows "not" and "found"
    EXPECT_EQ(*seen, "'found' is not a valid integer value.");
    EXPECT_TRUE(form.keys().isEmpty());
}

TEST_F(MainForm, FontCommandRewritesTheEntryInItsWrittenForm)
{
    writeDataFile("; my pads\r\n[Umbrill]\r\nLanguages=Pad,Other\r\nPad=Arial,8,5,$E0,233e,8364\r\nOther=A,8,5,65\r\n");
    TMainForm &form = start().mainForm;
    chooseLanguage(form, 0);
    form.commands().setFontChooser([](const QFont &) { return QFont(QStringLiteral("Times New Roman"), 12); });
    QString asked;
    form.commands().setConfirmer([&asked](const QString &q) { asked = q; return true; });
    form.commands().FontClick();
    EXPECT_EQ(asked, "Would you like this to be the default font for this language?");
    QFile file(dataFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "; my pads\r\n[Umbrill]\r\nLanguages=Pad,Other\r\n"
                              "Pad=\"Times New Roman\",12,5,224,233,8364\r\nOther=A,8,5,65\r\n");
    EXPECT_GE(form.state().KeySize(), 42);
}

// The window follows the model: whoever runs a command (a menu, a dialog, the
// command line), the window draws what the model announces.
TEST_F(MainForm, TheWindowRedrawsWhatTheModelAnnounces)
{
    TMainForm &form = start().mainForm;
    PadModel &model = form.model();
    static_cast<void>(model.nameLanguage(1, "French"));
    EXPECT_EQ(form.windowTitle(), "French Umbrill");
    EXPECT_TRUE(form.keys().isEmpty());
    EXPECT_FALSE(form.fontEnabled());
    model.loadLanguage("French");
    ASSERT_EQ(form.keys().size(), 7);
    EXPECT_TRUE(form.fontEnabled());
    EXPECT_EQ(form.centralWidget()->size(), QSize(6 * 42, 2 * 42));

    model.storeOptions(OptionsChoice{PasteFormat::Unicode, 30, std::nullopt});
    EXPECT_EQ(form.centralWidget()->size(), QSize(6 * 30, 2 * 30));
    model.applyKeyFont("DejaVu Sans", 12, 96.0);
    const int pitch = form.state().KeySize();
    EXPECT_NE(pitch, 30);
    EXPECT_EQ(form.centralWidget()->size(), QSize(6 * pitch, 2 * pitch));

    model.chooseMode(InputMode::MultipleChar);
    EXPECT_TRUE(item(form, "MultipleChar")->isChecked());
    EXPECT_FALSE(item(form, "SingleChar")->isChecked());
    EXPECT_TRUE(item(form, "RemoveLastCharacter")->isEnabled());
    EXPECT_TRUE(form.collectionStrip()->isVisibleTo(&form));
    model.setKeepOnTop(false);
    EXPECT_FALSE(item(form, "KeeponTop")->isChecked());
    EXPECT_FALSE(form.windowFlags() & Qt::WindowStaysOnTopHint);

    model.setLanguageAside();
    EXPECT_TRUE(form.keys().isEmpty());
    EXPECT_EQ(form.windowTitle(), "Umbrill");
    EXPECT_FALSE(form.fontEnabled());
}

} // namespace
} // namespace umbrill::test
