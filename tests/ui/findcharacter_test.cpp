// Keys that explain themselves (tooltip, screen-reader name, visible faces of
// invisible characters) and the Find Character window, as a user meets them.
// The rules behind them (names, faces, ranking) are tested in the core.
#include "uifixture.h"

#include "ui/windows/tmainform.h"
#include "ui/dialogs/findcharacterwindow.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QDrag>
#include <QMimeData>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QTimer>
#include <QToolTip>

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
        form.commands().confirmLanguage(0, std::string("Invisible"));
        return form;
    }
    // The pad shown in English with Find open and active; null when Find
    // did not open or never became the active window.
    FindCharacterWindow *findOpened()
    {
        TMainForm &form = startWith("English");
        form.show();
        form.commands().FindCharacterClick();
        FindCharacterWindow *find = form.commands().findWindow();
        return find && QTest::qWaitForWindowActive(find) ? find : nullptr;
    }
    static QString clipboardText() { return QGuiApplication::clipboard()->text(); }
    // Result k (0 for the best) as Find shows it.
    static QString resultText(FindCharacterWindow *find, int k) { return QString::fromStdU16String(find->results().text(k)); }
    static QRect resultRect(FindCharacterWindow *find, int k)
    {
        return find->resultView()->visualRect(find->results().index(k));
    }
    static void clickResult(FindCharacterWindow *find, int k, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(find->resultView()->viewport(), button, {}, resultRect(find, k).center());
    }
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
    FindCharacterWindow *find = form.commands().findWindow();
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(find->isVisible());
    EXPECT_EQ(find->windowTitle(), QString::fromUtf8("Rechercher un caractère"));
    EXPECT_TRUE(find->windowFlags() & Qt::WindowStaysOnTopHint);

    QTest::keyClicks(find->searchField(), "s comma below");
    ASSERT_GT(find->results().size(), 0);
    EXPECT_EQ(find->results().text(0), u"\u0219");
    EXPECT_EQ(find->results().index(0).data(Qt::FontRole).value<QFont>().family(), "DejaVu Sans");  // the pad's key font
    QTest::keyClick(find->searchField(), Qt::Key_Return);
    EXPECT_EQ(clipboardText(), QString::fromUtf16(u"\u0219"));

    // A click on a result outputs as a key does, in the current mode.
    form.commands().MultipleCharClick();
    find->searchField()->setText("U+20AC");
    ASSERT_EQ(find->results().size(), 1);
    clickResult(find, 0);
    clickResult(find, 0);
    EXPECT_EQ(clipboardText(), QString::fromUtf16(u"\u20AC\u20AC"));

    // A page pasted in finds nothing and says so.
    find->searchField()->setText(QString(10000, QLatin1Char('x')));
    EXPECT_EQ(find->results().size(), 0);
    EXPECT_TRUE(find->findChild<QLabel *>("NothingFound")->isVisibleTo(find));

    // Escape closes; the size comes back next time.
    find->resize(510, 290);
    QTest::keyClick(find->searchField(), Qt::Key_Escape);
    EXPECT_FALSE(find->isVisible());
    app.reset();
    TMainForm &again = start().mainForm;
    again.commands().FindCharacterClick();
    ASSERT_NE(again.commands().findWindow(), nullptr);
    EXPECT_EQ(again.commands().findWindow()->size(), QSize(510, 290));
}

// Down or Tab from the field reach the first result, whichever result had the
// focus before; the results are steered as the pad's keys are.
TEST_F(FindCharacter, TheKeyboardGoesFromTheFieldToTheResultsAndAmongThem)
{
    TMainForm &form = startWith("English");
    form.show();
    form.commands().FindCharacterClick();
    FindCharacterWindow *find = form.commands().findWindow();
    ASSERT_NE(find, nullptr);
    find->resize(5 * 42 + 60, 320);
    find->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(find));
    QTest::keyClicks(find->searchField(), "arrow");
    ASSERT_GT(find->results().size(), 12);
    // The results per row, as laid out.
    int perRow = 1;
    while (perRow < find->results().size() && resultRect(find, perRow).y() == resultRect(find, 0).y())
        ++perRow;
    ASSERT_GT(perRow, 2);
    KeyView *view = find->resultView();
    // The focused result as ResultN (1 for the first), or the focused widget's name.
    const auto focused = [&]() -> QString {
        QWidget *widget = QApplication::focusWidget();
        if (widget == view)
            return QStringLiteral("Result%1").arg(view->currentIndex().row() + 1);
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
    view->setCurrentIndex(find->results().index(2));
    find->searchField()->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(find->searchField(), Qt::Key_Tab);
    EXPECT_EQ(focused(), result(1));
    // Enter on a focused result outputs it.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    const QString second = resultText(find, 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return clipboardText() == second; }, 5000)) << clipboardText().toStdString();
}

