// The generated languages' file, the typed catalogue, and a generated
// language in the pad: loaded, remembered by its code, copied into the
// user's own languages.
#include "core/pad/catalogue.h"

#include "core/pad/ownlanguages.h"
#include "core/pad/padstate.h"
#include "core/settings/profilefile.h"
#include "core/text/error.h"
#include "settings/testfiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace umbrill {
namespace {

using testing::readBytes;
using testing::ScopedEnv;
using testing::TempDir;
using testing::writeBytes;
using namespace std::string_literals;

const std::string kBom = "\xEF\xBB\xBF";

// Two languages as the generator writes them, and one the reader must skip.
const std::string kSmallFile = kBom
    + "; Keyboard languages generated from CLDR. Do not edit.\r\n"
      "[Umbrill]\r\n"
      "Languages=haw,yo,xx\r\n"
      "[yo]\r\n"
      "Entry=\"DejaVu Sans\",12,8,7865,7864,7885\r\n"
      "Own=\xC3\x88\x64\xC3\xA8 Yor\xC3\xB9\x62\xC3\xA1\r\n" // Èdè Yorùbá
      "en=Yoruba\r\nde=Yoruba\r\nfr=yoruba\r\nes=yoruba\r\n"
      "[HAW]\r\n"
      "ENTRY = \"DejaVu Sans\",12,8,257,256\r\n"
      "own='\xCA\xBB\xC5\x8Clelo Hawai\xCA\xBBi'\r\n" // ʻŌlelo Hawaiʻi, in outer quotes
      "en=Hawaiian\r\nfr=hawa\xC3\xAF\x65n\r\n"        // hawaïen; no German or Spanish name
      "[xx]\r\nOwn=no entry\r\n";

TEST(GeneratedLanguages, ReadsCodesEntriesAndNamesByTheDataFilesRules)
{
    const GeneratedLanguages read = GeneratedLanguages::fromBytes(kSmallFile);
    ASSERT_EQ(read.languages().size(), 2u); // xx has no entry
    const GeneratedLanguage &haw = read.languages()[0];
    EXPECT_EQ(haw.code, "haw"); // as listed, whatever the section's case
    EXPECT_EQ(haw.entry, "\"DejaVu Sans\",12,8,257,256");
    EXPECT_EQ(haw.own, "\xCA\xBB\xC5\x8Clelo Hawai\xCA\xBBi");
    EXPECT_EQ(haw.name(InterfaceLanguage::French), "hawa\xC3\xAF\x65n");
    EXPECT_EQ(haw.name(InterfaceLanguage::German), "Hawaiian"); // none: the English name
    EXPECT_EQ(read.byCode("yo")->name(InterfaceLanguage::English), "Yoruba");
    EXPECT_EQ(read.byCode("YO"), nullptr);
    EXPECT_TRUE(GeneratedLanguages::load("/nonexistent/generated-languages.ini").languages().empty());
}

TEST(GeneratedLanguages, ADamagedFileGivesWhatIsSoundAndNeverFails)
{
    struct Row {
        const char *name;
        std::string bytes;
        std::vector<std::string> codes;
    };
    const std::string yo = "[yo]\nEntry=Arial,12,8,65\n";
    const Row rows[] = {
        {"empty", "", {}},
        {"no list", "[Umbrill]\n" + yo, {}},
        {"list outside its section", "Languages=yo\n" + yo, {}},
        {"cut in the middle of a line", "[Umbrill]\nLanguages=yo\n[yo]\nEnt", {}},
        {"empty entry", "[Umbrill]\nLanguages=yo\n[yo]\nEntry=\n", {}},
        {"codes that are no codes, and repeats", "[Umbrill]\nLanguages=yo,YO,../x,\"a b\",,yo\n" + yo, {"yo"}},
        {"a repeated section: the first counts", "[Umbrill]\nLanguages=yo\n[yo]\nen=One\n" + yo, {}},
        {"a repeated key: the first counts", "[Umbrill]\nLanguages=yo\n[yo]\nEntry=Arial,12,8,65\nEntry=\n", {"yo"}},
        {"NUL and lone CR", "[Umbrill]\rLanguages=yo\0zz\r"s + yo, {"yo"}},
        {"bytes of no text", "\xFF\xFE[\x80\x81\n=\n[\n]\n" + yo, {}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> codes;
        const GeneratedLanguages read = GeneratedLanguages::fromBytes(row.bytes);
        for (const GeneratedLanguage &language : read.languages())
            codes.push_back(language.code);
        EXPECT_EQ(codes, row.codes);
    }
    // A value is cut at the reader's limit, never inside a character.
    const std::string longName(2046, 'a');
    const GeneratedLanguages cut = GeneratedLanguages::fromBytes("[Umbrill]\nLanguages=yo\n" + yo + "Own="
                                                                 + longName + "\xC3\xA9\xC3\xA9\n");
    ASSERT_EQ(cut.languages().size(), 1u);
    EXPECT_EQ(cut.languages()[0].own, longName);
}

TEST(GeneratedLanguages, ACommandLineNamesOneByCodeThenInterfaceNameThenEnglishName)
{
    const GeneratedLanguages read = GeneratedLanguages::fromBytes(
        "[Umbrill]\nLanguages=cy,de,yo,haw,ee,eel\n"
        "[cy]\nEntry=A,1,1,65\nen=Welsh\nde=Walisisch\n"
        "[de]\nEntry=A,1,1,65\nen=German\nde=Deutsch\n"
        "[yo]\nEntry=A,1,1,65\nen=Yoruba\n"
        "[ee]\nEntry=A,1,1,65\nen=Ewe\n[eel]\nEntry=A,1,1,65\nen=EWE\n");
    struct Row {
        const char *wanted;
        InterfaceLanguage language;
        const char *code; // nullptr: none
    };
    const Row rows[] = {
        {"yo", InterfaceLanguage::English, "yo"},
        {"YO", InterfaceLanguage::English, "yo"},
        {"yoruba", InterfaceLanguage::English, "yo"},
        {"Walisisch", InterfaceLanguage::German, "cy"},
        {"Welsh", InterfaceLanguage::German, "cy"},  // the English name as well
        {"de", InterfaceLanguage::German, "de"},     // a code before a name
        {"Deutsch", InterfaceLanguage::German, "de"},
        {"Ewe", InterfaceLanguage::English, "ee"},   // the same name wins over one differing in case
        {"ewe", InterfaceLanguage::English, nullptr},
        {"Klingon", InterfaceLanguage::English, nullptr},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.wanted);
        const GeneratedLanguage *found = read.named(row.wanted, row.language);
        EXPECT_EQ(found ? found->code : "none", row.code ? row.code : "none");
    }
}

TEST(Catalogue, GeneratedLanguagesFollowSortedByTheirShownNameUnlessANameIsTaken)
{
    const GeneratedLanguages read = GeneratedLanguages::fromBytes(
        "[Umbrill]\nLanguages=fr,ee,cy,eu,yo\n"
        "[fr]\nEntry=A,1,1,65\nen=French\nde=Franz\xC3\xB6sisch\n"
        "[ee]\nEntry=A,1,1,65\nen=Ewe\nOwn=E\xCA\x8B\x65gbe\n"
        "[cy]\nEntry=A,1,1,65\nen=Welsh\n"
        "[eu]\nEntry=A,1,1,65\nen=Basque\nde=Baskisch\n"
        "[yo]\nEntry=A,1,1,65\nen=\xC3\x89yoruba\n"); // an accent does not move it to the end
    std::vector<CatalogueEntry> entries = listedEntries({"French", "Euro", "Mine"}, 2);
    entries.push_back(recentEntry("Recent"));
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[1].kind, CatalogueKind::Shipped);
    EXPECT_EQ(entries[2].kind, CatalogueKind::Own);
    EXPECT_EQ(entries[3].kind, CatalogueKind::Recent);
    EXPECT_EQ(entries[3].key, kRecentLanguageKey);
    EXPECT_EQ(entries[3].loadName(), kRecentLanguageKey);

