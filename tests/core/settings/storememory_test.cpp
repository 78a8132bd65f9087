// The heap a store access uses, counted by a replaced operator new: reading a
// value continued over thousands of lines allocates in proportion to its
// length, and one read or write of a large store holds at most about twice
// the file's size at once.
#include "core/settings/profilefile.h"
#include "core/settings/registryfile.h"
#include "core/settings/settingsstore.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <cstdlib>
#include <new>

#include <malloc.h>

namespace {

std::atomic<std::size_t> g_live{0};      // bytes allocated and not yet freed
std::atomic<std::size_t> g_peak{0};      // the most g_live reached since the last reset
std::atomic<std::size_t> g_allocated{0}; // bytes allocated since the last reset

void *counted(std::size_t size)
{
    void *p = std::malloc(size == 0 ? 1 : size);
    if (!p)
        throw std::bad_alloc();
    const std::size_t usable = malloc_usable_size(p);
    const std::size_t live = g_live += usable;
    g_allocated += usable;
    for (std::size_t peak = g_peak; live > peak && !g_peak.compare_exchange_weak(peak, live);) {
    }
    return p;
}

void uncounted(void *p) noexcept
{
    if (!p)
        return;
    g_live -= malloc_usable_size(p);
    std::free(p);
}

} // namespace

void *operator new(std::size_t size) { return counted(size); }
void *operator new[](std::size_t size) { return counted(size); }
void operator delete(void *p) noexcept { uncounted(p); }
void operator delete[](void *p) noexcept { uncounted(p); }
void operator delete(void *p, std::size_t) noexcept { uncounted(p); }
void operator delete[](void *p, std::size_t) noexcept { uncounted(p); }

