// Names and descriptions of characters, and the forms of their codes.
#include "core/names/charnames.h"

#include <gtest/gtest.h>

namespace umbrill {
namespace {

TEST(CharacterName, NamedCharactersHaveTheirUnicodeNameOthersADescription)
{
    struct Row {
        char32_t c;
        const char *name;
    };
    const Row rows[] = {
        {0x00E9, "LATIN SMALL LETTER E WITH ACUTE"},
        {0x0020, "SPACE"},
        {0x064E, "ARABIC FATHA"},
        {0x1F600, "GRINNING FACE"},
        {0xFFFD, "REPLACEMENT CHARACTER"},
        {0x0009, "control U+0009"},
        {0x0085, "control U+0085"},
        {0xE000, "private use U+E000"},
        {0x10FFFD, "private use U+10FFFD"},
        {0xD800, "surrogate U+D800"},
        {0xFFFF, "noncharacter U+FFFF"},
        {0x0378, "unassigned U+0378"},
        {0x110000, "not a character U+110000"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(codePointLabel(row.c));
        EXPECT_EQ(characterName(row.c), row.name);
    }
}

TEST(CodePointLabel, HasAtLeastFourUpperCaseDigits)
{
    EXPECT_EQ(codePointLabel(0x41), "U+0041");
    EXPECT_EQ(codePointLabel(0x20AC), "U+20AC");
    EXPECT_EQ(codePointLabel(0x1F600), "U+1F600");
}

TEST(CodePoints, SurrogatePairsAndBadCodes)
{
    EXPECT_EQ(firstCodePoint(u"\U0001F600x"), 0x1F600u);
    EXPECT_EQ(firstCodePoint(u"\xD83Dx"), 0xD83Du);  // a lone lead surrogate stands for itself
    EXPECT_EQ(firstCodePoint(u""), std::nullopt);
    EXPECT_EQ(utf16Of(0x1F600), u"\U0001F600");
    EXPECT_EQ(utf16Of(0xDC00), u"\uFFFD");
    EXPECT_EQ(utf8Of(0x20AC), "\xE2\x82\xAC");
    EXPECT_EQ(utf8Of(0x1F600), "\xF0\x9F\x98\x80");
    EXPECT_EQ(utf8Of(0x110000), "\xEF\xBF\xBD");
}

} // namespace
} // namespace umbrill
