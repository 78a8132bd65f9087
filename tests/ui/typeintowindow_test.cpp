// Type into Window in the main window: off at first start and unavailable
// without a desktop to type into; on, the pad takes no focus and a click
// types (its entity text in the HTML format) and leaves the clipboard and the
// collections alone; off again, everything is as before; remembered.
#include "uifixture.h"

#include "core/keypad/clipboardpayload.h"
#include "ui/dialogs/findcharacterwindow.h"
#include "ui/platform/desktop.h"
#include "ui/platform/splittypist.h"
#include "ui/platform/typeintowindow.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

namespace umbrill::test {
namespace {

class RecordingTypist : public Typist {
public:
    explicit RecordingTypist(std::vector<Keysym> *typed) : m_typed(typed) {}
    void type(const std::vector<Keysym> &keysyms) override { m_typed->insert(m_typed->end(), keysyms.begin(), keysyms.end()); }
    void hold(const std::vector<Keysym> &keysyms) override { held.push_back(keysyms); }
    void endNow() { emit ended(); }
    void closeNow()
    {
        emit closedByDesktop();
        emit ended();
    }
    void cannotType(const std::u32string &characters) { emit notTyped(characters); }

    std::vector<std::vector<Keysym>> held;  // what each hold made ready

private:
    std::vector<Keysym> *m_typed;
};

class CountingClipboard : public ClipboardSink {
public:
    explicit CountingClipboard(int *calls) : m_calls(calls) {}
    void clear() override { ++*m_calls; }
    void set(const ClipboardPayload &) override { ++*m_calls; }

private:
    int *m_calls;
};

// A desktop that records what the pad asks of it and answers as told.
class FakeDesktop : public Desktop {
public:
    TypistOffer typist(PadModel &) override
    {
        auto offered = std::make_unique<RecordingTypist>(typed);
        return {std::move(offered), std::nullopt};
    }
    unsigned long focusedWindow() override { return focused; }
    void handFocusBack(unsigned long window, QObject *, std::function<void(bool)> done) override
    {
        handedBackTo = window;
        done(comesBack);
    }
    void toCurrentWorkspace(QWidget &) override {}
    void makeActive(QWidget &) override {}
    void endStartup(const std::string &) override {}
    void keepOnTop(QWidget &window, bool onTop) override
    {
        keptOnTop.emplace_back(&window, onTop);
        Desktop::keepOnTop(window, onTop);
    }
    void refuseFocus(QWidget &window, bool refuse) override
    {
        refused.emplace_back(&window, refuse);
        Desktop::refuseFocus(window, refuse);
    }

