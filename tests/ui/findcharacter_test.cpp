// Keys that explain themselves (tooltip, screen-reader name, visible faces of
// invisible characters) and the Find Character window, as a user meets them.
// The rules behind them (names, faces, ranking) are tested in the core.
#include "uifixture.h"

#include "ui/windows/tmainform.h"
#include "ui/dialogs/findcharacterwindow.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

namespace umbrill::test {
namespace {

// No-break space, narrow no-break space, thin space, combining acute, é, &,
// the fatha, em dash.
constexpr const char *kInvisibleData =
    "[Umbrill]\r\nLanguages=Invisible\r\nInvisible=\"DejaVu Sans\",12,4,160,8239,8201,769,233,38,1614,8212\r\n";

class FindCharacter : public UiFixture {
protected:
    TMainForm &startWith(const QByteArray &controlLanguage)
    {
        writeDataFile(kInvisibleData);
        writeSettings(settingsWith("\"ControlLanguage\"=\"" + controlLanguage + "\"\r\n\"PasteFormat\"=\"unicode\"\r\n"));
        TMainForm &form = start().mainForm;
        form.confirmLanguage(0, std::string("Invisible"));
        return form;
    }
    static QString clipboardText() { return QGuiApplication::clipboard()->text(); }
};

TEST_F(FindCharacter, KeysTellTheirNameAndCodeAndStillOutputTheBareCharacter)
{
    TMainForm &form = startWith("English");
    ASSERT_EQ(form.keys().size(), 8);
    for (KeyButton *key : std::as_const(form.keys())) {
        SCOPED_TRACE(key->objectName().toStdString());
        QAccessibleInterface *access = QAccessible::queryAccessibleInterface(key);
        ASSERT_NE(access, nullptr);
        EXPECT_EQ(access->role(), QAccessible::Button);
        const QString name = access->text(QAccessible::Name);
        EXPECT_GT(name.size(), 3);
        EXPECT_NE(name.trimmed(), key->text().trimmed());
        EXPECT_TRUE(access->text(QAccessible::Description).startsWith("U+"));
    }
    QAccessibleInterface *nbsp = QAccessible::queryAccessibleInterface(form.keys()[0]);
    EXPECT_EQ(nbsp->text(QAccessible::Name), "NO-BREAK SPACE");
    EXPECT_EQ(nbsp->text(QAccessible::Description), "U+00A0");

    // The tooltip is made when asked for.
    KeyButton *eAcute = form.keys()[4];
    EXPECT_TRUE(eAcute->toolTip().isEmpty());
    QHelpEvent ask(QEvent::ToolTip, QPoint(2, 2), eAcute->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(eAcute, &ask);
    const QString tip = eAcute->toolTip();
    EXPECT_TRUE(tip.contains("LATIN SMALL LETTER E WITH ACUTE")) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QString::fromUtf8("U+00E9 · 233"))) << tip.toStdString();
    EXPECT_TRUE(tip.contains("&amp;eacute;")) << tip.toStdString();
    EXPECT_TRUE(tip.contains("DejaVu Sans")) << tip.toStdString();

    // The no-break space shows a label, yet its caption and output stay the character.
    EXPECT_EQ(form.keys()[0]->text(), QString::fromUtf16(u"\u00A0"));
    KeyButton blank(U' ', &form);
    blank.setFont(form.keys()[0]->font());
    blank.resize(form.keys()[0]->size());
    EXPECT_NE(form.keys()[0]->grab().toImage(), blank.grab().toImage()) << "the label is not painted";
    EXPECT_EQ(form.keys()[6]->text(), QString::fromUtf16(u" \u064E "));
    for (int k : {0, 3, 6}) {
        form.keys()[k]->click();
        EXPECT_EQ(clipboardText(), QString::fromStdU16String(form.keys()[k]->character()));
    }
    EXPECT_EQ(clipboardText(), QString::fromUtf16(u"\u064E"));
}

TEST_F(FindCharacter, CtrlFFindsByNameAndEnterOutputsTheFirstLikeAKey)
{
    TMainForm &form = startWith("Français");
    EXPECT_EQ(form.findChild<QAction *>("FindCharacter")->text(), QString::fromUtf8("&Rechercher un caractère"));
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_F, Qt::ControlModifier);
    FindCharacterWindow *find = form.findWindow();
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(find->isVisible());
    EXPECT_EQ(find->windowTitle(), QString::fromUtf8("Rechercher un caractère"));
    EXPECT_TRUE(find->windowFlags() & Qt::WindowStaysOnTopHint);

