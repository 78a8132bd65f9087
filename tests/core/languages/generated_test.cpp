// The keyboard languages generated from CLDR at build time, read from the
// program folder as the program reads them: every language is a sound entry,
// and ten of them hold the letters a reader of the language expects, small
// before capital in the alphabet's order, and its currency sign.
#include "core/keypad/keygrid.h"
#include "core/languages/languagerecord.h"
#include "core/settings/profilefile.h"
#include "core/settings/settingnames.h"
#include "core/text/ansi.h"
#include "core/text/commalist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace umbrill {
namespace {

const std::filesystem::path kGenerated = UMBRILL_GENERATED_LANGUAGES_FILE;

ProfileFile generatedFile()
{
    std::ifstream in(kGenerated, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return ProfileFile::fromBytes(bytes.str());
}

// The characters of a UTF-8 text, one each.
std::vector<std::string> characters(std::string_view text)
{
    std::vector<std::string> out;
    for (unsigned char c : text) {
        if ((c & 0xC0) != 0x80 || out.empty())
            out.emplace_back();
        out.back() += static_cast<char>(c);
    }
    return out;
}

// The characters the keys of a language output.
std::vector<std::string> keysOf(const ProfileFile &file, const std::string &code)
{
    LanguageRecord record;
    applyLanguageEntry(record, file.value(code, "Entry", ""));
    std::vector<std::string> keys;
    for (std::int32_t key : record.KeyCodes)
        keys.push_back(utf8FromWide(keyCharacter(key)));
    return keys;
}

TEST(GeneratedCatalogue, EveryLanguageIsASoundEntryWithItsNames)
{
    const ProfileFile file = generatedFile();
    EXPECT_EQ(file.encoding(), ProfileEncoding::Utf8WithBom);
    const std::vector<std::string> codes = splitCommaList(file.value(kDataSection, kLanguagesKey, ""));
    EXPECT_GE(codes.size(), 180u);
    EXPECT_TRUE(std::is_sorted(codes.begin(), codes.end()));
    EXPECT_EQ(std::set<std::string>(codes.begin(), codes.end()).size(), codes.size()) << "a code listed twice";
    for (const std::string &code : codes) {
        SCOPED_TRACE(code);
        const std::string entry = file.value(code, "Entry", kNotFound);
        ASSERT_NE(entry, kNotFound);
        EXPECT_LT(entry.size(), kMaxValueChars);
        LanguageRecord record;
        ASSERT_NO_THROW(applyLanguageEntry(record, entry));
        EXPECT_FALSE(record.KeyFontName.empty());
        EXPECT_EQ(record.KeyFontSize, 12);
        EXPECT_GE(record.KeysPerRow, 4);
        EXPECT_LE(record.KeysPerRow, 16);
        EXPECT_GE(record.KeyCodes.size(), 1u);
        EXPECT_LE(record.KeyCodes.size(), 255u);
        std::set<std::int32_t> seen;
        for (std::int32_t key : record.KeyCodes) {
            EXPECT_GE(key, 0xA0) << "ASCII or a control as a key";
            EXPECT_TRUE(seen.insert(key).second) << key << " twice";
        }
        for (const char *name : {"Own", "en", "de", "fr", "es"})
            EXPECT_FALSE(file.value(code, name, "").empty()) << name;
    }
    // A script variant is named with its script; the languages too large for a
    // pad are left out and named in the file's opening comment.
    EXPECT_EQ(file.value("sr_Latn", "en", ""), "Serbian (Latin)");
    EXPECT_EQ(file.value("sr_Latn", "Own", ""), "srpski (latinica)");
    std::ifstream in(kGenerated);
    std::string leftOut;
    while (std::getline(in, leftOut) && leftOut.find("; Left out, more than 255 keys:") == std::string::npos) {
    }
    for (const char *large : {"ja", "zh", "ko"}) {
        EXPECT_EQ(std::count(codes.begin(), codes.end(), large), 0) << large;
        EXPECT_NE(leftOut.find(std::string(" ") + large + " ("), std::string::npos) << large << " not named as left out";
    }
}

struct Expected {
    const char *code;
    const char *inOrder;  // letters in this order, among others
    const char *absent;   // none of these
    const char *currency;
    const char *own;
    const char *en;
};

TEST(GeneratedCatalogue, TenLanguagesHoldTheLettersTheirReadersExpect)
{
    // Written from each alphabet, not from CLDR: a letter sequence with a
    // combining mark is typed as the letter and then the mark, which thus
    // follows the letters; Georgian has no capitals in everyday writing;
    // Azerbaijani's capital of i is İ.
    const Expected languages[] = {
        {"yo", "ẹọṣẸỌṢ\u0301\u0300", "", "₦", "Èdè Yorùbá", "Yoruba"},
        {"haw", "āēīōūʻĀĒĪŌŪ", "", "", "ʻŌlelo Hawaiʻi", "Hawaiian"},
        {"az", "çəğıöşüÇƏĞİÖŞÜ", "", "₼", "azərbaycan", "Azerbaijani"},
        {"ee", "ɖɛƒɣŋɔʋƉƐƑƔŊƆƲ\u0301\u0300\u0303", "", "₵", "Eʋegbe", "Ewe"},
        {"lkt", "čǧȟŋšžʼČǦȞŊŠŽ", "", "", "Lakȟólʼiyapi", "Lakota"},
        {"cy", "âêîôûŵŷÂÊÎÔÛŴŶ", "", "£", "Cymraeg", "Welsh"},
        {"hy", "աբգդեզէըթժիլխծկհձղճմյնշոչպջռսվտրցւփքօֆԱԲԳԴԵԶԷԸԹԺԻԼԽԾԿՀՁՂՃՄՅՆՇՈՉՊՋՌՍՎՏՐՑՒՓՔՕՖ", "", "֏",
         "հայերեն", "Armenian"},
        {"ka", "აბგდევზთიკლმნოპჟრსტუფქღყშჩცძწჭხჯჰ", "ᲐᲑᲒ", "₾", "ქართული", "Georgian"},
        {"uk", "абвгґдеєжзиіїйклмнопрстуфхцчшщьюяАБВГҐДЕЄЖЗИІЇЙ", "ыэъё", "₴", "українська", "Ukrainian"},
        {"hi", "अआइईउऊएऐओऔकखगघचछजझटठडढतथदधनपफबभमयरलवशषसहािीुूेैोौ्", "", "₹", "हिन्दी", "Hindi"},
    };
    const ProfileFile file = generatedFile();
    for (const Expected &language : languages) {
        SCOPED_TRACE(language.code);
        const std::vector<std::string> keys = keysOf(file, language.code);
        ASSERT_FALSE(keys.empty());
        auto at = keys.begin();
        for (const std::string &letter : characters(language.inOrder)) {
            const auto found = std::find(at, keys.end(), letter);
            EXPECT_NE(found, keys.end()) << letter << " missing or out of order";
            if (found != keys.end())
                at = found;
        }
        for (const std::string &letter : characters(language.absent))
            EXPECT_EQ(std::count(keys.begin(), keys.end(), letter), 0) << letter;
        if (*language.currency) {
            EXPECT_EQ(keys.back(), language.currency) << "the currency sign closes the pad";
        }
        EXPECT_EQ(file.value(language.code, "Own", ""), language.own);
        EXPECT_EQ(file.value(language.code, "en", ""), language.en);
    }
}

} // namespace
} // namespace umbrill
