// The pad's state (PadState) for the windows: it owns the state and hands out
// only a const view of it. Each command that changes it is one of the user's
// intents, and announces by a signal what it changed, so that every window
// that shows some of it can redraw itself.
#pragma once

#include "core/keypad/outputengine.h"
#include "core/pad/padstate.h"

#include <QObject>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QMimeData;
class QTimer;
class QWidget;

namespace umbrill {

class ClipboardSink;

class PadModel : public QObject {
    Q_OBJECT
public:
    // A pad whose data file lies in programDir, writing to the desktop's clipboard.
    explicit PadModel(const std::filesystem::path &programDir, QObject *parent = nullptr);
    ~PadModel() override;

    const PadState &state() const { return m_state; }
    ClipboardSink &clipboard() { return *m_clipboard; }
    void setClipboard(std::unique_ptr<ClipboardSink> clipboard);

    // Loads the keyboard language name, announcing the stored interface
    // language it reads first (interfaceLanguageRead), then the load
    // (languageLoaded). Throws the loading's Error, after the first.
    void loadLanguage(const std::string &name);
    // The language shown is set aside while another is chosen: announced
    // (languageSetAside); the state keeps it.
    void setLanguageAside() { emit languageSetAside(); }
    // The input mode, a click of a key, and Multiple Char's collection. The
    // collection is announced also when the clipboard refuses and this throws.
    void chooseMode(InputMode mode);
    void click(std::u16string_view character);
    // The text that typing a click of character types. Like a click, it
    // notes the character in Recent, which is stored a few seconds later.
    std::u32string typeClick(std::u16string_view character);
    // Stores at once what waits to be stored.
    void savePending();
    // The settings a first start stores (see PadState::storeStartup) are
    // written right after window's first paint, or when it closes, or when
    // this goes; nothing is written before the pad shows. When window closes,
    // what waits is stored too.
    void storeWhenShown(QWidget &window);
    void removeLastCharacter();
    void placeCollection();
    void clearCollection();
    // What the rules call to show an interface language: it is announced.
    ShowLanguage showLanguage();
    // Type into Window was turned on or off: announced, then remembered
    // when it changed (see PadState::setTyping).
    void setTyping(bool on);

    // What character dragged out of the pad carries: the one character as a
    // Single Char click would place it, in the paste format and key font of
    // the moment. Nothing changes: no clipboard, collection or Recent. The
    // caller owns the result.
    QMimeData *dragData(std::u16string_view character) const;

    // Start-up: whether the data file exists (see PadState::CheckForIniFile).
    bool checkForIniFile() { return m_state.CheckForIniFile(); }
    // The catalogue, read afresh, and lookups in it (see PadState).
    std::vector<CatalogueEntry> catalogue(bool withGenerated) { return m_state.catalogue(withGenerated); }
    std::optional<int> catalogueIndex(const std::string &key) { return m_state.catalogueIndex(key); }
    std::optional<PadState::NamedLanguage> namedLanguage(std::string_view wanted) { return m_state.namedLanguage(wanted); }
    // The language of key was confirmed at position: it is named by its shown
    // name, which is returned, and remembered by its key. Announced, as
    // languageChanged and languageNamed.
    std::string nameLanguage(int position, const std::string &key);
    // No language is confirmed (the dialog was cancelled), or the one shown
    // is named name (its shown name; also announced as languageNamed). Announced.
    void setLanguageIndex(int position);
    void setLanguageName(const std::string &name);
    // Copies a generated language into the user's own (see
    // PadState::copyToOwnLanguages) and returns its name. Announced.
    std::string copyToOwnLanguages(const std::string &key);

    // The Options dialog (see OptionsSession): opening, picking an interface
    // language, cancelling and storing. Storing announces optionsChanged.
    OptionsChoice openOptions() { return m_state.openOptions(); }
    void pickControlLanguage(const std::string &controlLanguage);
    void cancelOptions();
    void storeOptions(const OptionsChoice &choice);
    // Whether the platform shows Unicode text (see the Options dialog). Announced.
    void setUnicodeEnabled(bool enabled);

    // The font command (see PadState::applyKeyFont), and writing the
    // language's entry with it. Announced as keyFontChanged.
    void applyKeyFont(const std::string &face, std::int32_t points, double dotsPerInch);
    void writeKeyFontEntry() { m_state.writeKeyFontEntry(); }
    // The grid of keyCount keys on a screen area of the given size (see PadState::layOut).
    FittedGrid layOut(int keyCount, int screenWidth, int screenHeight)
    {
        return m_state.layOut(keyCount, screenWidth, screenHeight);
    }

    // Keep on Top was turned on or off: announced, then remembered.
    void setKeepOnTop(bool onTop);
    // The window moved to position: noted (see PadState::notePosition), and
    // announced; savePosition stores it.
    void notePosition(KeyPlacement position);
    void savePosition() { m_state.savePosition(); }
    // A value that only its own window shows (the Find window's size, the
    // portal's token), remembered; see storedvalues.h.
    template <class T>
    void remember(const RememberedValue<T> &declared, const T &value)
    {
        m_state.remember(declared, value);
    }

    // Restoring a start (see PadState::restoreStart): Keep on Top, announced
    // when it was off; Recent and the mode, announced as the collection's
    // change; and the language last confirmed, named, announced and returned
    // for loading (see loadLanguage). Writes nothing.
    std::optional<PadState::NamedLanguage> restoreStart();
    // Clear Clipboard: the clipboard is emptied.
    void clearClipboard() { m_state.ClearClipboardClick(*m_clipboard); }

    // My Characters: a key's character goes in or out (see PadState). Throws
    // the store's Error. When My Characters is the pad shown, it changed.
    void addToMyCharacters(const std::u16string &character);
    void removeFromMyCharacters(const std::u16string &character);

signals:
    // A load read the stored interface language: the pad shows it (the other
    // windows keep theirs).
    void interfaceLanguageRead(const std::string &controlLanguage);
    void languageLoaded();
    void languageSetAside();
    // The language shown is named name from now on; its keys are yet to load.
    void languageNamed(const std::string &name);
    // My Characters, the pad shown, gained or lost a character.
    void myCharactersChanged();
    void collectionChanged();
    void interfaceLanguageChanged(const std::string &controlLanguage);
    void typingChanged(bool on);
    // The language confirmed, its name, or its place in the catalogue changed.
    void languageChanged();
    // The Options dialog stored its choice, or Unicode's availability changed.
    void optionsChanged();
    void keyFontChanged();
    void keepOnTopChanged(bool onTop);
    void placeChanged(KeyPlacement position);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    template <class Change>
    void changeCollection(Change change);
    void storeRecentSoon();

    PadState m_state;
    std::unique_ptr<ClipboardSink> m_clipboard;
    QTimer *m_recentSaver;
    QWidget *m_window = nullptr;
    bool m_painted = false;
};

} // namespace umbrill
