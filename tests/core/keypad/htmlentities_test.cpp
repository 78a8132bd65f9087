// The HTML entity table: its shape, the rows kept on purpose, and what finds no row.
#include "core/keypad/htmlentities.h"

#include <gtest/gtest.h>

#include <set>

namespace umbrill {
namespace {

TEST(HtmlEntityTable, EveryRowIsOneCharacterAndAnEntity)
{
    std::set<char16_t> characters;
    for (const HtmlEntityRow &row : HtmlEntityTable) {
        SCOPED_TRACE(static_cast<int>(row.character));
        EXPECT_TRUE(characters.insert(row.character).second) << "character occurs twice";
        EXPECT_FALSE(row.character >= 0xD800 && row.character <= 0xDFFF);
        EXPECT_GE(row.entity.size(), 5u);
        EXPECT_LE(row.entity.size(), 8u);
        EXPECT_EQ(row.entity.front(), '&');
        EXPECT_EQ(row.entity.back(), ';');
        for (char c : row.entity.substr(1, row.entity.size() - 2))
            EXPECT_TRUE((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) << row.entity;
        EXPECT_EQ(GetHtmlEntity(std::u16string(1, row.character)), row.entity);
    }
}

TEST(HtmlEntityTable, FindsTheRowsTheProgramKeeps)
{
    struct Row {
        std::u16string character;
        std::string_view entity;
    };
    const Row rows[] = {
        {u"É", "&Eacute;"}, {u"é", "&eacute;"},  {u"°", "&deg;"},      {u"º", "&deg;"},  // shared on purpose
        {u"™", "&trade;"},  {u"¼", "&frac14;"},  {u"½", "&frac12;"},   {u"¾", "&frac34;"},
        {u"Æ", "&AElig;"},  {u"ð", "&eth;"},     {u"Ð", "&ETH;"},      {u"ß", "&szlig;"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.entity));
        EXPECT_EQ(GetHtmlEntity(row.character), row.entity);
    }
}

TEST(HtmlEntityTable, OtherTextFindsNoRow)
{
    struct Row {
        const char *name;
        std::u16string c;
    };
    const Row rows[] = {
        {"HTML 4 names the table lacks", u"ã"}, {"o tilde", u"õ"}, {"y diaeresis", u"ÿ"},
        {"feminine ordinal", u"ª"}, {"micro", u"µ"}, {"times", u"×"}, {"euro", u"€"},
        {"ampersand", u"&"}, {"less-than", u"<"}, {"greater-than", u">"}, {"quotation mark", u"\""},
        {"ligature oe", u"œ"}, {"decomposed e acute", u"e\u0301"}, {"two characters", u"éé"},
        {"empty", u""}, {"beyond U+FFFF", u"\U0001D11E"}, {"replacement character", u"\uFFFD"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(GetHtmlEntity(row.c), std::nullopt);
    }
}

} // namespace
} // namespace umbrill
