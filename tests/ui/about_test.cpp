// The About box: its texts in every interface language, the build line read
// from the running executable, the web link by mouse and keyboard, and closing.
#include "uifixture.h"

#include "core/interface/interfacestrings.h"
#include "ui/common/padmodel.h"
#include "ui/common/qtext.h"

#include <QLabel>
#include <QTextDocument>
#include <QPixmap>
#include <QPushButton>
#include <QTest>

namespace umbrill::test {
namespace {

QString textOf(QWidget *box, const char *name)
{
    if (auto *label = box->findChild<QLabel *>(QString::fromLatin1(name)))
        return label->text();
    if (auto *button = box->findChild<QPushButton *>(QString::fromLatin1(name)))
        return button->text();
    ADD_FAILURE() << "no control " << name;
    return {};
}

class About : public UiFixture {
protected:
    TAbout &startWith(const QByteArray &controlLanguage)
    {
        writeSettings(settingsWith("\"ControlLanguage\"=\"" + controlLanguage + "\"\r\n"));
        return start().about();
    }
};

#ifdef UMBRILL_EXPECTED_FILE_VERSION
TEST_F(About, TheBuildLineCarriesTheExecutablesFileVersion)
{
    TAbout &box = startWith("English");
    EXPECT_EQ(textOf(&box, "Label3"), "Build " UMBRILL_EXPECTED_FILE_VERSION);
    box.SetGerman();
    EXPECT_EQ(textOf(&box, "Label3"), "Bau Nr. " UMBRILL_EXPECTED_FILE_VERSION);
}
#endif

TEST_F(About, ShowsTheProgramAndItsLinkInAFixedBox)
{
    TAbout &box = startWith("English");
    EXPECT_EQ(box.windowTitle(), "Umbrill About");
    EXPECT_EQ(box.size(), QSize(192, 287));
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
    EXPECT_EQ(textOf(&box, "StaticText1"), "Umbrill V4.1");
    EXPECT_EQ(textOf(&box, "Label5"), "Unicode enabled");
    EXPECT_EQ(textOf(&box, "Button1"), "Ok");
    auto *link = child<QLabel>(&box, "Label4");
    QTextDocument shown;
    shown.setHtml(link->text());
    EXPECT_EQ(shown.toPlainText(), qs(kProductWebAddress));
    EXPECT_EQ(link->palette().color(QPalette::Link), QColor(Qt::blue));
    EXPECT_EQ(child<QPushButton>(&box, "Button1")->geometry(), QRect(59, 250, 75, 25));

    // Every control lies within the box and shows its whole text.
    for (const char *name : {"StaticText1", "Label3", "Label5", "Label4"}) {
        SCOPED_TRACE(name);
        auto *label = child<QLabel>(&box, name);
        EXPECT_TRUE(QRect(QPoint(0, 0), box.size()).contains(label->geometry()));
        EXPECT_GE(label->width(), label->sizeHint().width());
    }
    EXPECT_LE(child<QLabel>(&box, "StaticText1")->geometry().right(), child<QLabel>(&box, "Label3")->x());
}

TEST_F(About, AStoredLanguageThatMatchesNothingLeavesTheDefaultTexts)
{
    TAbout &box = startWith("english");
    EXPECT_EQ(textOf(&box, "Label3"), "Build x.x.x.x");
    EXPECT_EQ(textOf(&box, "Button1"), "Ok");
    EXPECT_EQ(textOf(&box, "Label5"), "Unicode data");
}

TEST_F(About, EachStringSetGivesThePrefixTheButtonAndTheNote)
{
    TAbout &box = startWith("English");
    const QString version = qs(box.VersionInfoResource1.FileVersion());
    for (const InterfaceTexts &language : interfaceLanguages()) {
        SCOPED_TRACE(std::string(language.Name));
        app->mainForm.commands().applyInterfaceLanguageToAll(std::string(language.Name));
        EXPECT_EQ(textOf(&box, "Label3"), qs(language.About.BuildPrefix) + version);
        EXPECT_EQ(textOf(&box, "Button1"), qs(language.About.Button1));
        EXPECT_EQ(textOf(&box, "Label5"), "Unicode enabled");
        EXPECT_EQ(textOf(&box, "StaticText1"), "Umbrill V4.1");
        EXPECT_EQ(box.windowTitle(), "Umbrill About");
    }

    // Without Unicode the note takes three lines, each shown as a line of the label.
    app->mainForm.model().setUnicodeEnabled(false);
    app->mainForm.commands().applyInterfaceLanguageToAll("Espa\xC3\xB1ol");
    EXPECT_EQ(textOf(&box, "Label5"), "Not Unicode enabled\nSome characters may not\nwork correctly");
}

TEST_F(About, AFileWithoutVersionInformationLeavesThePrefixAlone)
{
    TAbout &box = startWith("English");
    box.VersionInfoResource1.setFilename(dataFile().toStdString());
    box.SetEnglish();
    EXPECT_EQ(textOf(&box, "Label3"), "Build ");
    box.SetFrench();
    EXPECT_EQ(textOf(&box, "Label3"), "Version ");
}

TEST_F(About, TheLinkOpensByMouseAndByKeyboard)
{
    QStringList opened;
    overrideShellOpen([&opened](const QUrl &address) {
        opened << address.toString();
        return true;
    });
    TAbout &box = startWith("English");
    box.show();
    box.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    auto *link = child<QLabel>(&box, "Label4");
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(opened, QStringList({qs(kProductWebAddress)}));

    // Tab from the button reaches the label, Tab again its link (Qt's way with
    // links in a label); Enter opens it, other keys do not.
    child<QPushButton>(&box, "Button1")->setFocus();
    QTest::keyClick(box.focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(box.focusWidget(), link);
    QTest::keyClick(link, Qt::Key_Tab);
    ASSERT_EQ(box.focusWidget(), link);
    QTest::keyClick(link, Qt::Key_A);
    QTest::keyClick(link, Qt::Key_Return);
    EXPECT_EQ(opened.size(), 2);
    EXPECT_EQ(opened.last(), qs(kProductWebAddress));
    box.hide();
    overrideShellOpen({});
}

TEST_F(About, OkHidesTheBoxWhichShowsTheProgramsIcon)
{
    QPixmap icon(48, 48);
    icon.fill(Qt::darkGreen);
    QApplication::setWindowIcon(QIcon(icon));
    TAbout &box = startWith("English");
    auto shown = std::make_shared<QSize>();
    whenModal([shown](QWidget *modal) {
        *shown = child<QLabel>(modal, "Image1")->pixmap().size();
        child<QPushButton>(modal, "Button1")->click();
    });
    app->mainForm.commands().AboutMenuItemClick();
    QApplication::setWindowIcon(QIcon());
    EXPECT_EQ(*shown, QSize(32, 32));
    EXPECT_FALSE(box.isVisible());

    // Shown again unchanged; Escape closes it too.
    whenModal([](QWidget *modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    app->mainForm.commands().AboutMenuItemClick();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(textOf(&box, "Button1"), "Ok");
}

} // namespace
} // namespace umbrill::test