    QTest::keyClicks(find->searchField(), "s comma below");
    ASSERT_FALSE(find->results().isEmpty());
    EXPECT_EQ(find->results().front()->character(), u"\u0219");
    EXPECT_EQ(find->results().front()->font().family(), "DejaVu Sans");  // the pad's key font
    QTest::keyClick(find->searchField(), Qt::Key_Return);
    EXPECT_EQ(clipboardText(), QString::fromUtf16(u"\u0219"));

    // A click on a result outputs as a key does, in the current mode.
    form.MultipleCharClick();
    find->searchField()->setText("U+20AC");
    ASSERT_EQ(find->results().size(), 1);
    find->results().front()->click();
    find->results().front()->click();
    EXPECT_EQ(clipboardText(), QString::fromUtf16(u"\u20AC\u20AC"));

    // A page pasted in finds nothing and says so.
    find->searchField()->setText(QString(10000, QLatin1Char('x')));
    EXPECT_TRUE(find->results().isEmpty());
    EXPECT_TRUE(find->findChild<QLabel *>("NothingFound")->isVisibleTo(find));

    // Escape closes; the size comes back next time.
    find->resize(510, 290);
    QTest::keyClick(find->searchField(), Qt::Key_Escape);
    EXPECT_FALSE(find->isVisible());
    app.reset();
    TMainForm &again = start().mainForm;
    again.FindCharacterClick();
    ASSERT_NE(again.findWindow(), nullptr);
    EXPECT_EQ(again.findWindow()->size(), QSize(510, 290));
}

// Down or Tab from the field reach the first result, whichever result had the
// focus before; the results are steered as the pad's keys are.
TEST_F(FindCharacter, TheKeyboardGoesFromTheFieldToTheResultsAndAmongThem)
{
    TMainForm &form = startWith("English");
    form.show();
    form.FindCharacterClick();
    FindCharacterWindow *find = form.findWindow();
    ASSERT_NE(find, nullptr);
    find->resize(5 * 42 + 60, 320);
    find->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(find));
    QTest::keyClicks(find->searchField(), "arrow");
    const QList<KeyButton *> &results = find->results();
    ASSERT_GT(results.size(), 12);
    // The results per row, as laid out.
    int perRow = 1;
    while (perRow < results.size() && results[perRow]->y() == results[0]->y())
        ++perRow;
    ASSERT_GT(perRow, 2);
    const auto focused = [&]() -> QString {
        QWidget *widget = QApplication::focusWidget();
        return widget ? widget->objectName() : QStringLiteral("<none>");
    };
    const auto result = [](int k) { return QStringLiteral("Result%1").arg(k); };

    QTest::keyClick(find->searchField(), Qt::Key_Down);
    EXPECT_EQ(focused(), result(1));
    struct Step { Qt::Key key; QString focused; };
    const Step steps[] = {{Qt::Key_Right, result(2)},        {Qt::Key_End, result(perRow)},
                          {Qt::Key_Down, result(2 * perRow)}, {Qt::Key_Home, result(perRow + 1)},
                          {Qt::Key_Up, result(1)},            {Qt::Key_Up, QStringLiteral("FindField")}};
    for (const Step &step : steps) {
        SCOPED_TRACE(testing::Message() << "key 0x" << std::hex << step.key);
        QTest::keyClick(QApplication::focusWidget(), step.key);
        EXPECT_EQ(focused(), step.focused);
    }

    // Tab from the field: the first result, not the one last focused.
    results[2]->setFocus(Qt::MouseFocusReason);
    find->searchField()->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(find->searchField(), Qt::Key_Tab);
    EXPECT_EQ(focused(), result(1));
    // Enter on a focused result outputs it.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    const QString second = QString::fromStdU16String(results[1]->character());
    EXPECT_TRUE(QTest::qWaitFor([&] { return clipboardText() == second; }, 5000)) << clipboardText().toStdString();
}

TEST_F(FindCharacter, ScreenReadersHearAWindowAndANamedClearButton)
{
    TMainForm &form = startWith("Français");
    form.FindCharacterClick();
    FindCharacterWindow *find = form.findWindow();
    ASSERT_NE(find, nullptr);
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(find);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), QString::fromUtf8("Rechercher un caractère"));
    const QList<QToolButton *> clear = find->searchField()->findChildren<QToolButton *>();
    ASSERT_EQ(clear.size(), 1);
    QAccessibleInterface *button = QAccessible::queryAccessibleInterface(clear.front());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(QAccessible::Name), QString::fromUtf8("Effacer la recherche"));
    form.applyInterfaceLanguageToAll("English");
    EXPECT_EQ(button->text(QAccessible::Name), "Clear search");
}

