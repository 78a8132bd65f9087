// The stored values: what reads back from the settings store, and how often
// a start reads it.
#include "core/pad/padstate.h"
#include "core/pad/storedvalues.h"
#include "core/text/error.h"
#include "settings/testfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace umbrill {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

std::string storeWith(const std::string &lines)
{
    return "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\r\n" + lines;
}

// A value that is damaged, out of bounds or of another type is not
// remembered; the user settings read any text and fall back to their default.
TEST(StoredValues, WhatReadsBackIsWhatIsWithinBounds)
{
    TempDir dir{"umbrill-stored"};
    const SettingsStore store(dir / "user.reg");
    const auto section = [&](const std::string &value, const char *key) {
        writeBytes(store.file(), storeWith("\"" + std::string(key) + "\"=" + value + "\r\n"));
        return store.readSection(kSettingsSection);
    };
    struct Row {
        const char *stored; // as the line holds it, quotes included
        bool remembered;
    };
    const auto check = [&](const auto &declared, const std::vector<Row> &rows) {
        for (const Row &row : rows) {
            SCOPED_TRACE(std::string(declared.key) + "=" + row.stored);
            const auto value = declared.in(section(row.stored, declared.key.data()));
            EXPECT_EQ(value.has_value(), row.remembered);
            // What reads back is written back as it was read.
            if (value && std::string(row.stored).front() == '"') {
                EXPECT_EQ("\"" + *declared.format(*value) + "\"", row.stored);
            }
        }
    };
    check(kWindowPosition, {{"\"-20,300\"", true}, {"\"20\"", false}, {"\"x,3\"", false}, {"\"1,2,3\"", false},
                            {"\"99999999999,1\"", false}, {"\"\"", false}, {"dword:00000001", false}});
    check(kFindSize, {{"\"420,310\"", true}, {"\"0,310\"", false}, {"\"420,-5\"", false}, {"\"x,310\"", false}});
    check(kKeepOnTop, {{"\"1\"", true}, {"\"0\"", true}, {"\"2\"", false}, {"\"yes\"", false}, {"hex:31", false}});
    check(kTypeIntoWindow, {{"\"0\"", true}, {"\"true\"", false}});
    check(kInputMode, {{"\"SingleChar\"", true}, {"\"MultipleChar\"", true}, {"\"DirectPaste\"", false},
                       {"\"singlechar\"", false}});
    check(kLastLanguage, {{"\"Français\"", true}, {"\"\"", false}, {"dword:00000002", false}});
    check(kRecent, {{"\"233,8364\"", true}, {"\"\"", false}});
    check(kPortalRestoreToken, {{"\"a1b2\"", true}, {"\"\"", false}});

    // Direct Paste is never stored, so a start never comes back in it.
    EXPECT_EQ(kInputMode.format(InputMode::DirectPaste), std::nullopt);

    // The user settings: absent, the default; any text a whole number for
    // the key size; another type is the store's error.
    EXPECT_EQ(kKeySize.in(section("\"36\"", "KeySize")), 36);
    EXPECT_EQ(kKeySize.in(section("\"big\"", "KeySize")), 0);
    EXPECT_EQ(kKeySize.in(section("\"1\"", "Other")), 42);
    EXPECT_EQ(kPasteFormat.in(section("\"1\"", "Other")), "unicode");
    EXPECT_EQ(kControlLanguage.in(section("\"Deutsch\"", "ControlLanguage")), "Deutsch");
    EXPECT_THROW(kKeySize.in(section("dword:00000024", "KeySize")), Error);
}

// A start that comes back on a remembered language reads the store once and
// writes nothing back of what it restored; a change during the start is
// written, and once the start is over every read looks at the file again.
TEST(StoredValues, ARememberedStartReadsTheStoreOnce)
{
    TempDir dir{"umbrill-start"};
    writeBytes(dir / "Umbrill05.ini", "[Umbrill]\r\nLanguages=Pad\r\nPad=Arial,8,5,65,66\r\n");
    const SettingsStore store(dir / "config" / "user.reg");
    std::filesystem::create_directories(dir / "config");
    const std::string stored = storeWith("\"ControlLanguage\"=\"English\"\r\n\"KeySize\"=\"30\"\r\n"
                                         "\"LastLanguage\"=\"Pad\"\r\n\"KeepOnTop\"=\"1\"\r\n"
                                         "\"InputMode\"=\"MultipleChar\"\r\n\"TypeIntoWindow\"=\"1\"\r\n");
    // Just written: no earlier parse of it can stand in for a read.
    writeBytes(store.file(), stored);

    PadState pad(dir.path() / "", store);
    ASSERT_TRUE(pad.CheckForIniFile());
    const auto restored = pad.restoreStart();
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->key, "Pad");
    EXPECT_EQ(restored->position, 0);
    EXPECT_EQ(pad.LanguageIndex(), 0);
    EXPECT_EQ(pad.CurrentLanguage().LanguageName, "Pad");
    EXPECT_EQ(pad.Output().Mode(), InputMode::MultipleChar);
    pad.GetLanguageData(restored->key, [](const std::string &) {});
    // Typing comes back on, and turning it on again changes nothing.
    EXPECT_TRUE(pad.typingOn());
    pad.setTyping(true);
    EXPECT_EQ(pad.KeySize(), 30);
    EXPECT_EQ(store.lockedAccesses(), 1);
    EXPECT_EQ(readBytes(store.file()), stored);

    // A value the start changes is written at once.
    pad.remember(kKeepOnTop, false);
    EXPECT_EQ(store.lockedAccesses(), 2);
    EXPECT_EQ(pad.remembered(kKeepOnTop), false);
    pad.setTyping(false);
    EXPECT_EQ(pad.remembered(kTypeIntoWindow), false);

    // Over: another program's edit is read, whatever the start held.
    pad.storeStartup();
    writeBytes(store.file(), storeWith("\"KeySize\"=\"44\"\r\n"));
    EXPECT_EQ(pad.openOptions().keySize, 30); // a language is shown: its size counts
    pad.GetLanguageData("Pad", [](const std::string &) {});
    EXPECT_EQ(pad.KeySize(), 44);
}

} // namespace
} // namespace umbrill
