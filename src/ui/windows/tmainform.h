// The key pad's main window: its menu, its state, the keys, and the commands
// of the shell (Keep on Top, Exit, Help, About), language loading, the font
// command and the clicks of keys.
#pragma once

#include "core/keypad/keygrid.h"
#include "core/pad/padstate.h"
#include "ui/keys/keybutton.h"
#include "ui/common/stringsets.h"

#include <QList>
#include <QMainWindow>
#include <QPushButton>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace umbrill {

struct InterfaceTexts;
struct MainFormStrings;

class FindCharacterWindow;
class TAbout;
class TLanguageDlg;
class TOptionsForm;
class ClipboardSink;
class CollectionStrip;
class TypeIntoWindow;

class TMainForm : public QMainWindow, public StringSets<TMainForm> {
    Q_OBJECT
public:
    // Runs FormCreate: computes the file paths, checks the data file (showing
    // the start-up message when it is missing) and applies the interface language.
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // Brings back what the last run left, before the window is first shown:
    // Keep on Top, the input mode, the window's place (brought onto a screen
    // when it lies outside every one) and the keyboard language, loaded as if
    // confirmed in the language dialog when the catalogue still holds it. A
    // first start changes nothing. Shows a loading error as a load would.
    void restoreRemembered();
    // The empty pad's one-line hint; hidden while keys are shown.
    const QLabel *hint() const { return m_hint; }
    // The line over the bottom of the keys that tells what typing put on the clipboard.
    const QLabel *notice() const { return m_notice; }

    // The pad's state and rules; the window shows it.
    PadState &state() { return m_state; }
    const PadState &state() const { return m_state; }

    // What only the window holds: its base caption and the keys.
    QString BaseCaption;
    QList<KeyButton *> ButtonList;

    // What the other windows report.
    // The language dialog confirmed the row at position (-1: none selected)
    // naming name: the keys go, the language is named in the captions and
    // loaded, and the Font command becomes available once it has loaded.
    // Throws the loading's Error.
    void confirmLanguage(int position, const std::optional<std::string> &name);
    // Shows a language's texts in all four windows: this one, the Options
    // dialog, the About box, the language dialog. A dialog not made yet shows
    // them when it is made. A language that matches none changes nothing.
    void applyInterfaceLanguageToAll(const std::string &controlLanguage);
    // The Options dialog opens, a language is picked in its list, it is
    // cancelled, or OK reports the choices: the state's rules run, with every
    // window showing the language they show; after OK the keys are laid out
    // again. optionsChosen throws the store's Error.
    OptionsChoice optionsOpening();
    void interfaceLanguagePicked(const std::string &controlLanguage);
    void optionsCancelled();
    void optionsChosen(const OptionsChoice &choice);

    // Steps of loading and laying out.
    void SetLanguage(const std::string &name);
    void GetLanguageData(const std::string &name);
    void ClearButtonList();
    void CreateNewButton(std::int32_t code);
    void PaintKeys();
    // Moves the focus from key to the key the move reaches on the grid as last laid out.
    void moveFocusFrom(KeyButton *key, GridMove move);
    void setFontEnabled(bool enabled);
    // The Font command's enabled state (its menu item stays hidden, and Qt
    // reports a hidden item as disabled).
    bool fontEnabled() const { return m_fontEnabled; }
    // Shows a language's texts in this window: the menus, the hint, Find and
    // Type into Window.
    void showTexts(const InterfaceTexts &texts);

    // The three dialogs are made when first asked for (as they first open),
    // children of this window, and kept for the next opening; they show the
    // interface language of the other windows, and report to this one.
    TAbout *aboutBox();
    TLanguageDlg *languageDlg();
    TOptionsForm *optionsForm();

    // Seams for the font command's two modal questions; tests replace them.
    std::function<QFont(const QFont &initial)> chooseFont;
    std::function<bool(const QString &question)> confirm;
    // The clipboard the keys write to; tests may replace it.
    void setClipboard(std::unique_ptr<ClipboardSink> clipboard);
    // The Mode menu's Type into Window item and its typing.
    TypeIntoWindow &typing() const { return *m_typing; }

