// Reading and writing the pad's stored values.
#include "core/pad/padmemory.h"

#include "core/text/error.h"

namespace umbrill {

SettingsSection PadMemory::section(std::optional<FreshProfile> fresh) const
{
    return m_store.readSection(kSettingsSection, fresh.value_or(freshProfile()));
}

std::string PadMemory::startupControlLanguage()
{
    std::string language = section(FreshProfile::Leave).value(kControlLanguage.key, "");
    m_startupStorePending = language.empty();
    return language;
}

void PadMemory::storeStartup()
{
    m_store.holdReads(false);
    writeStartup();
}

void PadMemory::writeStartup() const
{
    if (!m_startupStorePending)
        return;
    m_startupStorePending = false;
    // The read makes a fresh profile's file; a language stored meanwhile stays.
    if (m_store.read(kSettingsSection, kControlLanguage.key, "").empty())
        m_store.write(kSettingsSection, kControlLanguage.key, kControlLanguage.dflt);
}

void PadMemory::write(std::string_view key, const std::string &text) const
{
    writeStartup();
    m_store.write(kSettingsSection, key, text);
}

void PadMemory::rememberText(std::string_view key, const std::string &text) const
{
    try {
        write(key, text);
    } catch (const Error &) {
        // a store that cannot be written: the pad works on without memory
    }
}

} // namespace umbrill
