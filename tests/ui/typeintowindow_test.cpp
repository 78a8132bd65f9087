// Type into Window in the main window: off at first start and unavailable
// without a desktop to type into; on, the pad takes no focus and a click
// types (its entity text in the HTML format) and leaves the clipboard and the
// collections alone; off again, everything is as before; remembered.
#include "uifixture.h"

#include "core/keypad/clipboardpayload.h"
#include "core/text/error.h"
#include "ui/dialogs/findcharacterwindow.h"
#include "ui/platform/desktop.h"
#include "ui/platform/splittypist.h"
#include "ui/platform/typeintowindow.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
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

// Counts what the pad asks of its clipboard and keeps the text of each
// payload placed; refuses, as a busy clipboard does, while told to.
class CountingClipboard : public ClipboardSink {
public:
    CountingClipboard(int *calls, std::vector<std::string> *placed = nullptr, const bool *refuses = nullptr)
        : m_calls(calls), m_placed(placed), m_refuses(refuses)
    {
    }
    void clear() override { ++*m_calls; }
    void set(const ClipboardPayload &payload) override
    {
        if (m_refuses && *m_refuses)
            throw Error(std::string(kCannotOpenClipboard));
        ++*m_calls;
        const std::string *text = payload.find(kMimePlainTextUtf8);
        if (m_placed)
            m_placed->push_back(text ? *text : std::string());
    }

private:
    int *m_calls;
    std::vector<std::string> *m_placed;
    const bool *m_refuses;
};

// A desktop that records what the pad asks of it and answers as told: its
// windows are numbers, and one asked to be active becomes so if comesBack.
class FakeDesktop : public Desktop {
public:
    class Window : public TargetWindow {
    public:
        Window(FakeDesktop &desktop, int id) : m_desktop(desktop), m_id(id) {}
        void activate() override { m_desktop.handedBackTo = m_id; }
        bool isActive() const override { return m_desktop.comesBack && m_desktop.handedBackTo == m_id; }

    private:
        FakeDesktop &m_desktop;
        int m_id;
    };

    TypistOffer typist(PadModel &) override
    {
        auto offered = std::make_unique<RecordingTypist>(typed);
        return {std::move(offered), std::nullopt};
    }
    std::unique_ptr<TargetWindow> focusedWindow() override
    {
        return focused ? std::make_unique<Window>(*this, focused) : nullptr;
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
    int focused = 0;  // no window the desktop tells of
    bool comesBack = true;
    int handedBackTo = 0;
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
        form.commands().setClipboard(std::make_unique<CountingClipboard>(&clipboardCalls, &placed, &clipboardRefuses));
        app->show();
        return form;
    }
    QAction *item(TMainForm &form) { return form.findChild<QAction *>(QStringLiteral("TypeIntoWindow")); }
    std::vector<Keysym> typed;
    RecordingTypist *recorder = nullptr;
    int clipboardCalls = 0;
    std::vector<std::string> placed;  // the text of each payload the pad's clipboard took
    bool clipboardRefuses = false;
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
    EXPECT_EQ(placed, (std::vector<std::string>{"ș😀"}));
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

// What could not be typed goes where a click's output goes: the pad's own
// clipboard, never past it to the desktop's. A clipboard that refuses is shown
// as the error it is, and no line on the pad claims the text waits there.
TEST_F(TypeIntoWindowTest, WhatCannotBeTypedGoesToThePadsClipboardAndARefusalIsNeverReportedAsDone)
{
    TMainForm &form = startWithTypist("\"ControlLanguage\"=\"English\"\r\n\"LastLanguage\"=\"French\"\r\n");
    item(form)->trigger();
    ASSERT_NE(recorder, nullptr);
    QGuiApplication::clipboard()->setText(QStringLiteral("another program's"));

    recorder->cannotType(U"€ș");
    EXPECT_EQ(placed, (std::vector<std::string>{"€ș"}));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("another program's"));
    EXPECT_EQ(form.notice()->text().toStdString(), onClipboardNotice("English", "€ș"));

    clipboardRefuses = true;
    auto shown = std::make_shared<QString>();
    whenModal([shown](QWidget *w) {
        *shown = w->objectName() + QStringLiteral(": ") + qobject_cast<QMessageBox *>(w)->text();
        w->close();
    });
    recorder->cannotType(U"α");
    EXPECT_EQ(shown->toStdString(), "ErrorDisplay: " + errorDisplayText(kCannotOpenClipboard));
    EXPECT_EQ(placed.size(), 1u);
    EXPECT_EQ(form.notice()->text().toStdString(), onClipboardNotice("English", "€ș")) << "no line for α";
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
    form.commands().setClipboard(std::make_unique<CountingClipboard>(&clipboardCalls, &placed));
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
    EXPECT_EQ(desktop.handedBackTo, 42);
    EXPECT_EQ(typed, (std::vector<Keysym>{0xe9}));
    EXPECT_TRUE(placed.empty());
    EXPECT_FALSE(form.notice()->isVisible());

    // The window never comes back: after a while, the clipboard.
    desktop.comesBack = false;
    desktop.handedBackTo = 0;
    form.commands().findResultChosen(form.keys()[1]->character());
    EXPECT_EQ(desktop.handedBackTo, 42);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !placed.empty(); }, 5000));
    EXPECT_EQ(typed, (std::vector<Keysym>{0xe9}));
    EXPECT_EQ(placed, (std::vector<std::string>{"é"}));
    EXPECT_TRUE(form.notice()->isVisible());
    EXPECT_EQ(form.notice()->text().toStdString(), onClipboardNotice("English", "é"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before")) << "only through the pad's clipboard";

    // Without X11 (the widget tests' own platform): nothing to give back to,
    // and the window noted on the desktop before means nothing here.
    form.commands().setDesktop(thisDesktop());
    form.commands().findResultChosen(form.keys()[4]->character());  // &
    EXPECT_EQ(placed.back(), "&");
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
