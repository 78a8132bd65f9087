// The data file beyond the observed table: encodings, long values, awkward
// paths, and writes that must fail without touching the file.
#include "core/settings/atomicfile.h"
#include "core/settings/profilefile.h"
#include "core/text/error.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <functional>

namespace umbrill {
namespace {

using namespace umbrill::testing;

std::string repeated(std::string_view piece, std::size_t times)
{
    std::string s;
    for (std::size_t i = 0; i < times; ++i)
        s += piece;
    return s;
}

std::string utf16le(std::u16string_view text)
{
    std::string bytes;
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

std::string utf16be(std::u16string_view text)
{
    std::string bytes;
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit >> 8);
        bytes += static_cast<char>(unit & 0xFF);
    }
    return bytes;
}

TEST(DataFileEncoding, EachFormReadsAsTheSameText)
{
    struct Row { const char *name; std::string bytes; ProfileEncoding encoding; };
    const Row rows[] = {
        {"Windows-1252", "[Umbrill]\r\nFrench=Fran\xE7" "ais \x80\r\n", ProfileEncoding::Ansi},
        {"UTF-8 with BOM", "\xEF\xBB\xBF[Umbrill]\r\nFrench=Fran\xC3\xA7" "ais \xE2\x82\xAC\r\n", ProfileEncoding::Utf8WithBom},
        {"UTF-8 without BOM", "[Umbrill]\nFrench=Fran\xC3\xA7" "ais \xE2\x82\xAC\n", ProfileEncoding::Utf8},
        {"UTF-16LE", "\xFF\xFE" + utf16le(u"[Umbrill]\nFrench=Français €\n"), ProfileEncoding::Utf16Le},
        {"UTF-16BE", "\xFE\xFF" + utf16be(u"[Umbrill]\nFrench=Français €\n"), ProfileEncoding::Utf16Be},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const ProfileFile file = ProfileFile::fromBytes(row.bytes);
        EXPECT_EQ(file.value("umbrill", "french", "not found"), "Français €");
        EXPECT_EQ(file.encoding(), row.encoding);
        EXPECT_EQ(file.toBytes(), row.bytes);
    }
}

TEST(DataFileEncoding, WritesKeepTheEncodingOfTheFile)
{
    ProfileFile ansi = ProfileFile::fromBytes("[Umbrill]\r\nFrench=x\r\n");
    ansi.setValue("Umbrill", "French", "Français");
    EXPECT_EQ(ansi.toBytes(), "[Umbrill]\r\nFrench=Fran\xE7" "ais\r\n");

    ProfileFile bom = ProfileFile::fromBytes("\xEF\xBB\xBF[Umbrill]\r\nFrench=x\r\n");
    bom.setValue("Umbrill", "Greek", "αβγ");
    EXPECT_EQ(bom.toBytes(), "\xEF\xBB\xBF[Umbrill]\r\nFrench=x\r\nGreek=αβγ\r\n");
}

TEST(DataFileEncoding, TextThePageLacksTurnsTheFileIntoUtf8)
{
    // Writing "?" would lose the font name for good; every character of the old
    // page has a UTF-8 form, so the file changes encoding instead.
    ProfileFile file = ProfileFile::fromBytes("[Umbrill]\r\nFrench=Caf\xE9\r\nJapanese=x\r\n");
    file.setValue("Umbrill", "Japanese", "\"MS ゴシック\",12,6,12354");
    EXPECT_EQ(file.encoding(), ProfileEncoding::Utf8);
    const std::string bytes = file.toBytes();
    EXPECT_EQ(bytes, "[Umbrill]\r\nFrench=Café\r\nJapanese=\"MS ゴシック\",12,6,12354\r\n");
    const ProfileFile again = ProfileFile::fromBytes(bytes);
    EXPECT_EQ(again.value("Umbrill", "French", ""), "Café");
    EXPECT_EQ(again.value("Umbrill", "Japanese", ""), "\"MS ゴシック\",12,6,12354");
}

TEST(DataFileRead, LongValuesArriveAsTheirFirst2047Characters)
{
    struct Row { const char *name; std::string bytes; std::string expected; };
    const Row rows[] = {
        {"ASCII", "[s]\nk=" + repeated("x", 3000) + "\n", repeated("x", 2047)},
        {"Windows-1252", "[s]\nk=" + repeated("\xE9", 3000) + "\n", repeated("é", 2047)},
        {"UTF-8, two bytes a character", "[s]\nk=" + repeated("é", 3000) + "\n", repeated("é", 2047)},
        {"UTF-8, four bytes a character", "[s]\nk=" + repeated("😀", 2100) + "\n", repeated("😀", 2047)},
        {"default", "", repeated("d", 2047)},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ProfileFile::fromBytes(row.bytes).value("s", "k", repeated("d", 3000)), row.expected);
    }
}

