// What keys of invisible and combining characters show.
#include "core/names/keyface.h"

#include "core/names/charnames.h"

#include <unicode/uchar.h>

#include <gtest/gtest.h>

namespace umbrill {
namespace {

struct FaceRow {
    std::int32_t code;       // a data-file code
    const char16_t *face;    // nullptr: the caption shows as it is
    bool label;
};

TEST(KeyFace, InvisibleCharactersGetLabelsAndMarksADottedCircle)
{
    const FaceRow rows[] = {
        {0x00A0, u"NBSP", true},      {0x202F, u"NNBSP", true},    {0x2009, u"THSP", true},
        {0x00AD, u"SHY", true},       {0x200D, u"ZWJ", true},      {0x200C, u"ZWNJ", true},
        {0x200B, u"ZWSP", true},      {0xFEFF, u"ZWNBSP", true},   {0x2028, u"LSEP", true},
        {0x3000, u"IDSP", true},      {0x0009, u"TAB", true},      {0xE0041, u"TAG A", true},
        {0xFE0F, u"VS16", true},      {0xE0100, u"VS17", true},
        {0x1D173, u"1D173", true},    // a format character without a label of its own: its code
        {160, u"NBSP", true},         // the data file's 160 is Windows-1252's no-break space
        {173, u"SHY", true},
        {0x0301, u"\u25CC\u0301", false},
        {0x20DD, u"\u25CC\u20DD", false},  // an enclosing mark
        {0x0653, u"\u25CC\u0653", false},  // an Arabic mark beyond 1611 to 1618
        {1614, nullptr, false},             // 1611 to 1618 keep their caption with blanks
        {0x0020, nullptr, false},
        {0x00E9, nullptr, false},
        {38, nullptr, false},
        {0x2014, nullptr, false},
        {0x1F600, nullptr, false},
    };
    for (const FaceRow &row : rows) {
        SCOPED_TRACE(codePointLabel(static_cast<char32_t>(row.code)));
        const auto face = keyFace(row.code);
        if (!row.face) {
            EXPECT_FALSE(face);
            continue;
        }
        ASSERT_TRUE(face);
        EXPECT_EQ(face->text, row.face);
        EXPECT_EQ(face->label, row.label);
    }
}

TEST(KeyFace, EveryInvisibleCharacterGetsAShortAsciiLabel)
{
    for (UChar32 c = 0; c <= 0x10FFFF; ++c) {
        const auto type = u_charType(c);
        if (type != U_SPACE_SEPARATOR && type != U_FORMAT_CHAR && type != U_CONTROL_CHAR
            && type != U_LINE_SEPARATOR && type != U_PARAGRAPH_SEPARATOR)
            continue;
        const auto face = visibleFace(static_cast<char32_t>(c));
        if (c == 0x20) {
            EXPECT_FALSE(face);
            continue;
        }
        SCOPED_TRACE(codePointLabel(static_cast<char32_t>(c)));
        ASSERT_TRUE(face);
        EXPECT_TRUE(face->label);
        EXPECT_GE(face->text.size(), 2u);
        EXPECT_LE(face->text.size(), 6u);
        for (char16_t unit : face->text)
            EXPECT_TRUE(unit >= 0x20 && unit < 0x7F);
    }
}

} // namespace
} // namespace umbrill