TEST_F(FindCharacter, ScreenReadersHearAWindowAndANamedClearButton)
{
    TMainForm &form = startWith("Français");
    form.commands().FindCharacterClick();
    FindCharacterWindow *find = form.commands().findWindow();
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
    form.commands().applyInterfaceLanguageToAll("English");
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

// What result k tells a user and a screen reader, in describe's order.
QStringList describe(FindCharacterWindow *find, int k)
{
    KeyView *view = find->resultView();
    const QModelIndex index = find->results().index(k);
    const QRect rect = view->visualRect(index);
    const QPoint at = rect.topLeft() + QPoint(2, 2);
    QHelpEvent ask(QEvent::ToolTip, at, view->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view->viewport(), &ask);
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(view);
    QAccessibleInterface *cell = list ? list->child(k) : nullptr;
    const QString tip = QToolTip::isVisible() ? QToolTip::text() : QString();
    QToolTip::hideText();
    return {index.data().toString().replace(QLatin1Char('&'), QStringLiteral("&&")), tip,
            cell ? cell->text(QAccessible::Name) : QString(), cell ? cell->text(QAccessible::Description) : QString(),
            index.data(Qt::FontRole).value<QFont>().family(), QString::number(rect.width())};
}

// Result k as the view shows it, and a key on the window's colour, as the pad shows it.
QImage shown(KeyView *view, int k)
{
    return view->viewport()->grab(view->visualRect(view->model()->index(k, 0))).toImage().convertToFormat(QImage::Format_RGB32);
}
QImage onWindowColour(KeyButton &key)
{
    QPixmap picture(key.size());
    picture.fill(key.palette().color(QPalette::Window));
    key.render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
    return picture.toImage().convertToFormat(QImage::Format_RGB32);
}

// Each result is a key of the pad in all but being a widget: painted the
// same, with the same tooltip and the same screen-reader name and code; the
// rows fill the width beside the scroll bar, and all of it without one.
TEST_F(FindCharacter, ResultsShowAndTellAsPadKeys)
{
    FindCharacterWindow *find = findOpened();
    ASSERT_NE(find, nullptr);
    QLineEdit *field = find->searchField();
    KeyView *view = find->resultView();
    field->setText("e");
    ASSERT_EQ(find->results().size(), 300);
    const int keyWidth = resultRect(find, 0).width();
    auto rowsFill = [&] {
        int perRow = 1;
        while (perRow < find->results().size() && resultRect(find, perRow).y() == resultRect(find, 0).y())
            ++perRow;
        return perRow == view->viewport()->width() / keyWidth && perRow == view->keysPerRow();
    };
    QApplication::processEvents();
    EXPECT_TRUE(view->verticalScrollBar()->isVisible());
    EXPECT_TRUE(rowsFill());

    // Scrolled to the end: each result as a key made for its character.
    view->scrollToBottom();
    QApplication::processEvents();
    for (int k : {0, 1, 299}) {
        SCOPED_TRACE(k);
        view->scrollTo(find->results().index(k));
        QApplication::processEvents();
        KeyButton key(find->results().at(k), view->viewport());
        key.setFont(find->results().index(k).data(Qt::FontRole).value<QFont>());
        key.setGeometry(resultRect(find, k));
        EXPECT_EQ(describe(find, k), describe(&key));
        key.hide();
        EXPECT_EQ(shown(view, k), onWindowColour(key)) << "result " << k << " is not painted as a key";
    }
    // A face for a character that shows nothing, as on the pad.
    field->setText("U+00A0");
    ASSERT_EQ(find->results().size(), 1);
    KeyButton blank(U' ', view->viewport());
    blank.setFont(find->results().index(0).data(Qt::FontRole).value<QFont>());
    blank.setGeometry(resultRect(find, 0));
    blank.hide();
    QApplication::processEvents();
    EXPECT_NE(shown(view, 0), onWindowColour(blank)) << "no label painted";

    // Fewer results: the scroll bar goes and the rows fill the whole width.
    field->setText("cedilla");
    QApplication::processEvents();
    EXPECT_FALSE(view->verticalScrollBar()->isVisible());
    EXPECT_TRUE(rowsFill());
    // A new search shows its results; Enter still outputs the first.
    field->setText("euro sign");
    ASSERT_GE(find->results().size(), 1);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(clipboardText(), QString::fromUtf16(u"\u20AC"));

    // A right click asks for the result's menu; it outputs nothing.
    QSignalSpy menus(find, &FindCharacterWindow::keyMenuRequested);
    QString menuShown;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&menuShown] {
        if (QWidget *menu = QApplication::activePopupWidget()) {
            menuShown = menu->objectName();
            menu->close();
        }
    });
    closer.start(5);
    QGuiApplication::clipboard()->setText("before");
    QContextMenuEvent ask(QContextMenuEvent::Mouse, resultRect(find, 0).center(),
                          view->viewport()->mapToGlobal(resultRect(find, 0).center()));
    QApplication::sendEvent(view->viewport(), &ask);
    ASSERT_EQ(menus.size(), 1);
    EXPECT_EQ(menus[0][0].value<std::u16string>(), u"\u20AC");
    EXPECT_EQ(menuShown, "KeyMenu");
    EXPECT_EQ(clipboardText(), "before");
}