namespace umbrill {
namespace {

using namespace umbrill::testing;

struct HeapUse {
    std::size_t allocated = 0; // in all
    std::size_t peak = 0;      // the most held at once, above what was held before
};

template <typename Action>
HeapUse heapUseOf(Action action)
{
    const std::size_t before = g_live;
    g_peak = before;
    g_allocated = 0;
    action();
    return {g_allocated, g_peak - before};
}

constexpr std::string_view kHexLine = "  61,00,61,00,61,00,61,00,61,00,61,00,61,00,61,00,61,00,61,00,61,00,61,00,";

// A value of "a"s continued over `lines` lines; `dangling` leaves the mark on
// its last line, so that it would take in a line added after it.
std::string continuedValueFile(std::size_t lines, bool dangling)
{
    std::string bytes = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\n"
                        "\"Long\"=hex(1):61,00,";
    for (std::size_t i = 0; i < lines; ++i)
        bytes += std::string("\\\n") + std::string(kHexLine);
    bytes += dangling ? "\\" : "00,00\n";
    return bytes;
}

TEST(StoreMemory, AContinuedValueIsJoinedWithoutCopyingItOverAndOver)
{
    constexpr std::size_t kLines = 4000;
    const std::string expected(1 + kLines * 12, 'a');
    struct Row {
        const char *name;
        bool dangling;
    };
    for (const Row &row : {Row{"read", false}, Row{"new key after a value continued to the end", true}}) {
        SCOPED_TRACE(row.name);
        const std::string bytes = continuedValueFile(kLines, row.dangling);
        HeapUse use;
        if (!row.dangling) {
            std::string copy = bytes;
            std::optional<std::string> value;
            use = heapUseOf([&] {
                value = RegistryFile::fromBytes(std::move(copy)).stringValue(
                    "HKEY_CURRENT_USER\\umbrill.ini\\Settings", "Long");
            });
            EXPECT_EQ(value, expected);
        } else {
            RegistryFile file = RegistryFile::fromBytes(bytes);
            use = heapUseOf([&] { file.setString("HKEY_CURRENT_USER\\umbrill.ini\\New", "x", "y"); });
            EXPECT_EQ(file.stringValue("HKEY_CURRENT_USER\\umbrill.ini\\New", "x"), "y");
        }
        // Joining line by line by copying the text so far allocates about
        // lines / 2 times the value's size; a linear join, a few times it.
        EXPECT_LT(use.allocated, 16 * bytes.size());
    }
}

TEST(StoreMemory, OneAccessToALargeStoreHoldsAtMostTwiceItsSize)
{
    TempDir dir;
    const fs::path settings = dir / "user.reg";
    const fs::path data = dir / "Umbrill05.ini";
    {
        std::string bytes = "Windows Registry Editor Version 5.00\r\n";
        for (int key = 0; bytes.size() < 4'000'000; ++key) {
            bytes += "\r\n[HKEY_CURRENT_USER\\umbrill.ini\\Section" + std::to_string(key) + "]\r\n";
            for (int v = 0; v < 20; ++v)
                bytes += "\"Value" + std::to_string(v) + "\"=\"text\"\r\n";
        }
        writeBytes(settings, bytes + "\r\n[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\r\n\"KeySize\"=\"42\"\r\n");
        bytes = "[Umbrill]\r\n";
        for (int n = 0; bytes.size() < 4'000'000; ++n)
            bytes += "Language " + std::to_string(n) + "=Arial,12,8\r\n";
        writeBytes(data, bytes + "French=x\r\n");
    }
    struct Row {
        const char *name;
        const fs::path &file;
        std::function<void()> access;
    };
    const Row rows[] = {
        {"settings read", settings, [&] { EXPECT_EQ(readSettingFrom(settings, "Settings", "KeySize", ""), "42"); }},
        {"settings write", settings, [&] { writeSettingTo(settings, "Settings", "KeySize", "50"); }},
        {"settings write of a new key", settings, [&] { writeSettingTo(settings, "Settings", "PasteFormat", "html"); }},
        {"data read", data, [&] { EXPECT_EQ(readProfileString(data, "Umbrill", "French", ""), "x"); }},
        {"data write", data, [&] { writeProfileString(data, "Umbrill", "French", "Arial,12,6,224"); }},
        {"data write of a new key", data, [&] { writeProfileString(data, "Umbrill", "German", "Arial,12,6,228"); }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const std::size_t size = fs::file_size(row.file);
        const HeapUse use = heapUseOf(row.access);
        EXPECT_LE(use.peak, 2 * size);
    }
    EXPECT_EQ(readSettingFrom(settings, "Settings", "PasteFormat", ""), "html");
    EXPECT_EQ(readProfileString(data, "Umbrill", "German", ""), "Arial,12,6,228");
}

TEST(StoreMemory, ReadsOfAnUnchangedStoreParseItOnce)
{
    TempDir dir;
    const fs::path settings = dir / "user.reg";
    std::string bytes = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\umbrill.ini\\Other]\r\n";
    for (int v = 0; bytes.size() < 2'000'000; ++v)
        bytes += "\"Value" + std::to_string(v) + "\"=\"text\"\r\n";
    writeBytes(settings, bytes + "\r\n[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\r\n\"KeySize\"=\"42\"\r\n");
    const std::size_t size = fs::file_size(settings);
    // A file changed a moment ago is read afresh each time (its times may not
    // have ticked yet): the clock says this one has rested.
    setStoreClock([] { return systemStoreClock() + 300'000'000; });
    struct SystemClockAgain {
        ~SystemClockAgain() { setStoreClock(nullptr); }
    } systemClockAgain;

    EXPECT_GE(heapUseOf([&] { readSettingFrom(settings, "Settings", "KeySize", ""); }).allocated, size);
    const HeapUse again = heapUseOf([&] {
        for (int read = 0; read < 9; ++read)
            EXPECT_EQ(readSettingFrom(settings, "Settings", "KeySize", ""), "42");
    });
    EXPECT_LT(again.allocated, size / 10);

    // A write, or another program's edit in place at the same size, is seen at once.
    writeSettingTo(settings, "Settings", "KeySize", "50");
    EXPECT_EQ(readSettingFrom(settings, "Settings", "KeySize", ""), "50");
    EXPECT_EQ(readSettingFrom(settings, "Settings", "KeySize", ""), "50");
    std::string edited = readBytes(settings);
    edited.replace(edited.rfind("\"50\""), 4, "\"44\"");
    {
        std::fstream in(settings, std::ios::in | std::ios::out | std::ios::binary);
        in.write(edited.data(), static_cast<std::streamsize>(edited.size()));
    }
    // The edit comes a moment later than the write, as another program's does.
    fs::last_write_time(settings, fs::last_write_time(settings) + std::chrono::seconds(1));
    EXPECT_EQ(readSettingFrom(settings, "Settings", "KeySize", ""), "44");
}

} // namespace
} // namespace umbrill
