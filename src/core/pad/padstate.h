// The key pad's state and its rules, kept apart from the windows: the files
// the pad works with, the three user settings, the keyboard language shown, the
// key size and the output engine. The windows show this state and report what
// the user chose; they keep none of it themselves.
//
// Where a rule changes the interface language, the caller passes what shows a
// language in every window (ShowLanguage); it is called at the point of the
// rule where the texts change, so that a failing store after it leaves the
// windows as the rule left them.
#pragma once

#include "core/keypad/keygrid.h"
#include "core/keypad/outputengine.h"
#include "core/keypad/pasteformat.h"
#include "core/languages/languagerecord.h"
#include "core/pad/ownlanguages.h"
#include "core/settings/settingsstore.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace umbrill {

using ShowLanguage = std::function<void(const std::string &controlLanguage)>;

// What the Options dialog shows when it opens and reports on OK.
struct OptionsChoice {
    PasteFormat pasteFormat = PasteFormat::PlainText;
    std::int32_t keySize = 0;                   // kKeySizeMinimum to kKeySizeMaximum
    std::optional<std::string> controlLanguage; // nullopt: no item of the list selected
};

// What the last run left, read at start-up. A value that is absent, damaged
// or stored as another type than text is not remembered.
struct Remembered {
    std::optional<std::string> language; // the keyboard language last confirmed
    std::optional<KeyPlacement> position; // the window's top left corner
    std::optional<bool> keepOnTop;
    std::optional<InputMode> mode;       // Single Char or Multiple Char
    std::optional<bool> typeIntoWindow;
    std::optional<std::string> portalRestoreToken;
    std::optional<std::string> recent;   // as stored; see RecentCharacters
};

// "x,y" as stored for a place or a size: two whole numbers, as the comma-list
// rule splits them; nullopt for anything else.
std::optional<std::pair<std::int32_t, std::int32_t>> numberPair(std::string_view text);
std::string pairText(std::int64_t first, std::int64_t second);

class PadState {
public:
    // The state of a new main window: no keyboard language, Single Char, plain
    // text, English, and the data file and help document in programDir (bytes,
    // as the file system names them).
    explicit PadState(std::filesystem::path programDir);

    // Start-up, once the window exists. Returns whether the data file exists
    // (IniFileFound). When it does, the stored interface language is read; none
    // stored (or an empty one) gives "English", stored by storeStartup. Throws
    // the store's Error.
    bool CheckForIniFile();
    // The writes of a first start, left until the pad has first shown: the
    // fresh profile's file is made and "English" stored as the interface
    // language. Until then reads make no file, and any write of the settings
    // does these first, so the file is written in the same order as ever.
    // Does nothing more than once. Throws the store's Error.
    void storeStartup() const;

    // The catalogue: read afresh when the data file was found at start-up
    // (the shipped list, then the user's own languages, then Recent once a
    // character has been output),
    // otherwise the text of the last reading.
    const std::string &GetLanguages();

    // Names the keyboard language shown (empty: none).
    void SetLanguage(const std::string &name);

    // Loads the keyboard language name: reads the three settings and its entry,
    // shows the stored interface language, then takes the paste format, the
    // entry's fields and the key size its font asks for. Throws Error for an
    // entry whose size or keys per row is no whole number, with the fields
    // before it already taken.
    void GetLanguageData(const std::string &name, const ShowLanguage &show);

    // The larger of KeySize and size + 20.
    void ChangeKeySize(std::int32_t size);

    // The grid of keyCount keys on a screen area of the given size (see fitGrid).
    FittedGrid fittedGrid(int keyCount, int screenWidth, int screenHeight) const;
    // The same for a layout of the keys: records keyCount as KeyCount.
    FittedGrid layOut(int keyCount, int screenWidth, int screenHeight);

