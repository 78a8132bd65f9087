// The comma-list rule and the two whole-number conversions.
#include "core/text/commalist.h"
#include "core/text/error.h"

#include <gtest/gtest.h>

namespace umbrill {
namespace {

using Items = std::vector<std::string>;

TEST(CommaList, SplitsAsTheDataFileExpects)
{
    struct Row { const char *name; std::string_view text; Items items; };
    const Row rows[] = {
        {"plain entry", "Arial,12,6,224,233", {"Arial", "12", "6", "224", "233"}},
        {"quoted face keeps blanks", "\"Times New Roman\",12", {"Times New Roman", "12"}},
        {"unquoted blanks split", "Times New Roman,12", {"Times", "New", "Roman", "12"}},
        {"two commas give an empty item", "a,,b", {"a", "", "b"}},
        {"leading comma", ",a", {"", "a"}},
        {"trailing comma", "a,", {"a", ""}},
        {"blanks around commas dropped", "  a ,  b  ", {"a", "b"}},
        {"blank separates like a comma", "a b", {"a", "b"}},
        {"doubled quote stands for one", "\"say \"\"hi\"\"\",x", {"say \"hi\"", "x"}},
        {"quoted item followed by letters", "\"ab\"cd", {"ab", "cd"}},
        {"unterminated quote runs to the end", "\"abc,def", {"abc,def"}},
        {"doubled quote ends the text", "\"a,\"\"", {"a,\""}},
        {"empty text", "", {}},
        {"blanks only", "   \t ", {}},
        {"tab ends an item", "a\tb", {"a", "b"}},
        {"not found", "not found", {"not", "found"}},
        {"empty quoted item", "\"\",1", {"", "1"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(splitCommaList(row.text), row.items);
    }
}

TEST(CommaList, NulInsideTextNeverLoops)
{
    const std::string text("a\0b,c", 5);
    EXPECT_EQ(splitCommaList(text), (Items{"a", "b", "c"}));
}

TEST(WholeNumber, StrictAcceptsDecimalAndHexadecimal)
{
    struct Row { std::string_view text; std::int32_t value; };
    const Row rows[] = {
        {"233", 233}, {"+7", 7}, {"-12", -12}, {"  42", 42}, {"$E9", 233}, {"xE9", 233},
        {"XE9", 233}, {"0xE9", 233}, {"0XE9", 233}, {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1}, {"$FFFFFFFF", -1}, {"007", 7},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.text));
        EXPECT_EQ(strictToInt(row.text), row.value);
        EXPECT_EQ(strictNumber(row.text), row.value);
        EXPECT_EQ(lenientToInt(row.text), row.value);
    }
}

TEST(WholeNumber, StrictRefusesWithTheItemInTheMessageOrNothing)
{
    for (std::string_view bad : {"", "found", "12px", "12 ", "2147483648", "$", "-", "1.5", "$1FFFFFFFF"}) {
        SCOPED_TRACE(std::string(bad));
        EXPECT_EQ(strictNumber(bad), std::nullopt);
        try {
            strictToInt(bad);
            ADD_FAILURE() << "accepted";
        } catch (const Error &e) {
            EXPECT_EQ(e.what(), "'" + std::string(bad) + "' is not a valid integer value");
        }
    }
}

TEST(WholeNumber, LenientKeepsTheLeadingNumber)
{
    struct Row { std::string_view text; std::int32_t value; };
    const Row rows[] = {
        {"12px", 12}, {"abc", 0}, {"", 0}, {"233e", 233}, {"$E9zz", 233}, {"-", 0},
        {"99999999999", 999999999}, {" -5x", -5},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.text));
        EXPECT_EQ(lenientToInt(row.text), row.value);
    }
}

TEST(ErrorDisplay, AddsAFullStopOnlyAfterCharactersSortingAfterIt)
{
    EXPECT_EQ(errorDisplayText("Cannot open clipboard"), "Cannot open clipboard.");
    EXPECT_EQ(errorDisplayText("'x' is not a valid integer value"), "'x' is not a valid integer value.");
    EXPECT_EQ(errorDisplayText("Unable to write to /a/Umbrill05.ini"), "Unable to write to /a/Umbrill05.ini.");
    EXPECT_EQ(errorDisplayText("Invalid data type for 'KeySize'"), "Invalid data type for 'KeySize'");
    EXPECT_EQ(errorDisplayText("done."), "done.");
    EXPECT_EQ(errorDisplayText(""), "");
}

} // namespace
} // namespace umbrill
