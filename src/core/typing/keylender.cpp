// Lending spare keycodes to typed characters.
#include "core/typing/keylender.h"

#include <algorithm>

namespace umbrill {

KeyLender::KeyLender(std::vector<int> spareKeycodes, KeyLendingTiming timing)
    : m_spare(std::move(spareKeycodes)), m_timing(timing)
{
}

void KeyLender::enqueue(std::span<const Keysym> keysyms) { m_queue.insert(m_queue.end(), keysyms.begin(), keysyms.end()); }

std::optional<int> KeyLender::freeKeycode(Millis now) const
{
    // The least recently pressed keycode that has rested long enough; one never
    // pressed comes first.
    std::optional<int> best;
    std::optional<Millis> bestTime;
    for (int keycode : m_spare) {
        const auto last = m_lastPress.find(keycode);
        if (last == m_lastPress.end())
            return keycode;
        if (now - last->second < m_timing.rebindAfter)
            continue;
        if (!bestTime || last->second < *bestTime) {
            best = keycode;
            bestTime = last->second;
        }
    }
    return best;
}

bool KeyLender::wantsToBind() const
{
    if (m_queue.empty() || m_layout.count(m_queue.front()))
        return false;
    return std::none_of(m_bound.begin(), m_bound.end(), [&](const auto &b) { return b.second == m_queue.front(); });
}

std::vector<KeyAction> KeyLender::run(Millis now, bool mayBind)
{
    std::vector<KeyAction> actions;
    for (auto it = m_bound.begin(); it != m_bound.end();) {
        const auto last = m_lastPress.find(it->first);
        if (last == m_lastPress.end() || now - last->second >= m_timing.restoreAfter) {
            actions.push_back({KeyAction::Kind::Restore, it->first});
            it = m_bound.erase(it);
        } else {
            ++it;
        }
    }
    while (!m_queue.empty()) {
        const Keysym keysym = m_queue.front();
        if (const auto key = m_layout.find(keysym); key != m_layout.end()) {
            actions.push_back({KeyAction::Kind::Press, key->second.keycode, keysym, key->second.mods});
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
        actions.push_back({KeyAction::Kind::Press, keycode, keysym});
        m_lastPress[keycode] = now;
        m_queue.pop_front();
    }
    return actions;
}

std::optional<Millis> KeyLender::wakeAt() const
{
    std::optional<Millis> at;
    const auto earliest = [&at](Millis t) {
        if (!at || t < *at)
            at = t;
    };
    if (!m_queue.empty() && canType()) {
        for (int keycode : m_spare) {
            const auto last = m_lastPress.find(keycode);
            earliest(last == m_lastPress.end() ? Millis{0} : last->second + m_timing.rebindAfter);
        }
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
