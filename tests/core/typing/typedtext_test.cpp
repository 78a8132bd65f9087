// What a click types with Type into Window on, and the keysyms that carry it.
#include "core/typing/typedtext.h"

#include <gtest/gtest.h>

namespace umbrill {
namespace {

TEST(TypedText, EachKeyTypesItsWholeCharacterWithTheKeysymXKnowsItBy)
{
    struct Row {
        const char *name;
        std::u16string character;
        PasteFormat format;
        std::vector<Keysym> keysyms;
    };
    const Row rows[] = {
        {"ASCII letter", u"a", PasteFormat::Unicode, {0x61}},
        {"ampersand, shown as && on its key", u"&", PasteFormat::PlainText, {0x26}},
        {"Latin-1 letter", u"é", PasteFormat::Unicode, {0xe9}},
        {"Latin-1 letter in plain text is not made ANSI", u"é", PasteFormat::PlainText, {0xe9}},
        {"no-break space, last Latin-1 block", u"\u00a0", PasteFormat::RichText, {0xa0}},
        {"C1 control is no Latin-1 keysym", u"\u0085", PasteFormat::Unicode, {0x01000085}},
        {"euro sign, named EuroSign", u"€", PasteFormat::PlainText, {0x20ac}},
        {"Greek alpha, named Greek_alpha", u"α", PasteFormat::Unicode, {0x7e1}},
        {"s with comma below", u"ș", PasteFormat::Unicode, {0x01000219}},
        {"emoji beyond U+FFFF, one character", u"\U0001F600", PasteFormat::PlainText, {0x0101f600}},
        {"combining acute, bare", u"\u0301", PasteFormat::Unicode, {0x01000301}},
        {"Arabic fatha, named Arabic_fatha", u"\u064e", PasteFormat::Unicode, {0x5ee}},
        {"lone surrogate", u"\xd800", PasteFormat::Unicode, {0x0100fffd}},
        {"tab", u"\t", PasteFormat::Unicode, {0xff09}},
        {"HTML: entity text", u"é", PasteFormat::Html, {'&', 'e', 'a', 'c', 'u', 't', 'e', ';'}},
        {"HTML: entity beyond Latin-1", u"™", PasteFormat::Html, {'&', 't', 'r', 'a', 'd', 'e', ';'}},
        {"HTML: euro has no row", u"€", PasteFormat::Html, {0x20ac}},
        {"HTML: no row types the character", u"œ", PasteFormat::Html, {0x13bd}},
        {"HTML: no row, beyond U+FFFF", u"\U0001F600", PasteFormat::Html, {0x0101f600}},
        {"HTML: markup character has no row", u"&", PasteFormat::Html, {0x26}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(keysymsFor(typedText(row.character, row.format)), row.keysyms);
    }
}

TEST(TypedText, KeysymsAtTheEdgesOfTheRanges)
{
    struct Row {
        char32_t codePoint;
        Keysym keysym;
    };
    const Row rows[] = {
        {0x1f, 0x0100001f}, {0x20, 0x20}, {0x7e, 0x7e}, {0x7f, 0x0100007f}, {0x9f, 0x0100009f},
        {0xa0, 0xa0},       {0xff, 0xff}, {0x100, 0x3c0}, {0x1b, 0x0100001b}, {0xd800, 0x0100fffd}, {0x219, 0x01000219}, {0xffff, 0x0100ffff},
        {0x10ffff, 0x0110ffff}, {0x110000, 0x0100fffd},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(static_cast<unsigned>(row.codePoint));
        EXPECT_EQ(keysymFor(row.codePoint), row.keysym);
        // What a click gives up goes on the clipboard as the character it was.
        if (row.codePoint >= 0x20 && row.codePoint != 0x7f && row.codePoint < 0xd800) {
            EXPECT_EQ(characterOf(row.keysym), row.codePoint);
        }
    }
    EXPECT_EQ(characterOf(0x20ac), U'€');
    EXPECT_EQ(characterOf(0x7e1), U'α');
}

} // namespace
} // namespace umbrill
