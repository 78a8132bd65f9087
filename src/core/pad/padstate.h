// The key pad's state and its rules, kept apart from the windows, built from
// its parts: the user's preferences and the Options dialog's session on them
// (options.h), what the pad stores between runs (padmemory.h), the user's own
// collections (owncollections.h), and here the files the pad works with, the
// keyboard language shown with its key layout, and the output engine. The
// windows show this state and report what the user chose; they keep none of
// it themselves.
#pragma once

#include "core/interface/interfacestrings.h"
#include "core/keypad/keygrid.h"
#include "core/keypad/outputengine.h"
#include "core/keypad/pasteformat.h"
#include "core/languages/languagerecord.h"
#include "core/pad/catalogue.h"
#include "core/pad/options.h"
#include "core/pad/owncollections.h"
#include "core/pad/padmemory.h"
#include "core/settings/settingsstore.h"
#include "core/typing/typedtext.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace umbrill {

class PadState {
public:
    // The state of a new main window: no keyboard language, Single Char, plain
    // text, English, and the data file and help document in programDir (bytes,
    // as the file system names them); the settings in store, the user's own
    // languages beside it.
    explicit PadState(std::filesystem::path programDir, SettingsStore store = SettingsStore(defaultSettingsFile()));

    // Start-up, once the window exists. Returns whether the data file exists
    // (IniFileFound). When it does, the stored interface language is read; none
    // stored (or an empty one) gives "English", stored by storeStartup. Throws
    // the store's Error.
    bool CheckForIniFile();
    // The pad has first shown: the start-up is over, and the writes of a first
    // start are made (see PadMemory::storeStartup). Throws the store's Error.
    void storeStartup() { m_memory.storeStartup(); }

    // The catalogue, read afresh when the data file was found at start-up
    // (otherwise as last read): the shipped list, then the user's own
    // languages, then Recent once a character has been output (found by its
    // kind and key, shown by its caption in the interface language: an own
    // language of that name is another entry). withGenerated adds the
    // generated languages (see appendGenerated), reading their file when no
    // earlier call has.
    std::vector<CatalogueEntry> catalogue(bool withGenerated);
    // The language a command line names: its position in the catalogue and
    // its key. A shown name (see findEntry) comes first, then a generated
    // language (see generatedNamed), whose position is -1.
    struct NamedLanguage {
        int position;
        std::string key;
    };
    std::optional<NamedLanguage> namedLanguage(std::string_view wanted);
    // The generated languages, read from the program folder on the first call
    // (a missing file: none).
    const GeneratedLanguages &generated();
    // The load name (see CatalogueEntry::loadName) of the generated language a
    // command line names (see GeneratedLanguages::named), or nullopt.
    std::optional<std::string> generatedNamed(std::string_view wanted);
    // The name the caption and the catalogue show for a load name: a
    // generated language's name in the interface language (its key when the
    // file lacks it), Recent's caption for its key, any other name as it is.
    std::string shownName(const std::string &loadName);
    // Copies the generated language of key into the user's own languages
    // under its name in the interface language, and returns that name. When
    // it is the language shown, the pad goes on with the copy (remembered by
    // its name). Throws Error for a key of no generated language or a name
    // that a listed language or an entry of the user's file already has
    // (it would be overridden or override), and addOwnLanguage's Error.
    std::string copyToOwnLanguages(const std::string &key);

    // Names the keyboard language shown (empty: none): its shown name.
    void SetLanguage(const std::string &name);

    // Loads the keyboard language name (a key: see CatalogueEntry::key;
    // kRecentLanguageKey loads Recent, a generated language's key its entry,
    // "not found" when the file lacks it): reads the three settings and its entry,
    // shows the stored interface language, then takes the paste format, the
    // entry's fields and the key size its font asks for. Throws Error for an
    // entry whose size or keys per row is no whole number, with the fields
    // before it already taken.
    void GetLanguageData(const std::string &name, const ShowLanguage &show);

    // The larger of KeySize and size + 20.
    void ChangeKeySize(std::int32_t size) { m_preferences.keySize = changedKeySize(m_preferences.keySize, size); }

