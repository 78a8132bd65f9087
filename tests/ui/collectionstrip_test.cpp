// The strip of Multiple Char's collection as the user meets it: shown and
// sized with the mode, its text, tooltip and name in step with the clipboard,
// Backspace and Ctrl+Backspace from a key, the click and the clear button;
// and the pad's colours on a dark desktop. What Backspace removes is the
// output engine's rule, tested there.
#include "uifixture.h"

#include "ui/windows/collectionstrip.h"
#include "ui/common/desktoppalette.h"
#include "ui/dialogs/tabout.h"

#include <QClipboard>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <QToolTip>

namespace umbrill::test {
namespace {

class CollectionStripTest : public UiFixture {
protected:
    TMainForm &startWithLanguage(int row)
    {
        TMainForm &form = start().mainForm;
        whenModal([row](QWidget *dialog) {
            dialog->findChild<QListWidget *>(QStringLiteral("ListBox1"))->setCurrentRow(row);
            dialog->findChild<QPushButton *>(QStringLiteral("OKBtn"))->click();
        });
        form.commands().LanguageClick();
        return form;
    }
    static QString clipboardText()
    {
        QCoreApplication::processEvents(); // the adapter empties the clipboard on the way back to the loop
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        return data && data->hasText() ? data->text() : QString();
    }
    static const CollectionStrip &strip(const TMainForm &form) { return *form.collectionStrip(); }
    // The strip shows what the clipboard holds, whole in its tooltip and name.
    static void expectInStep(const TMainForm &form, const QString &text)
    {
        EXPECT_EQ(strip(form).collection(), text);
        EXPECT_EQ(clipboardText(), text);
        if (!text.isEmpty()) {
            EXPECT_EQ(strip(form).toolTip(), text);
            EXPECT_EQ(strip(form).accessibleName(), text);
        }
    }
};

TEST_F(CollectionStripTest, ShowsInMultipleCharOnlyAndTheWindowGrowsByIt)
{
    TMainForm &form = startWithLanguage(1); // French: 7 keys, 6 per row
    form.show();
    const QSize single = form.size();
    EXPECT_TRUE(strip(form).isHidden());

    form.commands().MultipleCharClick();
    ASSERT_FALSE(strip(form).isHidden());
    const int stripHeight = strip(form).height();
    EXPECT_GT(stripHeight, 10);
    EXPECT_EQ(form.size(), QSize(single.width(), single.height() + stripHeight));
    EXPECT_EQ(strip(form).geometry().top(), form.keys()[6]->geometry().bottom() + 1);
    EXPECT_EQ(strip(form).width(), form.centralWidget()->width());
    EXPECT_EQ(strip(form).accessibleName(), "Nothing collected");

    // Another language keeps the strip, and it still sits below the keys.
    whenModal([](QWidget *dialog) {
        dialog->findChild<QListWidget *>(QStringLiteral("ListBox1"))->setCurrentRow(0);
        dialog->findChild<QPushButton *>(QStringLiteral("OKBtn"))->click();
    });
    form.commands().LanguageClick(); // Twelve: three rows
    EXPECT_EQ(strip(form).geometry().top(), form.keys()[11]->geometry().bottom() + 1);

    form.commands().SingleCharClick();
    EXPECT_TRUE(strip(form).isHidden());
    EXPECT_EQ(form.centralWidget()->height(), form.keys()[11]->geometry().bottom() + 1);

    // A remembered Multiple Char brings the strip back with the pad.
    form.commands().MultipleCharClick();
    app.reset();
    TMainForm &again = start().mainForm;
    again.restoreRemembered();
    EXPECT_FALSE(strip(again).isHidden());
    EXPECT_EQ(again.centralWidget()->height(), again.keys()[11]->geometry().bottom() + 1 + stripHeight);
}

TEST_F(CollectionStripTest, AGrownPadStillFitsItsScreen)
{
    // 255 keys of a large font in 17 rows: the key size is cut down so that the
    // grid fits the screen less the strip.
    QByteArray entry = "[Umbrill]\r\nLanguages=Many\r\nMany=\"DejaVu Sans\",40,15";
    for (int code = 0x100; code < 0x100 + 255; ++code)
        entry += "," + QByteArray::number(code);
    writeDataFile(entry + "\r\n");
    TMainForm &form = startWithLanguage(0);
    form.show();
    form.commands().MultipleCharClick();
    const QRect area = form.screen()->availableGeometry();
    EXPECT_TRUE(area.contains(form.frameGeometry())) << form.frameGeometry().height() << " in " << area.height();
    EXPECT_FALSE(strip(form).isHidden());
}

TEST_F(CollectionStripTest, KeysBackspaceClickAndClearKeepStripAndClipboardInStep)
{
    TMainForm &form = startWithLanguage(1); // French: à é è ù & fatha œ
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.commands().MultipleCharClick();
    for (const int k : {0, 1, 2, 6})
        form.keys()[k]->click();
    expectInStep(form, QString::fromUtf8("àéèœ"));

    // Tab goes through the keys, then to the strip.
    form.keys()[6]->setFocus();
    QTest::keyClick(form.keys()[6], Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), &strip(form));

