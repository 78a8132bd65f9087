// Benchmarks of the windows: a 255-key language loaded and laid out by the main
// window (the keys created, sized and placed), also with the first paint, and
// a click on a key in each paste format through the Qt clipboard adapter, a
// keystroke in the Find Character window (search, result keys, layout; with
// the keys it keeps painted and without them), the
// first search of a fresh process, the memory 1,000 uses of Find leave, and
// the Language dialog with the generated languages: opening, and a keystroke
// in its filter.
//
// The windows run against a temporary program folder and settings folder. The
// platform is Qt's offscreen one unless QT_QPA_PLATFORM names another: under
// an X server with QT_QPA_PLATFORM=xcb the clicks take the real X clipboard.
#include "core/settings/settingnames.h"
#include "ui/common/padmodel.h"
#include "ui/common/shell.h"
#include "ui/windows/tmainform.h"
#include "benchfolders.h"
#include "ui/app/umbrillapp.h"
#include "ui/dialogs/findcharacterwindow.h"
#include "ui/dialogs/tlanguagedlg.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFontInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <ctime>
#include <fstream>
#include <string>

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
    // 34 more names, listed only, make the list as long as the shipped one
    // (38) for the Language dialog.
    QByteArray names = "Bench255,Small,Arial,Unknown";
    for (int k = 1; k <= 34; ++k)
        names += ",Listed" + QByteArray::number(k);
    return "[Umbrill]\r\nLanguages=" + names + "\r\nBench255=" + entry
           + "\r\nSmall=\"DejaVu Sans\",12,4,233,232\r\nArial=\"Arial\",12,4,233\r\nUnknown=\"No Such Face\",12,4,233\r\n";
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
        QFile::copy(QStringLiteral(UMBRILL_GENERATED_LANGUAGES),
                    folders.programDir.path() + QStringLiteral("/generated-languages.ini"));
        app = std::make_unique<UmbrillApp>();
        app->show();
        QApplication::processEvents();
    }

    TMainForm &main() { return app->mainForm; }

    // What the Language command and the dialog's OK do to the keys, untimed:
    // the old keys go away (and are really deleted).
    void clearKeys()
    {
        main().model().setLanguageAside();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
    }

    void load()
    {
        main().model().setLanguageName(kLanguage);
        main().model().loadLanguage(kLanguage);
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

void BM_LoadAndLayOut255Keys(benchmark::State &state)
{
    Program &p = program();
    for (auto _ : state) {
        state.PauseTiming();
        p.clearKeys();
        state.ResumeTiming();
        p.load();
    }
    if (p.main().keys().size() != 255)
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
    if (p.main().keys().size() != 255) {
        p.clearKeys();
        p.load();
    }
    TMainForm &main = p.main();
    const auto format = static_cast<PasteFormat>(state.range(0));
    main.commands().optionsChosen(OptionsChoice{format, 42, std::nullopt});
    main.commands().SingleCharClick();
    KeyButton *key = main.keys().at(0);
    for (auto _ : state)
        key->click();
    state.SetLabel(std::string(pasteFormatName(format)));
}
BENCHMARK(BM_Click)->DenseRange(0, 3)->ArgName("format")->Unit(benchmark::kMicrosecond);

// A keystroke in Find: the search and its results shown, laid out and
// painted, after the query less its last letter (as typing goes). The view
// keeps the keys it painted; with newKeys it has forgotten them, as for
// characters it has not shown before.
void findKeystroke(benchmark::State &state, bool newKeys)
{
    Program &p = program();
    TMainForm &main = p.main();
    main.commands().FindCharacterClick();
    QLineEdit *field = main.commands().findWindow()->searchField();
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
        shown = main.commands().findWindow()->results().size();
        field->setText(query.chopped(1));
        QApplication::processEvents();
        if (newKeys)
            main.commands().findWindow()->resultView()->forgetPaintedKeys();
        state.ResumeTiming();
    }
    state.SetLabel(query.toStdString() + ": " + std::to_string(shown) + " keys");
    main.commands().findWindow()->close();
}

void BM_FindKeystroke(benchmark::State &state) { findKeystroke(state, false); }
BENCHMARK(BM_FindKeystroke)->DenseRange(0, 3)->ArgName("query")->Unit(benchmark::kMillisecond);

void BM_FindKeystrokeNewKeys(benchmark::State &state) { findKeystroke(state, true); }
BENCHMARK(BM_FindKeystrokeNewKeys)->DenseRange(0, 3)->ArgName("query")->Unit(benchmark::kMillisecond);

// The first search of a process, as the French pad's user makes it: Find is
// opened, and 150 ms later (a quick typist) the query is typed at once and
// its keys are shown. Milliseconds of the clock and of the process's CPU (all
// its threads), the latter less moved by other programs on the machine.
struct FirstSearch {
    double wallMs;
    double cpuMs;
};

double processCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

FirstSearch firstSearch(const QString &query)
{
    Program &p = program();
    p.main().commands().confirmLanguage(1, std::string("Small"));
    p.main().commands().FindCharacterClick();
    // The moment between the window showing and the first key typed.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 150)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    clock.restart();
    const double cpuStart = processCpuMs();
    p.main().commands().findWindow()->searchField()->setText(query);
    QApplication::processEvents();
    return {static_cast<double>(clock.nsecsElapsed()) / 1e6, processCpuMs() - cpuStart};
}