    // The Options dialog opens: with no keyboard language shown the key size is
    // read from the settings (with one shown, the window's counts: a large key
    // font may have raised it); the paste format is read; the interface
    // language is remembered for Cancel. The key size comes clamped to the
    // sizes the dialog offers.
    OptionsChoice openOptions();
    // A language picked in the list shows at once; nothing is stored.
    void pickControlLanguage(const std::string &controlLanguage, const ShowLanguage &show);
    // Cancel: the language of the opening shows again when another was picked.
    void cancelOptions(const ShowLanguage &show);
    // OK: stores KeySize, PasteFormat and, when an item is selected,
    // ControlLanguage, in that order. A chosen language that is not the one
    // shown (a stored "english" selects "English") is shown before it is
    // stored. A failing write throws; the writes before it stay done.
    void storeOptions(const OptionsChoice &choice, const ShowLanguage &show);

    // The font command chose face and points (points 0 or less: keep the
    // current size): the key font changes, and the key size grows to the font's
    // height in pixels at dotsPerInch.
    void applyKeyFont(const std::string &face, std::int32_t points, double dotsPerInch);
    // Writes the language's entry with its current key font, keys per row and
    // the codes of the keys laid out last: into the data file, or into the
    // user's own file when the entry comes from there or the data file cannot
    // be written. Throws the store's Error.
    void writeKeyFontEntry() const;

    // My Characters: the character of a key goes in (with the current key
    // font when My Characters is new) or out. False when nothing changed.
    // Throws the store's Error.
    bool addToMyCharacters(std::u16string_view character) const;
    bool removeFromMyCharacters(std::u16string_view character) const;
    bool showsMyCharacters() const { return m_currentLanguage.LanguageName == kMyCharactersName; }
    const std::filesystem::path &ownLanguagesFile() const { return m_ownLanguagesFile; }

    // Recent: every character output is noted at once, in memory; saveRecent
    // stores the list when it changed (the window does so now and then and at
    // exit, never on the click itself).
    void loadRecent(const std::optional<std::string> &text);
    void saveRecent();
    bool recentUnsaved() const { return m_recentUnsaved; }
    const RecentCharacters &recent() const { return m_recent; }

    // A key was clicked: its character goes out in the current mode and paste
    // format, in the key font. Throws Error("Cannot open clipboard").
    void Button1Click(std::u16string_view character, ClipboardSink &clipboard);
    void SingleCharClick(ClipboardSink &clipboard) { m_output.SingleCharClick(clipboard); }
    void MultipleCharClick(ClipboardSink &clipboard) { m_output.MultipleCharClick(clipboard); }
    void DirectPasteClick(ClipboardSink &clipboard) { m_output.DirectPasteClick(clipboard); }
    void ClearClipboardClick(ClipboardSink &clipboard) { m_output.ClearClipboardClick(clipboard); }
    // The collection of Multiple Char in the current paste format, and the
    // commands on it (see OutputEngine): Backspace, place it again, empty it.
    std::u16string collection() const { return m_output.Collection(m_pasteFormatCode); }
    bool removeLastCharacter(ClipboardSink &clipboard)
    {
        return m_output.RemoveLastCharacter(m_pasteFormatCode, keyFont(), clipboard);
    }
    void placeCollection(ClipboardSink &clipboard) { m_output.PlaceCollection(m_pasteFormatCode, keyFont(), clipboard); }
    void clearCollection(ClipboardSink &clipboard) { m_output.ClearCollection(clipboard); }
    // With Type into Window on, a click types instead: what it types (see
    // typedText). The clipboard, Mode and the collections are left alone; the
    // character goes into Recent like any output.
    std::u32string typeClick(std::u16string_view character);