    std::vector<CatalogueEntry> english = entries;
    appendGenerated(english, read, InterfaceLanguage::English);
    std::vector<std::string> shown;
    for (const CatalogueEntry &entry : english)
        shown.push_back(entry.shown);
    // The shipped French wins over the generated one.
    EXPECT_EQ(shown, (std::vector<std::string>{"French", "Euro", "Mine", "Recent", "Basque", "Ewe",
                                               "\xC3\x89yoruba", "Welsh"}));
    EXPECT_EQ(english[5].kind, CatalogueKind::Generated);
    EXPECT_EQ(english[5].key, "[generated:ee]");
    EXPECT_EQ(english[5].loadName(), "[generated:ee]");
    EXPECT_EQ(english[5].own, "E\xCA\x8B\x65gbe");

    // In German the names differ, and nothing takes Französisch; an own
    // language named "WELSH" takes Welsh (names compare ignoring ASCII case).
    std::vector<CatalogueEntry> german = listedEntries({"French", "WELSH"}, 1);
    appendGenerated(german, read, InterfaceLanguage::German);
    shown.clear();
    for (const CatalogueEntry &entry : german)
        shown.push_back(entry.shown);
    EXPECT_EQ(shown, (std::vector<std::string>{"French", "WELSH", "Baskisch", "Ewe", "\xC3\x89yoruba",
                                               "Franz\xC3\xB6sisch"}));
}