// Each iteration is a fresh process: this benchmark run with --first-search
// <query>. The time is the clock's; the counter cpu_ms the CPU's (mean).
void BM_FindFirstSearchOfAProcess(benchmark::State &state)
{
    const QString query = QStringList{QStringLiteral("e"), QStringLiteral("e acute"), QStringLiteral("euro")}.at(state.range(0));
    double cpuMs = 0;
    for (auto _ : state) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--first-search"), query});
        bool ok = child.waitForFinished(60000) && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
        const QList<QByteArray> times = child.readAllStandardOutput().trimmed().split(' ');
        bool cpuOk = false;
        const double ms = times.value(0).toDouble(&ok);
        cpuMs += times.value(1).toDouble(&cpuOk);
        if (!ok || !cpuOk)
            return state.SkipWithError("the child process gave no time");
        state.SetIterationTime(ms / 1000);
    }
    state.counters["cpu_ms"] = benchmark::Counter(cpuMs, benchmark::Counter::kAvgIterations);
    state.SetLabel(query.toStdString());
}
BENCHMARK(BM_FindFirstSearchOfAProcess)->DenseRange(0, 2)->ArgName("query")->UseManualTime()->Iterations(5)
    ->Unit(benchmark::kMillisecond);

// The resident memory of this process, in KiB.
long residentKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

// 1,000 uses of Find: open it from a pad whose key font is DejaVu Sans, Arial
// (a name that fontconfig maps to a metric-compatible font where one is
// installed) or a face no font answers to, type a name, close it. The
// resident memory before and after, and per use.
void BM_Find1000Uses(benchmark::State &state)
{
    TMainForm &main = program().main();
    const char *const pads[] = {"Small", "Arial", "Unknown"};
    main.commands().confirmLanguage(static_cast<int>(state.range(0)) + 1, std::string(pads[state.range(0)]));
    const QString words[] = {QStringLiteral("e acute"), QStringLiteral("arrow"), QStringLiteral("euro"),
                             QStringLiteral("s comma"), QStringLiteral("greek alpha")};
    const auto use = [&main, &words](int k) {
        main.commands().FindCharacterClick();
        main.commands().findWindow()->searchField()->setText(words[k % std::size(words)]);
        QApplication::processEvents();
        main.commands().findWindow()->close();
        QApplication::processEvents();
    };
    for (int k = 0; k < 20; ++k) // the caches the first uses fill
        use(k);
    const long before = residentKiB();
    for (auto _ : state) {
        for (int k = 0; k < 1000; ++k)
            use(k);
    }
    const long after = residentKiB();
    state.counters["rss_before_MiB"] = static_cast<double>(before) / 1024;
    state.counters["rss_after_MiB"] = static_cast<double>(after) / 1024;
    state.counters["grown_kB_per_use"] = static_cast<double>(after - before) / 1000;
    // The face the key font resolves to.
    const QFont font = main.commands().findWindow()->results().index(0).data(Qt::FontRole).value<QFont>();
    state.SetLabel(std::string(pads[state.range(0)]) + " as " + QFontInfo(font).family().toStdString());
}
BENCHMARK(BM_Find1000Uses)->DenseRange(0, 2)->ArgName("font")->Iterations(1)->Repetitions(1)->Unit(benchmark::kMillisecond);

// The Language command until its dialog is up, listing the shipped languages
// and the generated ones (the first opening of the process reads their file;
// its time is the counter first_open_ms). Closed untimed.
void BM_LanguageDialogOpens(benchmark::State &state)
{
    TMainForm &main = program().main();
    QElapsedTimer clock;
    double firstMs = -1;
    int rows = 0;
    for (auto _ : state) {
        QTimer::singleShot(0, &main, [&] {
            // The dialog has shown: the first event of its own loop.
            const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
            state.SetIterationTime(ms / 1000);
            if (firstMs < 0)
                firstMs = ms;
            rows = main.commands().languageDlg()->findChild<QListWidget *>(QStringLiteral("ListBox1"))->count();
            main.commands().languageDlg()->reject();
        });
        clock.start();
        main.commands().LanguageClick();
    }
    state.counters["first_open_ms"] = firstMs;
    state.counters["rows"] = rows;
    if (rows < 210)
        state.SkipWithError("the dialog lists fewer than 200 rows: no generated languages?");
}
BENCHMARK(BM_LanguageDialogOpens)->UseManualTime()->Unit(benchmark::kMillisecond);

// A keystroke in the Language dialog's filter, as typing goes: the query less
// its last letter, then the query. "y" narrows the whole list.
void BM_LanguageFilterKeystroke(benchmark::State &state)
{
    TMainForm &main = program().main();
    TLanguageDlg *dialog = main.commands().languageDlg();
    dialog->showCatalogue(main.model().catalogue(true));
    dialog->show();
    QApplication::processEvents();
    auto *filter = dialog->findChild<QLineEdit *>(QStringLiteral("LanguageFilter"));
    const QString query = QStringList{QStringLiteral("y"), QStringLiteral("yor"), QStringLiteral("ser")}.at(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        filter->setText(query.chopped(1));
        QApplication::processEvents();
        state.ResumeTiming();
        filter->setText(query);
        QApplication::processEvents();
    }
    state.SetLabel(query.toStdString());
    dialog->hide();
}
BENCHMARK(BM_LanguageFilterKeystroke)->DenseRange(0, 2)->ArgName("query")->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc == 3 && std::string_view(argv[1]) == "--first-search") {
        const FirstSearch times = firstSearch(QString::fromLocal8Bit(argv[2]));
        std::printf("%.3f %.3f\n", times.wallMs, times.cpuMs);
        programSlot().reset();
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::AddCustomContext("qt_platform", QGuiApplication::platformName().toStdString());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    programSlot().reset();
    return 0;
}
