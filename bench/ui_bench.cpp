// Benchmarks of the windows: a 255-key language loaded and laid out by the main
// window (the keys created, sized and placed), also with the first paint, and
// a click on a key in each paste format through the Qt clipboard adapter, and
// a keystroke in the Find Character window (search, result keys, layout).
//
// The windows run against a temporary program folder and settings folder. The
// platform is Qt's offscreen one unless QT_QPA_PLATFORM names another: under
// an X server with QT_QPA_PLATFORM=xcb the clicks take the real X clipboard.
#include "core/settings/settingnames.h"
#include "ui/app/shell.h"
#include "ui/app/tmainform.h"
#include "benchfolders.h"
#include "ui/app/umbrillapp.h"
#include "ui/dialogs/findcharacterwindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace umbrill;

constexpr const char *kLanguage = "Bench255";

QByteArray dataFileBytes()
{
    QByteArray entry = "\"DejaVu Sans\",12,16";
    for (int k = 0; k < 255; ++k)
        entry += "," + QByteArray::number(k < 95 ? 161 + k : 256 + (k - 95));
    return "[Umbrill]\r\nLanguages=Bench255,Small\r\nBench255=" + entry + "\r\nSmall=\"DejaVu Sans\",12,4,233,232\r\n";
}

// The windows of the program, started once for every benchmark.
struct Program {
    BenchFolders folders{dataFileBytes(),
                         "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\umbrill.ini]\r\n\r\n"
                         "[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\r\n\"ControlLanguage\"=\"English\"\r\n"
                         "\"KeySize\"=\"42\"\r\n\"PasteFormat\"=\"unicode\"\r\n"};
    std::unique_ptr<UmbrillApp> app;

    Program()
    {
        app = std::make_unique<UmbrillApp>();
        app->show();
        QApplication::processEvents();
    }

    TMainForm &main() { return app->mainForm; }

    // What the Language command and the dialog's OK do to the keys, untimed:
    // the old keys go away (and are really deleted).
    void clearKeys()
    {
        main().ClearButtonList();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
    }

    void load()
    {
        main().SetLanguage(kLanguage);
        main().GetLanguageData(kLanguage);
    }
};

Program &program()
{
    static Program instance;
    return instance;
}

void BM_LoadAndLayOut255Keys(benchmark::State &state)
{
    Program &p = program();
    for (auto _ : state) {
        state.PauseTiming();
        p.clearKeys();
        state.ResumeTiming();
        p.load();
    }
    if (p.main().ButtonList.size() != 255)
        state.SkipWithError("the language did not load 255 keys");
}
BENCHMARK(BM_LoadAndLayOut255Keys)->Unit(benchmark::kMillisecond);

void BM_LoadLayOutAndPaint255Keys(benchmark::State &state)
{
    Program &p = program();
    for (auto _ : state) {
        state.PauseTiming();
        p.clearKeys();
        state.ResumeTiming();
        p.load();
        // The posted layout and update requests: the window painted with its keys.
        QApplication::processEvents();
    }
}
BENCHMARK(BM_LoadLayOutAndPaint255Keys)->Unit(benchmark::kMillisecond);

// A click on key 1 (U+00A1) as the user makes it: the button's clicked signal,
// the handler, the payload built and placed on the toolkit's clipboard.
void BM_Click(benchmark::State &state)
{
    Program &p = program();
    if (p.main().ButtonList.size() != 255) {
        p.clearKeys();
        p.load();
    }
    TMainForm &main = p.main();
    const auto format = static_cast<PasteFormat>(state.range(0));
    main.optionsChosen(OptionsChoice{format, 42, std::nullopt});
    main.SingleCharClick();
    KeyButton *key = main.ButtonList.at(0);
    for (auto _ : state)
        key->click();
    state.SetLabel(std::string(pasteFormatName(format)));
}
BENCHMARK(BM_Click)->DenseRange(0, 3)->ArgName("format")->Unit(benchmark::kMicrosecond);

// A keystroke in Find: the search and its result keys shown and laid out,
// after the query less its last letter (as typing goes): "e" after an empty
// field makes all 300 keys; the others reuse the keys of the query before.
void BM_FindKeystroke(benchmark::State &state)
{
    Program &p = program();
    TMainForm &main = p.main();
    main.FindCharacterClick();
    QLineEdit *field = main.findWindow()->searchField();
    const QString queries[] = {QStringLiteral("e"), QStringLiteral("ea"), QStringLiteral("e acute"),
                               QStringLiteral("arrow left")};
    const QString &query = queries[state.range(0)];
    qsizetype shown = 0;
    field->setText(query.chopped(1));
    QApplication::processEvents();
    for (auto _ : state) {
        field->setText(query);
        QApplication::processEvents();
        state.PauseTiming();
        shown = main.findWindow()->results().size();
        field->setText(query.chopped(1));
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetLabel(query.toStdString() + ": " + std::to_string(shown) + " keys");
    main.findWindow()->close();
}
BENCHMARK(BM_FindKeystroke)->DenseRange(0, 3)->ArgName("query")->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::AddCustomContext("qt_platform", QGuiApplication::platformName().toStdString());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    program().app.reset();
    return 0;
}