    form.keys()[3]->setFocus();
    QTest::keyClick(form.keys()[3], Qt::Key_Backspace);
    expectInStep(form, QString::fromUtf8("àéè"));
    EXPECT_EQ(QApplication::focusWidget(), form.keys()[3]) << "Backspace leaves the focus on the key";

    // The strip has the focus: Backspace there too.
    form.keys()[6]->setFocus();
    QTest::keyClick(form.keys()[6], Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), &strip(form));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    expectInStep(form, QString::fromUtf8("àé"));

    // After Clear Clipboard a click on the strip, or Enter on it, places it again.
    form.commands().ClearClipboardClick();
    EXPECT_EQ(clipboardText(), QString());
    EXPECT_EQ(strip(form).collection(), QString::fromUtf8("àé"));
    QTest::mouseClick(const_cast<CollectionStrip *>(&strip(form)), Qt::LeftButton, {}, QPoint(5, 5));
    expectInStep(form, QString::fromUtf8("àé"));
    form.commands().ClearClipboardClick();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    expectInStep(form, QString::fromUtf8("àé"));

    // Ctrl+Backspace, and the clear button, empty collection and clipboard.
    QTest::keyClick(form.keys()[0], Qt::Key_Backspace, Qt::ControlModifier);
    expectInStep(form, QString());
    EXPECT_EQ(strip(form).accessibleName(), "Nothing collected");
    form.keys()[4]->click();
    expectInStep(form, QStringLiteral("&"));
    auto *clear = strip(form).findChild<QToolButton *>(QStringLiteral("ClearCollection"));
    ASSERT_NE(clear, nullptr);
    EXPECT_EQ(clear->accessibleName(), "Empty the collection (Ctrl+Backspace)");
    clear->click();
    expectInStep(form, QString());
    EXPECT_FALSE(clear->isEnabled());

    // In Single Char, Backspace changes nothing.
    form.commands().SingleCharClick();
    form.keys()[1]->click();
    QTest::keyClick(form.keys()[1], Qt::Key_Backspace);
    EXPECT_EQ(clipboardText(), QString::fromUtf8("é"));
}

