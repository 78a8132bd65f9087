// The key pad's state and its rules.
#include "core/pad/padstate.h"

#include "core/interface/interfacestrings.h"
#include "core/settings/atomicfile.h"
#include "core/settings/profilefile.h"
#include "core/settings/settingnames.h"
#include "core/settings/settingsstore.h"
#include "core/text/commalist.h"
#include "core/text/error.h"
#include "core/typing/typedtext.h"

#include <algorithm>
#include <vector>

namespace umbrill {

namespace {

// "1" or "0".
std::optional<bool> flag(const std::optional<std::string> &text)
{
    if (text == "1" || text == "0")
        return *text == "1";
    return std::nullopt;
}

constexpr std::string_view kSingleCharName = "SingleChar";
constexpr std::string_view kMultipleCharName = "MultipleChar";

} // namespace

std::optional<std::pair<std::int32_t, std::int32_t>> numberPair(std::string_view text)
{
    const std::vector<std::string> items = splitCommaList(text);
    try {
        if (items.size() == 2)
            return std::pair(strictToInt(items[0]), strictToInt(items[1]));
    } catch (const Error &) {
        // damaged: not remembered
    }
    return std::nullopt;
}

std::string pairText(std::int64_t first, std::int64_t second) { return decimalText(first) + "," + decimalText(second); }

PadState::PadState(std::filesystem::path programDir)
    : m_programDir(std::move(programDir)),
      m_iniFileName(m_programDir / kDataFileName),
      m_helpFileName(m_programDir / kHelpFileName),
      m_controlLanguage(kControlLanguageDefault),
      m_ownLanguagesFile(ownLanguagesFilePath())
{
}

std::filesystem::path PadState::HelpFileName() const
{
    if (const InterfaceTexts *language = matchInterfaceTexts(m_controlLanguage)) {
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
    m_controlLanguage = ReadSetting(kSettingsSection, kControlLanguageKey, "", FreshProfile::Leave);
    if (m_controlLanguage.empty()) {
        m_controlLanguage = kControlLanguageDefault;
        m_startupStorePending = true;
    }
    return true;
}

void PadState::storeStartup() const
{
    if (!m_startupStorePending)
        return;
    m_startupStorePending = false;
    // The read makes a fresh profile's file; a language stored meanwhile stays.
    if (ReadSetting(kSettingsSection, kControlLanguageKey, "").empty())
        WriteSetting(kSettingsSection, kControlLanguageKey, kControlLanguageDefault);
}

std::string PadState::setting(std::string_view key, std::string_view dflt) const
{
    return ReadSetting(kSettingsSection, key, dflt, freshProfile());
}

std::optional<std::string> PadState::remembered(std::string_view key) const
{
    try {
        std::string value = setting(key, "");
        if (!value.empty())
            return value;
    } catch (const Error &) {
        // stored as another type: not remembered
    }
    return std::nullopt;
}

void PadState::remember(std::string_view key, const std::string &value) const
{
    try {
        storeStartup();
        WriteSetting(kSettingsSection, key, value);
    } catch (const Error &) {
        // a store that cannot be written: the pad works on without memory
    }
}

const std::string &PadState::GetLanguages()
{
    if (m_iniFileFound)
        m_languagesText = mergedCatalogue(readProfileString(m_iniFileName, kDataSection, kLanguagesKey, kNotFound),
                                          ownLanguagesList(m_ownLanguagesFile),
                                          m_recent.codes().empty() ? "" : recentLanguageName(m_controlLanguage));
    return m_languagesText;
}

void PadState::SetLanguage(const std::string &name) { m_currentLanguage.LanguageName = name; }

void PadState::GetLanguageData(const std::string &name, const ShowLanguage &show)
{
    m_controlLanguage = setting(kControlLanguageKey, kControlLanguageDefault);
    m_keySize = lenientToInt(setting(kKeySizeKey, kKeySizeDefault));
    m_currentLanguage.PasteFormatName = setting(kPasteFormatKey, kPasteFormatDefault);
    m_currentLanguage.LanguageEntry = name == recentLanguageName(m_controlLanguage)
                                          ? m_recent.entry()
                                          : languageEntry(m_iniFileName, m_ownLanguagesFile, name);
    show(m_controlLanguage);
    m_pasteFormatCode = pasteFormatFromName(m_currentLanguage.PasteFormatName);
    applyLanguageEntry(m_currentLanguage, m_currentLanguage.LanguageEntry);
    ChangeKeySize(keySizeForPoints(m_currentLanguage.KeyFontSize));
}

void PadState::ChangeKeySize(std::int32_t size) { m_keySize = changedKeySize(m_keySize, size); }

FittedGrid PadState::fittedGrid(int keyCount, int screenWidth, int screenHeight) const
{
    return fitGrid(keyCount, m_currentLanguage.KeysPerRow, m_keySize, screenWidth, screenHeight);
}

FittedGrid PadState::layOut(int keyCount, int screenWidth, int screenHeight)
{
    m_keyCount = keyCount;
    return fittedGrid(keyCount, screenWidth, screenHeight);
}

OptionsChoice PadState::openOptions()
{
    if (m_currentLanguage.LanguageName.empty())
        m_keySize = lenientToInt(setting(kKeySizeKey, kKeySizeDefault));
    m_currentLanguage.PasteFormatName = setting(kPasteFormatKey, kPasteFormatDefault);
    m_pasteFormatCode = pasteFormatFromName(m_currentLanguage.PasteFormatName);
    m_previousControlLanguage = m_controlLanguage;
    return OptionsChoice{m_pasteFormatCode, std::clamp(m_keySize, kKeySizeMinimum, kKeySizeMaximum),
                         m_controlLanguage};
}

void PadState::pickControlLanguage(const std::string &controlLanguage, const ShowLanguage &show)
{
    m_controlLanguage = controlLanguage;
    show(m_controlLanguage);
}

void PadState::cancelOptions(const ShowLanguage &show)
{
    if (m_controlLanguage == m_previousControlLanguage)
        return;
    m_controlLanguage = m_previousControlLanguage;
    show(m_controlLanguage);
}

void PadState::storeOptions(const OptionsChoice &choice, const ShowLanguage &show)
{
    m_pasteFormatCode = choice.pasteFormat;
    m_keySize = choice.keySize;
    storeStartup();
    WriteSetting(kSettingsSection, kKeySizeKey, decimalText(m_keySize));
    WriteSetting(kSettingsSection, kPasteFormatKey, pasteFormatName(m_pasteFormatCode));
    if (!choice.controlLanguage)
        return;
    const bool shown = *choice.controlLanguage == m_controlLanguage;
    m_controlLanguage = *choice.controlLanguage;
    if (!shown)
        show(m_controlLanguage);
    WriteSetting(kSettingsSection, kControlLanguageKey, m_controlLanguage);
}

void PadState::applyKeyFont(const std::string &face, std::int32_t points, double dotsPerInch)
{
    m_currentLanguage.KeyFontName = face;
    if (points > 0)
        m_currentLanguage.KeyFontSize = points;
    ChangeKeySize(keySizeForFontHeight(m_currentLanguage.KeyFontSize, dotsPerInch));
}

void PadState::writeKeyFontEntry() const
{
    LanguageRecord written = m_currentLanguage;
    written.KeyCodes.resize(std::min(written.KeyCodes.size(), static_cast<std::size_t>(std::max(m_keyCount, 0))));
    // The user's own entry wins over the shipped one, so a font for it goes
    // there; so does one that the shipped file, belonging to another user,
    // cannot take.
    const bool own = ownEntry(m_ownLanguagesFile, m_currentLanguage.LanguageName).has_value();
    if (!own && canReplaceFile(resolveStorePath(m_iniFileName))) {
        writeProfileString(m_iniFileName, kDataSection, m_currentLanguage.LanguageName, writtenEntry(written));
        return;
    }
    std::error_code ec;
    std::filesystem::create_directories(m_ownLanguagesFile.parent_path(), ec);
    writeProfileString(m_ownLanguagesFile, kDataSection, m_currentLanguage.LanguageName, writtenEntry(written));
}

bool PadState::addToMyCharacters(std::u16string_view character) const
{
    const auto code = entryCodeOf(character);
    return code && umbrill::addToMyCharacters(m_ownLanguagesFile, *code, m_currentLanguage.KeyFontName,
                                              m_currentLanguage.KeyFontSize);
}

bool PadState::removeFromMyCharacters(std::u16string_view character) const
{
    const auto code = entryCodeOf(character);
    return code && umbrill::removeFromMyCharacters(m_ownLanguagesFile, *code);
}

void PadState::loadRecent(const std::optional<std::string> &text)
{
    if (text)
        m_recent = RecentCharacters::fromText(*text);
}

void PadState::saveRecent()
{
    if (!m_recentUnsaved)
        return;
    m_recentUnsaved = false;
    remember(kRecentKey, m_recent.toText());
}

void PadState::noteOutput(std::u16string_view character)
{
    if (const auto code = entryCodeOf(character))
        m_recentUnsaved |= m_recent.add(*code);
}


Remembered PadState::readRemembered() const
{
    // One read of the settings for all of them.
    auto values = ReadSettings(kSettingsSection, {kLastLanguageKey, kWindowPositionKey, kKeepOnTopKey, kInputModeKey,
                                                  kTypeIntoWindowKey, kPortalRestoreTokenKey, kRecentKey},
                               freshProfile());
    for (auto &value : values) {
        if (value && value->empty())
            value.reset();
    }
    Remembered last;
    last.language = values[0];
    if (const auto position = values[1] ? numberPair(*values[1]) : std::nullopt)
        last.position = KeyPlacement{position->first, position->second};
    last.keepOnTop = flag(values[2]);
    if (values[3] == kSingleCharName)
        last.mode = InputMode::SingleChar;
    else if (values[3] == kMultipleCharName)
        last.mode = InputMode::MultipleChar;
    last.typeIntoWindow = flag(values[4]);
    last.portalRestoreToken = values[5];
    last.recent = values[6];
    return last;
}

void PadState::rememberLanguage(const std::string &name) const
{
    remember(kLastLanguageKey, name == recentLanguageName(m_controlLanguage) ? std::string(kRecentLanguageKey) : name);
}

std::string PadState::rememberedLanguageName(const std::string &remembered) const
{
    return remembered == kRecentLanguageKey ? std::string(recentLanguageName(m_controlLanguage)) : remembered;
}

void PadState::rememberPosition(KeyPlacement position) const
{
    remember(kWindowPositionKey, pairText(position.left, position.top));
}

void PadState::savePosition()
{
    if (const auto position = std::exchange(m_pendingPosition, std::nullopt))
        rememberPosition(*position);
}

void PadState::savePending()
{
    savePosition();
    saveRecent();
}

void PadState::rememberKeepOnTop(bool onTop) const { remember(kKeepOnTopKey, onTop ? "1" : "0"); }

void PadState::rememberMode(InputMode mode) const
{
    if (mode == InputMode::SingleChar || mode == InputMode::MultipleChar)
        remember(kInputModeKey, std::string(mode == InputMode::SingleChar ? kSingleCharName : kMultipleCharName));
}

void PadState::rememberTypeIntoWindow(bool on) const { remember(kTypeIntoWindowKey, on ? "1" : "0"); }

void PadState::rememberPortalRestoreToken(const std::string &token) const { remember(kPortalRestoreTokenKey, token); }

std::optional<GridSize> PadState::rememberedFindSize() const
{
    const auto text = remembered(kFindSizeKey);
    const auto size = text ? numberPair(*text) : std::nullopt;
    if (size && size->first > 0 && size->second > 0)
        return GridSize{size->first, size->second};
    return std::nullopt;
}

void PadState::rememberFindSize(GridSize size) const { remember(kFindSizeKey, pairText(size.width, size.height)); }

std::optional<int> PadState::catalogueIndex(const std::string &name)
{
    const std::vector<std::string> names = splitCommaList(GetLanguages());
    const auto found = std::find(names.begin(), names.end(), name);
    if (found == names.end())
        return std::nullopt;
    return static_cast<int>(found - names.begin());
}

void PadState::restoreMode(InputMode mode) { m_output.Mode = mode; }

void PadState::Button1Click(std::u16string_view character, ClipboardSink &clipboard)
{
    m_output.Button1Click(character, m_pasteFormatCode, keyFont(), clipboard);
    noteOutput(character);
}

std::u32string PadState::typeClick(std::u16string_view character)
{
    noteOutput(character);
    return typedText(character, m_pasteFormatCode);
}

} // namespace umbrill