// The view keeps its keys painted: a change of key font, key size, palette or
// press shows at once, each time as a pad key of that look, and a key painted
// anew is the key it kept.
TEST_F(FindCharacter, AKeptResultShowsEveryChangeOfItsLook)
{
    FindCharacterWindow *find = findOpened();
    ASSERT_NE(find, nullptr);
    KeyView *view = find->resultView();
    find->searchField()->setText("e acute");
    ASSERT_GT(find->results().size(), 0);
    QApplication::processEvents();
    // Result 0 against a key of its character in the view's font and palette.
    const auto asKey = [&] {
        KeyButton key(find->results().at(0), view->viewport());
        key.setFont(find->results().keyFont());
        key.setGeometry(resultRect(find, 0));
        key.hide();
        return onWindowColour(key);
    };
    const QImage first = shown(view, 0);
    EXPECT_EQ(first, asKey());

    find->setKeyFont(QFont("DejaVu Serif", 20), 42);
    QApplication::processEvents();
    const QImage serif = shown(view, 0);
    EXPECT_NE(serif, first) << "the old font still shows";
    EXPECT_EQ(serif, asKey());

    find->setKeyFont(QFont("DejaVu Serif", 20), 56);
    QApplication::processEvents();
    EXPECT_EQ(resultRect(find, 0).size(), QSize(56, 56));
    EXPECT_EQ(shown(view, 0), asKey());

    QPalette red = view->palette();
    red.setColor(QPalette::Button, Qt::red);
    red.setColor(QPalette::Window, Qt::darkRed);
    view->setPalette(red);
    QApplication::processEvents();
    const QImage reddened = shown(view, 0);
    EXPECT_EQ(reddened, asKey());
    EXPECT_EQ(reddened.pixelColor(0, 0), QColor(Qt::darkRed)) << "the corner keeps the old background";

    // Pressed, it is painted sunken; released, as before.
    const QPoint centre = resultRect(find, 0).center();
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, centre);
    EXPECT_NE(shown(view, 0), reddened);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, centre);
    EXPECT_EQ(shown(view, 0), reddened);

    view->forgetPaintedKeys();
    EXPECT_EQ(shown(view, 0), reddened);
}

// A letter more that finds the same characters changes nothing on screen:
// the results stay scrolled where they were, with the same key focused. Other
// results show from their first row, the best found.
TEST_F(FindCharacter, TheSameResultsStayWhereTheyWereOthersShowFromTheTop)
{
    FindCharacterWindow *find = findOpened();
    ASSERT_NE(find, nullptr);
    KeyView *view = find->resultView();
    QSignalSpy resets(&find->results(), &QAbstractItemModel::modelReset);
    find->searchField()->setText("e acut");
    const std::u16string before = find->results().text(0);
    ASSERT_GT(find->results().size(), 90);
    QApplication::processEvents();
    view->focusKey(90);
    const int scrolled = view->verticalScrollBar()->value();
    ASSERT_GT(scrolled, 0);
    ASSERT_EQ(resets.size(), 1);

    find->searchField()->setText("e acute");
    QApplication::processEvents();
    EXPECT_EQ(find->results().text(0), before);
    EXPECT_EQ(resets.size(), 1) << "the same results were shown anew";
    EXPECT_EQ(view->verticalScrollBar()->value(), scrolled);
    EXPECT_EQ(view->currentIndex().row(), 90);

    // Other results are shown from the top, with no key focused.
    find->searchField()->setText("e grave");
    QApplication::processEvents();
    EXPECT_EQ(resets.size(), 2);
    EXPECT_EQ(view->verticalScrollBar()->value(), 0);
    EXPECT_FALSE(view->currentIndex().isValid());
}

