// The language dialog with generated languages: their heading and order, the
// filter, loading one and bringing it back at the next start, copying one
// into the user's own languages, and the command line naming one.
#include "uifixture.h"

#include "core/interface/interfacestrings.h"
#include "ui/common/qtext.h"
#include "ui/dialogs/tlanguagedlg.h"
#include "ui/keys/keybutton.h"
#include "ui/windows/tmainform.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace umbrill::test {
namespace {

// Three generated languages, one of which (French) a shipped name takes in English.
const QByteArray kGenerated = "\xEF\xBB\xBF"
                              "[Umbrill]\r\nLanguages=cy,fr,yo\r\n"
                              "[yo]\r\nEntry=\"DejaVu Sans\",12,8,7865,7864,7885\r\n"
                              "Own=\xC3\x88\x64\xC3\xA8 Yor\xC3\xB9\x62\xC3\xA1\r\n"
                              "en=Yoruba\r\nde=Yoruba\r\nfr=yoruba\r\nes=yoruba\r\n"
                              "[cy]\r\nEntry=\"DejaVu Sans\",12,8,373,372\r\nOwn=Cymraeg\r\n"
                              "en=Welsh\r\nde=Walisisch\r\nfr=gallois\r\nes=gal\xC3\xA9s\r\n"
                              "[fr]\r\nEntry=\"DejaVu Sans\",12,8,339,338\r\nOwn=fran\xC3\xA7\x61is\r\n"
                              "en=French\r\nde=Franz\xC3\xB6sisch\r\nfr=fran\xC3\xA7\x61is\r\nes=franc\xC3\xA9s\r\n";

PadRequest languageRequest(const char *name)
{
    PadRequest request;
    request.language = QString::fromUtf8(name);
    return request;
}

class LanguageDialog : public UiFixture {
protected:
    LanguageDialog()
    {
        QFile file(programDir() + QStringLiteral("generated-languages.ini"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kGenerated);
    }

    static QStringList visibleRows(QListWidget *list)
    {
        QStringList rows;
        for (int row = 0; row < list->count(); ++row) {
            if (!list->item(row)->isHidden())
                rows << list->item(row)->text();
        }
        return rows;
    }
    QString ownLanguages() const
    {
        QFile file(QFileInfo(settingsFile()).dir().filePath(QStringLiteral("languages.ini")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
};

TEST_F(LanguageDialog, GeneratedLanguagesFollowUnderAHeadingAndTheFilterNarrowsThemAndLoadsOne)
{
    writeSettings(settingsWith("\"ControlLanguage\"=\"Deutsch\"\r\n"));
    TMainForm &form = start().mainForm;
    form.show();
    const LanguageDlgStrings &german = interfaceTexts("Deutsch").LanguageDlg;
    whenModal([&](QWidget *dialog) {
        auto *list = child<QListWidget>(dialog, "ListBox1");
        auto *filter = child<QLineEdit>(dialog, "LanguageFilter");
        auto *copy = child<QPushButton>(dialog, "CopyToOwnButton");
        // The shipped list as ever, then the heading, then the generated
        // languages by their German names, each with its own name.
        EXPECT_EQ(visibleRows(list),
                  (QStringList{"Twelve", "French", "Big Font", "Bare", "Missing", "Broken", qs(german.Generated),
                               QStringLiteral("Franz\u00f6sisch \u2014 fran\u00e7ais"),
                               QStringLiteral("Walisisch \u2014 Cymraeg"),
                               QStringLiteral("Yoruba \u2014 \u00c8d\u00e8 Yor\u00f9b\u00e1")}));
        EXPECT_EQ(list->item(6)->flags() & Qt::ItemIsSelectable, Qt::NoItemFlags);
        EXPECT_TRUE(QRect(0, 0, 1024, 768).contains(QRect(QPoint(0, 0), dialog->frameSize())));
        EXPECT_EQ(dialog->focusWidget(), filter); // the focus it has once active
        EXPECT_EQ(filter->accessibleName(), QStringLiteral("Filtern:"));
        EXPECT_FALSE(copy->isEnabled());

        // By the English name, in any case: the heading stays over what is left.
        QTest::keyClicks(filter, QStringLiteral("WELSH"));
        EXPECT_EQ(visibleRows(list), (QStringList{qs(german.Generated), QStringLiteral("Walisisch \u2014 Cymraeg")}));
        EXPECT_TRUE(copy->isEnabled());
        // A shipped name only: no heading.
        filter->setText(QStringLiteral("twel"));
        EXPECT_EQ(visibleRows(list), QStringList{"Twelve"});
        EXPECT_FALSE(copy->isEnabled());
        // By the own name, accents aside, then Enter loads the row left.
        filter->clear();
        QTest::keyClicks(filter, QStringLiteral("ede"));
        EXPECT_EQ(visibleRows(list).size(), 2);
        QTest::keyClick(filter, Qt::Key_Return);
    });
    form.commands().LanguageClick();
    EXPECT_TRUE(form.windowTitle().startsWith(QStringLiteral("Yoruba ")));
    ASSERT_EQ(form.keys().size(), 3);
    EXPECT_EQ(form.keys()[0]->character(), u"\u1eb9");
    EXPECT_TRUE(readSettings().contains("\"LastLanguage\"=\"[generated:yo]\""));

    // The next start brings it back, by its code, in the interface language of then.
    app.reset();
    writeSettings(settingsWith("\"ControlLanguage\"=\"Fran\xC3\xA7\x61is\"\r\n\"LastLanguage\"=\"[generated:cy]\"\r\n"));
    TMainForm &again = start().mainForm;
    app->show();
    EXPECT_TRUE(again.windowTitle().startsWith(QStringLiteral("gallois ")));
    EXPECT_EQ(again.keys().size(), 2);
    // In English the generated languages have another order: the dialog
    // opens on Welsh all the same, found by its key.
    again.commands().optionsChosen(OptionsChoice{PasteFormat::Unicode, 42, std::string("English")});
    whenModal([](QWidget *dialog) {
        auto *list = child<QListWidget>(dialog, "ListBox1");
        EXPECT_EQ(list->currentItem()->text(), QStringLiteral("Welsh \u2014 Cymraeg"));
        child<QPushButton>(dialog, "CancelBtn")->click();
    });
    again.commands().LanguageClick();
}

TEST_F(LanguageDialog, ADoubleClickLoadsAGeneratedRowAndCopyMakesItTheUsersOwn)
{
    TMainForm &form = start().mainForm;
    form.show();
    whenModal([&](QWidget *dialog) {
        auto *list = child<QListWidget>(dialog, "ListBox1");
        // In English the shipped French takes the generated one's name.
        EXPECT_EQ(list->count(), 6 + 1 + 2);
        QListWidgetItem *welsh = list->item(7);
        ASSERT_EQ(welsh->text(), QStringLiteral("Welsh \u2014 Cymraeg"));
        list->setCurrentItem(welsh);
        emit list->itemDoubleClicked(welsh);
    });
    form.commands().LanguageClick();
    EXPECT_TRUE(form.windowTitle().startsWith(QStringLiteral("Welsh ")));

    whenModal([&](QWidget *dialog) {
        auto *list = child<QListWidget>(dialog, "ListBox1");
        auto *copy = child<QPushButton>(dialog, "CopyToOwnButton");
        // The language shown is selected, and is copied.
        ASSERT_EQ(list->currentItem()->text(), QStringLiteral("Welsh \u2014 Cymraeg"));
        copy->click();
        // Welsh is now the user's own, listed before the heading, and selected.
        EXPECT_EQ(visibleRows(list), (QStringList{"Twelve", "French", "Big Font", "Bare", "Missing", "Broken", "Welsh",
                                                  qs(kLanguageDlgDefault.Generated),
                                                  QStringLiteral("Yoruba \u2014 \u00c8d\u00e8 Yor\u00f9b\u00e1")}));
        EXPECT_EQ(list->currentItem()->text(), QStringLiteral("Welsh"));
        EXPECT_FALSE(copy->isEnabled());
        child<QPushButton>(dialog, "CancelBtn")->click();
    });
    form.commands().LanguageClick();
    EXPECT_TRUE(ownLanguages().contains(QStringLiteral("Languages=Welsh")));
    EXPECT_TRUE(ownLanguages().contains(QStringLiteral("Welsh=\"DejaVu Sans\",12,8,373,372")));
    EXPECT_TRUE(readSettings().contains("\"LastLanguage\"=\"Welsh\""));
}

TEST_F(LanguageDialog, TheCommandLineNamesOneByCodeOrNameAndAShippedNameWins)
{
    start();
    EXPECT_EQ(app->check(languageRequest("yo")), QString());
    app->carryOut(languageRequest("yo"), false);
    EXPECT_TRUE(app->mainForm.windowTitle().startsWith(QStringLiteral("Yoruba ")));
    app->carryOut(languageRequest("walisisch"), false); // no German here: the English name only
    EXPECT_TRUE(app->mainForm.windowTitle().startsWith(QStringLiteral("Yoruba ")));
    app->carryOut(languageRequest("welsh"), false);
    EXPECT_TRUE(app->mainForm.windowTitle().startsWith(QStringLiteral("Welsh ")));
    app->carryOut(languageRequest("french"), false);
    EXPECT_EQ(app->mainForm.keys().size(), 7); // the shipped French
    EXPECT_TRUE(readSettings().contains("\"LastLanguage\"=\"French\""));
    // A name nothing has: the message of ever, which lists the shipped and own names only.
    EXPECT_EQ(app->check(languageRequest("Klingon")),
              QStringLiteral("Umbrill: there is no keyboard language 'Klingon'. The Language list holds: Twelve, "
                             "French, Big Font, Bare, Missing, Broken."));
}

} // namespace
} // namespace umbrill::test
