// The key pad's state and its rules.
#include "core/pad/padstate.h"

#include "core/interface/interfacestrings.h"
#include "core/settings/atomicfile.h"
#include "core/settings/profilefile.h"
#include "core/settings/settingnames.h"
#include "core/text/ascii.h"
#include "core/text/commalist.h"
#include "core/text/error.h"
#include "core/typing/typedtext.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace umbrill {

PadState::PadState(std::filesystem::path programDir, SettingsStore store)
    : m_programDir(std::move(programDir)),
      m_iniFileName(m_programDir / kDataFileName),
      m_helpFileName(m_programDir / kHelpFileName),
      m_memory(std::move(store)),
      m_own(ownLanguagesFilePath(m_memory.store().file()))
{
}

std::filesystem::path PadState::HelpFileName() const
{
    if (const InterfaceTexts *language = matchInterfaceTexts(ControlLanguage())) {
        std::filesystem::path own = m_programDir / language->HelpFile;
        std::error_code ec;
        if (std::filesystem::is_regular_file(own, ec))
            return own;
    }
    return m_helpFileName;
}

bool PadState::CheckForIniFile()
{
    std::error_code ec;
    m_iniFileFound = std::filesystem::exists(m_iniFileName, ec);
    if (!m_iniFileFound)
        return false;
    m_preferences.controlLanguage = m_memory.startupControlLanguage();
    if (m_preferences.controlLanguage.empty())
        m_preferences.controlLanguage = kControlLanguage.dflt;
    return true;
}

const std::vector<std::string> &PadState::listedNames()
{
    if (m_iniFileFound) {
        const std::string shipped = readProfileString(m_iniFileName, kDataSection, kLanguagesKey, kNotFound);
        m_shippedCount = splitCommaList(shipped).size();
        m_listed = splitCommaList(mergedCatalogue(shipped, ownLanguagesList(m_own.file()), ""));
    }
    return m_listed;
}

std::vector<CatalogueEntry> PadState::catalogue(bool withGenerated)
{
    std::vector<CatalogueEntry> entries = listedEntries(listedNames(), m_shippedCount);
    if (m_iniFileFound && m_own.hasRecent())
        entries.push_back(recentEntry(recentName()));
    if (withGenerated && m_iniFileFound)
        appendGenerated(entries, generated(), interfaceLanguage());
    return entries;
}

std::optional<PadState::NamedLanguage> PadState::namedLanguage(std::string_view wanted)
{
    const std::vector<CatalogueEntry> entries = catalogue(false);
    if (const auto position = findEntry(entries, wanted))
        return NamedLanguage{static_cast<int>(*position), entries[*position].key};
    if (auto key = generatedNamed(wanted))
        return NamedLanguage{-1, std::move(*key)};
    return std::nullopt;
}

const GeneratedLanguages &PadState::generated()
{
    if (!m_generated)
        m_generated = GeneratedLanguages::load(m_programDir / kGeneratedFileName);
    return *m_generated;
}

std::optional<std::string> PadState::generatedNamed(std::string_view wanted)
{
    if (const GeneratedLanguage *language = generated().named(wanted, interfaceLanguage()))
        return generatedKey(language->code);
    return std::nullopt;
}

std::string PadState::shownName(const std::string &loadName)
{
    if (loadName == kRecentLanguageKey)
        return std::string(recentName());
    if (const auto code = generatedCode(loadName)) {
        const GeneratedLanguage *language = generated().byCode(*code);
        return language ? language->name(interfaceLanguage()) : loadName;
    }
    return loadName;
}

std::string PadState::copyToOwnLanguages(const std::string &key)
{
    const auto code = generatedCode(key);
    const GeneratedLanguage *language = code ? generated().byCode(*code) : nullptr;
    if (!language)
        throw Error("'" + key + "' is no generated keyboard language");
    const std::string name = language->name(interfaceLanguage());
    // A shipped or own language of that name would be overridden or lost.
    const std::vector<std::string> &listed = listedNames();
    if (std::any_of(listed.begin(), listed.end(), [&name](const std::string &n) { return equalsIgnoringAsciiCase(n, name); })
        || ownEntry(m_own.file(), name))
        throw Error("There is already a keyboard language named '" + name + "'");
    addOwnLanguage(m_own.file(), name, language->entry);
    if (m_currentKey == key) {
        m_currentKey = name;
        m_currentLanguage.LanguageName = name;
        remember(kLastLanguage, name);
    }
    return name;
}

void PadState::SetLanguage(const std::string &name) { m_currentLanguage.LanguageName = name; }