TEST(DataFileWrite, DuplicatesChangeOnlyTheCopyThatIsRead)
{
    ProfileFile file = ProfileFile::fromBytes("[s]\r\na=1\r\n[t]\r\n[S]\r\nb=2\r\nb=3\r\n");
    file.setValue("s", "b", "new");
    EXPECT_EQ(file.toBytes(), "[s]\r\na=1\r\nb=new\r\n[t]\r\n[S]\r\nb=2\r\nb=3\r\n");
    EXPECT_EQ(file.value("s", "b", "dflt"), "new");
}

// A NUL ends what a line says. The data file's rule leaves such a line alone
// when its value is already there; the program's own files are read whole,
// so there the bytes after the NUL go, or an edit that reads back whole would
// find them again.
TEST(DataFileWrite, AWholeValueWriteReplacesWhatFollowsANul)
{
    const std::string before("[s]\nk=v\0\0tail\n", 14);
    ProfileFile file = ProfileFile::fromBytes(before);
    EXPECT_FALSE(file.setValue("s", "k", "v"));
    EXPECT_EQ(file.toBytes(), before);
    EXPECT_TRUE(file.setWholeValue("s", "k", "v"));
    EXPECT_EQ(file.toBytes(), "[s]\nk=v\n");
    EXPECT_EQ(file.wholeValue("s", "k"), "v");
    EXPECT_FALSE(file.setWholeValue("s", "k", " v "));
}

TEST(DataFileWrite, RefusesWhatCouldNotBeReadBack)
{
    const std::string before = "[Umbrill]\r\nFrench=x\r\n";
    struct Row { const char *section; const char *key; std::string value; };
    const Row rows[] = {
        {"Umbrill", "French", "Arial\r\nGerman=injected"},
        {"Umbrill", "French", "line\nbreak"},
        {"Umbrill", "French", std::string("nul\0byte", 8)},
        {"Umbrill", "Fr=ench", "x"},
        {"Umbrill", ";French", "x"},
        {"Umbrill", "[French", "x"},
        {"Umb]rill", "French", "x"},
        {"Umbrill\n[Other", "French", "x"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.section) + "/" + row.key + "=" + row.value);
        ProfileFile file = ProfileFile::fromBytes(before);
        EXPECT_THROW(file.setValue(row.section, row.key, row.value), Error);
        EXPECT_EQ(file.toBytes(), before);
    }
}

class DataFileOnDisk : public ::testing::Test {
protected:
    TempDir m_dir;
    fs::path m_file = m_dir / "Umbrill05.ini";
};

