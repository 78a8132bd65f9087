// The settings store on real files: fresh profiles, hand-edited and damaged
// files, value types, escapes, and writes that cannot happen.
#include "core/settings/registryfile.h"
#include "core/settings/settingnames.h"
#include "core/settings/settingsstore.h"
#include "core/text/error.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace umbrill {
namespace {

using namespace umbrill::testing;

const fs::path kFixtures = fs::path(UMBRILL_SOURCE_DIR) / "tests/data/settings";

constexpr std::string_view kFreshFile = "Windows Registry Editor Version 5.00\n"
                                        "\n"
                                        "[HKEY_CURRENT_USER\\umbrill.ini]\n";

void makeReadOnly(const fs::path &path)
{
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

class SettingsFile : public ::testing::Test {
protected:
    TempDir m_home{"umbrill-config"};
    ScopedEnv m_config{"XDG_CONFIG_HOME", m_home.path().string()};
    fs::path m_file = m_home / "umbrill" / "user.reg";
    SettingsStore m_store{defaultSettingsFile()};
};

TEST_F(SettingsFile, FirstStartCreatesTheRootKeyThenTheSection)
{
    EXPECT_EQ(m_store.read(kSettingsSection, "ControlLanguage", ""), "");
    EXPECT_EQ(readBytes(m_file), kFreshFile);

    m_store.write(kSettingsSection, "ControlLanguage", "English");
    EXPECT_EQ(readBytes(m_file), std::string(kFreshFile) +
                                     "\n"
                                     "[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\n"
                                     "\"ControlLanguage\"=\"English\"\n");
    EXPECT_EQ(m_store.read(kSettingsSection, "ControlLanguage", ""), "English");
    EXPECT_EQ(m_store.read(kSettingsSection, "KeySize", "42"), "42");
}

TEST_F(SettingsFile, FileLivesUnderTheConfigFolder)
{
    EXPECT_EQ(defaultSettingsFile(), m_file);
    ScopedEnv home("HOME", "/home/someone");
    for (const char *config : {"", "relative/config"}) {
        SCOPED_TRACE(config);
        ScopedEnv xdg("XDG_CONFIG_HOME", std::string(config));
        EXPECT_EQ(defaultSettingsFile(), fs::path("/home/someone/.config/umbrill/user.reg"));
    }
    ScopedEnv unset("XDG_CONFIG_HOME", std::nullopt);
    EXPECT_EQ(defaultSettingsFile(), fs::path("/home/someone/.config/umbrill/user.reg"));
}

TEST_F(SettingsFile, ReadsHandEditedValues)
{
    fs::create_directories(m_file.parent_path());
    fs::copy_file(kFixtures / "handedited.reg", m_file);
    struct Row { const char *section; const char *key; std::string expected; };
    const Row rows[] = {
        {"Settings", "ControlLanguage", "Français"},          // other case of key path and name, blanks around =
        {"Settings", "PasteFormat", "richText"},              // the last of repeated values wins
        {"Settings", "Path", "C:\\Program Files\\Umbrill \"5\""},
        {"Settings", "Empty", ""},                            // present and empty: not the default
        {"Settings", "Expand", "%USER%"},                     // REG_EXPAND_SZ, literal, up to the NUL
        {"Settings", "Wide", "Français\nx"},                  // hex(1) continued on the next line
        {"Settings", "NoData", ""},
        {"Settings", "Gone", "dflt"},                         // deleted by "Gone"=-
        {"Settings", "", "the default value"},                // @
        {"Old", "Kept", "dflt"},                              // the key was deleted
        {"Other", "KeySize", "7"},
        {"Missing", "KeySize", "dflt"},
        {"Settings", "Absent", "dflt"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.section) + "/" + row.key);
        EXPECT_EQ(readSettingFrom(m_file, row.section, row.key, "dflt"), row.expected);
    }
}

TEST_F(SettingsFile, ValueOfAnotherTypeIsAnError)
{
    fs::create_directories(m_file.parent_path());
    fs::copy_file(kFixtures / "handedited.reg", m_file);
    for (const char *key : {"KeySize", "Binary", "Multi"}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(errorOf([&] { readSettingFrom(m_file, "Settings", key, "42"); }),
                  "Invalid data type for '" + std::string(key) + "'");
    }
    // Storing a string replaces the other type.
    m_store.write(kSettingsSection, "KeySize", "36");
    EXPECT_EQ(m_store.read(kSettingsSection, "KeySize", "42"), "36");
}

TEST_F(SettingsFile, DamagedLinesAreSkippedOnReadAndKeptOnWrite)
{
    fs::create_directories(m_file.parent_path());
    const std::string damaged = readBytes(kFixtures / "damaged.reg");
    writeBytes(m_file, damaged);
    EXPECT_EQ(m_store.read(kSettingsSection, "ControlLanguage", "dflt"), "dflt");
    EXPECT_EQ(m_store.read(kSettingsSection, "KeySize", "dflt"), "dflt");
    EXPECT_EQ(m_store.read(kSettingsSection, "PasteFormat", "dflt"), "html");
    EXPECT_EQ(m_store.read(kSettingsSection, "Broken", "dflt"), "dflt");

    m_store.write(kSettingsSection, "KeySize", "48");
    // The new value goes after the last value of the key; every other byte stays.
    const std::string anchor = "\"Trailing\"=\"t\"\n";
    std::string expected = damaged;
    expected.insert(expected.find(anchor) + anchor.size(), "\"KeySize\"=\"48\"\n");
    EXPECT_EQ(readBytes(m_file), expected);
    EXPECT_EQ(m_store.read(kSettingsSection, "KeySize", "dflt"), "48");

    m_store.write(kSettingsSection, "PasteFormat", "unicode");
    const std::size_t at = expected.find("\"PasteFormat\"=\"html\"");
    expected.replace(at, std::string_view("\"PasteFormat\"=\"html\"").size(), "\"PasteFormat\"=\"unicode\"");
    EXPECT_EQ(readBytes(m_file), expected);
}

TEST_F(SettingsFile, WriteReplacesOneLineAndKeepsItsSpelling)
{
    fs::create_directories(m_file.parent_path());
    const std::string before = readBytes(kFixtures / "handedited.reg");
    writeBytes(m_file, before);
    m_store.write(kSettingsSection, "ControlLanguage", "Deutsch");
    std::string expected = before;
    const std::string_view old = "\"controllanguage\" = \"Français\"";
    expected.replace(expected.find(old), old.size(), "\"controllanguage\"=\"Deutsch\"");
    EXPECT_EQ(readBytes(m_file), expected);

    // The last of the repeated values is the one that changes.
    m_store.write(kSettingsSection, "PasteFormat", "html");
    const std::string_view last = "\"PasteFormat\"=\"richText\"";
    expected.replace(expected.find(last), last.size(), "\"PasteFormat\"=\"html\"");
    EXPECT_EQ(readBytes(m_file), expected);
}

TEST_F(SettingsFile, TextsRoundTripWhateverTheyHold)
{
    const std::string texts[] = {
        "",
        "C:\\dir\\\"quoted\"\\",
        "\\\\server\\share",
        "Español",
        "日本語 and 😀",
        "two\nlines",
        "\r\n",
        "]=[\"@",
        std::string(300, 'x') + "\n" + std::string(300, 'y'),
    };
    for (const std::string &text : texts) {
        SCOPED_TRACE(text);
        m_store.write(kSettingsSection, "Text", text);
        EXPECT_EQ(m_store.read(kSettingsSection, "Text", "dflt"), text);
        // Nothing a value holds can add a line of its own: every line is the
        // header, blank, a key, the value or a continuation of its hex form.
        std::istringstream lines(readBytes(m_file));
        for (std::string line; std::getline(lines, line);) {
            const bool known = line == "Windows Registry Editor Version 5.00" || line.empty() || line.front() == '['
                               || line.rfind("\"Text\"=", 0) == 0 || line.rfind("  ", 0) == 0;
            EXPECT_TRUE(known) << line;
        }
    }
    EXPECT_EQ(m_store.read(kSettingsSection, "Text", "dflt"), texts[8]);
}

TEST_F(SettingsFile, NamesMatchIgnoringAsciiCaseOnly)
{
    m_store.write("Settings", "PasteFormat", "html");
    EXPECT_EQ(m_store.read("SETTINGS", "pasteformat", "dflt"), "html");
    m_store.write("settings", "PASTEFORMAT", "unicode");
    EXPECT_EQ(m_store.read("Settings", "PasteFormat", "dflt"), "unicode");
    m_store.write("Settings", "Été", "1");
    EXPECT_EQ(m_store.read("Settings", "ÉTÉ", "dflt"), "dflt");
    EXPECT_EQ(readBytes(m_file).find("PASTEFORMAT"), std::string::npos);
}

TEST_F(SettingsFile, SameValueDoesNotRewriteTheFile)
{
    m_store.write(kSettingsSection, "KeySize", "42");
    const ino_t before = inodeOf(m_file);
    m_store.write(kSettingsSection, "KeySize", "42");
    EXPECT_EQ(inodeOf(m_file), before);
    m_store.write(kSettingsSection, "KeySize", "43");
    EXPECT_NE(inodeOf(m_file), before);
}

TEST_F(SettingsFile, KeepsCrlfAndPermissionsOfTheFile)
{
    fs::create_directories(m_file.parent_path());
    writeBytes(m_file, "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\r\n"
                       "\"KeySize\"=\"42\"\r\n");
    fs::permissions(m_file, fs::perms::owner_read | fs::perms::owner_write);
    m_store.write(kSettingsSection, "PasteFormat", "html");
    m_store.write("Extra", "A", "b");
    EXPECT_EQ(readBytes(m_file), "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\r\n"
                                 "\"KeySize\"=\"42\"\r\n\"PasteFormat\"=\"html\"\r\n"
                                 "\r\n[HKEY_CURRENT_USER\\umbrill.ini\\Extra]\r\n\"A\"=\"b\"\r\n");
    EXPECT_EQ(modeOf(m_file), 0600u);
}

TEST_F(SettingsFile, ReadsAndKeepsAnExportMadeOnWindows)
{
    auto utf16le = [](std::u16string_view text) {
        std::string bytes = "\xFF\xFE";
        for (char16_t unit : text) {
            bytes += static_cast<char>(unit & 0xFF);
            bytes += static_cast<char>(unit >> 8);
        }
        return bytes;
    };
    const std::u16string exported = u"Windows Registry Editor Version 5.00\r\n\r\n"
                                    u"[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\r\n"
                                    u"\"ControlLanguage\"=\"Español\"\r\n\r\n";
    fs::create_directories(m_file.parent_path());
    writeBytes(m_file, utf16le(exported));
    EXPECT_EQ(m_store.read(kSettingsSection, "ControlLanguage", ""), "Español");
    m_store.write(kSettingsSection, "KeySize", "50");
    EXPECT_EQ(readBytes(m_file), utf16le(u"Windows Registry Editor Version 5.00\r\n\r\n"
                                         u"[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\r\n"
                                         u"\"ControlLanguage\"=\"Español\"\r\n\"KeySize\"=\"50\"\r\n\r\n"));
}

TEST_F(SettingsFile, WritesThatCannotHappenSayWhyAndChangeNothing)
{
    const std::string withSection = std::string(kFreshFile) + "\n[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\n"
                                                              "\"KeySize\"=\"42\"\n";
    struct Row {
        const char *name;
        std::string contents; // empty: no file
        bool readOnlyFile;
        bool readOnlyFolder;
        const char *error;
    };
    const Row rows[] = {
        {"read-only file", withSection, true, false, "Failed to set data for 'KeySize'"},
        {"read-only file, new section", std::string(kFreshFile), true, false, "Failed to create key Settings"},
        {"read-only folder", withSection, false, true, "Failed to set data for 'KeySize'"},
        {"read-only folder, no file", "", false, true, "Failed to create key Settings"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const fs::path file = dir / "user.reg";
        if (!row.contents.empty())
            writeBytes(file, row.contents);
        if (row.readOnlyFile)
            makeReadOnly(file);
        if (row.readOnlyFolder)
            makeReadOnly(dir.path());
        EXPECT_EQ(errorOf([&] { writeSettingTo(file, "Settings", "KeySize", "50"); }), row.error);
        if (row.contents.empty()) {
            EXPECT_FALSE(fs::exists(file));
        } else {
            EXPECT_EQ(readBytes(file), row.contents);
        }
        EXPECT_EQ(readSettingFrom(file, "Settings", "KeySize", "dflt"), row.contents == withSection ? "42" : "dflt");
    }
}

TEST_F(SettingsFile, MissingFoldersAreCreatedUnlessTheyCannotBe)
{
    const fs::path deep = m_home / "not" / "yet" / "user.reg";
    writeSettingTo(deep, "Settings", "KeySize", "50");
    EXPECT_EQ(readSettingFrom(deep, "Settings", "KeySize", "dflt"), "50");

    writeBytes(m_home / "plainfile", "x");
    const fs::path blocked = m_home / "plainfile" / "umbrill" / "user.reg";
    EXPECT_EQ(errorOf([&] { writeSettingTo(blocked, "Settings", "KeySize", "50"); }), "Failed to create key Settings");
    EXPECT_EQ(readSettingFrom(blocked, "Settings", "KeySize", "dflt"), "dflt");
}

TEST_F(SettingsFile, UnreadableFileReadsAsDefaultsAndIsNotOverwritten)
{
    fs::create_directories(m_file); // a folder where the file should be
    EXPECT_EQ(m_store.read(kSettingsSection, "KeySize", "42"), "42");
    EXPECT_EQ(errorOf([this] { m_store.write(kSettingsSection, "KeySize", "50"); }), "Failed to create key Settings");
    EXPECT_TRUE(fs::is_directory(m_file));

    if (::geteuid() != 0) { // root reads whatever the permissions say
        fs::remove(m_file);
        m_store.write(kSettingsSection, "KeySize", "50");
        fs::permissions(m_file, fs::perms::none);
        EXPECT_EQ(m_store.read(kSettingsSection, "KeySize", "42"), "42");
        // Whether the section exists cannot be known, as when the root key cannot be opened.
        EXPECT_EQ(errorOf([this] { m_store.write(kSettingsSection, "KeySize", "51"); }), "Failed to create key Settings");
    }
}

TEST_F(SettingsFile, ReadOfAFreshProfileIsQuietWhenNothingCanBeCreated)
{
    writeBytes(m_home / "umbrill", "a file where the folder should be");
    EXPECT_EQ(m_store.read(kSettingsSection, "PasteFormat", "unicode"), "unicode");
    EXPECT_FALSE(fs::exists(m_file));
}

TEST_F(SettingsFile, WritesThroughASymbolicLink)
{
    TempDir elsewhere;
    fs::create_directories(m_file.parent_path());
    writeBytes(elsewhere / "real.reg", std::string(kFreshFile));
    fs::create_symlink(elsewhere / "real.reg", m_file);
    m_store.write(kSettingsSection, "KeySize", "50");
    EXPECT_TRUE(fs::is_symlink(m_file));
    EXPECT_EQ(readSettingFrom(elsewhere / "real.reg", kSettingsSection, "KeySize", "dflt"), "50");
}

// A store that holds its reads reads a missing file once and a file just
// written once, and any change at once; without the hold, or once it ends, a
// file that has not rested is read each time.
TEST_F(SettingsFile, AStoreHoldingItsReadsReadsAnUnchangedFileOnce)
{
    setStoreClock([] { return std::int64_t(0); }); // no file ever rests
    struct SystemClockAgain {
        ~SystemClockAgain() { setStoreClock(nullptr); }
    } systemClockAgain;
    SettingsStore held(m_file);
    held.holdReads(true);
    const SettingsStore loose(m_file);
    const auto keySize = [](const SettingsStore &store) {
        return store.read(kSettingsSection, "KeySize", "none", FreshProfile::Leave);
    };

    EXPECT_EQ(keySize(held), "none");
    EXPECT_EQ(keySize(held), "none");
    EXPECT_EQ(held.lockedAccesses(), 1);
    EXPECT_FALSE(fs::exists(m_file));

    fs::create_directories(m_file.parent_path());
    writeBytes(m_file, std::string(kFreshFile) + "\n[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\n\"KeySize\"=\"30\"\n");
    EXPECT_EQ(keySize(held), "30");
    EXPECT_EQ(keySize(held), "30");
    EXPECT_EQ(held.lockedAccesses(), 2);
    EXPECT_EQ(keySize(loose), "30");
    EXPECT_EQ(keySize(loose), "30");
    EXPECT_EQ(loose.lockedAccesses(), 2);

    loose.write(kSettingsSection, "KeySize", "44");
    EXPECT_EQ(keySize(held), "44");
    EXPECT_EQ(held.lockedAccesses(), 3);
    held.holdReads(false);
    EXPECT_EQ(keySize(held), "44");
    EXPECT_EQ(held.lockedAccesses(), 4);
}

TEST(RegistryFile, BadNamesAreRefused)
{
    RegistryFile file = RegistryFile::fresh();
    EXPECT_EQ(errorOf([&] { file.setString("HKEY_CURRENT_USER\\umbrill.ini\\Settings", "a\nb", "v"); }),
              "Failed to set data for 'a\nb'");
    EXPECT_EQ(file.toBytes(), kFreshFile);
}

// Questions read only the lines of the keys they name, as found by one walk of
// the file; they must answer as a walk of every line would, also after edits.
TEST(RegistryFile, LookupsAnswerAsAWalkOfEveryLineWould)
{
    const std::string settings = "HKEY_CURRENT_USER\\umbrill.ini\\Settings";
    RegistryFile file = RegistryFile::fromBytes(
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\r\n\"A\"=\"first\"\r\n\"B\"=\"kept\"\r\n"
        "[Other]\r\n\"A\"=\"not this key\"\r\n"
        // the same key spelt otherwise: its values come later and win
        "[hkey_current_user\\UMBRILL.INI\\settings]\r\n\"a\"=\"second\"\r\n"
        "\"broken=\r\n\"C\"=\"after a damaged line\"\r\n"
        // a continued value whose next line looks like a key line
        "\"D\"=hex(1):64,00,\\\r\n[Other]\r\n\"E\"=\"still the settings\"\r\n"
        "[-HKEY_CURRENT_USER\\umbrill.ini\\Gone]\r\n[HKEY_CURRENT_USER\\umbrill.ini\\Gone\\Sub]\r\n\"F\"=\"back\"\r\n"
        "[HKEY_CURRENT_USER\\umbrill.ini\\Group\\Dropped]\r\n\"G\"=\"g\"\r\n"
        "[HKEY_CURRENT_USER\\umbrill.ini\\GroupTwo]\r\n\"G\"=\"g2\"\r\n[-HKEY_CURRENT_USER\\umbrill.ini\\Group]\r\n"
        "[HKEY_CURRENT_USER\\umbrill.ini\\Last]\r\n\"H\"=\"h\"\r\n");
    EXPECT_EQ(file.stringValue(settings, "A"), "second");
    EXPECT_EQ(file.stringValue(settings, "B"), "kept");
    EXPECT_EQ(file.stringValue(settings, "C"), "after a damaged line");
    EXPECT_EQ(file.stringValue(settings, "E"), "still the settings");
    EXPECT_EQ(file.stringValue("Other", "A"), "not this key");
    EXPECT_EQ(file.stringValue("Other", "E"), std::nullopt);
    // [-KEY] deletes the key and those below it, and only those; a key made again
    // afterwards is back
    EXPECT_EQ(file.stringValue("HKEY_CURRENT_USER\\umbrill.ini\\Group\\Dropped", "G"), std::nullopt);
    EXPECT_FALSE(file.hasKey("HKEY_CURRENT_USER\\umbrill.ini\\Group"));
    EXPECT_EQ(file.stringValue("HKEY_CURRENT_USER\\umbrill.ini\\GroupTwo", "G"), "g2");
    EXPECT_EQ(file.stringValue("HKEY_CURRENT_USER\\umbrill.ini\\Gone\\Sub", "F"), "back");
    EXPECT_TRUE(file.hasKey("HKEY_CURRENT_USER\\umbrill.ini\\Gone"));
    EXPECT_TRUE(file.hasKey("Other"));

    // An edit early in the file moves every later line.
    RegistryFile edited = file;
    EXPECT_TRUE(edited.setString(settings, "B", "a much longer text than the one before"));
    EXPECT_EQ(edited.stringValue(settings, "B"), "a much longer text than the one before");
    EXPECT_EQ(edited.stringValue("HKEY_CURRENT_USER\\umbrill.ini\\Last", "H"), "h");
    EXPECT_EQ(file.stringValue(settings, "B"), "kept") << "the copy's edit changed the original";
    EXPECT_TRUE(edited.setString("HKEY_CURRENT_USER\\umbrill.ini\\New", "I", "i"));
    EXPECT_TRUE(edited.hasKey("HKEY_CURRENT_USER\\umbrill.ini\\New"));
    EXPECT_EQ(edited.stringValue("HKEY_CURRENT_USER\\umbrill.ini\\New", "I"), "i");
    EXPECT_FALSE(file.hasKey("HKEY_CURRENT_USER\\umbrill.ini\\New"));
}

} // namespace
} // namespace umbrill