    // Handlers.
    void LanguageClick();
    void FontClick();
    void KeeponTopClick();
    void ExitClick();
    void HelpMenuIItemClick();
    void AboutMenuItemClick();
    void Options1Click();
    void SingleCharClick();
    void MultipleCharClick();
    void DirectPasteClick();
    void ClearClipboardClick();
    // Opens (or raises) the Find Character window, at its remembered size.
    void FindCharacterClick();
    void Button1Click(KeyButton *key);
    // The key's menu: Add to My Characters, and on My Characters' own pad
    // Remove from My Characters. Tests call the two commands directly.
    void keyMenu(KeyButton *key, QPoint globalPos, bool onPad);
    // A result of Find was clicked or Entered: output as a pad key is, but
    // with Type into Window on, typed into the window that had the focus when
    // Find opened, once it has it back.
    void findResultChosen(KeyButton *key);
    // Multiple Char's collection, shown in the strip under the keys while
    // Multiple Char is on: Backspace (on a key or the strip) takes back its
    // last character, a click on the strip places it again, its clear button
    // or Ctrl+Backspace empties it. Each puts the clipboard in step with it.
    void removeLastCharacter();
    void placeCollection();
    void clearCollection();
    const CollectionStrip *collectionStrip() const { return m_strip; }
    void addToMyCharacters(const std::u16string &character);
    void removeFromMyCharacters(const std::u16string &character);
    // The Find Character window, once it has been opened; nullptr before.
    FindCharacterWindow *findWindow() const { return m_findWindow; }

protected:
    // The window's place is remembered once it has rested for a moment, and
    // when the window closes.
    void moveEvent(QMoveEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // The desktop's palette changed: the window follows it.
    void changeEvent(QEvent *event) override;
    // Right after the first paint, the settings a first start stores are
    // written (see PadState::storeStartup): nothing is written before the pad shows.
    void paintEvent(QPaintEvent *event) override;

private:
    void FormCreate();
    void CheckForIniFile();
    // The menus' captions, with the hint, strip and Find texts of language.
    void applyMainStrings(const MainFormStrings &strings, const InterfaceTexts &language);
    // The texts of the stored language that matches controlLanguage, in this
    // window only; none matching: nothing changes.
    void showOwnTexts(std::string_view controlLanguage);
    // The empty pad's hint shows while there are no keys.
    void updateHint();
    // Moves the window the least it takes so that all of it lies on its screen.
    void keepOnScreen();
    // The room for the grid on the screen this window is on, below the menu.
    QSize gridArea() const;
    void setClientSize(int width, int height);
    void setModeChecks(bool single, bool multiple, bool direct);
    // The strip shows the collection, and is shown in Multiple Char only;
    // the window grows or shrinks by its height.
    void showCollection();
    int stripHeight() const;
    // The window's page and text colours from the desktop's palette.
    void followDesktopPalette();
    // The Find Character window stays on top when the pad does.
    void keepFindOnTop();
    // Recent is stored a few seconds after the output that changed it.
    void storeRecentSoon();
    // What the state's rules call to show a language: every window shows it.
    ShowLanguage showLanguage();
    QAction *addItem(QMenu *menu, const char *name, void (TMainForm::*handler)());

    QMenu *m_modeMenu = nullptr;
    QMenu *m_helpMenu = nullptr;
    QAction *m_singleChar = nullptr;
    QAction *m_multipleChar = nullptr;
    QAction *m_directPaste = nullptr;
    QAction *m_clearClipboard = nullptr;
    QAction *m_findCharacter = nullptr;
    QAction *m_font = nullptr;
    QAction *m_options = nullptr;
    QAction *m_keepOnTop = nullptr;
    QAction *m_exit = nullptr;
    QAction *m_language = nullptr;
    QAction *m_helpItem = nullptr;
    QAction *m_aboutItem = nullptr;
    QWidget *m_client = nullptr;
    QLabel *m_hint = nullptr;
    QLabel *m_notice = nullptr;
    QTimer *m_noticeTimer = nullptr;
    void showNotice(const QString &text);
    CollectionStrip *m_strip = nullptr;
    QAction *m_removeLast = nullptr;
    QAction *m_clearCollection = nullptr;
    QTimer *m_positionSaver = nullptr;
    QTimer *m_recentSaver = nullptr;
    unsigned long m_focusBeforeFind = 0;
    // The interface language the dialogs show: the stored one of start-up,
    // then each one shown in all four windows since.
    std::string m_dialogLanguage;
    TAbout *m_about = nullptr;
    TLanguageDlg *m_languageDlg = nullptr;
    TOptionsForm *m_optionsForm = nullptr;
    FindCharacterWindow *m_findWindow = nullptr;
    std::unique_ptr<ClipboardSink> m_clipboard;
    TypeIntoWindow *m_typing = nullptr;
    PadState m_state;
    bool m_fontEnabled = false;
    bool m_followingPalette = false;
    bool m_painted = false;
    // The keys per row of the last layout, which the arrow keys follow.
    int m_keysPerRow = 0;
};

} // namespace umbrill