TEST_F(DataFileOnDisk, WriteCreatesAMissingFileAndKeepsAnExistingFilesMode)
{
    writeProfileString(m_file, "Umbrill", "French", "Arial,12,6,224");
    EXPECT_EQ(readBytes(m_file), "[Umbrill]\r\nFrench=Arial,12,6,224\r\n");

    fs::permissions(m_file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    writeProfileString(m_file, "Umbrill", "French", "Times,10,6,224");
    EXPECT_EQ(modeOf(m_file), 0640u);
    EXPECT_EQ(readProfileString(m_file, "Umbrill", "French", "not found"), "Times,10,6,224");
}

TEST_F(DataFileOnDisk, FolderWithBlanksAndAccentsIsAPathLikeAnyOther)
{
    const fs::path folder = m_dir / "Program Files" / "Umbrill Été ñ 日本";
    fs::create_directories(folder);
    const fs::path file = folder / "Umbrill05.ini";
    writeBytes(file, "[Umbrill]\r\nLanguages=French,German\r\n");
    EXPECT_EQ(readProfileString(file, "Umbrill", "Languages", "not found"), "French,German");
    writeProfileString(file, "Umbrill", "German", "Arial,12,6,228");
    EXPECT_EQ(readBytes(file), "[Umbrill]\r\nLanguages=French,German\r\nGerman=Arial,12,6,228\r\n");
}

TEST_F(DataFileOnDisk, ReadingLeavesNoTraceInTheProgramFolder)
{
    writeBytes(m_file, "[Umbrill]\r\nLanguages=French\r\n");
    EXPECT_EQ(readProfileString(m_file, "Umbrill", "Languages", "not found"), "French");
    EXPECT_EQ(readProfileString(m_dir / "absent.ini", "Umbrill", "Languages", "not found"), "not found");
    std::size_t files = 0;
    for ([[maybe_unused]] const auto &entry : fs::directory_iterator(m_dir.path()))
        ++files;
    EXPECT_EQ(files, 1u);
}

TEST_F(DataFileOnDisk, FailedWritesNameTheFileAndLeaveItAlone)
{
    const std::string before = "[Umbrill]\r\nFrench=x\r\n";
    struct Row { const char *name; std::function<fs::path(const TempDir &)> prepare; };
    const Row rows[] = {
        {"read-only file", [&](const TempDir &d) {
             writeBytes(d / "Umbrill05.ini", before);
             fs::permissions(d / "Umbrill05.ini", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
             return d / "Umbrill05.ini";
         }},
        {"read-only folder", [&](const TempDir &d) {
             writeBytes(d / "Umbrill05.ini", before);
             fs::permissions(d.path(), fs::perms::owner_read | fs::perms::owner_exec);
             return d / "Umbrill05.ini";
         }},
        {"folder that does not exist", [](const TempDir &d) { return d / "missing" / "Umbrill05.ini"; }},
        {"folder in place of the file", [](const TempDir &d) {
             fs::create_directory(d / "Umbrill05.ini");
             return d / "Umbrill05.ini";
         }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const fs::path file = row.prepare(dir);
        const bool hadFile = fs::is_regular_file(file);
        EXPECT_EQ(errorOf([&] { writeProfileString(file, "Umbrill", "French", "y"); }),
                  "Unable to write to " + file.string());
        if (hadFile) {
            EXPECT_EQ(readBytes(file), before);
            EXPECT_EQ(readProfileString(file, "Umbrill", "French", "not found"), "x");
        } else {
            EXPECT_FALSE(fs::is_regular_file(file));
            EXPECT_EQ(readProfileString(file, "Umbrill", "French", "not found"), "not found");
        }
    }
}

TEST_F(DataFileOnDisk, UnreadableFileReadsAsTheDefault)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads the file whatever its permissions; the folder case above covers root";
    writeBytes(m_file, "[Umbrill]\r\nLanguages=French\r\n");
    fs::permissions(m_file, fs::perms::none);
    EXPECT_EQ(readProfileString(m_file, "Umbrill", "Languages", "not found"), "not found");
    EXPECT_EQ(errorOf([&] { writeProfileString(m_file, "Umbrill", "French", "y"); }),
              "Unable to write to " + m_file.string());
}

TEST_F(DataFileOnDisk, WritesThroughASymbolicLinkKeepTheLink)
{
    TempDir elsewhere;
    writeBytes(elsewhere / "shared.ini", "[Umbrill]\r\nFrench=x\r\n");
    fs::create_symlink(elsewhere / "shared.ini", m_file);
    writeProfileString(m_file, "Umbrill", "French", "y");
    EXPECT_TRUE(fs::is_symlink(m_file));
    EXPECT_EQ(readBytes(elsewhere / "shared.ini"), "[Umbrill]\r\nFrench=y\r\n");
}

TEST_F(DataFileOnDisk, LeftoversOfAWriterThatDiedAreRemoved)
{
    writeBytes(m_file, "[Umbrill]\r\nFrench=x\r\n");
    const fs::path leftover = m_dir / ".Umbrill05.ini.tmp.deadbeef";
    const fs::path unrelated = m_dir / ".Umbrill05.ini.bak";
    writeBytes(leftover, "[Umbrill]\r\nFren");
    writeBytes(unrelated, "keep me");
    writeProfileString(m_file, "Umbrill", "French", "y");
    EXPECT_FALSE(fs::exists(leftover));
    EXPECT_TRUE(fs::exists(unrelated));
    std::size_t files = 0;
    for ([[maybe_unused]] const auto &entry : fs::directory_iterator(m_dir.path()))
        ++files;
    EXPECT_EQ(files, 2u); // the file and the unrelated one: no lock file either
}

} // namespace
} // namespace umbrill
