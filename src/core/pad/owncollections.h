// The user's own collections: My Characters and the user's own languages in
// languages.ini beside the settings, and Recent, kept in memory and stored
// through the pad's memory.
#pragma once

#include "core/pad/ownlanguages.h"
#include "core/pad/padmemory.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace umbrill {

class OwnCollections {
public:
    explicit OwnCollections(std::filesystem::path ownLanguagesFile) : m_file(std::move(ownLanguagesFile)) {}

    const std::filesystem::path &file() const { return m_file; }

    // My Characters: the character goes in (with the given key font when My
    // Characters is new) or out. False when nothing changed. Throws the store's Error.
    bool addToMyCharacters(std::u16string_view character, std::string_view face, std::int32_t points) const;
    bool removeFromMyCharacters(std::u16string_view character) const;

    // Recent: every character output is noted at once, in memory; save stores
    // the list when it changed.
    void loadRecent(const std::optional<std::string> &text);
    void noteOutput(std::u16string_view character);
    void saveRecent(const PadMemory &memory);
    bool recentUnsaved() const { return m_recentUnsaved; }
    bool hasRecent() const { return !m_recent.codes().empty(); }
    std::string recentEntry() const { return m_recent.entry(); }

private:
    std::filesystem::path m_file;
    RecentCharacters m_recent;
    bool m_recentUnsaved = false;
};

} // namespace umbrill
