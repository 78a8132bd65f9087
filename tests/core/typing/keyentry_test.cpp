// The keys that bring a character through a keyboard of keysyms: the layout's
// named keysym, else the Unicode entry, else nothing.
#include "core/typing/keyentry.h"
#include "core/typing/typedtext.h"

#include <gtest/gtest.h>

namespace umbrill {
namespace {

TEST(KeysymFor, IsTheNameXGivesTheCharacterNotItsUnicodeForm)
{
    EXPECT_EQ(keysymFor(U'a'), 0x61u);
    EXPECT_EQ(keysymFor(U'é'), 0xe9u);
    EXPECT_EQ(keysymFor(U'€'), 0x20acu);      // EuroSign, never 0x10020ac
    EXPECT_EQ(keysymFor(U'α'), 0x7e1u);       // Greek_alpha
    EXPECT_EQ(keysymFor(U'ș'), 0x1000219u);   // no name: the Unicode form
    EXPECT_EQ(keysymFor(U'😀'), 0x101f600u);
    EXPECT_EQ(keysymFor(U'\n'), 0xff0du);     // Return
    EXPECT_EQ(keysymFor(U'\t'), 0xff09u);
    EXPECT_EQ(keysymFor(0xd800), 0x100fffdu); // a surrogate, and beyond Unicode
    EXPECT_EQ(keysymFor(0x110000), 0x100fffdu);
}

bool usLayout(Keysym keysym) { return (keysym >= 0x20 && keysym <= 0x7e) || keysym == 0xffe1 || keysym == 0xffe3 || keysym == 0xff0d; }

std::vector<KeyEvent> taps(std::initializer_list<Keysym> keysyms)
{
    std::vector<KeyEvent> events;
    for (const Keysym k : keysyms) {
        events.push_back({k, true});
        events.push_back({k, false});
    }
    return events;
}

TEST(AppendKeyEvents, UsesTheLayoutsKeyElseTheUnicodeEntryElseNothing)
{
    std::vector<KeyEvent> events;
    ASSERT_TRUE(appendKeyEvents(U'a', usLayout, true, events));
    EXPECT_EQ(events, taps({'a'}));

    // € under a layout that has EuroSign: its key, not the Unicode entry.
    events.clear();
    ASSERT_TRUE(appendKeyEvents(U'€', [](Keysym k) { return k == 0x20ac; }, true, events));
    EXPECT_EQ(events, taps({0x20ac}));

    // 😀 under `us`: Ctrl+Shift+U, the hex digits, Return, then a pause.
    events.clear();
    ASSERT_TRUE(appendKeyEvents(U'😀', usLayout, true, events));
    std::vector<KeyEvent> entry = {{0xffe3, true}, {0xffe1, true}, {'u', true}, {'u', false}, {0xffe1, false}, {0xffe3, false}};
    for (const KeyEvent &e : taps({'1', 'f', '6', '0', '0', 0xff0d}))
        entry.push_back(e);
    entry.back().pauseAfterMs = kUnicodeEntryPauseMs;
    EXPECT_EQ(events, entry);

    // Without the Unicode entry, or a layout without the hex digits (Greek
    // only): nothing is appended to what was already there.
    events = taps({'a'});
    EXPECT_FALSE(appendKeyEvents(U'é', usLayout, false, events));
    EXPECT_FALSE(appendKeyEvents(U'é', [](Keysym k) { return k >= 0x7c1 && k <= 0x7f9; }, true, events));
    EXPECT_FALSE(appendKeyEvents(0xd800, usLayout, true, events));
    EXPECT_EQ(events, taps({'a'}));
}

TEST(SessionTakesUnicodeEntry, WhereIBusIsTheInputMethod)
{
    EXPECT_TRUE(sessionTakesUnicodeEntry("GNOME", "", ""));
    EXPECT_TRUE(sessionTakesUnicodeEntry("ubuntu:GNOME", "ibus", "ibus"));
    EXPECT_TRUE(sessionTakesUnicodeEntry("KDE", "ibus", ""));
    EXPECT_TRUE(sessionTakesUnicodeEntry("", "", "ibus"));
    EXPECT_FALSE(sessionTakesUnicodeEntry("KDE", "", ""));
    EXPECT_FALSE(sessionTakesUnicodeEntry("GNOME", "fcitx", "fcitx"));  // Qt programs would get the digits
    EXPECT_FALSE(sessionTakesUnicodeEntry("GNOME-Flashback", "", ""));
}

} // namespace
} // namespace umbrill
