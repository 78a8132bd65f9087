// Reading a language entry into the record, and writing it back.
#include "core/languages/languagerecord.h"
#include "core/text/error.h"

#include <gtest/gtest.h>

namespace umbrill {
namespace {

using Codes = std::vector<std::int32_t>;

TEST(LanguageEntry, FillsTheRecordWithDefaultsForMissingItems)
{
    struct Row { const char *name; std::string_view entry; std::string face; int size; int perRow; Codes codes; };
    const Row rows[] = {
        {"full entry", "\"Times New Roman\",12,6,224,233,8364", "Times New Roman", 12, 6, {224, 233, 8364}},
        {"three leading items only", "Arial,10,4", "Arial", 10, 4, {}},
        {"empty items take defaults", ",,,65", "Arial", 8, 5, {65}},
        {"empty entry", "", "Arial", 8, 5, {}},
        {"hexadecimal codes", "A,9,3,$E9,0xE9,xE9", "A", 9, 3, {233, 233, 233}},
        {"code followed by letters", "A,9,3,233e,zz", "A", 9, 3, {233, 0}},
        {"unquoted blanks shift items", "Courier New,9,3,65", "Courier", 0, 0, {}},
        {"unterminated quote", "\"Arial,9,3", "Arial,9,3", 8, 5, {}},
        {"negative and huge codes kept", "A,9,3,-5,1114111,1114112", "A", 9, 3, {-5, 1114111, 1114112}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        LanguageRecord record;
        if (std::string_view(row.name) == "unquoted blanks shift items") {
            EXPECT_THROW(applyLanguageEntry(record, row.entry), Error);  // "New" is no number
            continue;
        }
        applyLanguageEntry(record, row.entry);
        EXPECT_EQ(record.KeyFontName, row.face);
        EXPECT_EQ(record.KeyFontSize, row.size);
        EXPECT_EQ(record.KeysPerRow, row.perRow);
        EXPECT_EQ(record.KeyCodes, row.codes);
    }
}

TEST(LanguageEntry, KeepsEveryCodeOfALongEntry)
{
    std::string entry = "A,8,16";
    for (int i = 0; i < 400; ++i)
        entry += "," + std::to_string(256 + i);
    LanguageRecord record;
    applyLanguageEntry(record, entry);
    ASSERT_EQ(record.KeyCodes.size(), 400u);
    EXPECT_EQ(record.KeyCodes[299], 555);
}

TEST(LanguageEntry, AFailingItemLeavesTheEarlierFieldsSetAndTheRestUntouched)
{
    LanguageRecord record;
    record.KeyCodes = {1, 2};
    try {
        applyLanguageEntry(record, "not found");
        FAIL() << "accepted";
    } catch (const Error &e) {
        EXPECT_STREQ(e.what(), "'found' is not a valid integer value");
    }
    EXPECT_EQ(record.KeysPerRow, 5);
    EXPECT_EQ(record.KeyFontName, "not");
    EXPECT_EQ(record.KeyCodes, (Codes{1, 2}));

    LanguageRecord other;
    other.KeyFontName = "Old";
    EXPECT_THROW(applyLanguageEntry(other, "A,8,x"), Error);
    EXPECT_EQ(other.KeyFontName, "Old");  // keys per row is read first
}

TEST(LanguageEntry, WrittenFormReadsBackAsWritten)
{
    LanguageRecord record;
    record.KeyFontName = "Times New Roman";
    record.KeyFontSize = 12;
    record.KeysPerRow = 6;
    record.KeyCodes = {224, 233, 8364};
    EXPECT_EQ(writtenEntry(record), "\"Times New Roman\",12,6,224,233,8364");

    record.KeyFontName = "My \"Quoted\" Face";
    record.KeyCodes = {-3};
    const std::string written = writtenEntry(record);
    EXPECT_EQ(written, "\"My \"\"Quoted\"\" Face\",12,6,-3");
    LanguageRecord back;
    applyLanguageEntry(back, written);
    EXPECT_EQ(back.KeyFontName, record.KeyFontName);
    EXPECT_EQ(back.KeyCodes, record.KeyCodes);
}

} // namespace
} // namespace umbrill
