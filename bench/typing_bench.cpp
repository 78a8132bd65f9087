// Type into Window on a real X server (run under Xvfb by bench.sh): the time
// from a pointer click on a key of the pad to the character's key press
// reaching the focused window, a burst of 1,000 clicks, checked to arrive
// with none lost, doubled or reordered, with the changes of the keyboard
// mapping it caused, and the one-time binding of a 255-key language when
// typing turns on.
//
// The focused window is a plain Xlib window on its own connection that reads
// its key presses as any X program does (keysym looked up in its keymap, kept
// fresh on MappingNotify). The pad runs with Type into Window on.
#include "ui/windows/tmainform.h"
#include "core/typing/typedtext.h"
#include "ui/common/shell.h"
#include "benchfolders.h"
#include "ui/app/umbrillapp.h"
#include "ui/platform/typeintowindow.h"
#include "ui/platform/xtesttypist.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace umbrill;

// Keys é € α ș U+1F600, then 40 Cyrillic letters: more characters than a
// keyboard mapping has spare keycodes, so that bursts must rebind.
QByteArray dataFile()
{
    QByteArray entry = "\"DejaVu Sans\",12,15,233,8364,945,537,128512";
    for (int k = 0; k < 40; ++k)
        entry += "," + QByteArray::number(0x410 + k);
    return "[Umbrill]\r\nLanguages=Typing\r\nTyping=" + entry + "\r\n";
}

// The window that has the keyboard focus; it records the keysyms it receives.
struct Target {
    Display *display = XOpenDisplay(nullptr);
    Window window = 0;

    Target()
    {
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 200, 100, 0, 0, 0);
        XSelectInput(display, window, KeyPressMask | ExposureMask);
        XMapWindow(display, window);
        XSync(display, False);
        focus();
    }
    ~Target() { XCloseDisplay(display); }
    void focus()
    {
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        XSync(display, False);
    }
    // The keysyms of the key presses received so far, without waiting.
    void read(std::vector<KeySym> &into)
    {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MappingNotify)
                XRefreshKeyboardMapping(&event.xmapping);
            else if (event.type == KeyPress)
                into.push_back(XLookupKeysym(&event.xkey, 0));
        }
    }
};

struct Program {
    BenchFolders folders{
        dataFile(), "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\r\n"
                    "\"ControlLanguage\"=\"English\"\r\n\"PasteFormat\"=\"unicode\"\r\n\"LastLanguage\"=\"Typing\"\r\n"
                    "\"TypeIntoWindow\"=\"1\"\r\n\"WindowPosition\"=\"300,300\"\r\n"};
    std::unique_ptr<UmbrillApp> app;
    std::unique_ptr<Target> target;
    Display *pointer = XOpenDisplay(nullptr);

    Program()
    {
        target = std::make_unique<Target>();
        app = std::make_unique<UmbrillApp>();
        app->show();
        for (int i = 0; i < 50; ++i)
            QApplication::processEvents();
        target->focus();
    }
    TMainForm &main() { return app->mainForm; }

    // Clicks key k with the pointer, as a user does.
    void click(int k)
    {
        const QPoint centre = main().keys().at(k)->mapToGlobal(main().keys().at(k)->rect().center());
        XTestFakeMotionEvent(pointer, -1, centre.x(), centre.y(), CurrentTime);
        XTestFakeButtonEvent(pointer, 1, True, CurrentTime);
        XTestFakeButtonEvent(pointer, 1, False, CurrentTime);
        XFlush(pointer);
    }
    // Runs the pad until the target has count keysyms or waitMs passed.
    bool await(std::vector<KeySym> &got, std::size_t count, qint64 waitMs = 30000)
    {
        QElapsedTimer clock;
        clock.start();
        while (got.size() < count && clock.elapsed() < waitMs) {
            QApplication::processEvents(QEventLoop::AllEvents, 1);
            target->read(got);
        }
        return got.size() >= count;
    }
};

// The program is made by the first benchmark that needs it and goes before
// the QApplication does (main resets it): its windows cannot outlive it.
std::unique_ptr<Program> &programSlot()
{
    static std::unique_ptr<Program> instance;
    return instance;
}