// What a drag pressed at from on target carries: each format of its data with
// its bytes (none when no drag started). The press moves past the start
// distance and is released there, as a drop ends it.
QMap<QString, QByteArray> dragOut(QWidget *target, QPoint from)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the drags before this one
    const auto send = [target](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, target->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    };
    const QPoint to = from + QPoint(3 * QApplication::startDragDistance(), 0);
    send(QEvent::MouseButtonPress, from, Qt::LeftButton);
    send(QEvent::MouseMove, from + QPoint(1, 0), Qt::LeftButton);
    send(QEvent::MouseMove, to, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::NoButton);
    QMap<QString, QByteArray> formats;
    for (QDrag *drag : target->window()->findChildren<QDrag *>())
        for (const QString &format : drag->mimeData()->formats())
            formats[format] = drag->mimeData()->data(format);
    return formats;
}

// A key of the pad or a result of Find dragged out carries its character as
// text and as rich text in the key font (the Unicode format); the drag is no
// click: the clipboard, Recent and the collection stay as they were.
TEST_F(FindCharacter, ADraggedKeyOrResultCarriesItsCharacterAndOutputsNothing)
{
    TMainForm &form = startWith("English");
    form.show();
    QGuiApplication::clipboard()->setText("before");
    KeyButton *eAcute = form.keys()[4];
    QMap<QString, QByteArray> dragged = dragOut(eAcute, QPoint(5, 5));
    EXPECT_EQ(QString::fromUtf8(dragged.value("text/plain;charset=utf-8")), QString::fromUtf8("é"));
    EXPECT_TRUE(dragged.value("text/html").contains("DejaVu Sans")) << dragged.value("text/html").toStdString();
    EXPECT_TRUE(dragged.contains("text/rtf"));
    EXPECT_FALSE(eAcute->isDown());
    EXPECT_EQ(clipboardText(), "before");
    EXPECT_FALSE(std::as_const(form).state().recentUnsaved()) << "the drag went into Recent";

    // In Multiple Char, from Find: the collection stays.
    form.commands().MultipleCharClick();
    form.keys()[7]->click();
    const std::u16string collected = std::as_const(form).state().collection();
    ASSERT_EQ(collected, u"\u2014");
    form.commands().FindCharacterClick();
    FindCharacterWindow *find = form.commands().findWindow();
    find->searchField()->setText("euro sign");
    ASSERT_GE(find->results().size(), 1);
    QApplication::processEvents();
    dragged = dragOut(find->resultView()->viewport(), resultRect(find, 0).center());
    EXPECT_EQ(QString::fromUtf8(dragged.value("text/plain;charset=utf-8")), QString::fromUtf8("€"));
    EXPECT_TRUE(dragged.contains("text/html"));
    EXPECT_EQ(std::as_const(form).state().collection(), collected);
    EXPECT_EQ(clipboardText(), QString::fromUtf16(u"\u2014"));
    // A plain click on the result still outputs it.
    clickResult(find, 0);
    EXPECT_EQ(clipboardText(), QString::fromUtf16(u"\u2014\u20AC"));
}

// The window searches with the interface language's words first, and follows
// a change of it while open.
TEST_F(FindCharacter, SearchesInTheInterfaceLanguage)
{
    TMainForm &form = startWith("Deutsch");
    form.commands().FindCharacterClick();
    FindCharacterWindow *find = form.commands().findWindow();
    ASSERT_NE(find, nullptr);
    find->searchField()->setText("Grad");
    ASSERT_GT(find->results().size(), 0);
    EXPECT_EQ(find->results().text(0), u"\u00B0");  // DEGREE SIGN, "Grad" in German
    form.SetEnglish();
    ASSERT_GT(find->results().size(), 0);
    EXPECT_EQ(find->results().text(0), u"\u2207");  // NABLA, "grad" in English
}

} // namespace
} // namespace umbrill::test