TEST(Catalogue, TheFilterFindsTheShownEnglishOrOwnNameOrTheCodeInAnyCase)
{
    const GeneratedLanguages read = GeneratedLanguages::fromBytes(
        "[Umbrill]\nLanguages=sr_Latn,yo\n"
        "[sr_Latn]\nEntry=A,1,1,65\nen=Serbian (Latin)\nde=Serbisch (lateinisch)\nOwn=srpski (latinica)\n"
        "[yo]\nEntry=A,1,1,65\nen=Yoruba\nOwn=\xC3\x88\x64\xC3\xA8 Yor\xC3\xB9\x62\xC3\xA1\n");
    std::vector<CatalogueEntry> entries = listedEntries({"Czech", "My Characters"}, 1);
    appendGenerated(entries, read, InterfaceLanguage::German);
    const auto matching = [&entries](std::string_view typed) {
        std::vector<std::string> keys;
        for (const CatalogueEntry &entry : entries) {
            if (filterMatches(entry, filterQuery(typed)))
                keys.push_back(entry.key);
        }
        return keys;
    };
    using Keys = std::vector<std::string>;
    EXPECT_EQ(matching(""), (Keys{"Czech", "My Characters", "[generated:sr_Latn]", "[generated:yo]"}));
    EXPECT_EQ(matching("SERB"), (Keys{"[generated:sr_Latn]"}));       // the shown name
    EXPECT_EQ(matching("serbian"), (Keys{"[generated:sr_Latn]"}));    // the English one
    EXPECT_EQ(matching("srpski"), (Keys{"[generated:sr_Latn]"}));     // its own
    EXPECT_EQ(matching("sr_latn"), (Keys{"[generated:sr_Latn]"}));    // the code
    EXPECT_EQ(matching("\xC3\xA8\x64\xC3\xA8"), (Keys{"[generated:yo]"})); // "èdè"
    EXPECT_EQ(matching("ede"), (Keys{"[generated:yo]"}));             // accents aside
    EXPECT_EQ(matching("cz"), (Keys{"Czech"}));
    EXPECT_EQ(matching("char"), (Keys{"My Characters"}));
    EXPECT_EQ(matching("zz"), (Keys{}));
    // A query does not run across two names.
    EXPECT_EQ(matching("yoruba ede"), (Keys{}));
}

TEST(Catalogue, AGeneratedKeyHoldsACodeAndNothingElseReadsAsOne)
{
    EXPECT_EQ(generatedKey("sr_Latn"), "[generated:sr_Latn]");
    EXPECT_EQ(generatedCode("[generated:sr_Latn]"), "sr_Latn");
    for (const char *other : {"Yoruba", "yo", "[Recent]", "[generated:]", "[generated:yo", "generated:yo]"})
        EXPECT_EQ(generatedCode(other), std::nullopt) << other;
}

class GeneratedInPad : public ::testing::Test {
protected:
    GeneratedInPad() : m_config("XDG_CONFIG_HOME", (m_home / "config").string())
    {
        writeBytes(m_home / "Umbrill05.ini", kShipped);
        writeBytes(m_home / std::string(kGeneratedFileName), kSmallFile);
    }
    void controlLanguage(const char *language)
    {
        std::filesystem::create_directories(m_home / "config" / "umbrill");
        writeBytes(m_home / "config" / "umbrill" / "user.reg",
                   std::string("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\r\n"
                               "\"ControlLanguage\"=\"")
                       + language + "\"\r\n");
    }
    std::vector<std::string> shown(bool withGenerated)
    {
        std::vector<std::string> names;
        for (const CatalogueEntry &entry : m_pad.catalogue(withGenerated))
            names.push_back(entry.shown);
        return names;
    }

    const std::string kShipped = "[Umbrill]\r\nLanguages=Pad\r\nPad=Arial,8,5,65,66\r\n";
    TempDir m_home{"umbrill-generated"};
    ScopedEnv m_config;
    PadState m_pad{m_home.path() / ""};
    ShowLanguage m_show = [](const std::string &) {};
};

