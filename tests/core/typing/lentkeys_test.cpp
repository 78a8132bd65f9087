// Giving back the key codes a list on the display names: only what still
// holds exactly what a lender binds, never a key of the user's layout, and
// the list read back as it was written whatever is appended to it.
#include "core/typing/lentkeys.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace umbrill {
namespace {

TEST(LentKeys, OnlyAKeyCodeThatStillHoldsWhatWasLentIsGivenBack)
{
    constexpr Keysym none = 0;
    struct Row {
        const char *name;
        Keysym recorded;
        KeycodeNow now;
        bool givenBack;
    };
    const Row rows[] = {
        {"lent é, as the server fills the columns", 0xe9, {{0xe9, 0xe9, 0xe9, 0xe9, none, none, none}}, true},
        {"lent EuroSign", 0x20ac, {{0x20ac, 0x20ac}}, true},
        {"lent emoji in its Unicode form", 0x0101f600, {{0x0101f600, 0x0101f600, 0x0101f600}}, true},
        {"rebound since to another keysym", 0xe9, {{0xe8, 0xe8}}, false},
        {"already given back", 0xe9, {{none, none}}, false},
        {"a second keysym on another column", 0xe9, {{0xe9, 0xe9, 0xc9}}, false},
        // What a forged list names: the user's own keys.
        {"Return", 0xff0d, {{0xff0d, none, 0xff0d}}, false},
        {"space, one level", 0x20, {{0x20, none, 0x20}}, false},
        {"space on two levels, but a key of the layout", 0x20, {{0x20, 0x20, 0x20, 0x20}, false, true}, false},
        {"BackSpace on two levels", 0xff08, {{0xff08, 0xff08, 0xff08, 0xff08}}, false},
        {"Escape", 0xff1b, {{0xff1b, none, 0xff1b}}, false},
        {"Shift_L, a modifier", 0xffe1, {{0xffe1, 0xffe1}, true}, false},
        {"a lendable keysym on a modifier key", 0xe9, {{0xe9, 0xe9}, true}, false},
        {"keypad plus on two levels is no character's own keysym", 0xffab, {{0xffab, 0xffab}}, false},
        {"letter with its capital", 0x61, {{0x61, 0x41}}, false},
        {"a Unicode-form keysym where X has a named one", 0x010020ac, {{0x010020ac, 0x010020ac}}, false},
        {"a control character", 0x01000085, {{0x01000085, 0x01000085}}, false},
        {"too few columns to tell", 0xe9, {{0xe9}}, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(mayGiveBack(row.recorded, row.now), row.givenBack);
    }
}

TEST(LentKeys, TheListReadsBackInPairsAfterItsTokenAndIgnoresAnOddValue)
{
    const LenderToken token{1, 2, 3, 0xffffffff};
    const std::vector<LentKey> keys{{8, 0xe9}, {93, 0x20ac}, {248, 0x0101f600}};
    const std::vector<long> list = encodeLentKeys(token, keys);
    EXPECT_EQ(decodeLentKeys(list), keys);
    EXPECT_EQ(lentKeysToken(list), token);
    // A list of bare key codes, as older runs and forgers write it.
    const std::vector<long> bare{36, 65, 22, 9, 50, 51, 52};
    EXPECT_EQ(decodeLentKeys(bare), (std::vector<LentKey>{{50, 51}}));
    EXPECT_TRUE(decodeLentKeys(std::vector<long>{}).empty());
    EXPECT_EQ(lentKeysToken(std::vector<long>{1, 2, 3}), std::nullopt);
    EXPECT_NE(newLenderToken(), newLenderToken());
}

TEST(LentKeys, OnlyTheLendersOwnRecordIsBelievedAndOnlyWithTheDisplaysToken)
{
    const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / "lentkeys-record";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::filesystem::path file = lentRecordFile(dir.string(), ":7");
    EXPECT_EQ(file, dir / "umbrill-lent-:7");
    EXPECT_EQ(lentRecordFile(dir.string(), "host/x:7.0").filename(), "umbrill-lent-host_x:7.0");
    EXPECT_TRUE(lentRecordFile("", ":7").empty());

    const LentRecord record{newLenderToken(), {{8, 0xe9}, {93, 0x20ac}}};
    ASSERT_TRUE(writeLentRecord(file, record));
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    const auto read = readLentRecord(file);
    EXPECT_EQ(read, record);
    const LentRecord none{record.token, {}};
    ASSERT_TRUE(writeLentRecord(file, none));
    EXPECT_EQ(readLentRecord(file), none);
    ASSERT_TRUE(writeLentRecord(file, record));

    // The display's list carries the token: the record's own keys come back,
    // never the keys a list names, token or not.
    const std::vector<LentKey> forged{{36, 0xff0d}, {50, 0xffe1}};
    EXPECT_EQ(leftoverKeys(read, encodeLentKeys(record.token, forged)), record.keys);
    // Another token (an earlier X server's record), a bare list, no list, no record.
    EXPECT_TRUE(leftoverKeys(read, encodeLentKeys(newLenderToken(), record.keys)).empty());
    EXPECT_TRUE(leftoverKeys(read, std::vector<long>{8, 0xe9, 93, 0x20ac}).empty());
    EXPECT_TRUE(leftoverKeys(read, std::vector<long>{}).empty());
    EXPECT_TRUE(leftoverKeys(std::nullopt, encodeLentKeys(record.token, record.keys)).empty());

    // A record someone else could have written, or that is no record, is not believed.
    std::filesystem::permissions(file, std::filesystem::perms::group_write, std::filesystem::perm_options::add);
    EXPECT_EQ(readLentRecord(file), std::nullopt);
    std::filesystem::remove(file);
    std::filesystem::create_symlink(dir / "elsewhere", file);
    ASSERT_TRUE(writeLentRecord(dir / "elsewhere", record));
    EXPECT_EQ(readLentRecord(file), std::nullopt);
    std::filesystem::remove(file);
    for (const char *text : {"1 2 3\n", "1 2 3 4\n8 233\nReturn\n"}) {
        std::ofstream(file) << text;
        std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        EXPECT_EQ(readLentRecord(file), std::nullopt) << text;
    }
    EXPECT_EQ(readLentRecord(dir / "missing"), std::nullopt);
    std::filesystem::remove_all(dir);
}

TEST(LentKeys, TheLayoutsOwnKeysAreKnownAndTheSpareOnesAreNot)
{
    const auto us = layoutKeycodes({"evdev", "pc105", "us", "", ""});
    ASSERT_TRUE(us.has_value()) << "the system's keyboard descriptions did not compile";
    for (int keycode : {9, 22, 36, 37, 50, 65, 66, 133})  // Escape BackSpace Return Control_L Shift_L space Caps_Lock Super_L
        EXPECT_TRUE(us->count(keycode)) << keycode;
    for (int keycode : {8, 93, 97, 103})  // no symbols under evdev
        EXPECT_FALSE(us->count(keycode)) << keycode;
    const auto de = layoutKeycodes({"evdev", "pc105", "de", "", ""});
    ASSERT_TRUE(de.has_value());
    EXPECT_TRUE(de->count(65));
    EXPECT_EQ(layoutKeycodes({"evdev", "pc105", "", "", ""}), std::nullopt);
    EXPECT_EQ(layoutKeycodes({}), std::nullopt);
}

} // namespace
} // namespace umbrill
