// The user's own languages, My Characters and Recent, without a window.
#include "core/pad/ownlanguages.h"

#include "core/pad/padstate.h"
#include "core/settings/profilefile.h"
#include "core/text/commalist.h"
#include "settings/testfiles.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace umbrill {
namespace {

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

} // namespace
} // namespace umbrill