    std::vector<Keysym> *typed = nullptr;
    unsigned long focused = 0;
    bool comesBack = true;
    unsigned long handedBackTo = 0;
    std::vector<std::pair<QWidget *, bool>> keptOnTop;
    std::vector<std::pair<QWidget *, bool>> refused;
};

class TypeIntoWindowTest : public UiFixture {
protected:
    TMainForm &startWithTypist(const QByteArray &settings)
    {
        writeSettings(settingsWith(settings));
        TMainForm &form = start().mainForm;
        form.commands().typing().setTypistFactory([this] {
            auto typist = std::make_unique<RecordingTypist>(&typed);
            recorder = typist.get();
            return TypeIntoWindow::Offer{std::move(typist), std::nullopt};
        });
        form.commands().setClipboard(std::make_unique<CountingClipboard>(&clipboardCalls));
        app->show();
        return form;
    }
    QAction *item(TMainForm &form) { return form.findChild<QAction *>(QStringLiteral("TypeIntoWindow")); }
    std::vector<Keysym> typed;
    RecordingTypist *recorder = nullptr;
    int clipboardCalls = 0;
};

TEST_F(TypeIntoWindowTest, WithoutADesktopToTypeIntoTheItemIsOffDisabledAndSaysWhy)
{
    writeSettings(settingsWith("\"ControlLanguage\"=\"Deutsch\"\r\n\"TypeIntoWindow\"=\"1\"\r\n"));
    TMainForm &form = start().mainForm;
    app->show();  // offscreen: neither X11 nor Wayland
    QAction *action = item(form);
    EXPECT_EQ(action->text(), "In Fenster &tippen");
    EXPECT_FALSE(action->isChecked());
    EXPECT_FALSE(action->isEnabled());
    EXPECT_EQ(action->toolTip().toStdString(), typingUnavailableReason("Deutsch", TypingUnavailable::NoDisplay));
    EXPECT_FALSE(form.windowFlags() & Qt::WindowDoesNotAcceptFocus);
    form.SetEnglish();
    EXPECT_EQ(action->text(), "&Type into Window");
    EXPECT_EQ(action->toolTip().toStdString(), typingUnavailableReason("English", TypingUnavailable::NoDisplay));
}

TEST_F(TypeIntoWindowTest, OnAClickTypesAndTheFocusAndClipboardAreLeftAloneOffAllIsAsBefore)
{
    TMainForm &form = startWithTypist("\"ControlLanguage\"=\"English\"\r\n\"LastLanguage\"=\"French\"\r\n");
    ASSERT_EQ(form.keys().size(), 7);
    EXPECT_FALSE(item(form)->isChecked());  // off at first start
    EXPECT_EQ(form.keys()[1]->focusPolicy(), Qt::StrongFocus);

    item(form)->trigger();
    EXPECT_TRUE(form.commands().typing().isOn());
    EXPECT_TRUE(form.windowFlags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_TRUE(form.isVisible());
    // Turned on: the keys' characters are made ready at once, in key order.
    ASSERT_EQ(recorder->held.size(), 1u);
    ASSERT_EQ(recorder->held[0].size(), 7u);
    EXPECT_EQ(recorder->held[0][1], 0xe9u);
    for (KeyButton *key : std::as_const(form.keys()))
        EXPECT_EQ(key->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(readSettings().contains("\"TypeIntoWindow\"=\"1\""));

    form.commands().MultipleCharClick();
    clipboardCalls = 0;
    form.keys()[1]->click();  // é
    form.keys()[4]->click();  // & (shown as &&)
    EXPECT_EQ(typed, (std::vector<Keysym>{0xe9, 0x26}));
    EXPECT_EQ(clipboardCalls, 0);
    EXPECT_TRUE(form.state().Output().AccumulatedWideText().empty());

    OptionsChoice html = form.commands().optionsOpening();
    html.pasteFormat = PasteFormat::Html;
    form.commands().optionsChosen(html);
    typed.clear();
    form.keys()[1]->click();
    EXPECT_EQ(typed, (std::vector<Keysym>{'&', 'e', 'a', 'c', 'u', 't', 'e', ';'}));

    item(form)->trigger();
    EXPECT_FALSE(form.commands().typing().isOn());
    EXPECT_FALSE(form.windowFlags() & Qt::WindowDoesNotAcceptFocus);
    for (KeyButton *key : std::as_const(form.keys()))
        EXPECT_EQ(key->focusPolicy(), Qt::StrongFocus);
    typed.clear();
    form.keys()[1]->click();
    EXPECT_TRUE(typed.empty());
    EXPECT_EQ(clipboardCalls, 1);  // HTML: the entity text set on the clipboard, as before
    EXPECT_TRUE(readSettings().contains("\"TypeIntoWindow\"=\"0\""));
}

TEST_F(TypeIntoWindowTest, ComesBackOnAndNewKeysTakeNoFocusAndATypistThatEndsTurnsItOff)
{
    TMainForm &form = startWithTypist("\"ControlLanguage\"=\"English\"\r\n\"TypeIntoWindow\"=\"1\"\r\n");
    form.restoreRemembered();
    EXPECT_TRUE(item(form)->isChecked());
    EXPECT_TRUE(form.windowFlags() & Qt::WindowDoesNotAcceptFocus);
    whenModal([](QWidget *dialog) { dialog->findChild<QPushButton *>(QStringLiteral("OKBtn"))->click(); });
    ASSERT_NE(recorder, nullptr);
    const std::size_t holds = recorder->held.size();
    form.commands().LanguageClick();  // the first language, Twelve: keys made while on
    ASSERT_FALSE(form.keys().isEmpty());
    EXPECT_EQ(form.keys()[0]->focusPolicy(), Qt::NoFocus);
    // Another language while on: its characters are made ready.
    ASSERT_GT(recorder->held.size(), holds);
    EXPECT_EQ(recorder->held.back().size(), static_cast<std::size_t>(form.keys().size()));

    recorder->endNow();  // as when the user refuses the desktop's consent
    EXPECT_FALSE(item(form)->isChecked());
    EXPECT_FALSE(form.commands().typing().isOn());
    EXPECT_EQ(form.keys()[0]->focusPolicy(), Qt::StrongFocus);
}

TEST_F(TypeIntoWindowTest, WhatCannotBeTypedWaitsOnTheClipboardWithALineOnThePadAndAClosedSessionSaysSo)
{
    TMainForm &form = startWithTypist("\"ControlLanguage\"=\"Deutsch\"\r\n\"TypeIntoWindow\"=\"1\"\r\n");
    form.restoreRemembered();
    ASSERT_NE(recorder, nullptr);
    const QLabel *notice = form.notice();
    ASSERT_NE(notice, nullptr);
    EXPECT_FALSE(notice->isVisible());

    recorder->cannotType(U"ș😀");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("ș😀"));
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->text().toStdString(), onClipboardNotice("Deutsch", "ș😀"));
    EXPECT_EQ(notice->text().toStdString(), "ș😀 ließ sich nicht tippen: es liegt in der Zwischenablage (Strg+V).");
    EXPECT_EQ(notice->geometry().bottom(), form.rect().bottom());

    // The user stops sharing on the desktop: off, and the tooltip says why
    // until it is turned on again.
    recorder->closeNow();
    EXPECT_FALSE(item(form)->isChecked());
    EXPECT_TRUE(item(form)->isEnabled());
    EXPECT_EQ(item(form)->toolTip().toStdString(), typingSessionClosedNote("Deutsch"));
    item(form)->trigger();
    EXPECT_TRUE(form.commands().typing().isOn());
    EXPECT_NE(item(form)->toolTip().toStdString(), typingSessionClosedNote("Deutsch"));
}

// Typing, the focus and keep-on-top go through the desktop. A result of Find
// goes back to the window that had the focus when Find opened; where the
// desktop cannot give it back (as without X11), it waits on the clipboard and
// the pad says so, never lost.
TEST_F(TypeIntoWindowTest, FindResultsGoBackThroughTheDesktopOrWaitOnTheClipboardAndSaySo)
{
    writeSettings(settingsWith("\"ControlLanguage\"=\"English\"\r\n\"LastLanguage\"=\"French\"\r\n"));
    TMainForm &form = start().mainForm;
    auto owned = std::make_unique<FakeDesktop>();
    FakeDesktop &desktop = *owned;
    desktop.typed = &typed;
    form.commands().setDesktop(std::move(owned));
    form.commands().setClipboard(std::make_unique<CountingClipboard>(&clipboardCalls));
    app->show();
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));

