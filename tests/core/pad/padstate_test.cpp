// The pad's state without a window: loading a language, the Options dialog's
// store order and the font command's key size.
#include "core/pad/padstate.h"

#include "core/keypad/clipboardpayload.h"
#include "core/pad/ownlanguages.h"
#include "core/settings/settingsstore.h"
#include "settings/testfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace umbrill {
namespace {

using testing::readBytes;
using testing::ScopedEnv;
using testing::TempDir;
using testing::writeBytes;

class PadStateTest : public ::testing::Test {
protected:
    PadStateTest() : m_config("XDG_CONFIG_HOME", (m_home / "config").string()) {}

    void dataFile(const std::string &entries)
    {
        writeBytes(m_home / "Umbrill05.ini", "[Umbrill]\r\nLanguages=Pad\r\n" + entries);
    }
    std::string settings() const { return readBytes(m_home / "config" / "umbrill" / "user.reg"); }

    TempDir m_home{"umbrill-pad"};
    ScopedEnv m_config;
    PadState m_pad{m_home.path() / ""};
    std::vector<std::string> m_shown;
    ShowLanguage m_show = [this](const std::string &language) { m_shown.push_back(language); };
};

TEST_F(PadStateTest, LoadingTakesTheEntryAndSizesTheKeysForItsFont)
{
    struct Row {
        const char *name;
        const char *entry;
        std::int32_t keySize;
    };
    const Row rows[] = {
        {"small font keeps the stored size", "Pad=Arial,8,5,65,66\r\n", 42},
        {"large font raises it", "Pad=Arial,40,5,65\r\n", 64},
        {"most negative size", "Pad=Arial,-2147483648,5,65\r\n", 42},
        {"largest size", "Pad=Arial,2147483647,5,65\r\n", INT32_MAX},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        dataFile(row.entry);
        ASSERT_TRUE(m_pad.CheckForIniFile());
        m_pad.SetLanguage("Pad");
        m_pad.GetLanguageData("Pad", m_show);
        EXPECT_EQ(m_pad.KeySize(), row.keySize);
        EXPECT_EQ(m_pad.CurrentLanguage().KeysPerRow, 5);
        EXPECT_EQ(m_pad.PasteFormatCode(), PasteFormat::Unicode);
    }
    // Start-up stored English, and every load showed it.
    EXPECT_EQ(m_shown, std::vector<std::string>(std::size(rows), "English"));
}

TEST_F(PadStateTest, OptionsOkStoresInOrderAndShowsAChosenLanguageBeforeStoringIt)
{
    dataFile("Pad=Arial,8,5,65\r\n");
    ASSERT_TRUE(m_pad.CheckForIniFile());
    const OptionsChoice opened = m_pad.openOptions();
    EXPECT_EQ(opened.keySize, 42);
    EXPECT_EQ(opened.controlLanguage, "English");

    m_pad.pickControlLanguage("Deutsch", m_show);
    m_pad.cancelOptions(m_show);
    EXPECT_EQ(m_shown, (std::vector<std::string>{"Deutsch", "English"}));
    EXPECT_EQ(m_pad.ControlLanguage(), "English");

    m_shown.clear();
    m_pad.openOptions();
    m_pad.storeOptions(OptionsChoice{PasteFormat::Html, 30, "Español"}, m_show);
    EXPECT_EQ(m_shown, std::vector<std::string>{"Español"});
    EXPECT_EQ(m_pad.KeySize(), 30);
    EXPECT_EQ(m_pad.PasteFormatCode(), PasteFormat::Html);
    const std::string stored = settings();
    const auto at = [&stored](const char *text) { return stored.find(text); };
    ASSERT_NE(at("\"KeySize\"=\"30\""), std::string::npos) << stored;
    EXPECT_LT(at("\"KeySize\"=\"30\""), at("\"PasteFormat\"=\"html\""));
    // ControlLanguage was stored first, at start-up; it now holds the choice.
    EXPECT_NE(at("\"ControlLanguage\"=\"Español\""), std::string::npos) << stored;

    // No item selected: the language is neither shown nor stored.
    m_shown.clear();
    m_pad.storeOptions(OptionsChoice{PasteFormat::PlainText, 10, std::nullopt}, m_show);
    EXPECT_TRUE(m_shown.empty());
    EXPECT_EQ(m_pad.ControlLanguage(), "Español");
}

TEST_F(PadStateTest, TheFontCommandSizesTheKeysForTheFontsHeightAndWritesTheLaidOutKeys)
{
    dataFile("Pad=Arial,8,5,65,66,67\r\n");
    ASSERT_TRUE(m_pad.CheckForIniFile());
    m_pad.SetLanguage("Pad");
    m_pad.GetLanguageData("Pad", m_show);
    m_pad.layOut(2, 1920, 1080); // as if only two keys had been laid out
    m_pad.applyKeyFont("Serif", 30, 96.0);
    EXPECT_EQ(m_pad.KeySize(), 60); // 40 pixels high, + 20
    m_pad.applyKeyFont("Serif", 0, 96.0); // no size chosen: the current one stays
    EXPECT_EQ(m_pad.CurrentLanguage().KeyFontSize, 30);
    m_pad.writeKeyFontEntry();
    EXPECT_EQ(readBytes(m_home / "Umbrill05.ini"), "[Umbrill]\r\nLanguages=Pad\r\nPad=\"Serif\",30,5,65,66\r\n");
}

// A first start reads without writing; its writes come later, or first of
// any write, and leave the file as storing at start-up left it.
TEST_F(PadStateTest, AFirstStartWritesNothingUntilItsWritesAreDue)
{
    const std::filesystem::path file = m_home / "config" / "umbrill" / "user.reg";
    const std::filesystem::path reference = m_home / "reference.reg";
    ASSERT_EQ(readSettingFrom(reference, "Settings", "ControlLanguage", ""), "");
    writeSettingTo(reference, "Settings", "ControlLanguage", "English");
    const std::string storedAtStartUp = readBytes(reference);

    dataFile("Pad=Arial,8,5,65\r\n");
    ASSERT_TRUE(m_pad.CheckForIniFile());
    EXPECT_EQ(m_pad.ControlLanguage(), "English");
    EXPECT_FALSE(m_pad.remembered(kLastLanguage));
    m_pad.SetLanguage("Pad");
    m_pad.GetLanguageData("Pad", m_show);
    EXPECT_FALSE(std::filesystem::exists(file));
    m_pad.storeStartup();
    EXPECT_EQ(readBytes(file), storedAtStartUp);
    m_pad.storeStartup();
    EXPECT_EQ(readBytes(file), storedAtStartUp);

    // A write before them does them first.
    std::filesystem::remove(file);
    PadState early{m_home.path() / ""};
    ASSERT_TRUE(early.CheckForIniFile());
    early.remember(kKeepOnTop, false);
    EXPECT_EQ(readBytes(file), storedAtStartUp + "\"KeepOnTop\"=\"0\"\n");
    early.storeStartup();
    EXPECT_EQ(readBytes(file), storedAtStartUp + "\"KeepOnTop\"=\"0\"\n");

    // A language stored meanwhile stays; other values stay too.
    const std::string others = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\r\n"
                               "\"KeySize\"=\"30\"\r\n";
    writeBytes(file, others);
    PadState later{m_home.path() / ""};
    ASSERT_TRUE(later.CheckForIniFile());
    writeBytes(file, others + "\"ControlLanguage\"=\"Deutsch\"\r\n");
    later.storeStartup();
    EXPECT_EQ(readBytes(file), others + "\"ControlLanguage\"=\"Deutsch\"\r\n");
}

TEST_F(PadStateTest, TheFindWindowsSizeIsRememberedUnlessDamaged)
{
    EXPECT_EQ(m_pad.remembered(kFindSize), std::nullopt);
    m_pad.remember(kFindSize, GridSize{420, 310});
    const auto size = m_pad.remembered(kFindSize);
    ASSERT_TRUE(size);
    EXPECT_EQ(size->width, 420);
    EXPECT_EQ(size->height, 310);
    for (const char *damaged : {"420", "x,310", "0,310", "420,-5", "1,2,3"}) {
        SCOPED_TRACE(damaged);
        writeBytes(m_home / "config" / "umbrill" / "user.reg",
                   std::string("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\r\n"
                               "\"FindWindowSize\"=\"") + damaged + "\"\r\n");
        EXPECT_EQ(m_pad.remembered(kFindSize), std::nullopt);
    }
}

TEST_F(PadStateTest, RecentIsFoundByItsKindAndAnOwnLanguageNamedLikeItsCaptionKeepsItsKeys)
{
    struct Row {
        const char *interfaceLanguage;
        const char *caption;
    };
    const Row rows[] = {
        {"English", "Recent"},
        {"Deutsch", "Zuletzt verwendet"},
        {"Fran\xC3\xA7\x61is", "R\xC3\xA9\x63\x65nts"},
        {"Espa\xC3\xB1ol", "Recientes"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.interfaceLanguage);
        std::filesystem::remove_all(m_home / "config");
        dataFile("Pad=Arial,8,5,65\r\n");
        PadState pad(m_home.path() / "");
        ASSERT_TRUE(pad.CheckForIniFile());
        pad.storeOptions({PasteFormat::Unicode, 42, row.interfaceLanguage}, m_show);
        const std::string caption(interfaceTexts(pad.ControlLanguage()).Pad.RecentName);
        EXPECT_EQ(caption, row.caption);
        addOwnLanguage(pad.ownLanguagesFile(), caption, "Arial,8,5,66");
        pad.typeClick(u"\u00E9");
        pad.saveRecent();

        // Both are listed: the own language by its name, Recent by its kind.
        const std::vector<CatalogueEntry> entries = pad.catalogue(false);
        ASSERT_EQ(entries.size(), 3u);
        EXPECT_EQ(entries[1].kind, CatalogueKind::Own);
        EXPECT_EQ(entries[1].key, caption);
        EXPECT_EQ(entries[2].kind, CatalogueKind::Recent);
        EXPECT_EQ(entries[2].key, kRecentLanguageKey);
        EXPECT_EQ(entries[2].shown, caption);
        // A command line naming the caption gets the own language, listed first.
        ASSERT_TRUE(pad.namedLanguage(caption));
        EXPECT_EQ(pad.namedLanguage(caption)->key, caption);

        // Each loads its own keys and is remembered by its own key.
        pad.GetLanguageData(caption, m_show);
        EXPECT_EQ(pad.CurrentLanguage().KeyCodes, std::vector<std::int32_t>{66});
        pad.GetLanguageData(std::string(kRecentLanguageKey), m_show);
        EXPECT_EQ(pad.CurrentLanguage().KeyCodes, std::vector<std::int32_t>{233});
        EXPECT_EQ(pad.shownName(std::string(kRecentLanguageKey)), caption);
        pad.remember(kLastLanguage, entries[2].key);

        // The next start restores Recent by the key it remembered.
        PadState next(m_home.path() / "");
        ASSERT_TRUE(next.CheckForIniFile());
        const auto restored = next.restoreStart();
        ASSERT_TRUE(restored);
        EXPECT_EQ(restored->key, kRecentLanguageKey);
        EXPECT_EQ(restored->position, 2);
        EXPECT_EQ(next.CurrentLanguage().LanguageName, caption);
        EXPECT_EQ(next.catalogueIndex(caption), 1);
    }
}

TEST_F(PadStateTest, HelpOpensTheInterfaceLanguagesDocumentWhenPresentElseTheEnglishOne)
{
    const std::filesystem::path english = m_home.path() / "umbrill_help.pdf";
    const std::filesystem::path german = m_home.path() / "umbrill_help_de.pdf";
    const std::filesystem::path spanish = m_home.path() / "umbrill_help_es.pdf";
    writeBytes(german, "%PDF");
    writeBytes(spanish, "%PDF");
    std::filesystem::create_directory(m_home.path() / "umbrill_help_fr.pdf"); // not a document
    struct Row {
        const char *controlLanguage;
        std::filesystem::path expected;
    };
    const Row rows[] = {
        {"English", english},   {"Deutsch", german},  {"Español", spanish},
        {"Français", english},  // a folder of that name is no document
        {"Francais", english},  // any value beginning with "Fran" is French
        {"deutsch", english},   // no interface language: English
        {"", english},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.controlLanguage);
        m_pad.pickControlLanguage(row.controlLanguage, m_show);
        EXPECT_EQ(m_pad.HelpFileName(), row.expected);
    }
    std::filesystem::remove(german);
    m_pad.pickControlLanguage("Deutsch", m_show);
    EXPECT_EQ(m_pad.HelpFileName(), english);
}

} // namespace
} // namespace umbrill