    // The grid of keyCount keys on a screen area of the given size (see fitGrid).
    FittedGrid fittedGrid(int keyCount, int screenWidth, int screenHeight) const;
    // The same for a layout of the keys: records keyCount as KeyCount.
    FittedGrid layOut(int keyCount, int screenWidth, int screenHeight);

    // The Options dialog (see OptionsSession).
    OptionsChoice openOptions()
    {
        return m_options.open(m_preferences, m_memory, !m_currentLanguage.LanguageName.empty());
    }
    void pickControlLanguage(const std::string &controlLanguage, const ShowLanguage &show)
    {
        m_options.pick(m_preferences, controlLanguage, show);
    }
    void cancelOptions(const ShowLanguage &show) { m_options.cancel(m_preferences, show); }
    void storeOptions(const OptionsChoice &choice, const ShowLanguage &show)
    {
        m_options.store(m_preferences, m_memory, choice, show);
    }

    // The font command chose face and points (points 0 or less: keep the
    // current size): the key font changes, and the key size grows to the font's
    // height in pixels at dotsPerInch.
    void applyKeyFont(const std::string &face, std::int32_t points, double dotsPerInch);
    // Writes the language's entry with its current key font, keys per row and
    // the codes of the keys laid out last: into the data file, or into the
    // user's own file when the entry comes from there or the data file cannot
    // be written. A generated language is never written into its file: it
    // becomes one of the user's own with that entry (see copyToOwnLanguages).
    // Throws the store's Error.
    void writeKeyFontEntry();

    // My Characters: the character of a key goes in (with the current key
    // font when My Characters is new) or out. False when nothing changed.
    // Throws the store's Error.
    bool addToMyCharacters(std::u16string_view character) const
    {
        return m_own.addToMyCharacters(character, m_currentLanguage.KeyFontName, m_currentLanguage.KeyFontSize);
    }
    bool removeFromMyCharacters(std::u16string_view character) const { return m_own.removeFromMyCharacters(character); }
    bool showsMyCharacters() const { return m_currentLanguage.LanguageName == kMyCharactersName; }
    const std::filesystem::path &ownLanguagesFile() const { return m_own.file(); }

    // Recent: every character output is noted at once, in memory; saveRecent
    // stores the list when it changed (the window does so now and then and at
    // exit, never on the click itself).
    void saveRecent() { m_own.saveRecent(m_memory); }
    bool recentUnsaved() const { return m_own.recentUnsaved(); }

    // A key was clicked: its character goes out in the current mode and paste
    // format, in the key font. Throws Error("Cannot open clipboard").
    void Button1Click(std::u16string_view character, ClipboardSink &clipboard);
    void SingleCharClick(ClipboardSink &clipboard) { m_output.SingleCharClick(clipboard); }
    void MultipleCharClick(ClipboardSink &clipboard) { m_output.MultipleCharClick(clipboard); }
    void DirectPasteClick(ClipboardSink &clipboard) { m_output.DirectPasteClick(clipboard); }
    void ClearClipboardClick(ClipboardSink &clipboard) { m_output.ClearClipboardClick(clipboard); }
    // The collection of Multiple Char in the current paste format, and the
    // commands on it (see OutputEngine): Backspace, place it again, empty it.
    std::u16string collection() const { return m_output.Collection(m_preferences.pasteFormat); }
    bool removeLastCharacter(ClipboardSink &clipboard)
    {
        return m_output.RemoveLastCharacter(m_preferences.pasteFormat, keyFont(), clipboard);
    }
    void placeCollection(ClipboardSink &clipboard) { m_output.PlaceCollection(m_preferences.pasteFormat, keyFont(), clipboard); }
    void clearCollection(ClipboardSink &clipboard) { m_output.ClearCollection(clipboard); }
    // With Type into Window on, a click types instead: what it types (see
    // typedText). The clipboard, Mode and the collections are left alone; the
    // character goes into Recent like any output.
    std::u32string typeClick(std::u16string_view character);
    // The keysyms that clicks on the keys shown would type, in key order.
    std::vector<Keysym> typedKeysyms() const;

