// The shipped data file: every language of its catalogue loads, and every key
// outputs the character its expectation line names (written as characters,
// independently of the codes in the data file).
#include "core/keypad/keygrid.h"
#include "core/languages/languagerecord.h"
#include "core/settings/profilefile.h"
#include "core/settings/settingnames.h"
#include "core/text/ansi.h"
#include "core/text/commalist.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

namespace umbrill {
namespace {

const std::filesystem::path kDataFile = std::filesystem::path(UMBRILL_SOURCE_DIR) / "data" / "Umbrill05.ini";
const std::filesystem::path kExpected = std::filesystem::path(UMBRILL_SOURCE_DIR) / "tests" / "data" / "catalogue_expected.txt";

// "\u{20AC}" escapes stand for characters that are hard to see.
std::u16string unescape(const std::string &line)
{
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line.compare(i, 3, "\\u{") == 0) {
            const std::size_t close = line.find('}', i);
            const long code = std::stol(line.substr(i + 3, close - i - 3), nullptr, 16);
            out += utf8FromWide(wideFromCodePoint(code));
            i = close;
        } else {
            out += line[i];
        }
    }
    return wideFromUtf8(out);
}

std::vector<std::pair<std::string, std::u16string>> expectations()
{
    std::vector<std::pair<std::string, std::u16string>> rows;
    std::ifstream in(kExpected);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t tab = line.find('\t');
        rows.emplace_back(line.substr(0, tab), unescape(line.substr(tab + 1)));
    }
    return rows;
}

TEST(ShippedCatalogue, EveryLanguageLoadsWithTheIntendedCharacters)
{
    const std::vector<std::string> names =
        splitCommaList(readProfileString(kDataFile, kDataSection, kLanguagesKey, kNotFound));
    const auto expected = expectations();
    ASSERT_GE(names.size(), 30u);
    ASSERT_EQ(names.size(), expected.size());
    std::set<std::string> seen;
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_TRUE(seen.insert(names[i]).second) << "listed twice";
        EXPECT_EQ(names[i], expected[i].first);
        const std::string entry = readProfileString(kDataFile, kDataSection, names[i], kNotFound);
        EXPECT_LT(entry.size(), kMaxValueChars);
        LanguageRecord record;
        ASSERT_NO_THROW(applyLanguageEntry(record, entry));
        EXPECT_GE(record.KeysPerRow, 3);
        EXPECT_LE(record.KeysPerRow, 16);
        EXPECT_LE(record.KeyCodes.size(), 255u);
        std::u16string characters;
        for (std::int32_t code : record.KeyCodes)
            characters += keyCharacter(code);
        EXPECT_EQ(utf8FromWide(characters), utf8FromWide(expected[i].second));
    }
}

} // namespace
} // namespace umbrill
