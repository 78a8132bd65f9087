// The search by name, code, entity or character: what comes first, and that
// bad input finds nothing rather than failing. The expected characters are
// written as codes here, and each row checks that its code has the name the
// row gives, so that a slip in a row cannot pass unseen.
#include "core/names/namesearch.h"

#include "core/names/charnames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace umbrill {
namespace {

std::string shown(const std::vector<char32_t> &found)
{
    std::string text;
    for (std::size_t i = 0; i < std::min<std::size_t>(found.size(), 5); ++i)
        text += codePointLabel(found[i]) + " " + characterName(found[i]) + "; ";
    return text;
}

TEST(NameSearch, FindsTheCharacterAUserMeansFirst)
{
    struct Row {
        const char16_t *query;
        char32_t first;
        const char *name;
    };
    const Row rows[] = {
        {u"e acute", 0x00E9, "LATIN SMALL LETTER E WITH ACUTE"},
        {u"ACUTE e", 0x00E9, "LATIN SMALL LETTER E WITH ACUTE"},
        {u"E acute", 0x00C9, "LATIN CAPITAL LETTER E WITH ACUTE"},
        {u"EURO", 0x20AC, "EURO SIGN"},
        {u"sign euro", 0x20AC, "EURO SIGN"},
        {u"  Euro Sign  ", 0x20AC, "EURO SIGN"},
        {u"arrow left", 0x2190, "LEFTWARDS ARROW"},
        {u"s comma below", 0x0219, "LATIN SMALL LETTER S WITH COMMA BELOW"},
        {u"T COMMA BELOW", 0x021A, "LATIN CAPITAL LETTER T WITH COMMA BELOW"},
        {u"em dash", 0x2014, "EM DASH"},
        {u"no-break space", 0x00A0, "NO-BREAK SPACE"},
        {u"narrow no break", 0x202F, "NARROW NO-BREAK SPACE"},
        {u"thin space", 0x2009, "THIN SPACE"},
        {u"zero width joiner", 0x200D, "ZERO WIDTH JOINER"},
        {u"fatha", 0x064E, "ARABIC FATHA"},
        {u"grinning", 0x1F600, "GRINNING FACE"},
        {u"U+20AC", 0x20AC, "EURO SIGN"},
        {u"u+20ac", 0x20AC, "EURO SIGN"},
        {u"20AC", 0x20AC, "EURO SIGN"},
        {u"8364", 0x20AC, "EURO SIGN"},
        {u"&#8364;", 0x20AC, "EURO SIGN"},
        {u"&#x20ac;", 0x20AC, "EURO SIGN"},
        {u"0x1F600", 0x1F600, "GRINNING FACE"},
        {u"4E00", 0x4E00, "CJK UNIFIED IDEOGRAPH-4E00"},  // ideographs are found by code
        {u"U+E000", 0xE000, "private use U+E000"},
        {u"eacute", 0x00E9, "LATIN SMALL LETTER E WITH ACUTE"},
        {u"&Eacute;", 0x00C9, "LATIN CAPITAL LETTER E WITH ACUTE"},
        {u"szlig", 0x00DF, "LATIN SMALL LETTER SHARP S"},
        {u"nbsp", 0x00A0, "NO-BREAK SPACE"},  // a key's label
        {u"ZWJ", 0x200D, "ZERO WIDTH JOINER"},
        {u"o umlaut", 0x00F6, "LATIN SMALL LETTER O WITH DIAERESIS"},
        {u"\u00E9", 0x00E9, "LATIN SMALL LETTER E WITH ACUTE"},
        {u"\u2013", 0x2013, "EN DASH"},
        {u"\U0001F600", 0x1F600, "GRINNING FACE"},
    };
    const NameIndex &index = NameIndex::shared();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(characterName(row.first), row.name);
        const std::vector<char32_t> found = index.find(row.query);
        ASSERT_FALSE(found.empty()) << "nothing found";
        EXPECT_EQ(found.front(), row.first) << "found first: " << shown(found);
    }
}

TEST(NameSearch, ResultsAreDistinctLimitedAndHoldEveryWord)
{
    const NameIndex &index = NameIndex::shared();
    const std::vector<char32_t> letters = index.find(u"letter");
    EXPECT_EQ(letters.size(), kFindLimit);
    EXPECT_EQ(std::set<char32_t>(letters.begin(), letters.end()).size(), letters.size());
    EXPECT_EQ(index.find(u"letter", 7).size(), 7u);

    for (char32_t c : index.find(u"arrow left")) {
        const std::string name = characterName(c);
        SCOPED_TRACE(name);
        EXPECT_NE(name.find("ARROW"), std::string::npos);
        EXPECT_NE(name.find("LEFT"), std::string::npos);
    }
    // Exact names before names where the words start words, before the rest.
    const std::vector<char32_t> space = index.find(u"space");
    ASSERT_GE(space.size(), 3u);
    EXPECT_EQ(space[0], 0x0020u);  // SPACE
    const auto rest = std::find(space.begin(), space.end(), char32_t{0x2423});  // OPEN BOX, "SPACE" inside no word
    const auto thin = std::find(space.begin(), space.end(), char32_t{0x2009});  // THIN SPACE
    if (rest != space.end()) {
        EXPECT_LT(thin - space.begin(), rest - space.begin());
    }
}

TEST(NameSearch, BadInputFindsNothingOrLittle)
{
    const NameIndex &index = NameIndex::shared();
    struct Row {
        const char *what;
        std::u16string query;
    };
    const Row nothing[] = {
        {"empty", u""},
        {"blanks", u" \t\u3000 "},
        {"a prefix alone", u"U+"},
        {"beyond Unicode", u"U+110000"},
        {"a huge number", u"U+FFFFFFFFFFFFFFFF"},
        {"a surrogate's code", u"U+D800"},
        {"a surrogate's decimal code", u"&#56320;"},
        {"an unassigned code", u"U+0378"},
        {"a lone surrogate", u"\xD800"},
        {"no such word", u"xyzzyq"},
        {"a word beyond ASCII", u"caf\u00E9"},
    };
    for (const Row &row : nothing) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(index.find(row.query), std::vector<char32_t>{}) << shown(index.find(row.query));
    }
    // A page pasted in: read as far as the query limit, and never more than the limit found.
    std::u16string pasted;
    while (pasted.size() < 10'000)
        pasted += u"latin small letter e with acute ";
    EXPECT_LE(index.find(pasted).size(), kFindLimit);
    EXPECT_TRUE(index.find(std::u16string(10'000, u'a')).empty());
    EXPECT_TRUE(index.find(std::u16string(10'000, u'\xDC00')).empty());
}

} // namespace
} // namespace umbrill
