// The user's own languages, My Characters and Recent, without a window.
#include "core/pad/ownlanguages.h"

#include "core/pad/padstate.h"
#include "core/settings/profilefile.h"
#include "core/text/commalist.h"
#include "core/text/error.h"
#include "settings/testfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include <sys/wait.h>
#include <unistd.h>

namespace umbrill {
namespace {

namespace fs = std::filesystem;
using testing::readBytes;
using testing::ScopedEnv;
using testing::TempDir;
using testing::writeBytes;

TEST(OwnLanguages, TheCatalogueListsShippedThenOwnThenRecentOnce)
{
    struct Row {
        const char *name;
        const char *shipped;
        const char *own;
        const char *extra;
        std::vector<std::string> listed;
    };
    const Row rows[] = {
        {"own appended", "French,German", "Mine", "", {"French", "German", "Mine"}},
        {"a name in both stays at its shipped place", "French,German", "german,Mine,French", "",
         {"French", "German", "Mine"}},
        {"names that need quotes", "French", "\"My Characters\",\"A, B\"", "Recent",
         {"French", "My Characters", "A, B", "Recent"}},
        {"no own file", "French", "", "", {"French"}},
        {"damaged own list", "French", "\"unterminated, list", "", {"French", "unterminated, list"}},
        {"the shipped list's oddities stay", "not found", "", "", {"not", "found"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(splitCommaList(mergedCatalogue(row.shipped, row.own, row.extra)), row.listed);
    }
    EXPECT_EQ(mergedCatalogue("A,\"B C\"", "", ""), "A,\"B C\""); // the shipped text as it stands
}

TEST(OwnLanguages, AnOwnEntryWinsAndAMissingFileIsEmpty)
{
    TempDir dir("umbrill-own");
    writeBytes(dir / "shipped.ini", "[Umbrill]\r\nLanguages=French\r\nFrench=Arial,8,5,233\r\nGreek=Arial,8,5,945\r\n");
    EXPECT_EQ(languageEntry(dir / "shipped.ini", dir / "missing.ini", "French"), "Arial,8,5,233");
    writeBytes(dir / "own.ini", "[umbrill]\nfrench=Serif,20,4,233,232\nBroken=Arial,x\n");
    EXPECT_EQ(languageEntry(dir / "shipped.ini", dir / "own.ini", "French"), "Serif,20,4,233,232");
    EXPECT_EQ(languageEntry(dir / "shipped.ini", dir / "own.ini", "Greek"), "Arial,8,5,945");
    EXPECT_EQ(languageEntry(dir / "shipped.ini", dir / "own.ini", "Broken"), "Arial,x");
    EXPECT_EQ(languageEntry(dir / "shipped.ini", dir / "own.ini", "Nothing"), "not found");
}

TEST(OwnLanguages, EntryCodesStandForTheCharacterItself)
{
    EXPECT_EQ(entryCodeOf(u"é"), 233);
    EXPECT_EQ(entryCodeOf(u"€"), 8364); // not 128, its Windows-1252 byte
    EXPECT_EQ(entryCodeOf(u"\U0001F600"), 0x1F600);
    EXPECT_EQ(entryCodeOf(u"\u0080"), std::nullopt); // code 128 would read as €
    EXPECT_EQ(entryCodeOf(u"ab"), std::nullopt);
    EXPECT_EQ(entryCodeOf(u"\xD800"), std::nullopt);
}

TEST(MyCharacters, AddsOnceRemovesAndKeepsTheLanguage)
{
    TempDir dir("umbrill-own");
    const auto own = dir / "umbrill" / "languages.ini"; // the folder is made on the first add
    EXPECT_TRUE(addToMyCharacters(own, 233, "DejaVu Sans", 12));
    EXPECT_FALSE(addToMyCharacters(own, 233, "Other", 30)); // held already
    EXPECT_TRUE(addToMyCharacters(own, 0x1F600, "Other", 30));
    EXPECT_EQ(readBytes(own), "[Umbrill]\r\nLanguages=\"\"My Characters\"\"\r\n"
                              "My Characters=\"DejaVu Sans\",12,8,233,128512\r\n");
    EXPECT_EQ(splitCommaList(readProfileString(own, "Umbrill", "Languages", "")),
              std::vector<std::string>{"My Characters"});

    EXPECT_FALSE(removeFromMyCharacters(own, 945));
    EXPECT_TRUE(removeFromMyCharacters(own, 233));
    EXPECT_TRUE(removeFromMyCharacters(own, 0x1F600)); // the last key: the language stays, empty
    EXPECT_EQ(readProfileString(own, "Umbrill", "My Characters", ""), "\"DejaVu Sans\",12,8");
    EXPECT_TRUE(addToMyCharacters(own, 8364, "", 0));
    EXPECT_EQ(readProfileString(own, "Umbrill", "Languages", ""), "\"My Characters\""); // listed once
}

TEST(MyCharacters, AFileOfAnotherKindIsNeverWrittenInto)
{
    TempDir dir("umbrill-own");
    const std::string passwd = "root:x:0:0:root:/root:/bin/bash\n; not ours\n";
    const auto other = dir / "passwd";
    writeBytes(other, passwd);
    const auto linked = dir / "linked" / "languages.ini";
    fs::create_directories(linked.parent_path());
    fs::create_symlink(other, linked);
    const auto plain = dir / "plain" / "languages.ini";
    fs::create_directories(plain.parent_path());
    writeBytes(plain, passwd);
    for (const fs::path &own : {linked, plain}) {
        SCOPED_TRACE(own.string());
        const std::string unable = "Unable to write to " + own.string();
        const auto failure = [&](const std::function<void()> &edit) {
            try {
                edit();
            } catch (const Error &error) {
                return std::string(error.what());
            }
            return std::string("no error");
        };
        EXPECT_EQ(failure([&] { addToMyCharacters(own, 233, "DejaVu Sans", 12); }), unable);
        EXPECT_EQ(failure([&] { removeFromMyCharacters(own, 233); }), unable);
        EXPECT_EQ(failure([&] { writeOwnEntry(own, "Mine", "Arial,12,8,65"); }), unable);
        EXPECT_EQ(readBytes(own), passwd);
    }
    EXPECT_TRUE(fs::is_symlink(linked));

    // A link to a file of ours is followed, and an empty file is filled.
    writeBytes(other, "; mine\n[umbrill]\nLanguages=\n");
    writeBytes(plain, "\n");
    for (const fs::path &own : {linked, plain}) {
        SCOPED_TRACE(own.string());
        EXPECT_TRUE(addToMyCharacters(own, 233, "DejaVu Sans", 12));
        EXPECT_EQ(ownEntry(own, "My Characters"), "\"DejaVu Sans\",12,8,233");
    }
    EXPECT_TRUE(fs::is_symlink(linked));
}

TEST(MyCharacters, TwoProgramsAddingAtOnceLoseNothing)
{
    TempDir dir("umbrill-own");
    const auto own = dir / "languages.ini";
    constexpr int kEach = 40;
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = ::fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            for (int i = 0; i < kEach; ++i)
                addToMyCharacters(own, 0x400 + c * kEach + i, "Arial", 8);
            ::_exit(0);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::vector<std::string> items = splitCommaList(readProfileString(own, "Umbrill", "My Characters", ""));
    EXPECT_EQ(items.size(), 3u + 2 * kEach);
}

TEST(Recent, MostRecentFirstWithoutRepeatsAndAtMost24)
{
    RecentCharacters recent = RecentCharacters::fromText("233, x, 232,,8364");
    EXPECT_EQ(recent.codes(), (std::vector<std::int32_t>{233, 232, 8364}));
    EXPECT_FALSE(recent.add(233));
    EXPECT_TRUE(recent.add(8364));
    EXPECT_EQ(recent.toText(), "8364,233,232");
    for (std::int32_t code = 1000; code < 1030; ++code)
        recent.add(code);
    ASSERT_EQ(recent.codes().size(), kRecentLimit);
    EXPECT_EQ(recent.codes().front(), 1029);
    EXPECT_EQ(recent.codes().back(), 1006);
    EXPECT_EQ(RecentCharacters::fromText(recent.toText()).codes(), recent.codes());
    EXPECT_EQ(splitCommaList(recent.entry()).size(), 3u + kRecentLimit);
}

TEST(OwnLanguages, TheFontCommandWritesTheUsersFileWhereTheDataFileCannotBeWritten)
{
    TempDir home("umbrill-own");
    ScopedEnv config("XDG_CONFIG_HOME", (home / "config").string());
    std::filesystem::create_directory(home / "program");
    writeBytes(home / "program" / "Umbrill05.ini", "[Umbrill]\r\nLanguages=Pad\r\nPad=Arial,8,5,65,66\r\n");
    std::filesystem::permissions(home / "program", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    PadState pad(home / "program" / "");
    ASSERT_TRUE(pad.CheckForIniFile());
    pad.SetLanguage("Pad");
    pad.GetLanguageData("Pad", [](const std::string &) {});
    pad.layOut(2, 1920, 1080);
    pad.applyKeyFont("Serif", 20, 96.0);
    pad.writeKeyFontEntry();
    EXPECT_EQ(readBytes(home / "program" / "Umbrill05.ini"), "[Umbrill]\r\nLanguages=Pad\r\nPad=Arial,8,5,65,66\r\n");
    EXPECT_EQ(readBytes(home / "config" / "umbrill" / "languages.ini"), "[Umbrill]\r\nPad=\"Serif\",20,5,65,66\r\n");
    // The entry now comes from the user's file.
    pad.GetLanguageData("Pad", [](const std::string &) {});
    EXPECT_EQ(pad.CurrentLanguage().KeyFontName, "Serif");
}

// Item lists of n decimal codes or names, for long values.
std::string numbered(int count, int first, const char *prefix)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += (i ? "," : "") + std::string(prefix) + std::to_string(first + i);
    return text;
}

TEST(MyCharacters, AddAndRemoveReadAndWriteWholeValues)
{
    TempDir dir("umbrill-own");
    const auto own = dir / "languages.ini";
    // 400 adds: every code stays, none is cut short, and the pad loads them all.
    for (int i = 0; i < 400; ++i)
        ASSERT_TRUE(addToMyCharacters(own, 128000 + i, "Arial", 8));
    const std::vector<std::string> items = splitCommaList(*ownEntry(own, "My Characters"));
    ASSERT_EQ(items.size(), 3u + 400);
    EXPECT_EQ(items[3], "128000");
    EXPECT_EQ(items.back(), "128399");
    EXPECT_TRUE(removeFromMyCharacters(own, 128033));
    EXPECT_EQ(splitCommaList(*ownEntry(own, "My Characters")).size(), 3u + 399);
    EXPECT_FALSE(removeFromMyCharacters(own, 12803)); // never added, never made up

    // A hand-written list of 400 names keeps every one when My Characters joins it.
    writeBytes(own, "[Umbrill]\nLanguages=" + numbered(400, 0, "Language") + "\nLanguage7=Arial,8,5,65\n");
    ASSERT_TRUE(addToMyCharacters(own, 233, "Arial", 8));
    std::vector<std::string> names = splitCommaList(ownLanguagesList(own));
    ASSERT_EQ(names.size(), 401u);
    EXPECT_EQ(names[399], "Language399");
    EXPECT_EQ(names[400], "My Characters");
    EXPECT_EQ(splitCommaList(mergedCatalogue("French", ownLanguagesList(own), "")).size(), 402u);
}

TEST(MyCharacters, TheUsersListKeepsItsBytesAndQuotedNames)
{
    struct Row {
        const char *name;
        std::string list;         // as the user's file holds it
        std::string written;      // the line after an add
        std::vector<std::string> names;
    };
    const Row rows[] = {
        // A NUL separates items like a blank; the bytes after it stay.
        {"a NUL inside the list", std::string("Mi\0ne,Two", 9), std::string("Mi\0ne,Two,\"My Characters\"", 25),
         {"Mi", "ne", "Two", "My Characters"}},
        {"a NUL inside a quoted name", std::string("\"Mi\0ne\",Two", 11),
         std::string("\"Mi\0ne\",Two,\"My Characters\"", 27), {"Two", "My Characters"}},
        {"a name in quotes", "\"My Language\"", "\"My Language\",\"My Characters\"", {"My Language", "My Characters"}},
        {"names in quotes", "\"A B\",\"C\"", "\"A B\",\"C\",\"My Characters\"", {"A B", "C", "My Characters"}},
        {"one more pair, as older writes left it", "\"\"A B\"\"", "\"A B\",\"My Characters\"",
         {"A B", "My Characters"}},
        {"blanks after the list", "One  ", "One,\"My Characters\"  ", {"One", "My Characters"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir("umbrill-own");
        const auto own = dir / "languages.ini";
        writeBytes(own, "[Umbrill]\nLanguages=" + row.list + "\nOther=Serif,9,3,66\n");
        // Before the add, a name in quotes is already one name.
        const std::vector<std::string> before = splitCommaList(mergedCatalogue("", ownLanguagesList(own), ""));
        EXPECT_EQ(before, std::vector<std::string>(row.names.begin(), row.names.end() - 1));
        ASSERT_TRUE(addToMyCharacters(own, 233, "Arial", 8));
        EXPECT_EQ(readBytes(own), "[Umbrill]\nLanguages=" + row.written + "\nOther=Serif,9,3,66\n"
                                  "My Characters=\"Arial\",8,8,233\n");
        EXPECT_EQ(splitCommaList(mergedCatalogue("", ownLanguagesList(own), "")), row.names);
        ASSERT_TRUE(addToMyCharacters(own, 232, "Arial", 8)); // listed once
        EXPECT_EQ(splitCommaList(mergedCatalogue("", ownLanguagesList(own), "")), row.names);
    }
}

TEST(MyCharacters, ADamagedSizeOrKeysPerRowLosesNoKeyAndNoFace)
{
    struct Row {
        const char *name;
        const char *entry;
        const char *written; // after adding é (233)
    };
    const Row rows[] = {
        {"a size with a fraction", "\"DejaVu Sans\",12.5,8,232,8364,945,8482,169",
         "\"DejaVu Sans\",12,8,232,8364,945,8482,169,233"},
        {"keys per row in words", "\"DejaVu Sans\",12,eight,232,8364", "\"DejaVu Sans\",12,8,232,8364,233"},
        {"both damaged", "Serif,big,-x,945", "\"Serif\",8,8,945,233"},
        {"a code that is no number", "Serif,10,4,945,junk,8482", "\"Serif\",10,4,945,0,8482,233"},
        {"nothing but a face", "Serif", "\"Serif\",8,5,233"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir("umbrill-own");
        const auto own = dir / "languages.ini";
        writeBytes(own, std::string("[Umbrill]\nLanguages=\"My Characters\"\nMy Characters=") + row.entry + "\n");
        ASSERT_TRUE(addToMyCharacters(own, 233, "Other", 30));
        EXPECT_EQ(*ownEntry(own, "My Characters"), row.written);
    }
}

TEST(OwnLanguages, AUtf16FileStaysInItsEncodingAfterAnAdd)
{
    struct Row {
        const char *name;
        std::string bom;
        bool littleEndian;
    };
    const Row rows[] = {{"little-endian", "\xFF\xFE", true}, {"big-endian", "\xFE\xFF", false}};
    const auto encoded = [](std::u16string_view text, bool littleEndian) {
        std::string bytes;
        for (char16_t unit : text) {
            const char low = static_cast<char>(unit & 0xFF);
            const char high = static_cast<char>(unit >> 8);
            bytes += littleEndian ? low : high;
            bytes += littleEndian ? high : low;
        }
        return bytes;
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir("umbrill-own");
        const auto own = dir / "languages.ini";
        writeBytes(own, row.bom + encoded(u"[Umbrill]\r\nLanguages=Français\r\nFrançais=Arial,8,5,231\r\n", row.littleEndian));
        EXPECT_EQ(ownLanguagesList(own), "Français");
        EXPECT_EQ(ownEntry(own, "Français"), "Arial,8,5,231");
        ASSERT_TRUE(addToMyCharacters(own, 0x1F600, "Arial", 8));
        EXPECT_EQ(readBytes(own), row.bom + encoded(u"[Umbrill]\r\nLanguages=Français,\"My Characters\"\r\n"
                                                    u"Français=Arial,8,5,231\r\nMy Characters=\"Arial\",8,8,128512\r\n",
                                                    row.littleEndian));
    }
}

TEST(Recent, KeepsOnlyRealCharactersOnce)
{
    // Damaged codes, controls, surrogates and repeats of one character in
    // another spelling are left out; 128 and 159 are the € and Ÿ of their
    // Windows-1252 bytes, 129 is no character there.
    const RecentCharacters recent =
        RecentCharacters::fromText("233,233,$E9,-1,1114112,55296,57343,0,9,31,127,129,159,32,128,8364,945");
    EXPECT_EQ(recent.codes(), (std::vector<std::int32_t>{233, 376, 32, 8364, 945}));
    RecentCharacters added;
    for (std::int32_t code : {-1, 1114112, 0xD800, 10, 0x81, 0x9D})
        EXPECT_FALSE(added.add(code));
    EXPECT_TRUE(added.codes().empty());
    EXPECT_TRUE(added.add(128));
    EXPECT_FALSE(added.add(8364)); // the same character, already first
    EXPECT_EQ(added.toText(), "8364");
}

} // namespace
} // namespace umbrill
