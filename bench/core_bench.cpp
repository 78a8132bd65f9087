// Benchmarks of the core: loading and laying out a 255-key language, a click
// in each paste format (the payload built and handed to a clipboard that keeps
// it), a value read from a data file of 500 languages, a settings read and a
// settings write, a settings value continued over many hex(1) lines, the
// peak memory of one read and one write of a 100 MB user.reg and data file,
// the start-up's dozen lookups in a freshly read 34 MB user.reg,
// and the character names: the index built, a search, the names of 255 keys;
// the generated languages' file read, and its catalogue built and sorted.
// Files live in a temporary folder removed at the end.
#include "core/keypad/clipboardpayload.h"
#include "core/keypad/keygrid.h"
#include "core/keypad/outputengine.h"
#include "core/languages/languagerecord.h"
#include "core/names/charnames.h"
#include "core/names/keyface.h"
#include "core/names/namesearch.h"
#include "core/settings/profilefile.h"
#include "core/settings/registryfile.h"
#include "core/pad/catalogue.h"
#include "core/pad/padstate.h"
#include "core/pad/storedvalues.h"
#include "core/settings/settingnames.h"
#include "core/settings/settingsstore.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace umbrill;

// A private temporary folder for the files of one run.
const fs::path &workFolder()
{
    static const fs::path folder = [] {
        std::string pattern = (fs::temp_directory_path() / "umbrill-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        return fs::path(pattern);
    }();
    return folder;
}

void writeFile(const fs::path &file, const std::string &bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// 255 keys: the upper half of Windows-1252 from 161, then Latin Extended from 256.
std::string entry255()
{
    std::string entry = "\"DejaVu Sans\",12,16";
    for (int k = 0; k < 255; ++k) {
        entry += ',';
        entry += std::to_string(k < 95 ? 161 + k : 256 + (k - 95));
    }
    return entry;
}

// ---- a 255-key language: the entry parsed, each key's text, the grid laid out

void BM_LanguageEntry255(benchmark::State &state)
{
    const std::string entry = entry255();
    for (auto _ : state) {
        LanguageRecord record;
        applyLanguageEntry(record, entry);
        benchmark::DoNotOptimize(record.KeyCodes.data());
    }
}
BENCHMARK(BM_LanguageEntry255);

// ---- the generated languages (the build's file): read, as a start with one
// remembered pays; then listed, as the Language dialog lists them

void BM_GeneratedLanguagesRead(benchmark::State &state)
{
    std::size_t count = 0;
    for (auto _ : state)
        count = GeneratedLanguages::load(UMBRILL_GENERATED_LANGUAGES).languages().size();
    if (count < 150)
        state.SkipWithError("no generated languages read");
    state.counters["languages"] = static_cast<double>(count);
}
BENCHMARK(BM_GeneratedLanguagesRead)->Unit(benchmark::kMicrosecond);

void BM_GeneratedCatalogue(benchmark::State &state)
{
    const GeneratedLanguages generated = GeneratedLanguages::load(UMBRILL_GENERATED_LANGUAGES);
    const std::vector<CatalogueEntry> listed = listedEntries({"French", "German", "My Characters"}, 2);
    for (auto _ : state) {
        std::vector<CatalogueEntry> entries = listed;
        appendGenerated(entries, generated, InterfaceLanguage::German);
        benchmark::DoNotOptimize(entries.data());
    }
}
BENCHMARK(BM_GeneratedCatalogue)->Unit(benchmark::kMicrosecond);

void BM_LanguageLoadAndLayOut255(benchmark::State &state)
{
    const std::string entry = entry255();
    struct Key {
        std::u16string character;
        std::u16string caption;
        KeyPlacement place;
    };
    std::vector<Key> keys;
    for (auto _ : state) {
        LanguageRecord record;
        applyLanguageEntry(record, entry);
        const std::int32_t keySize = changedKeySize(42, keySizeForPoints(record.KeyFontSize));
        const int count = static_cast<int>(record.KeyCodes.size());
        const FittedGrid grid = fitGrid(count, record.KeysPerRow, keySize, 1280, 1000);
        keys.clear();
        keys.reserve(record.KeyCodes.size());
        for (int k = 0; k < count; ++k)
            keys.push_back({keyCharacter(record.KeyCodes[k]), keyCaption(record.KeyCodes[k]),
                            placeKey(k, grid.keysPerRow, grid.keySize)});
        const GridSize client = gridSize(count, grid.keysPerRow, grid.keySize);
        benchmark::DoNotOptimize(client);
        benchmark::DoNotOptimize(keys.data());
    }
}
BENCHMARK(BM_LanguageLoadAndLayOut255);

// ---- a click in each paste format

// Keeps the last payload, as the clipboard would.
class KeepingSink : public ClipboardSink {
public:
    void clear() override { m_payload.formats.clear(); }
    void set(const ClipboardPayload &payload) override { m_payload = payload; }
    const ClipboardPayload &payload() const { return m_payload; }

private:
    ClipboardPayload m_payload;
};

void clickBench(benchmark::State &state, PasteFormat format, InputMode mode)
{
    KeepingSink sink;
    const KeyFont font{"DejaVu Sans", 12};
    const std::u16string character = u"\u00e9";
    // Multiple Char places the whole collection: measured with 31 characters collected.
    OutputEngine prepared;
    prepared.setMode(InputMode::MultipleChar);
    for (int i = 0; i < 31; ++i) {
        prepared.Button1Click(u"a", PasteFormat::PlainText, font, sink);
        prepared.Button1Click(u"a", PasteFormat::Unicode, font, sink);
    }
    OutputEngine engine;
    engine.setMode(mode);
    for (auto _ : state) {
        if (mode == InputMode::MultipleChar)
            engine = prepared;
        engine.Button1Click(character, format, font, sink);
        benchmark::DoNotOptimize(sink.payload().formats.data());
    }
    state.SetLabel(std::string(pasteFormatName(format)));
}

void BM_ClickSingle(benchmark::State &state)
{
    clickBench(state, static_cast<PasteFormat>(state.range(0)), InputMode::SingleChar);
}
BENCHMARK(BM_ClickSingle)->DenseRange(0, 3)->ArgName("format");

void BM_ClickMultiple32(benchmark::State &state)
{
    clickBench(state, static_cast<PasteFormat>(state.range(0)), InputMode::MultipleChar);
}
BENCHMARK(BM_ClickMultiple32)->DenseRange(0, 3)->ArgName("format");

// ---- a value from a data file of 500 languages

const fs::path &dataFile500()
{
    static const fs::path file = [] {
        std::string names;
        std::string entries;
        for (int n = 1; n <= 500; ++n) {
            const std::string name = "Language " + std::to_string(n);
            names += (n > 1 ? ",\"" : "\"") + name + "\"";
            entries += name + "=\"DejaVu Sans\",12,8";
            for (int k = 0; k < 100; ++k) {
                entries += ',';
                entries += std::to_string(161 + (n + k) % 400);
            }
            entries += "\r\n";
        }
        const fs::path path = workFolder() / "Umbrill05.ini";
        writeFile(path, "; 500 languages\r\n[Umbrill]\r\nLanguages=" + names + "\r\n" + entries);
        return path;
    }();
    return file;
}

void BM_DataFileRead500(benchmark::State &state)
{
    const fs::path &file = dataFile500();
    // range(0): 1 reads the languages list (the first key), 500 the last language.
    const std::string key = state.range(0) == 1 ? std::string(kLanguagesKey) : "Language 500";
    for (auto _ : state) {
        std::string value = readProfileString(file, kDataSection, key, kNotFound);
        if (value == kNotFound)
            state.SkipWithError("value not found");
        benchmark::DoNotOptimize(value.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(fs::file_size(file)));
}
BENCHMARK(BM_DataFileRead500)->Arg(1)->Arg(500)->ArgName("key");

// ---- the settings store

fs::path settingsFile()
{
    const fs::path file = workFolder() / "config" / "umbrill" / "user.reg";
    fs::create_directories(file.parent_path());
    writeFile(file, "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\umbrill.ini]\r\n\r\n"
                    "[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\r\n\"ControlLanguage\"=\"English\"\r\n"
                    "\"KeySize\"=\"42\"\r\n\"PasteFormat\"=\"unicode\"\r\n");
    return file;
}

void BM_SettingsRead(benchmark::State &state)
{
    const fs::path file = settingsFile();
    for (auto _ : state) {
        std::string value = readSettingFrom(file, kSettingsSection, kPasteFormat.key, kPasteFormat.dflt);
        benchmark::DoNotOptimize(value.data());
    }
}
BENCHMARK(BM_SettingsRead);

void BM_SettingsWrite(benchmark::State &state)
{
    const fs::path file = settingsFile();
    bool odd = false;
    for (auto _ : state) {
        // A changed value each time, so that every write replaces the file.
        writeSettingTo(file, kSettingsSection, kPasteFormat.key, odd ? "html" : "unicode");
        odd = !odd;
    }
}
BENCHMARK(BM_SettingsWrite);

// A start that comes back on a remembered language: the store as the last
// run left it, just written (no earlier parse of it counts), then what the
// window does at start-up. The counter is the store's locked accesses per start.
void BM_RememberedStart(benchmark::State &state)
{
    const fs::path program = workFolder() / "start";
    fs::create_directories(program);
    writeFile(program / "Umbrill05.ini", "[Umbrill]\r\nLanguages=Pad\r\nPad=\"DejaVu Sans\",12,8,233,8364,38\r\n");
    const fs::path file = settingsFile();
    const std::string stored = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\r\n"
                               "\"ControlLanguage\"=\"English\"\r\n\"KeySize\"=\"42\"\r\n\"PasteFormat\"=\"unicode\"\r\n"
                               "\"LastLanguage\"=\"Pad\"\r\n\"KeepOnTop\"=\"1\"\r\n\"InputMode\"=\"SingleChar\"\r\n"
                               "\"TypeIntoWindow\"=\"0\"\r\n\"WindowPosition\"=\"100,80\"\r\n";
    const SettingsStore store(file);
    int starts = 0;
    for (auto _ : state) {
        state.PauseTiming();
        writeFile(file, stored);
        state.ResumeTiming();
        PadState pad(program / "", store);
        pad.CheckForIniFile();
        static_cast<void>(pad.remembered(kKeepOnTop));
        if (const auto language = pad.restoreStart())
            pad.GetLanguageData(language->key, [](const std::string &) {});
        pad.storeStartup();
        ++starts;
    }
    state.counters["lockedAccesses"] = static_cast<double>(store.lockedAccesses()) / std::max(starts, 1);
}
BENCHMARK(BM_RememberedStart);

// ---- a value continued over many hex(1) lines (about 77 bytes each)

// user.reg with one value of `lines` continuation lines, the text "a" repeated.
std::string continuedValueFile(std::size_t lines)
{
    std::string bytes = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\n"
                        "\"Long\"=hex(1):61,00,";
    for (std::size_t i = 0; i < lines; ++i)
        bytes += "\\\n  61,00,61,00,61,00,61,00,61,00,61,00,61,00,61,00,61,00,61,00,61,00,61,00,61,00,";
    bytes += "00,00\n";
    return bytes;
}

void BM_SettingsReadContinued(benchmark::State &state)
{
    const fs::path file = workFolder() / "continued" / "user.reg";
    fs::create_directories(file.parent_path());
    writeFile(file, continuedValueFile(static_cast<std::size_t>(state.range(0))));
    for (auto _ : state) {
        std::string value = readSettingFrom(file, kSettingsSection, "Long", "");
        if (value.empty())
            state.SkipWithError("value not found");
        benchmark::DoNotOptimize(value.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(fs::file_size(file)));
}
// 40,000 lines: a 3 MB value.
BENCHMARK(BM_SettingsReadContinued)->Arg(5000)->Arg(40000)->ArgName("lines")->Unit(benchmark::kMillisecond);

// ---- peak memory of one access to a large store

constexpr std::size_t kMiB = 1024 * 1024;

std::FILE *createFile(const fs::path &file)
{
    std::FILE *out = std::fopen(file.c_str(), "wb");
    if (!out)
        std::abort();
    return out;
}

// About `size` bytes of user.reg: keys of 20 string values, one of them
// continued over hex(1) lines; the value asked for is in the last key.
void writeLargeSettingsFile(const fs::path &file, std::size_t size)
{
    std::FILE *out = createFile(file);
    std::fputs("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\umbrill.ini]\r\n", out);
    std::size_t written = 0;
    for (int key = 0; written < size; ++key) {
        std::string block = "\r\n[HKEY_CURRENT_USER\\umbrill.ini\\Section" + std::to_string(key) + "]\r\n";
        for (int v = 0; v < 19; ++v)
            block += "\"Value" + std::to_string(v) + "\"=\"Some text of a setting, " + std::to_string(key) + "\"\r\n";
        block += "\"Wide\"=hex(1):61,00,62,00,63,00,64,00,65,00,66,00,67,00,68,00,69,00,6a,00,6b,00,\\\r\n"
                 "  6c,00,6d,00,6e,00,6f,00,00,00\r\n";
        std::fputs(block.c_str(), out);
        written += block.size();
    }
    std::fputs("\r\n[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\r\n\"KeySize\"=\"42\"\r\n", out);
    std::fclose(out);
}

// About `size` bytes of an ASCII data file: one section of language entries.
void writeLargeDataFile(const fs::path &file, std::size_t size)
{
    std::FILE *out = createFile(file);
    std::fputs("; languages\r\n[Umbrill]\r\nLanguages=French,German\r\n", out);
    std::size_t written = 0;
    for (int n = 0; written < size; ++n) {
        const std::string line = "Language " + std::to_string(n) + "=\"DejaVu Sans\",12,8,224,225,226,227,228,229,230,231\r\n";
        std::fputs(line.c_str(), out);
        written += line.size();
    }
    std::fputs("French=Arial,12,6,224\r\n", out);
    std::fclose(out);
}

long maxRssKiB()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Runs access once in a child process and gives the growth of the child's peak
// resident memory over its idle level, in KiB; -1 when the child failed.
template <typename Access>
long peakGrowthKiB(Access access)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const long idle = maxRssKiB();
        bool ok = true;
        try {
            access();
        } catch (...) {
            ok = false;
        }
        const long growth = ok ? maxRssKiB() - idle : -1;
        [[maybe_unused]] const ssize_t n = ::write(fds[1], &growth, sizeof growth);
        ::_exit(0);
    }
    ::close(fds[1]);
    long growth = -1;
    if (pid < 0 || ::read(fds[0], &growth, sizeof growth) != static_cast<ssize_t>(sizeof growth))
        growth = -1;
    ::close(fds[0]);
    if (pid > 0)
        ::waitpid(pid, nullptr, 0);
    return growth;
}

enum class Access { SettingsRead, SettingsWrite, DataRead, DataWrite };

// range(0): the Access; range(1): the file's size in MiB. Reports the peak
// growth in MiB and as a multiple of the file's size.
void BM_StorePeakMemory(benchmark::State &state)
{
    const auto access = static_cast<Access>(state.range(0));
    const std::size_t size = static_cast<std::size_t>(state.range(1)) * kMiB;
    const bool settings = access == Access::SettingsRead || access == Access::SettingsWrite;
    const fs::path file = workFolder() / "large" / (settings ? "user.reg" : "Umbrill05.ini");
    fs::create_directories(file.parent_path());
    long growth = 0;
    bool odd = false;
    for (auto _ : state) {
        state.PauseTiming();
        if (settings)
            writeLargeSettingsFile(file, size);
        else
            writeLargeDataFile(file, size);
        state.ResumeTiming();
        odd = !odd;
        switch (access) {
        case Access::SettingsRead:
            growth = peakGrowthKiB([&] {
                if (readSettingFrom(file, kSettingsSection, kKeySize.key, "") != "42")
                    throw std::runtime_error("wrong value");
            });
            break;
        case Access::SettingsWrite:
            growth = peakGrowthKiB([&] { writeSettingTo(file, kSettingsSection, kKeySize.key, odd ? "50" : "51"); });
            break;
        case Access::DataRead:
            growth = peakGrowthKiB([&] {
                if (readProfileString(file, kDataSection, "French", kNotFound) != "Arial,12,6,224")
                    throw std::runtime_error("wrong value");
            });
            break;
        case Access::DataWrite:
            growth = peakGrowthKiB([&] { writeProfileString(file, kDataSection, "French", odd ? "Times,10,6,224" : "Arial,9"); });
            break;
        }
        if (growth < 0)
            state.SkipWithError("the access failed");
    }
    fs::remove(file);
    static constexpr const char *kNames[] = {"settings read", "settings write", "data read", "data write"};
    state.SetLabel(kNames[state.range(0)]);
    state.counters["peak_MiB"] = static_cast<double>(growth) / 1024.0;
    state.counters["peak_per_file_size"] = static_cast<double>(growth) * 1024.0 / static_cast<double>(size);
}
BENCHMARK(BM_StorePeakMemory)
    ->ArgsProduct({{0, 1, 2, 3}, {100}})
    ->ArgNames({"access", "MiB"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// range(0) lookups in a user.reg of 34 MB just read, the value asked for in
// its last key: as start-up reads its settings from a large file.
void BM_SettingsLookupsInLargeFile(benchmark::State &state)
{
    const fs::path file = workFolder() / "lookups" / "user.reg";
    fs::create_directories(file.parent_path());
    writeLargeSettingsFile(file, 34 * kMiB);
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string settingsKey = std::string(kSettingsRootKey) + "\\" + std::string(kSettingsSection);
    for (auto _ : state) {
        state.PauseTiming();
        const RegistryFile registry = RegistryFile::fromBytes(bytes);
        state.ResumeTiming();
        for (std::int64_t i = 0; i < state.range(0); ++i) {
            if (registry.stringValue(settingsKey, kKeySize.key) != "42")
                state.SkipWithError("value not found");
        }
    }
    fs::remove(file);
}
BENCHMARK(BM_SettingsLookupsInLargeFile)->Arg(1)->Arg(12)->ArgName("lookups")->Unit(benchmark::kMillisecond);

// range(0) lookups in a data file of 200 sections of 40 keys each (as a file
// of generated languages is shaped), each in one of the last sections, in a
// file kept in memory: the first walks, the later ones use the index.
void BM_DataFileLookups(benchmark::State &state)
{
    std::string text;
    for (int section = 0; section < 200; ++section) {
        text += "[Language " + std::to_string(section) + "]\r\n";
        for (int key = 0; key < 40; ++key)
            text += "Key" + std::to_string(key) + "=DejaVu Sans,12,8,224,225,226,227,228,229,230\r\n";
    }
    for (auto _ : state) {
        state.PauseTiming();
        const ProfileFile file = ProfileFile::fromBytes(text);
        state.ResumeTiming();
        for (std::int64_t i = 0; i < state.range(0); ++i) {
            const std::string section = "language " + std::to_string(199 - i % 10);
            if (file.value(section, "KEY39", "").empty())
                state.SkipWithError("value not found");
        }
    }
}
BENCHMARK(BM_DataFileLookups)->Arg(1)->Arg(12)->Arg(200)->ArgName("lookups")->Unit(benchmark::kMicrosecond);

// The name index, built as Find first opens it: every Unicode name read from
// ICU (the ideographs' names of prefix and code left out), and the table of
// everyday words taken in.
void BM_NameIndexBuild(benchmark::State &state)
{
    std::size_t names = 0;
    std::size_t words = 0;
    for (auto _ : state) {
        umbrill::NameIndex index;
        names = index.size();
        words = index.everydaySize();
        benchmark::DoNotOptimize(names);
    }
    state.counters["names"] = static_cast<double>(names);
    state.counters["everyday words"] = static_cast<double>(words);
}
BENCHMARK(BM_NameIndexBuild)->Unit(benchmark::kMillisecond);

// One search as a keystroke makes it, over every name of the index.
const std::u16string kQueries[] = {u"e",     u"e acute", u"arrow left", u"latin small letter s with comma below",
                                   u"20AC",  u"xyzzy",   u"heart",      u"h\u00E4kchen",
                                   u"e accent aigu", u"+-", u"check mark"};
// As Find asks: German words first, and a font check for every character found
// (here a cheap stand-in that draws all but the supplementary planes).
void BM_NameSearch(benchmark::State &state)
{
    const umbrill::NameIndex &index = umbrill::NameIndex::shared();
    const std::u16string &query = kQueries[state.range(0)];
    umbrill::FindOptions options;
    options.language = umbrill::InterfaceLanguage::German;
    options.drawable = [](char32_t c) { return c < 0x10000; };
    std::size_t found = 0;
    for (auto _ : state) {
        found = index.find(query, options).size();
        benchmark::DoNotOptimize(found);
    }
    std::string label;
    for (char16_t unit : query)
        label += unit < 0x80 ? static_cast<char>(unit) : '?';
    state.SetLabel(label + ": " + std::to_string(found) + " found");
}
BENCHMARK(BM_NameSearch)->DenseRange(0, 10)->ArgName("query")->Unit(benchmark::kMillisecond);

// What a key's tooltip and screen-reader name need, for the 255 keys of a
// large pad: the name, the code and the face of each character.
void BM_NamesOf255Keys(benchmark::State &state)
{
    for (auto _ : state) {
        for (std::int32_t k = 0; k < 255; ++k) {
            const char32_t c = static_cast<char32_t>(k < 95 ? 161 + k : 256 + (k - 95));
            benchmark::DoNotOptimize(umbrill::characterName(c));
            benchmark::DoNotOptimize(umbrill::codePointLabel(c));
            benchmark::DoNotOptimize(umbrill::visibleFace(c));
        }
    }
}
BENCHMARK(BM_NamesOf255Keys)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(workFolder(), ec);
    return 0;
}
