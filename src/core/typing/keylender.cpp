// Lending spare keycodes to typed characters.
#include "core/typing/keylender.h"

#include <algorithm>
#include <utility>

namespace umbrill {

KeyLender::KeyLender(std::vector<int> spareKeycodes, KeyLendingTiming timing)
    : m_spare(std::move(spareKeycodes)), m_timing(timing)
{
}

void KeyLender::enqueue(std::span<const Keysym> keysyms, Millis at)
{
    for (const Keysym keysym : keysyms)
        m_queue.push_back({keysym, at});
}

std::optional<int> KeyLender::freeKeycode(Millis now, bool unboundOnly) const
{
    // A keycode that has rested long enough: an unbound one before a bound
    // one, and among those the least recently used; one never used comes first.
    std::optional<int> best;
    std::pair<bool, Millis> bestRank;
    for (int keycode : m_spare) {
        const bool bound = m_bound.count(keycode) > 0;
        if (bound && unboundOnly)
            continue;
        const auto last = m_lastPress.find(keycode);
        if (last != m_lastPress.end() && now - last->second < m_timing.rebindAfter)
            continue;
        const std::pair<bool, Millis> rank{bound, last == m_lastPress.end() ? Millis::min() : last->second};
        if (!best || rank < bestRank) {
            best = keycode;
            bestRank = rank;
        }
    }
    return best;
}

bool KeyLender::isBound(Keysym keysym) const
{
    return std::any_of(m_bound.begin(), m_bound.end(), [&](const auto &b) { return b.second == keysym; });
}

bool KeyLender::wantsToBind() const
{
    if (m_queue.empty() || m_layout.count(m_queue.front().keysym))
        return false;
    return !isBound(m_queue.front().keysym);
}

std::vector<KeyAction> KeyLender::hold(std::span<const Keysym> keysyms, Millis now, bool mayBind)
{
    m_holding = true;
    m_held.clear();
    for (const Keysym keysym : keysyms)
        if (!m_layout.count(keysym) && std::find(m_held.begin(), m_held.end(), keysym) == m_held.end())
            m_held.push_back(keysym);
    return run(now, mayBind);
}

void KeyLender::bindHeld(Millis now, std::vector<KeyAction> &binds)
{
    for (const Keysym keysym : m_held) {
        if (m_layout.count(keysym) || isBound(keysym))
            continue;
        const auto free = freeKeycode(now, true);
        if (!free)
            return;
        m_bound[*free] = keysym;
        m_lastPress[*free] = now;
        binds.push_back({KeyAction::Kind::Bind, *free, keysym});
    }
}

std::vector<KeyAction> KeyLender::run(Millis now, bool mayBind)
{
    m_lastRun = now;
    std::vector<KeyAction> actions;
    if (!m_holding) {
        for (auto it = m_bound.begin(); it != m_bound.end();) {
            const auto last = m_lastPress.find(it->first);
            if (last == m_lastPress.end() || now - last->second >= m_timing.restoreAfter) {
                actions.push_back({KeyAction::Kind::Restore, it->first});
                it = m_bound.erase(it);
            } else {
                ++it;
            }
        }
    }
    std::vector<KeyAction> presses;
    while (!m_queue.empty()) {
        const Keysym keysym = m_queue.front().keysym;
        if (const auto key = m_layout.find(keysym); key != m_layout.end()) {
            presses.push_back({KeyAction::Kind::Press, key->second.keycode, keysym, key->second.mods});
            m_queue.pop_front();
            continue;
        }
        if (!canType())
            break;
        auto bound = std::find_if(m_bound.begin(), m_bound.end(), [&](const auto &b) { return b.second == keysym; });
        int keycode = 0;
        if (bound != m_bound.end()) {
            keycode = bound->first;
        } else {
            const auto free = mayBind ? freeKeycode(now) : std::nullopt;
            if (!free)
                break;
            keycode = *free;
            m_bound[keycode] = keysym;
            actions.push_back({KeyAction::Kind::Bind, keycode, keysym});
        }
        presses.push_back({KeyAction::Kind::Press, keycode, keysym});
        m_lastPress[keycode] = now;
        m_queue.pop_front();
    }
    if (m_holding && mayBind)
        bindHeld(now, actions);
    if (m_timing.giveUpAfter) {
        while (!m_queue.empty() && now - m_queue.front().at >= *m_timing.giveUpAfter) {
            m_late.push_back(m_queue.front().keysym);
            m_queue.pop_front();
        }
    }
    actions.insert(actions.end(), presses.begin(), presses.end());
    return actions;
}

std::vector<Keysym> KeyLender::takeLate() { return std::exchange(m_late, {}); }

std::optional<Millis> KeyLender::wakeAt() const
{
    std::optional<Millis> at;
    const auto earliest = [&at](Millis t) {
        if (!at || t < *at)
            at = t;
    };
    const auto restedAt = [this](int keycode) {
        const auto last = m_lastPress.find(keycode);
        return last == m_lastPress.end() ? Millis{0} : last->second + m_timing.rebindAfter;
    };
    // A keycode that had rested by the last run changes nothing by time alone.
    if (!m_queue.empty() && canType()) {
        for (int keycode : m_spare)
            if (restedAt(keycode) > m_lastRun)
                earliest(restedAt(keycode));
        if (m_timing.giveUpAfter)
            earliest(m_queue.front().at + *m_timing.giveUpAfter);
    }
    if (m_holding) {
        // Held keysyms still unbound wait for an unbound keycode to rest.
        const bool unboundHeld = std::any_of(m_held.begin(), m_held.end(),
                                             [this](Keysym k) { return !m_layout.count(k) && !isBound(k); });
        if (unboundHeld)
            for (int keycode : m_spare)
                if (!m_bound.count(keycode) && restedAt(keycode) > m_lastRun)
                    earliest(restedAt(keycode));
        return at;
    }
    for (const auto &[keycode, keysym] : m_bound) {
        const auto last = m_lastPress.find(keycode);
        earliest(last == m_lastPress.end() ? Millis{0} : last->second + m_timing.restoreAfter);
    }
    return at;
}

std::vector<KeyAction> KeyLender::restoreAll()
{
    std::vector<KeyAction> actions;
    for (const auto &[keycode, keysym] : m_bound)
        actions.push_back({KeyAction::Kind::Restore, keycode});
    m_bound.clear();
    m_queue.clear();
    m_held.clear();
    m_holding = false;
    return actions;
}

void KeyLender::keymapReplaced(std::vector<int> spareKeycodes, Millis now)
{
    m_spare = std::move(spareKeycodes);
    m_bound.clear();
    for (int keycode : m_spare)
        m_lastPress[keycode] = now;
}

} // namespace umbrill