void PadState::GetLanguageData(const std::string &name, const ShowLanguage &show)
{
    m_preferences.controlLanguage = m_memory.setting(kControlLanguage);
    m_preferences.keySize = m_memory.setting(kKeySize);
    m_currentLanguage.PasteFormatName = m_memory.setting(kPasteFormat);
    m_currentKey = name;
    if (name == kRecentLanguageKey) {
        m_currentLanguage.LanguageEntry = m_own.recentEntry();
    } else if (const auto code = generatedCode(name)) {
        const GeneratedLanguage *language = generated().byCode(*code);
        m_currentLanguage.LanguageEntry = language ? language->entry : std::string(kNotFound);
    } else {
        m_currentLanguage.LanguageEntry = languageEntry(m_iniFileName, m_own.file(), name);
    }
    show(ControlLanguage());
    m_preferences.pasteFormat = pasteFormatFromName(m_currentLanguage.PasteFormatName);
    applyLanguageEntry(m_currentLanguage, m_currentLanguage.LanguageEntry);
    ChangeKeySize(keySizeForPoints(m_currentLanguage.KeyFontSize));
}

FittedGrid PadState::fittedGrid(int keyCount, int screenWidth, int screenHeight) const
{
    return fitGrid(keyCount, m_currentLanguage.KeysPerRow, KeySize(), screenWidth, screenHeight);
}

FittedGrid PadState::layOut(int keyCount, int screenWidth, int screenHeight)
{
    m_keyCount = keyCount;
    return fittedGrid(keyCount, screenWidth, screenHeight);
}

void PadState::applyKeyFont(const std::string &face, std::int32_t points, double dotsPerInch)
{
    m_currentLanguage.KeyFontName = face;
    if (points > 0)
        m_currentLanguage.KeyFontSize = points;
    ChangeKeySize(keySizeForFontHeight(m_currentLanguage.KeyFontSize, dotsPerInch));
}

void PadState::writeKeyFontEntry()
{
    LanguageRecord written = m_currentLanguage;
    written.KeyCodes.resize(std::min(written.KeyCodes.size(), static_cast<std::size_t>(std::max(m_keyCount, 0))));
    if (generatedCode(m_currentKey)) {
        const std::string name = copyToOwnLanguages(m_currentKey);
        writeProfileString(m_own.file(), kDataSection, name, writtenEntry(written));
        return;
    }
    // The user's own entry wins over the shipped one, so a font for it goes
    // there; so does one that the shipped file, belonging to another user,
    // cannot take.
    const bool own = ownEntry(m_own.file(), m_currentLanguage.LanguageName).has_value();
    if (!own && canReplaceFile(resolveStorePath(m_iniFileName))) {
        writeProfileString(m_iniFileName, kDataSection, m_currentLanguage.LanguageName, writtenEntry(written));
        return;
    }
    writeOwnEntry(m_own.file(), m_currentLanguage.LanguageName, writtenEntry(written));
}

void PadState::savePosition()
{
    if (const auto position = std::exchange(m_pendingPosition, std::nullopt))
        m_memory.remember(kWindowPosition, *position);
}

void PadState::savePending()
{
    savePosition();
    saveRecent();
}

std::optional<int> PadState::catalogueIndex(const std::string &key)
{
    // A generated language's place depends on the interface language's
    // order: the dialog finds it by its key, and the start pays no sort.
    if (const auto code = generatedCode(key))
        return generated().byCode(*code) ? std::optional<int>(-1) : std::nullopt;
    const std::vector<CatalogueEntry> entries = catalogue(false);
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&key](const CatalogueEntry &entry) { return entry.key == key; });
    if (found == entries.end())
        return std::nullopt;
    return static_cast<int>(found - entries.begin());
}

std::optional<PadState::NamedLanguage> PadState::restoreStart()
{
    m_own.loadRecent(remembered(kRecent));
    if (const auto mode = remembered(kInputMode))
        m_output.setMode(*mode);
    m_typingOn = remembered(kTypeIntoWindow).value_or(false);
    const std::optional<std::string> key = remembered(kLastLanguage);
    const std::optional<int> position = key ? catalogueIndex(*key) : std::nullopt;
    if (!position)
        return std::nullopt;
    m_languageIndex = *position;
    SetLanguage(shownName(*key));
    return NamedLanguage{*position, *key};
}

void PadState::setTyping(bool on)
{
    if (std::exchange(m_typingOn, on) != on)
        remember(kTypeIntoWindow, on);
}

void PadState::Button1Click(std::u16string_view character, ClipboardSink &clipboard)
{
    m_output.Button1Click(character, PasteFormatCode(), keyFont(), clipboard);
    noteOutput(character);
}

std::vector<Keysym> PadState::typedKeysyms() const
{
    std::vector<Keysym> keysyms;
    for (const std::int32_t code : m_currentLanguage.KeyCodes) {
        const std::vector<Keysym> key = keysymsFor(typedText(keyCharacter(code), PasteFormatCode()));
        keysyms.insert(keysyms.end(), key.begin(), key.end());
    }
    return keysyms;
}

std::u32string PadState::typeClick(std::u16string_view character)
{
    noteOutput(character);
    return typedText(character, PasteFormatCode());
}

} // namespace umbrill
