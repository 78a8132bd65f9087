// Grid arithmetic and key texts.
#include "core/keypad/keygrid.h"

#include <gtest/gtest.h>

namespace umbrill {
namespace {

TEST(KeyGrid, PlacesKeysRowByRow)
{
    // 12 keys, 5 per row, size 42.
    EXPECT_EQ(placeKey(5, 5, 42).left, 0);
    EXPECT_EQ(placeKey(5, 5, 42).top, 42);
    EXPECT_EQ(placeKey(11, 5, 42).left, 42);
    EXPECT_EQ(placeKey(11, 5, 42).top, 84);
    EXPECT_EQ(gridSize(12, 5, 42).width, 210);
    EXPECT_EQ(gridSize(12, 5, 42).height, 126);
    // fewer keys than a row: the width still follows keys per row
    EXPECT_EQ(gridSize(3, 5, 42).width, 210);
    EXPECT_EQ(gridSize(3, 5, 42).height, 42);
    EXPECT_EQ(gridSize(0, 5, 42).height, 0);
    // no row length: one row as wide as its keys
    EXPECT_EQ(placeKey(3, 0, 10).left, 30);
    EXPECT_EQ(placeKey(3, -2, 10).top, 0);
    EXPECT_EQ(gridSize(4, 0, 10).width, 40);
    EXPECT_EQ(gridSize(4, 0, 10).height, 10);
}

TEST(KeyGrid, ArrowsHomeAndEndMoveWithinTheLaidOutGrid)
{
    using enum GridMove;
    struct Row { int key; GridMove move; int keyCount; int keysPerRow; int expected; };
    // 12 keys at 5 per row: 0-4, 5-9, and a short last row 10-11.
    const Row rows[] = {
        {6, Left, 12, 5, 5},   {5, Left, 12, 5, 5},    {4, Right, 12, 5, 4},  {9, Right, 12, 5, 9},
        {11, Right, 12, 5, 11}, {3, Right, 12, 5, 4},  {2, Up, 12, 5, 2},     {7, Up, 12, 5, 2},
        {11, Up, 12, 5, 6},    {1, Down, 12, 5, 6},    {6, Down, 12, 5, 11},  {7, Down, 12, 5, 7},
        {10, Down, 12, 5, 10}, {8, Home, 12, 5, 5},    {8, End, 12, 5, 9},    {10, End, 12, 5, 11},
        {11, Home, 12, 5, 10},
        // no row length, or one longer than the keys: a single row
        {0, Right, 4, 0, 1},   {3, Right, 4, -1, 3},   {2, Down, 4, 0, 2},    {2, Up, 4, 0, 2},
        {1, End, 4, 0, 3},     {2, Home, 4, 9, 0},     {2, End, 4, 9, 3},
        // one key per row: a column
        {1, Down, 3, 1, 2},    {2, Down, 3, 1, 2},     {1, Right, 3, 1, 1},   {1, End, 3, 1, 1},
        // a key that is not there stays as it is
        {0, Right, 0, 5, 0},   {7, Left, 5, 5, 7},     {-1, Home, 5, 5, -1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << "key " << row.key << " move " << static_cast<int>(row.move) << " of "
                                        << row.keyCount << " at " << row.keysPerRow);
        EXPECT_EQ(moveOnGrid(row.key, row.move, row.keyCount, row.keysPerRow), row.expected);
    }
}

TEST(KeyGrid, FitsAPadThatWouldLeaveTheScreen)
{
    FittedGrid g = fitGrid(12, 5, 42, 1920, 1080);
    EXPECT_EQ(g.keySize, 42);
    EXPECT_EQ(g.keysPerRow, 5);
    g = fitGrid(12, 5, 100000, 1920, 1080);
    EXPECT_EQ(g.keySize, 360);  // three rows in 1080
    g = fitGrid(10, 1000000, 42, 1920, 1080);
    EXPECT_EQ(g.keysPerRow, 10);
    EXPECT_EQ(g.keySize, 42);
    g = fitGrid(255, 0, 42, 1920, 1080);
    EXPECT_EQ(g.keySize, 7);
    EXPECT_GE(fitGrid(5, 5, -7, 1920, 1080).keySize, 1);
}

TEST(KeyGrid, KeySizeNeverShrinks)
{
    EXPECT_EQ(changedKeySize(42, 22), 42);
    EXPECT_EQ(changedKeySize(42, 26), 46);
    EXPECT_EQ(changedKeySize(0, 8), 28);
    EXPECT_EQ(changedKeySize(2147483640, 2147483640), 2147483647);
    EXPECT_EQ(keySizeForPoints(8), 8);
    EXPECT_EQ(keySizeForPoints(12), 13);
    EXPECT_EQ(keySizeForPoints(24), 26);
    EXPECT_EQ(keySizeForFontHeight(12, 96.0), 16);
    EXPECT_EQ(keySizeForFontHeight(-12, 96.0), 16);
}

TEST(KeyGrid, AnAbsurdKeyFontSizeSaturatesInsteadOfWrapping)
{
    EXPECT_EQ(keySizeForPoints(INT32_MIN), INT32_MIN);
    EXPECT_EQ(keySizeForPoints(INT32_MAX), INT32_MAX);
    EXPECT_EQ(changedKeySize(42, keySizeForPoints(INT32_MIN)), 42);
    EXPECT_EQ(keySizeForFontHeight(INT32_MIN, 96.0), INT32_MAX);
}

TEST(KeyText, CaptionsAndCharacters)
{
    EXPECT_EQ(keyCharacter(38), u"&");
    EXPECT_EQ(keyCaption(38), u"&&");
    EXPECT_EQ(keyCharacter(1614), u"\u064E");
    EXPECT_EQ(keyCaption(1614), u" \u064E ");
    EXPECT_EQ(keyCaption(1610), u"\u064A");
    EXPECT_EQ(keyCharacter(233), u"é");
    EXPECT_EQ(keyCharacter(128), u"€");
    EXPECT_EQ(keyCharacter(8364), u"€");
    EXPECT_EQ(keyCharacter(0x1F600), u"\U0001F600");
    EXPECT_EQ(keyCharacter(-1), u"\uFFFD");
    EXPECT_EQ(keyCharacter(0xDC00), u"\uFFFD");
    EXPECT_EQ(keyCharacter(1114112), u"\uFFFD");
}

} // namespace
} // namespace umbrill