    // Remembering, beside the three settings: a value declared in
    // storedvalues.h, read (nullopt when none is remembered) and stored when
    // it changes (see PadMemory::remember).
    template <class T>
    std::optional<T> remembered(const RememberedValue<T> &declared) const
    {
        return m_memory.remembered(declared);
    }
    template <class T>
    void remember(const RememberedValue<T> &declared, const T &value) const
    {
        m_memory.remember(declared, value);
    }
    // Restoring a start: Recent, the mode and Type into Window of the last
    // run come back (the clipboard and the collections are left alone), and
    // the language last confirmed, when the catalogue still holds it, is named
    // and given its place; it is returned for the caller to load
    // (GetLanguageData). Nothing is written.
    std::optional<NamedLanguage> restoreStart();
    // Type into Window, as last turned or restored; turning it is remembered
    // when it changes it (turning it back on as a start restored it writes
    // nothing).
    bool typingOn() const { return m_typingOn; }
    void setTyping(bool on);
    // The window moved: its place is written by savePosition (the window
    // does so once it has rested) or savePending, not on every move.
    void notePosition(KeyPlacement position) { m_pendingPosition = position; }
    void savePosition();
    // Writes what is noted and not yet stored (the place, Recent), as the
    // session ends: on closing, on a signal to end, and at exit.
    void savePending();
    // The position of the key in the catalogue (read afresh), or nullopt. A
    // generated language's key gives -1 when the generated file holds it: its
    // place follows the interface language, and the dialog finds it by its
    // key (currentKey).
    std::optional<int> catalogueIndex(const std::string &key);

    void setUnicodeEnabled(bool enabled) { m_unicodeEnabled = enabled; }
    void setLanguageIndex(int position) { m_languageIndex = position; }

    const std::filesystem::path &IniFileName() const { return m_iniFileName; }
    // The help document Help opens: the interface language's own one when it is
    // in the program folder, else the English umbrill_help.pdf (present or not).
    std::filesystem::path HelpFileName() const;
    bool IniFileFound() const { return m_iniFileFound; }
    const LanguageRecord &CurrentLanguage() const { return m_currentLanguage; }
    PasteFormat PasteFormatCode() const { return m_preferences.pasteFormat; }
    std::int32_t KeySize() const { return m_preferences.keySize; }
    const std::string &ControlLanguage() const { return m_preferences.controlLanguage; }
    bool UnicodeEnabled() const { return m_unicodeEnabled; }
    int LanguageIndex() const { return m_languageIndex; }
    // The load name of the language shown (see CatalogueEntry::loadName).
    const std::string &currentKey() const { return m_currentKey; }
    const OutputEngine &Output() const { return m_output; }

private:
    InterfaceLanguage interfaceLanguage() const
    {
        return interfaceTexts(ControlLanguage()).SearchWords.value_or(InterfaceLanguage::English);
    }
    // The shipped and own languages, read afresh (see catalogue).
    const std::vector<std::string> &listedNames();
    // Recent's caption in the interface language.
    std::string_view recentName() const { return interfaceTexts(ControlLanguage()).Pad.RecentName; }
    KeyFont keyFont() const { return {m_currentLanguage.KeyFontName, m_currentLanguage.KeyFontSize}; }
    // Notes a character output, first in Recent.
    void noteOutput(std::u16string_view character) { m_own.noteOutput(character); }

    std::filesystem::path m_programDir;
    std::filesystem::path m_iniFileName;
    std::filesystem::path m_helpFileName;
    bool m_iniFileFound = false;
    // The shipped and own languages of the last reading (see catalogue).
    std::vector<std::string> m_listed;
    std::size_t m_shippedCount = 0;
    std::optional<GeneratedLanguages> m_generated;
    // The load name of the language shown.
    std::string m_currentKey;
    PadMemory m_memory;
    Preferences m_preferences;
    OptionsSession m_options;
    OwnCollections m_own;
    LanguageRecord m_currentLanguage;
    bool m_unicodeEnabled = true;
    int m_keyCount = 0;
    int m_languageIndex = 0;
    OutputEngine m_output; // the mode and the collections of Multiple Char
    std::optional<KeyPlacement> m_pendingPosition;
    bool m_typingOn = false;
};

} // namespace umbrill