Program &program()
{
    if (!programSlot())
        programSlot() = std::make_unique<Program>();
    return *programSlot();
}

KeySym keysymOfKey(int k)
{
    static const char32_t firsts[] = {0xe9, 0x20ac, 0x3b1, 0x219, 0x1f600};
    return keysymFor(k < 5 ? firsts[k] : static_cast<char32_t>(0x410 + (k - 5)));
}

// Typing turned on with a language of 255 characters that the layout lacks:
// the binding made at once (as many as there are spare key codes), from the
// call to the mapping in place at the server. Runs before the pad is made,
// whose own typist would hold the display's key codes.
void BM_BindLanguageOf255(benchmark::State &state)
{
    std::vector<Keysym> language;
    for (char32_t cp = 0x400; cp < 0x400 + 255; ++cp)
        language.push_back(keysymFor(cp));
    int changes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto opened = XTestTypist::open();
        auto *typist = std::get_if<std::unique_ptr<XTestTypist>>(&opened);
        if (!typist)
            return state.SkipWithError("no XTest typist on this display");
        state.ResumeTiming();
        (*typist)->hold(language);
        state.PauseTiming();
        changes = (*typist)->mappingChanges();
        (*typist)->finish();
        typist->reset();
        state.ResumeTiming();
    }
    state.counters["mapping_requests"] = changes;
}
BENCHMARK(BM_BindLanguageOf255)->Unit(benchmark::kMillisecond)->UseRealTime();

// One pointer click on a key to its key press at the focused window; the
// key is already lent, as for repeated clicks on the same character.
void BM_ClickToFocusedWindow(benchmark::State &state)
{
    Program &p = program();
    if (!p.main().commands().typing().isOn())
        return state.SkipWithError("Type into Window is not on (no XTest?)");
    const int key = static_cast<int>(state.range(0));
    std::vector<KeySym> got;
    for (auto _ : state) {
        got.clear();
        p.click(key);
        if (!p.await(got, 1))
            return state.SkipWithError("no key press arrived");
        if (got.front() != keysymOfKey(key)) {
            static std::string error;
            error = "the key press arrived as keysym " + std::to_string(got.front()) + ", not "
                    + std::to_string(keysymOfKey(key));
            return state.SkipWithError(error.c_str());
        }
    }
}
BENCHMARK(BM_ClickToFocusedWindow)->Arg(0)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();

// 1,000 clicks as fast as the pad takes them, over 5 and over 19 keys (as
// many characters as a us layout leaves spare key codes): all must arrive in
// order, with no change of the keyboard mapping. A burst over more
// characters than spare key codes rebinds, each key code resting 100 ms
// first, and a click that waits longer than 0.3 s goes to the clipboard: no
// person clicks that fast (the rebinding is checked in typing_test).
void BM_Burst1000Clicks(benchmark::State &state)
{
    Program &p = program();
    if (!p.main().commands().typing().isOn())
        return state.SkipWithError("Type into Window is not on (no XTest?)");
    const int keys = static_cast<int>(state.range(0));
    std::vector<KeySym> sent, got;
    for (int i = 0; i < 1000; ++i)
        sent.push_back(keysymOfKey(i % keys));
    auto *typist = dynamic_cast<XTestTypist *>(p.main().commands().typing().typist());
    const int changesBefore = typist ? typist->mappingChanges() : 0;
    for (auto _ : state) {
        got.clear();
        for (int i = 0; i < 1000; ++i)
            p.main().keys().at(i % keys)->click();
        if (!p.await(got, 1000))
            return state.SkipWithError("fewer than 1,000 key presses arrived");
        state.PauseTiming();
        p.await(got, 1001, 300);  // anything doubled shows within the next moments
        state.ResumeTiming();
        if (got != sent)
            return state.SkipWithError("key presses lost, doubled or reordered");
    }
    state.counters["arrived_in_order"] = 1000;
    if (typist)
        state.counters["mapping_changes"] = typist->mappingChanges() - changesBefore;
}
BENCHMARK(BM_Burst1000Clicks)->Arg(5)->Arg(19)->ArgName("characters")->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    programSlot().reset();
    return 0;
}
