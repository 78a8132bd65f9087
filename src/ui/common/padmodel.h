// The pad's state (PadState) for the windows: the commands that change it go
// through here, and each change is announced, so that every window that shows
// some of it redraws itself.
#pragma once

#include "core/keypad/outputengine.h"
#include "core/pad/padstate.h"

#include <QObject>

#include <filesystem>
#include <memory>
#include <string>

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

    PadState &state() { return m_state; }
    const PadState &state() const { return m_state; }
    ClipboardSink &clipboard() { return *m_clipboard; }
    void setClipboard(std::unique_ptr<ClipboardSink> clipboard);

    // Loads the keyboard language name; show shows the stored interface
    // language meanwhile. Throws the loading's Error.
    void loadLanguage(const std::string &name, const ShowLanguage &show);
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
    // Type into Window was turned on or off: announced, then remembered.
    void setTyping(bool on);

    // What character dragged out of the pad carries: the one character as a
    // Single Char click would place it, in the paste format and key font of
    // the moment. Nothing changes: no clipboard, collection or Recent. The
    // caller owns the result.
    QMimeData *dragData(std::u16string_view character) const;

    // My Characters: a key's character goes in or out (see PadState). Throws
    // the store's Error. When My Characters is the pad shown, it changed.
    void addToMyCharacters(const std::u16string &character);
    void removeFromMyCharacters(const std::u16string &character);

signals:
    void languageLoaded();
    // My Characters, the pad shown, gained or lost a character.
    void myCharactersChanged();
    void collectionChanged();
    void interfaceLanguageChanged(const std::string &controlLanguage);
    void typingChanged(bool on);

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
