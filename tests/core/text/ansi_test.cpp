// Windows-1252, UTF-16 and UTF-8 conversions.
#include "core/text/ansi.h"

#include <gtest/gtest.h>

namespace umbrill {
namespace {

TEST(AnsiCodePage, MapsTheWholePageBothWays)
{
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        SCOPED_TRACE(b);
        EXPECT_EQ(ansiFromWide(wideFromAnsi(one)), one);
    }
    EXPECT_EQ(wideFromAnsi("\xE9"), u"é");
    EXPECT_EQ(wideFromAnsi("\x80\x9C\x8C"), u"€œŒ");
    EXPECT_EQ(wideFromAnsi("\x81"), u"\u0081");
}

TEST(AnsiCodePage, Utf8OfEveryByteAloneAndAmongAsciiRuns)
{
    std::string page;
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        SCOPED_TRACE(b);
        EXPECT_EQ(utf8FromAnsi(one), utf8FromWide(wideFromAnsi(one)));
        page += one;
    }
    const std::string mixed = "ab" + page + "cd" + page + "\x80";
    EXPECT_EQ(utf8FromAnsi(mixed), utf8FromWide(wideFromAnsi(mixed)));
    EXPECT_EQ(utf8FromAnsi("\x80x\x81"), "\xE2\x82\xACx\xC2\x81");
    EXPECT_EQ(utf8FromAnsi(""), "");
}

TEST(AnsiCodePage, CharactersThePageLacksBecomeQuestionMarks)
{
    EXPECT_EQ(ansiFromWide(u"a\u0151b"), "a?b");
    EXPECT_EQ(ansiFromWide(u"\U0001F600"), "?");  // one character, one mark
    EXPECT_EQ(ansiFromWide(u"\xD800x"), "?x");
    EXPECT_EQ(ansiFromWide(u"€"), "\x80");
}

TEST(Utf, RoundTripsAndRepairsMalformedInput)
{
    const std::u16string text = u"aé€\U0001F600";
    EXPECT_EQ(wideFromUtf8(utf8FromWide(text)), text);
    EXPECT_EQ(utf8FromWide(u"\xDC00"), "\xEF\xBF\xBD");
    EXPECT_EQ(wideFromUtf8("a\xC3"), u"a\uFFFD");
    EXPECT_EQ(wideFromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
    EXPECT_EQ(wideFromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");           // overlong
    EXPECT_TRUE(isValidUtf8("plain"));
    EXPECT_TRUE(isValidUtf8("caf\xC3\xA9"));
    EXPECT_FALSE(isValidUtf8("caf\xE9"));
    EXPECT_EQ(utf8FromAnsi("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(ansiFromUtf8("caf\xC3\xA9"), "caf\xE9");
    // One byte for each character, a broken byte or one beyond the page: the text only shrinks.
    EXPECT_EQ(ansiFromUtf8("\xE2\x82\xAC\xF0\x9F\x98\x80x\xC3"), std::string("\x80?x?"));
}

TEST(CodePoint, FullCharactersAndReplacements)
{
    EXPECT_EQ(wideFromCodePoint(0x1D11E), u"\U0001D11E");
    EXPECT_EQ(wideFromCodePoint(233), u"é");
    EXPECT_EQ(wideFromCodePoint(-1), u"\uFFFD");
    EXPECT_EQ(wideFromCodePoint(0xD800), u"\uFFFD");
    EXPECT_EQ(wideFromCodePoint(0x110000), u"\uFFFD");
}

} // namespace
} // namespace umbrill
