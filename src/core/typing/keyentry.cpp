// Keys of the layout, else the Unicode entry.
#include "core/typing/keyentry.h"

#include "core/typing/typedtext.h"

#include <algorithm>

namespace umbrill {

namespace {

constexpr Keysym kControl = 0xffe3;  // Control_L
constexpr Keysym kShift = 0xffe1;    // Shift_L
// Return ends the entry: IBus takes a Space as part of it.
constexpr Keysym kFinish = 0xff0d;  // Return

void tap(Keysym keysym, std::vector<KeyEvent> &events)
{
    events.push_back({keysym, true});
    events.push_back({keysym, false});
}

bool hasWord(std::string_view list, std::string_view word)
{
    // XDG_CURRENT_DESKTOP is a colon-separated list ("ubuntu:GNOME").
    while (!list.empty()) {
        const auto end = list.find(':');
        if (list.substr(0, end) == word)
            return true;
        if (end == std::string_view::npos)
            break;
        list.remove_prefix(end + 1);
    }
    return false;
}

} // namespace

std::unordered_set<Keysym> typeableKeysyms(const KeyboardLayouts &keys, std::size_t active)
{
    constexpr std::size_t kShiftLevels = 2;  // plain and Shift
    std::unordered_set<Keysym> candidates;
    std::unordered_set<Keysym> unsafe;  // somewhere it would come out otherwise
    for (const auto &layouts : keys) {
        if (layouts.empty())
            continue;
        const std::vector<Keysym> &inFirst = layouts.front();
        const std::vector<Keysym> &inActive = layouts[active % layouts.size()];
        const auto at = [](const std::vector<Keysym> &levels, std::size_t level) {
            return level < levels.size() ? levels[level] : Keysym{0};
        };
        for (std::size_t level = 0; level < std::max(inFirst.size(), inActive.size()); ++level) {
            const Keysym first = at(inFirst, level);
            const Keysym now = at(inActive, level);
            for (const Keysym keysym : {first, now}) {
                if (keysym == 0)  // NoSymbol
                    continue;
                if (level < kShiftLevels && first == now)
                    candidates.insert(keysym);
                else
                    unsafe.insert(keysym);
            }
        }
    }
    for (const Keysym keysym : unsafe)
        candidates.erase(keysym);
    return candidates;
}

bool appendKeyEvents(char32_t cp, const LayoutHas &layoutHas, bool unicodeEntry, std::vector<KeyEvent> &events)
{
    const Keysym keysym = keysymFor(cp);
    if (layoutHas(keysym)) {
        tap(keysym, events);
        return true;
    }
    if (!unicodeEntry || cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff) || cp < 0x20)
        return false;
    std::vector<Keysym> digits;
    for (char32_t rest = cp; rest != 0 || digits.empty(); rest >>= 4)
        digits.insert(digits.begin(), static_cast<Keysym>("0123456789abcdef"[rest & 0xf]));
    for (const Keysym needed : {kControl, kShift, Keysym{'u'}, kFinish})
        if (!layoutHas(needed))
            return false;
    for (const Keysym digit : digits)
        if (!layoutHas(digit))
            return false;
    events.push_back({kControl, true});
    events.push_back({kShift, true});
    tap('u', events);
    events.push_back({kShift, false});
    events.push_back({kControl, false});
    for (const Keysym digit : digits)
        tap(digit, events);
    tap(kFinish, events);
    events.back().pauseAfterMs = kUnicodeEntryPauseMs;
    return true;
}

bool sessionTakesUnicodeEntry(std::string_view currentDesktop, std::string_view qtImModule, std::string_view gtkImModule)
{
    if (!qtImModule.empty())
        return qtImModule == "ibus";
    return hasWord(currentDesktop, "GNOME") || gtkImModule == "ibus";
}

} // namespace umbrill
