// My Characters and Recent.
#include "core/pad/owncollections.h"

namespace umbrill {

bool OwnCollections::addToMyCharacters(std::u16string_view character, std::string_view face,
                                       std::int32_t points) const
{
    const auto code = entryCodeOf(character);
    return code && umbrill::addToMyCharacters(m_file, *code, face, points);
}

bool OwnCollections::removeFromMyCharacters(std::u16string_view character) const
{
    const auto code = entryCodeOf(character);
    return code && umbrill::removeFromMyCharacters(m_file, *code);
}

void OwnCollections::loadRecent(const std::optional<std::string> &text)
{
    if (text)
        m_recent = RecentCharacters::fromText(*text);
}

void OwnCollections::noteOutput(std::u16string_view character)
{
    if (const auto code = entryCodeOf(character))
        m_recentUnsaved |= m_recent.add(*code);
}

void OwnCollections::saveRecent(const PadMemory &memory)
{
    if (!m_recentUnsaved)
        return;
    m_recentUnsaved = false;
    memory.remember(kRecent, m_recent.toText());
}

} // namespace umbrill
