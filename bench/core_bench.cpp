// Benchmarks of the core: loading and laying out a 255-key language, a click
// in each paste format (the payload built and handed to a clipboard that keeps
// it), a value read from a data file of 500 languages, a settings read and a
// settings write. Files live in a temporary folder removed at the end.
#include "core/keypad/clipboardpayload.h"
#include "core/keypad/keygrid.h"
#include "core/keypad/outputengine.h"
#include "core/languages/languagerecord.h"
#include "core/settings/profilefile.h"
#include "core/settings/settingnames.h"
#include "core/settings/settingsstore.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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
    OutputEngine engine;
    engine.Mode = mode;
    KeepingSink sink;
    const KeyFont font{"DejaVu Sans", 12};
    const std::u16string character = u"\u00e9";
    // Multiple Char places the whole collection: measured with 31 characters collected.
    const std::string collected(31, 'a');
    const std::u16string wideCollected(31, u'a');
    for (auto _ : state) {
        if (mode == InputMode::MultipleChar) {
            engine.AccumulatedText.assign(collected);
            engine.AccumulatedWideText.assign(wideCollected);
        }
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
        std::string value = readSettingFrom(file, kSettingsSection, kPasteFormatKey, kPasteFormatDefault);
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
        writeSettingTo(file, kSettingsSection, kPasteFormatKey, odd ? "html" : "unicode");
        odd = !odd;
    }
}
BENCHMARK(BM_SettingsWrite);

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
