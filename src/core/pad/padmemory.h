// What the pad keeps in the settings store: the user settings and the values
// remembered between runs (storedvalues.h), read and written through their
// declarations.
//
// Start-up reads the store once: until storeStartup ends the start-up, the
// store holds its reads (see SettingsStore::holdReads), so the first read
// answers every later one while the file is unchanged (same inode, size and
// times).
//
// A first start writes nothing until the pad has first shown (storeStartup):
// reads make no file meanwhile, and any write does those writes first, so the
// file is written in the same order as ever.
#pragma once

#include "core/pad/storedvalues.h"
#include "core/settings/settingsstore.h"

#include <optional>
#include <string>

namespace umbrill {

class PadMemory {
public:
    explicit PadMemory(SettingsStore store) : m_store(std::move(store)) { m_store.holdReads(true); }

    const SettingsStore &store() const { return m_store; }

    // The interface language stored, read as start-up does: "" when none is
    // stored (or an empty one), which makes the writes of a first start due.
    // Throws the store's Error.
    std::string startupControlLanguage();
    // The writes of a first start, when due: the fresh profile's file is made
    // and "English" stored as the interface language (unless a language was
    // stored meanwhile). Ends the start-up. Does nothing more than once.
    // Throws the store's Error.
    void storeStartup();

    // A user setting (its default when absent). Throws the store's Error.
    template <class T>
    T setting(const UserSetting<T> &declared) const
    {
        return declared.in(section());
    }
    // Stores a user setting, after the writes of a first start. Throws the store's Error.
    template <class T>
    void store(const UserSetting<T> &declared, const T &value) const
    {
        write(declared.key, declared.format(value));
    }

    // A remembered value; nullopt when it is not remembered (see RememberedValue).
    template <class T>
    std::optional<T> remembered(const RememberedValue<T> &declared) const
    {
        return declared.in(section());
    }
    // Stores a remembered value (a value already stored leaves the file as it
    // is); one that cannot be stored is dropped: remembering never stands in
    // the user's way.
    template <class T>
    void remember(const RememberedValue<T> &declared, const T &value) const
    {
        if (const std::optional<std::string> text = declared.format(value))
            rememberText(declared.key, *text);
    }

private:
    // The section (by default, with a fresh profile left alone while the
    // writes of a first start wait).
    SettingsSection section(std::optional<FreshProfile> fresh = std::nullopt) const;
    FreshProfile freshProfile() const { return m_startupStorePending ? FreshProfile::Leave : FreshProfile::Create; }
    void writeStartup() const;
    void write(std::string_view key, const std::string &text) const;
    void rememberText(std::string_view key, const std::string &text) const;

    SettingsStore m_store;
    mutable bool m_startupStorePending = false;
};

} // namespace umbrill