// What a key tells a user and a screen reader.
QStringList describe(KeyButton *key)
{
    QHelpEvent ask(QEvent::ToolTip, QPoint(2, 2), key->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(key, &ask);
    QAccessibleInterface *access = QAccessible::queryAccessibleInterface(key);
    return {key->text(), key->toolTip(), access->text(QAccessible::Name), access->text(QAccessible::Description),
            key->font().family(), QString::number(key->width())};
}

// Keys are made for the rows that show; one made later, as the list scrolls
// or the keyboard reaches it, is the key it would have been made at once.
TEST_F(FindCharacter, ResultKeysComeAsTheyShowAndAreTheSameWhenTheyCome)
{
    TMainForm &form = startWith("English");
    form.show();
    form.FindCharacterClick();
    FindCharacterWindow *find = form.findWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(find));
    QLineEdit *field = find->searchField();
    field->setText("e");
    ASSERT_EQ(find->resultCount(), 300);
    // Ten keys fill the width exactly, and the scroll bar leaves room for nine.
    auto *scroll = find->findChild<QScrollArea *>("FindResults");
    const int keyWidth = find->results().first()->width();
    field->clear();
    find->resize(find->width() + 10 * keyWidth - scroll->maximumViewportSize().width(), find->height());
    QApplication::processEvents();
    field->setText("e");
    const qsizetype shown = find->results().size();
    EXPECT_GT(shown, 0);
    EXPECT_LT(shown, 300);
    const QRect view(QPoint(0, 0), scroll->viewport()->size());
    EXPECT_TRUE(view.intersects(find->results().last()->geometry()));
    // The rows fill the width left beside the scroll bar, and all of it without one.
    auto rowsFill = [&] {
        const QList<KeyButton *> keys = find->results();
        qsizetype perRow = 1;
        while (perRow < keys.size() && keys[perRow]->y() == keys[0]->y())
            ++perRow;
        return perRow == scroll->viewport()->width() / keyWidth;
    };
    QApplication::processEvents();  // the scroll bar comes with the next events
    EXPECT_TRUE(scroll->verticalScrollBar()->isVisible());
    EXPECT_TRUE(rowsFill());

    // Keyboard: Tab from the last key made reaches the next result.
    find->results().last()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("Result%1").arg(shown + 1));
    // Shift+Tab from the search field goes round to the last result of all.
    field->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(field, Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("Result300"));

    // Scrolled to the end: every key, each as a key made for its character at once.
    scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
    ASSERT_EQ(find->results().size(), 300);
    for (qsizetype k : {qsizetype(0), shown, qsizetype(299)}) {
        SCOPED_TRACE(k);
        KeyButton *key = find->results()[k];
        EXPECT_EQ(key->objectName(), QStringLiteral("Result%1").arg(k + 1));
        KeyButton atOnce(key->codePoint(), key->parentWidget());
        atOnce.setFont(key->font());
        atOnce.resize(key->size());
        EXPECT_EQ(describe(key), describe(&atOnce));
    }
    // Fewer results: the scroll bar goes and the rows fill the whole width.
    field->setText("cedilla");
    QApplication::processEvents();
    EXPECT_FALSE(scroll->verticalScrollBar()->isVisible());
    EXPECT_TRUE(rowsFill());
    // A new search takes the keys it needs again; Enter still outputs the first.
    field->setText("euro sign");
    ASSERT_GE(find->resultCount(), 1);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(clipboardText(), QString::fromUtf16(u"\u20AC"));
}

// The window searches with the interface language's words first, and follows
// a change of it while open.
TEST_F(FindCharacter, SearchesInTheInterfaceLanguage)
{
    TMainForm &form = startWith("Deutsch");
    form.FindCharacterClick();
    FindCharacterWindow *find = form.findWindow();
    ASSERT_NE(find, nullptr);
    find->searchField()->setText("Grad");
    ASSERT_FALSE(find->results().isEmpty());
    EXPECT_EQ(find->results().front()->character(), u"\u00B0");  // DEGREE SIGN, "Grad" in German
    form.SetEnglish();
    ASSERT_FALSE(find->results().isEmpty());
    EXPECT_EQ(find->results().front()->character(), u"\u2207");  // NABLA, "grad" in English
}

} // namespace
} // namespace umbrill::test