TEST_F(GeneratedInPad, LoadsByItsKeyIsRememberedByItAndShownInTheInterfaceLanguage)
{
    controlLanguage("Fran\xC3\xA7\x61is");
    ASSERT_TRUE(m_pad.CheckForIniFile());
    EXPECT_EQ(shown(false), std::vector<std::string>{"Pad"});
    EXPECT_EQ(shown(true), (std::vector<std::string>{"Pad", "hawa\xC3\xAF\x65n", "yoruba"}));

    const std::string key = "[generated:haw]";
    EXPECT_EQ(m_pad.shownName(key), "hawa\xC3\xAF\x65n");
    m_pad.SetLanguage(m_pad.shownName(key));
    m_pad.GetLanguageData(key, m_show);
    EXPECT_EQ(m_pad.CurrentLanguage().KeyCodes, (std::vector<std::int32_t>{257, 256}));
    m_pad.remember(kLastLanguage, key);
    EXPECT_EQ(m_pad.remembered(kLastLanguage), key);
    EXPECT_EQ(m_pad.catalogueIndex(key), -1); // held, and found by its key
    EXPECT_EQ(m_pad.generatedNamed("HAW"), key);
    EXPECT_EQ(m_pad.generatedNamed("Hawaiian"), key);
    EXPECT_EQ(m_pad.generatedNamed("Pad"), std::nullopt);

    // A code the file no longer holds loads nothing, like a name the data file lacks.
    EXPECT_EQ(m_pad.catalogueIndex("[generated:gone]"), std::nullopt);
    const auto failure = [this](const std::string &name) {
        try {
            m_pad.GetLanguageData(name, m_show);
        } catch (const Error &error) {
            return std::string(error.what());
        }
        return std::string("loaded");
    };
    EXPECT_EQ(failure("[generated:gone]"), failure("Gone"));
    EXPECT_NE(failure("Gone"), "loaded");
}

TEST_F(GeneratedInPad, ACopyBecomesTheUsersOwnAndTheShippedFilesStayAsTheyAre)
{
    ASSERT_TRUE(m_pad.CheckForIniFile());
    const std::string key = "[generated:yo]";
    m_pad.SetLanguage(m_pad.shownName(key));
    m_pad.GetLanguageData(key, m_show);
    m_pad.remember(kLastLanguage, key);

    EXPECT_EQ(m_pad.copyToOwnLanguages(key), "Yoruba");
    // The own name wins: Yoruba is listed once, as the user's own, and the pad
    // shown goes on with the copy.
    EXPECT_EQ(shown(true), (std::vector<std::string>{"Pad", "Yoruba", "Hawaiian"}));
    EXPECT_EQ(m_pad.catalogue(true)[1].kind, CatalogueKind::Own);
    EXPECT_EQ(m_pad.remembered(kLastLanguage), "Yoruba");
    EXPECT_EQ(ownEntry(m_pad.ownLanguagesFile(), "Yoruba"), "\"DejaVu Sans\",12,8,7865,7864,7885");

    // The font command on a generated language writes the user's file, never the shipped ones.
    const std::string haw = "[generated:haw]";
    m_pad.SetLanguage(m_pad.shownName(haw));
    m_pad.GetLanguageData(haw, m_show);
    m_pad.layOut(1, 1024, 768);
    m_pad.applyKeyFont("Noto Sans", 20, 96);
    m_pad.writeKeyFontEntry();
    EXPECT_EQ(ownEntry(m_pad.ownLanguagesFile(), "Hawaiian"), "\"Noto Sans\",20,8,257");
    EXPECT_EQ(ownLanguagesList(m_pad.ownLanguagesFile()), "Yoruba,Hawaiian");
    EXPECT_EQ(readBytes(m_home / "Umbrill05.ini"), kShipped);
    EXPECT_EQ(readBytes(m_home / std::string(kGeneratedFileName)), kSmallFile);
    EXPECT_THROW(m_pad.copyToOwnLanguages("[generated:gone]"), Error);
    // A name already taken is not overridden: Yoruba is the user's own now.
    EXPECT_THROW(m_pad.copyToOwnLanguages("[generated:yo]"), Error);
    EXPECT_EQ(ownEntry(m_pad.ownLanguagesFile(), "Yoruba"), "\"DejaVu Sans\",12,8,7865,7864,7885");
}

TEST_F(GeneratedInPad, WithoutTheFileNothingIsGeneratedAndNothingElseChanges)
{
    std::filesystem::remove(m_home / std::string(kGeneratedFileName));
    ASSERT_TRUE(m_pad.CheckForIniFile());
    EXPECT_EQ(shown(true), std::vector<std::string>{"Pad"});
    EXPECT_EQ(m_pad.generatedNamed("yo"), std::nullopt);
    EXPECT_EQ(m_pad.shownName("Pad"), "Pad");
}

} // namespace
} // namespace umbrill