    item(form)->trigger();
    ASSERT_TRUE(form.commands().typing().isOn()) << "the desktop's typist is taken";
    EXPECT_EQ(desktop.refused, (std::vector<std::pair<QWidget *, bool>>{{&form, true}}));
    form.commands().KeeponTopClick();
    EXPECT_EQ(desktop.keptOnTop, (std::vector<std::pair<QWidget *, bool>>{{&form, false}}));

    desktop.focused = 42;
    form.commands().FindCharacterClick();
    ASSERT_NE(form.commands().findWindow(), nullptr);
    form.commands().findResultChosen(form.keys()[1]->character());  // é
    EXPECT_EQ(desktop.handedBackTo, 42u);
    EXPECT_EQ(typed, (std::vector<Keysym>{0xe9}));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    EXPECT_FALSE(form.notice()->isVisible());

    // The window never comes back.
    desktop.comesBack = false;
    form.commands().findResultChosen(form.keys()[1]->character());
    EXPECT_EQ(typed, (std::vector<Keysym>{0xe9}));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("é"));
    EXPECT_TRUE(form.notice()->isVisible());
    EXPECT_EQ(form.notice()->text().toStdString(), onClipboardNotice("English", "é"));
    EXPECT_EQ(clipboardCalls, 0) << "the pad's own output is left alone";

    // Without X11 (the widget tests' own platform): nothing to give back to.
    form.commands().setDesktop(thisDesktop());
    form.commands().findResultChosen(form.keys()[4]->character());  // &
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("&"));
    EXPECT_EQ(form.notice()->text().toStdString(), onClipboardNotice("English", "&"));
}