TEST_F(CollectionStripTest, ALongCollectionIsElidedAtItsStart)
{
    TMainForm &form = startWithLanguage(0); // Twelve: A to L, 5 per row
    form.show();
    form.commands().MultipleCharClick();
    QString all;
    for (int round = 0; round < 6; ++round)
        for (KeyButton *key : std::as_const(form.keys())) {
            key->click();
            all += QString::fromStdU16String(key->character());
        }
    const QString shown = strip(form).shownText();
    EXPECT_TRUE(shown.startsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(all.endsWith(shown.mid(1))) << "the newest characters stay in view";
    EXPECT_LT(shown.size(), all.size());
    EXPECT_EQ(strip(form).toolTip(), all);
    EXPECT_EQ(strip(form).accessibleName(), all);
}

TEST_F(CollectionStripTest, TheStripSpeaksTheInterfaceLanguage)
{
    writeSettings(settingsWith("\"ControlLanguage\"=\"Deutsch\"\r\n"));
    TMainForm &form = startWithLanguage(1);
    form.commands().MultipleCharClick();
    EXPECT_EQ(strip(form).accessibleName(), QString::fromUtf8("Nichts gesammelt"));
    EXPECT_EQ(strip(form).findChild<QToolButton *>(QStringLiteral("ClearCollection"))->toolTip(),
              QString::fromUtf8("Sammlung leeren (Strg+Rücktaste)"));
}

// A dark desktop palette for the whole application, undone at the end.
class DarkDesktop : public CollectionStripTest {
protected:
    DarkDesktop() : m_light(QApplication::palette())
    {
        QPalette dark(QColor(0x35, 0x35, 0x35), QColor(0x24, 0x24, 0x24));
        for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            dark.setColor(group, QPalette::Base, QColor(0x2d, 0x2d, 0x2d));
            dark.setColor(group, QPalette::Text, QColor(0xee, 0xee, 0xec));
            dark.setColor(group, QPalette::WindowText, QColor(0xee, 0xee, 0xec));
            dark.setColor(group, QPalette::ButtonText, QColor(0xee, 0xee, 0xec));
            dark.setColor(group, QPalette::Link, QColor(0x8a, 0xb4, 0xf8));
            dark.setColor(group, QPalette::PlaceholderText, QColor(0x91, 0x91, 0x91));
        }
        QApplication::setPalette(dark);
    }
    ~DarkDesktop() override { QApplication::setPalette(m_light); }

    // At least the contrast of body text, or less for a placeholder's grey.
    static void expectLegible(const QWidget &widget, QPalette::ColorRole text, QPalette::ColorRole background,
                              const char *what, double least = 4.5)
    {
        const QPalette p = widget.palette();
        EXPECT_GE(contrastRatio(p.color(text), p.color(background)), least) << what;
        EXPECT_LT(p.color(background).lightness(), 100) << what << " stays light on a dark desktop";
    }

private:
    QPalette m_light;
};

TEST_F(DarkDesktop, ThePadAndItsDialogsFollowTheDesktop)
{
    TMainForm &form = startWithLanguage(1);
    form.commands().MultipleCharClick();
    expectLegible(form, QPalette::WindowText, QPalette::Window, "the window");
    expectLegible(*form.menuBar(), QPalette::WindowText, QPalette::Window, "the menu bar");
    expectLegible(*form.keys()[0], QPalette::ButtonText, QPalette::Button, "a key");
    expectLegible(strip(form), QPalette::Text, QPalette::Base, "the strip");
    expectLegible(*form.hint(), QPalette::WindowText, QPalette::Window, "the empty pad's hint", 3.0);
    // The desktop's theme left tooltips pale yellow: they turn dark with it.
    const QPalette tips = QToolTip::palette();
    EXPECT_GE(contrastRatio(tips.color(QPalette::ToolTipText), tips.color(QPalette::ToolTipBase)), 4.5);
    EXPECT_LT(tips.color(QPalette::ToolTipBase).lightness(), 100);
    // The About box's link is blue where blue reads, and the desktop's link colour here.
    TAbout &about = *form.commands().aboutBox();
    const QLabel *link = child<QLabel>(&about, "Label4");
    EXPECT_GE(contrastRatio(link->palette().color(QPalette::Link), about.palette().color(QPalette::Window)), 4.5);
}

TEST_F(CollectionStripTest, TheLightDesktopKeepsTheWhitePageAndBlueLink)
{
    QPalette light(QColor(0xef, 0xef, 0xef), QColor(0xef, 0xef, 0xef));
    light.setColor(QPalette::Base, Qt::white);
    light.setColor(QPalette::Text, Qt::black);
    light.setColor(QPalette::WindowText, Qt::black);
    const QPalette before = QApplication::palette();
    QApplication::setPalette(light);
    TMainForm &form = start().mainForm;
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(form.menuBar()->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_EQ(child<QLabel>(form.commands().aboutBox(), "Label4")->palette().color(QPalette::Link), QColor(Qt::blue));
    EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipBase), light.color(QPalette::ToolTipBase));
    // The desktop turns dark while the pad runs: the pad follows.
    QPalette dark = light;
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
    dark.setColor(QPalette::Link, QColor(0x8a, 0xb4, 0xf8));
    QApplication::setPalette(dark);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(0x20, 0x20, 0x20));
    EXPECT_EQ(form.menuBar()->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_NE(child<QLabel>(form.commands().aboutBox(), "Label4")->palette().color(QPalette::Link), QColor(Qt::blue));
    QApplication::setPalette(before);
}

} // namespace
} // namespace umbrill::test