    // Remembering, beside the three settings: each is stored when it changes.
    // Remembering never stands in the user's way: a value that cannot be
    // stored is dropped, and the pad works on.
    Remembered readRemembered() const;
    // Recent is remembered by a fixed key (kRecentLanguageKey), not by its
    // caption, which follows the interface language.
    void rememberLanguage(const std::string &name) const;
    // The catalogue's name of a remembered language: Recent's caption in the
    // interface language for its key, any other name as it is.
    std::string rememberedLanguageName(const std::string &remembered) const;
    void rememberPosition(KeyPlacement position) const;
    // The window moved: its place is written by savePosition (the window
    // does so once it has rested) or savePending, not on every move.
    void notePosition(KeyPlacement position) { m_pendingPosition = position; }
    void savePosition();
    // Writes what is noted and not yet stored (the place, Recent), as the
    // session ends: on closing, on a signal to end, and at exit.
    void savePending();
    void rememberKeepOnTop(bool onTop) const;
    void rememberMode(InputMode mode) const;
    void rememberTypeIntoWindow(bool on) const;
    void rememberPortalRestoreToken(const std::string &token) const;
    // The Find Character window's size, as it was last closed; nullopt when
    // none is stored or it is damaged or not positive.
    std::optional<GridSize> rememberedFindSize() const;
    void rememberFindSize(GridSize size) const;
    // The position of name in the catalogue (read afresh), or nullopt.
    std::optional<int> catalogueIndex(const std::string &name);
    // The mode of the last run comes back; the clipboard and the collections
    // are left alone.
    void restoreMode(InputMode mode);

    void setUnicodeEnabled(bool enabled) { m_unicodeEnabled = enabled; }
    void setLanguageIndex(int position) { m_languageIndex = position; }

    const std::filesystem::path &ProgramDir() const { return m_programDir; }
    const std::filesystem::path &IniFileName() const { return m_iniFileName; }
    // The help document Help opens: the interface language's own one when it is
    // in the program folder, else the English umbrill_help.pdf (present or not).
    std::filesystem::path HelpFileName() const;
    bool IniFileFound() const { return m_iniFileFound; }
    const std::string &LanguagesText() const { return m_languagesText; }
    const LanguageRecord &CurrentLanguage() const { return m_currentLanguage; }
    PasteFormat PasteFormatCode() const { return m_pasteFormatCode; }
    std::int32_t KeySize() const { return m_keySize; }
    const std::string &ControlLanguage() const { return m_controlLanguage; }
    const std::string &PreviousControlLanguage() const { return m_previousControlLanguage; }
    bool UnicodeEnabled() const { return m_unicodeEnabled; }
    int KeyCount() const { return m_keyCount; }
    int LanguageIndex() const { return m_languageIndex; }
    const OutputEngine &Output() const { return m_output; }

private:
    KeyFont keyFont() const { return {m_currentLanguage.KeyFontName, m_currentLanguage.KeyFontSize}; }
    // Notes a character output, first in Recent.
    void noteOutput(std::u16string_view character);
    // A value of the settings (see ReadSetting); while the writes of a first
    // start wait, a fresh profile stays as it is.
    std::string setting(std::string_view key, std::string_view dflt) const;
    FreshProfile freshProfile() const
    {
        return m_startupStorePending ? FreshProfile::Leave : FreshProfile::Create;
    }
    // A remembered value: nullopt when absent, empty or of another type.
    std::optional<std::string> remembered(std::string_view key) const;
    // Stores a remembered value; one that cannot be stored is dropped.
    void remember(std::string_view key, const std::string &value) const;

    std::filesystem::path m_programDir;
    std::filesystem::path m_iniFileName;
    std::filesystem::path m_helpFileName;
    bool m_iniFileFound = false;
    std::string m_languagesText;
    LanguageRecord m_currentLanguage;
    PasteFormat m_pasteFormatCode = PasteFormat::PlainText;
    std::int32_t m_keySize = 0;
    std::string m_controlLanguage;
    std::string m_previousControlLanguage;
    bool m_unicodeEnabled = true;
    int m_keyCount = 0;
    int m_languageIndex = 0;
    OutputEngine m_output; // Mode, AccumulatedText, AccumulatedWideText
    std::filesystem::path m_ownLanguagesFile;
    RecentCharacters m_recent;
    bool m_recentUnsaved = false;
    // The writes of a first start wait (see storeStartup).
    mutable bool m_startupStorePending = false;
    std::optional<KeyPlacement> m_pendingPosition;
};

} // namespace umbrill
