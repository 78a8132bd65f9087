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

TEST(TypeableKeysyms, AreThoseInTheSamePlaceInTheFirstAndTheActiveLayout)
{
    // us and de, as an X server holds them: key -> layout -> level.
    const KeyboardLayouts keys = {
        {{'a', 'A'}, {'a', 'A', 0xe6, 0xc6}},                   // a, also on the same key in de
        {{'y', 'Y'}, {'z', 'Z', 0x8a6, 0xa5}},                  // y and z trade places
        {{'z', 'Z'}, {'y', 'Y', 0xbb, 0xbc}},
        {{'e', 'E'}, {'e', 'E', 0x20ac, 0x20ac}},               // € only in de, on AltGr
        {{'\'', '"'}, {0xe4, 0xc4}},                            // ä only in de
        {{'5', '%'}, {'5', '%', 0xbd}},
        {{0xffe1}},                                             // Shift_L: one layout, for both
        {{}, {'q', 'Q'}},                                       // nothing in us
        {},
    };
    const std::unordered_set<Keysym> first = {'a', 'A', 'e', 'E', '5', '%', 0xffe1};
    for (const Keysym keysym : first)
        EXPECT_TRUE(typeableKeysyms(keys, 0).contains(keysym)) << keysym;
    // With us on, what only de has would be lost; with de on, a keysym on
    // another key would come out as another character.
    for (const std::size_t active : {0u, 1u})
        for (const Keysym keysym : {Keysym{0xe4}, Keysym{0x20ac}, Keysym{'q'}})
            EXPECT_FALSE(typeableKeysyms(keys, active).contains(keysym)) << keysym << " with layout " << active;
    EXPECT_TRUE(typeableKeysyms(keys, 0).contains('y'));
    EXPECT_TRUE(typeableKeysyms(keys, 0).contains('"'));
    for (const Keysym keysym : {Keysym{'y'}, Keysym{'Z'}, Keysym{'"'}, Keysym{'\''}})
        EXPECT_FALSE(typeableKeysyms(keys, 1).contains(keysym)) << keysym;
    EXPECT_EQ(typeableKeysyms(keys, 1), first);
    // A third layout that no key has wraps to the first.
    EXPECT_TRUE(typeableKeysyms(keys, 2).contains('y'));
}

TEST(TypeableKeysyms, OnlyThePlainAndShiftLevelsCountAndTheRestGoesByTheUnicodeEntry)
{
    // de alone, as GNOME holds it: a keysym on AltGr is pressed without AltGr
    // by the desktop, so it would come out as the key's plain character.
    const KeyboardLayouts de = {
        {{'q', 'Q', '@', 0x7d9}},          // @ on AltGr+q
        {{'e', 'E', 0x20ac, 0x20ac}},      // € on AltGr+e
        {{'7', '/', '{', 0xaca}},          // { on AltGr+7
        {{'+', '*', '~', 0xaf0}},          // ~ on AltGr++
        {{0xe4, 0xc4, 0xfe51, 0xfe58}},    // ä, Ä; dead keys on AltGr
        {{0xfe51, 0xfe50, 0xfe51}},        // dead acute: é is on no key
        {{'<', '>', '|', 0xa6}},
        {{0x7c, 0xa6}},                    // | also on the plain level of another key: ambiguous
        {{0xffe1}},                        // Shift_L
        {{0xfe03}},                        // ISO_Level3_Shift (AltGr) itself
    };
    const auto typeable = typeableKeysyms(de, 0);
    for (const Keysym keysym : {Keysym{'q'}, Keysym{'Q'}, Keysym{'e'}, Keysym{'7'}, Keysym{'/'}, Keysym{'+'},
                                Keysym{'*'}, Keysym{0xe4}, Keysym{0xc4}, Keysym{'<'}, Keysym{'>'}, Keysym{0xffe1}})
        EXPECT_TRUE(typeable.contains(keysym)) << std::hex << keysym;
    for (const Keysym keysym : {Keysym{'@'}, Keysym{0x20ac}, Keysym{'{'}, Keysym{'~'}, Keysym{0xe9}, Keysym{0x7c},
                                Keysym{0xa6}, Keysym{0xfe51}, Keysym{0x7d9}})
        EXPECT_FALSE(typeable.contains(keysym)) << std::hex << keysym;

    // € { @ ~ ä é: ä on its key; the others by the Unicode entry where the
    // session takes it, else not at all; none as another character.
    const LayoutHas layoutHas = [&typeable](Keysym k) {
        return typeable.contains(k) || (k >= '0' && k <= '9') || (k >= 'a' && k <= 'f') || k == 'u' || k == 0xffe3
            || k == 0xff0d;
    };
    const auto unicodeEntry = [](std::initializer_list<Keysym> digits) {
        std::vector<KeyEvent> events{{0xffe3, true}, {0xffe1, true}, {'u', true}, {'u', false}, {0xffe1, false}, {0xffe3, false}};
        for (const Keysym d : digits) {
            events.push_back({d, true});
            events.push_back({d, false});
        }
        events.push_back({0xff0d, true});
        events.push_back({0xff0d, false, kUnicodeEntryPauseMs});
        return events;
    };
    const std::pair<char32_t, std::vector<KeyEvent>> rows[] = {
        {U'€', unicodeEntry({'2', '0', 'a', 'c'})}, {U'{', unicodeEntry({'7', 'b'})}, {U'@', unicodeEntry({'4', '0'})},
        {U'~', unicodeEntry({'7', 'e'})},           {U'ä', taps({0xe4})},              {U'é', unicodeEntry({'e', '9'})},
    };
    for (const auto &[cp, expected] : rows) {
        std::vector<KeyEvent> events;
        EXPECT_TRUE(appendKeyEvents(cp, layoutHas, true, events)) << static_cast<unsigned>(cp);
        EXPECT_EQ(events, expected) << static_cast<unsigned>(cp);
        std::vector<KeyEvent> without;
        EXPECT_EQ(appendKeyEvents(cp, layoutHas, false, without), cp == U'ä') << static_cast<unsigned>(cp);
    }
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
