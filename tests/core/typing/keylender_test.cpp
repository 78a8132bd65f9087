// Lending spare keycodes over a clock the test turns: bursts arrive whole and
// in order, keycodes rest before they are rebound, and every binding is given back.
#include "core/typing/keylender.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace umbrill {
namespace {

using Kind = KeyAction::Kind;
using namespace std::chrono_literals;

// Carries out actions as an X server and a slow target would: a press types
// the keysym its keycode holds when the target gets to it, which is late; the
// check is that the keycode still holds the keysym of the press by then.
struct FakeServer {
    std::map<int, Keysym> mapping;
    std::vector<Keysym> typed;
    std::vector<std::pair<int, Millis>> pressedAt;
    std::map<int, Keysym> boundAtPress;
    std::vector<std::string> faults;

    void apply(const std::vector<KeyAction> &actions, Millis now)
    {
        for (const KeyAction &a : actions) {
            switch (a.kind) {
            case Kind::Bind:
                if (mapping.count(a.keycode))
                    checkRested(a.keycode, now, "rebound");
                mapping[a.keycode] = a.keysym;
                break;
            case Kind::Press:
                if (!mapping.count(a.keycode) || mapping[a.keycode] != a.keysym)
                    faults.push_back("press of an unbound or wrongly bound keycode");
                typed.push_back(mapping[a.keycode]);
                pressedAt.emplace_back(a.keycode, now);
                break;
            case Kind::Restore:
                checkRested(a.keycode, now, "restored");
                mapping.erase(a.keycode);
                break;
            }
        }
    }
    void checkRested(int keycode, Millis now, const char *what)
    {
        for (const auto &[k, t] : pressedAt)
            if (k == keycode && now - t < 100ms)
                faults.push_back(std::string(what) + " within 100 ms of its press");
    }
};

// Runs the lender on the fake clock until it has nothing left to do.
Millis drain(KeyLender &lender, FakeServer &server, Millis now)
{
    for (int guard = 0; guard < 100000; ++guard) {
        server.apply(lender.run(now), now);
        const auto wake = lender.wakeAt();
        if (!wake)
            return now;
        now = std::max(now, *wake);
    }
    ADD_FAILURE() << "the lender never came to rest";
    return now;
}

TEST(KeyLender, BurstsArriveWholeAndInOrderAndEveryKeycodeIsGivenBack)
{
    struct Row {
        const char *name;
        std::vector<int> spare;
        std::vector<Keysym> text;
    };
    std::vector<Keysym> manyDistinct;
    for (Keysym k = 0; k < 200; ++k)
        manyDistinct.push_back(0x01000400 + k);
    std::vector<Keysym> thousandRepeats;
    for (int k = 0; k < 1000; ++k)
        thousandRepeats.push_back(0x01000100 + static_cast<Keysym>(k % 7));
    const Row rows[] = {
        {"one keycode, alternating characters", {8}, {0xe9, 0x010020ac, 0xe9, 0x010020ac}},
        {"same character twice", {8, 93}, {0xe9, 0xe9}},
        {"200 distinct over 19 keycodes", {8, 93, 97, 103, 120, 132, 149, 154, 168, 178, 183, 184, 197, 202, 217, 219, 222, 230, 248}, manyDistinct},
        {"1000 clicks of 7 characters over 3 keycodes", {8, 93, 97}, thousandRepeats},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        KeyLender lender(row.spare);
        FakeServer server;
        lender.enqueue(row.text);
        drain(lender, server, 5000ms);
        EXPECT_EQ(server.typed, row.text);
        EXPECT_TRUE(server.mapping.empty()) << "a keycode was left bound";
        EXPECT_TRUE(lender.bindings().empty());
        EXPECT_EQ(server.faults, std::vector<std::string>{});
    }
}

TEST(KeyLender, ABoundCharacterTypesAtOnceAndANewOneWaitsForARestedKeycode)
{
    KeyLender lender({8});
    lender.enqueue(std::vector<Keysym>{0xe9});
    EXPECT_EQ(lender.run(0ms), (std::vector<KeyAction>{{Kind::Bind, 8, 0xe9}, {Kind::Press, 8, 0xe9}}));
    lender.enqueue(std::vector<Keysym>{0xe9, 0xe8});
    // é is bound: pressed again without a mapping change; è must wait 100 ms.
    EXPECT_EQ(lender.run(10ms), (std::vector<KeyAction>{{Kind::Press, 8, 0xe9}}));
    EXPECT_EQ(lender.wakeAt(), 110ms);
    EXPECT_TRUE(lender.run(109ms).empty());
    EXPECT_EQ(lender.run(110ms), (std::vector<KeyAction>{{Kind::Bind, 8, 0xe8}, {Kind::Press, 8, 0xe8}}));
    // Idle: given back one second after its last press, not before.
    EXPECT_EQ(lender.wakeAt(), 1110ms);
    EXPECT_TRUE(lender.run(1109ms).empty());
    EXPECT_EQ(lender.run(1110ms), (std::vector<KeyAction>{{Kind::Restore, 8}}));
    EXPECT_EQ(lender.wakeAt(), std::nullopt);
}

TEST(KeyLender, ExitAndLayoutChangesLeaveNoBindingBehind)
{
    KeyLender lender({8, 93});
    lender.enqueue(std::vector<Keysym>{0xe9, 0x010003b1, 0x01000219});
    lender.run(0ms);  // two bound, the third waits
    EXPECT_EQ(lender.queued(), 1u);
    const auto restores = lender.restoreAll();
    EXPECT_EQ(restores, (std::vector<KeyAction>{{Kind::Restore, 8}, {Kind::Restore, 93}}));
    EXPECT_EQ(lender.queued(), 0u);
    EXPECT_EQ(lender.wakeAt(), std::nullopt);

    // A new layout dropped the bindings: é binds again on the new spare
    // keycode, once the target has had the rebind pause to take in the new mapping.
    lender.enqueue(std::vector<Keysym>{0xe9});
    lender.run(200ms);
    lender.keymapReplaced({120}, 205ms);
    lender.enqueue(std::vector<Keysym>{0xe9});
    EXPECT_TRUE(lender.run(210ms).empty());
    EXPECT_EQ(lender.wakeAt(), 305ms);
    EXPECT_EQ(lender.run(305ms), (std::vector<KeyAction>{{Kind::Bind, 120, 0xe9}, {Kind::Press, 120, 0xe9}}));

    KeyLender none({});
    none.enqueue(std::vector<Keysym>{0xe9});
    EXPECT_FALSE(none.canType());
    EXPECT_TRUE(none.run(0ms).empty());
    EXPECT_EQ(none.wakeAt(), std::nullopt);
}

TEST(KeyLender, LayoutKeysTypeInTurnWithLentOnesAndWaitForTheLenderToLend)
{
    KeyLender lender({8});
    lender.setLayoutKeys({{0x61, {38, 0}}, {0x41, {38, 0x1}}});
    const std::vector<Keysym> text{0x61, 0xe9, 0x41};
    lender.enqueue(text);
    // Another typist lends now: the layout's a types, é waits, and A behind it.
    EXPECT_TRUE(lender.wantsToBind() == false);
    EXPECT_EQ(lender.run(0ms, false), (std::vector<KeyAction>{{Kind::Press, 38, 0x61}}));
    EXPECT_TRUE(lender.wantsToBind());
    EXPECT_TRUE(lender.run(10ms, false).empty());
    EXPECT_EQ(lender.queued(), 2u);
    // Lending: é on a spare key code, then A on the layout's key with Shift.
    EXPECT_EQ(lender.run(20ms, true), (std::vector<KeyAction>{{Kind::Bind, 8, 0xe9}, {Kind::Press, 8, 0xe9}, {Kind::Press, 38, 0x41, 0x1}}));
    EXPECT_FALSE(lender.wantsToBind());
    EXPECT_EQ(lender.bindings(), (std::map<int, Keysym>{{8, 0xe9}}));
    // A bound keysym types again without lending.
    lender.enqueue(std::vector<Keysym>{0xe9});
    EXPECT_FALSE(lender.wantsToBind());
    EXPECT_EQ(lender.run(30ms, false), (std::vector<KeyAction>{{Kind::Press, 8, 0xe9}}));
}

TEST(KeyLender, WhileTypingIsOnThePadsCharactersStayBoundAndABurstChangesNoMapping)
{
    const std::vector<int> spare{8, 93, 97, 103, 120, 132, 149, 154, 168, 178, 183, 184, 197, 202, 217, 219, 222, 230, 248};
    const auto kinds = [](const std::vector<KeyAction> &actions, Kind kind) {
        return std::count_if(actions.begin(), actions.end(), [kind](const KeyAction &a) { return a.kind == kind; });
    };

    // Five characters, and a, which the layout has: the five bound at once, in one batch.
    const std::vector<Keysym> five{0xe9, 0x20ac, 0x7e1, 0x01000219, 0x1b3};
    KeyLender lender(spare);
    lender.setLayoutKeys({{0x61, {38, 0}}});
    std::vector<Keysym> pad = five;
    pad.push_back(0x61);
    FakeServer server;
    server.mapping[38] = 0x61;
    const auto bound = lender.hold(pad, 0ms);
    EXPECT_EQ(bound.size(), 5u);
    EXPECT_EQ(kinds(bound, Kind::Bind), 5);
    server.apply(bound, 0ms);
    // 30 clicks at a human pace, then a minute idle: not one mapping change.
    std::vector<Keysym> clicked;
    Millis now = 0ms;
    for (int i = 0; i < 30; ++i) {
        now += 250ms;
        const std::vector<Keysym> one{pad[i % pad.size()]};
        clicked.push_back(one[0]);
        lender.enqueue(one, now);
        const auto actions = lender.run(now);
        EXPECT_EQ(kinds(actions, Kind::Bind) + kinds(actions, Kind::Restore), 0) << "click " << i;
        server.apply(actions, now);
    }
    EXPECT_EQ(lender.wakeAt(), std::nullopt);
    EXPECT_TRUE(lender.run(now + 60000ms).empty());
    EXPECT_EQ(server.typed, clicked);
    EXPECT_EQ(lender.bindings().size(), 5u);
    // Typing off gives every one back.
    server.apply(lender.release(), now + 60000ms);
    EXPECT_EQ(server.mapping, (std::map<int, Keysym>{{38, 0x61}}));
    EXPECT_FALSE(lender.holding());

    // A pad of 255 characters over 19 keycodes: the first 19 bound; a click
    // on another takes the least recently used keycode, clicks that come
    // together bind together, before any press, and no keycode is rebound
    // within 100 ms of its press.
    std::vector<Keysym> big;
    for (Keysym k = 0; k < 255; ++k)
        big.push_back(0x01000400 + k);
    KeyLender many(spare);
    FakeServer bigServer;
    const auto first = many.hold(big, 0ms);
    EXPECT_EQ(kinds(first, Kind::Bind), 19);
    bigServer.apply(first, 0ms);
    many.enqueue(std::vector<Keysym>{big[5]}, 200ms);  // bound: typed at once
    EXPECT_EQ(many.run(200ms), (std::vector<KeyAction>{{Kind::Press, spare[5], big[5]}}));
    many.enqueue(std::vector<Keysym>{big[100], big[101], big[5]}, 300ms);
    const auto together = many.run(300ms);
    ASSERT_EQ(together.size(), 5u);
    EXPECT_EQ(together[0], (KeyAction{Kind::Bind, spare[0], big[100]}));  // the least recently used
    EXPECT_EQ(together[1], (KeyAction{Kind::Bind, spare[1], big[101]}));
    EXPECT_EQ(kinds({together.begin() + 2, together.end()}, Kind::Press), 3);
    bigServer.apply(together, 300ms);
    // A human-paced walk over the whole pad: every click typed, in order.
    std::vector<Keysym> walk;
    now = 1000ms;
    for (int i = 0; i < 600; ++i) {
        const std::vector<Keysym> one{big[(i * 37) % big.size()]};
        walk.push_back(one[0]);
        many.enqueue(one, now);
        now = drain(many, bigServer, now) + 250ms;
    }
    EXPECT_EQ(std::vector<Keysym>(bigServer.typed.end() - 600, bigServer.typed.end()), walk);
    EXPECT_EQ(bigServer.faults, std::vector<std::string>{});
    EXPECT_EQ(many.bindings().size(), 19u);
}

TEST(KeyLender, AClickNotTypedInTimeIsGivenUpAndNeverTypedLater)
{
    KeyLendingTiming timing;
    timing.giveUpAfter = 300ms;
    KeyLender lender({8}, timing);
    lender.setLayoutKeys({{0x61, {38, 0}}});
    // Another program holds the lender's selection: nothing can be bound.
    EXPECT_TRUE(lender.hold(std::vector<Keysym>{0xe9, 0x61}, 900ms, false).empty());
    lender.enqueue(std::vector<Keysym>{0xe9, 0x61}, 1000ms);
    EXPECT_TRUE(lender.run(1000ms, false).empty());
    EXPECT_EQ(lender.wakeAt(), 1300ms);
    EXPECT_TRUE(lender.run(1299ms, false).empty());
    EXPECT_TRUE(lender.takeLate().empty());
    EXPECT_TRUE(lender.run(1300ms, false).empty());
    // Both are given up: a typed behind a lost é would be wrong text.
    EXPECT_EQ(lender.takeLate(), (std::vector<Keysym>{0xe9, 0x61}));
    EXPECT_TRUE(lender.takeLate().empty());
    EXPECT_EQ(lender.queued(), 0u);
    // Free again later: the held é is bound, nothing of the clicks is typed; the next click is.
    EXPECT_EQ(lender.run(5000ms, true), (std::vector<KeyAction>{{Kind::Bind, 8, 0xe9}}));
    lender.enqueue(std::vector<Keysym>{0xe9}, 5000ms);
    EXPECT_EQ(lender.run(5000ms, true), (std::vector<KeyAction>{{Kind::Press, 8, 0xe9}}));
    EXPECT_TRUE(lender.takeLate().empty());
}

} // namespace
} // namespace umbrill