// A pad that takes no focus is never the active window: its keys still show
// what they are when the pointer rests on them.
TEST_F(TypeIntoWindowTest, AKeyShowsItsTooltipWhileThePadIsNotActive)
{
    TMainForm &form = startWithTypist("\"ControlLanguage\"=\"English\"\r\n\"LastLanguage\"=\"French\"\r\n");
    item(form)->trigger();
    QWidget other;
    other.setGeometry(900, 600, 50, 50);
    other.show();
    other.activateWindow();
    QApplication::setActiveWindow(&other);
    ASSERT_NE(QApplication::activeWindow(), &form);
    KeyButton *key = form.keys()[1];
    QTest::mouseMove(key, key->rect().center() - QPoint(1, 1));
    QTest::mouseMove(key, key->rect().center());
    EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 3000));
    EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("LATIN SMALL LETTER E WITH ACUTE")));
    QToolTip::hideText();
}

// On XWayland the desktop's portal types into its own windows and XTest into
// X11 programs, each text by the window active when it comes; consent and the
// session are the portal's.
TEST(SplitTypist, EachTextGoesTheWayOfTheActiveWindowAndThePortalSessionEndsTypingForBoth)
{
    std::vector<Keysym> byPortal;
    std::vector<Keysym> byXTest;
    bool x11Active = false;
    auto portal = std::make_unique<RecordingTypist>(&byPortal);
    auto xtest = std::make_unique<RecordingTypist>(&byXTest);
    RecordingTypist &portalSide = *portal;
    RecordingTypist &xtestSide = *xtest;
    SplitTypist split(std::move(portal), std::move(xtest), [&] { return x11Active; });
    std::u32string notTyped;
    int ended = 0;
    int closed = 0;
    QObject::connect(&split, &Typist::notTyped, [&](const std::u32string &c) { notTyped += c; });
    QObject::connect(&split, &Typist::ended, [&] { ++ended; });
    QObject::connect(&split, &Typist::closedByDesktop, [&] { ++closed; });

    split.typeText(U"\u00e9");
    x11Active = true;
    split.typeText(U"\u20ac");
    split.type({0x61});
    x11Active = false;
    split.type({0x62});
    EXPECT_EQ(byPortal, (std::vector<Keysym>{0xe9, 0x62}));
    EXPECT_EQ(byXTest, (std::vector<Keysym>{0x20ac, 0x61}));

    portalSide.cannotType(U"\u0219");
    xtestSide.cannotType(U"\u03b1");
    EXPECT_EQ(notTyped, U"\u0219\u03b1");
    xtestSide.endNow();
    EXPECT_EQ(ended, 0);
    portalSide.closeNow();
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(ended, 1);
}

} // namespace
} // namespace umbrill::test
