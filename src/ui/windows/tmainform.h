// The key pad's main window: its menus and their commands, the keys it shows
// for the keyboard language, Multiple Char's strip and the notice line. It
// redraws itself as the pad's model announces a change; what differs by
// desktop it asks of the Desktop.
#pragma once

#include "core/keypad/keygrid.h"
#include "core/pad/padstate.h"
#include "ui/common/stringsets.h"
#include "ui/keys/keybutton.h"
#include "ui/windows/padmenus.h"

#include <QList>
#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QLabel;

namespace umbrill {

struct InterfaceTexts;
struct MainFormStrings;

class FindCharacterWindow;
class TAbout;
class TLanguageDlg;
class TOptionsForm;
class ClipboardSink;
class CollectionStrip;
class Desktop;
class FindLink;
class NoticeLine;
class PadArea;
class PadDialogs;
class PadKeys;
class PadModel;
class TypeIntoWindow;
class WindowPlace;

class TMainForm : public QMainWindow, public StringSets<TMainForm>, private PadMenus {
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
    const QLabel *notice() const;

    // The pad's state and rules, and the model that announces their changes; the window shows them.
    const PadState &state() const { return m_state; }
    PadModel &model() const { return *m_model; }
    // The caption without the language's name, and the keys as laid out.
    const QString &baseCaption() const { return m_baseCaption; }
    const QList<KeyButton *> &keys() const;

    // What the other windows report.
    // The language dialog confirmed the row at position (-1: none selected)
    // naming name (its load name: see CatalogueEntry::loadName): the keys go, the language is named in the captions and
    // loaded, and the Font command becomes available once it has loaded.
    // Throws the loading's Error.
    void confirmLanguage(int position, const std::optional<std::string> &name);
    // Copy to My Languages in the language dialog: the generated language of
    // key becomes one of the user's own (see PadState::copyToOwnLanguages),
    // and the dialog lists it there, selected. Throws the copy's Error.
    void copyToOwnLanguages(const std::string &key);
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

    // Steps of loading: the language is named in the captions, loaded (its
    // keys are made as the model announces it), or its keys go.
    void SetLanguage(const std::string &name);
    void GetLanguageData(const std::string &name);
    void ClearButtonList();
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
    using FontChooser = std::function<QFont(const QFont &initial)>;
    using Confirmer = std::function<bool(const QString &question)>;
    void setFontChooser(FontChooser chooser) { m_chooseFont = std::move(chooser); }
    void setConfirmer(Confirmer confirmer) { m_confirm = std::move(confirmer); }
    // The clipboard the keys write to; tests may replace it.
    void setClipboard(std::unique_ptr<ClipboardSink> clipboard);
    // The Mode menu's Type into Window item and its typing.
    TypeIntoWindow &typing() const { return *m_typing; }
    // What differs by desktop; tests may put a fake in its place.
    Desktop &desktop() const { return *m_desktop; }
    void setDesktop(std::unique_ptr<Desktop> desktop);

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
    void keyMenu(const std::u16string &character, QPoint globalPos, bool onPad);
    // A result of Find was clicked or Entered: output as a pad key is, but
    // with Type into Window on, typed into the window that had the focus when
    // Find opened, once it has it back; where the desktop cannot give it
    // back, put on the clipboard, as the notice line says.
    void findResultChosen(const std::u16string &character);
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

private:
    // The captions name the language shown.
    void showLanguageName(const std::string &name);
    void FormCreate();
    void CheckForIniFile();
    // The menus' captions, with the hint, strip and Find texts of language.
    void applyMainStrings(const MainFormStrings &strings, const InterfaceTexts &language);
    // The texts of the stored language that matches controlLanguage, in this
    // window only; none matching: nothing changes.
    void showOwnTexts(std::string_view controlLanguage);
    // The language loaded: its keys are made and laid out.
    void showKeys();
    void PaintKeys();
    // The Mode menu's checks show mode; choosing one turns it on.
    void checkMode(InputMode mode);
    void chooseMode(InputMode mode);
    // The strip shows the collection, and is shown in Multiple Char only;
    // the window grows or shrinks by its height.
    void showCollection();
    // The menus (see PadMenus), each item running its command.
    void buildMenus();
    // What the state's rules call to show a language: every window shows it.
    ShowLanguage showLanguage();

    PadArea *m_client = nullptr;
    QLabel *m_hint = nullptr;
    NoticeLine *m_notice = nullptr;
    CollectionStrip *m_strip = nullptr;
    PadModel *m_model;
    const PadState &m_state;
    std::unique_ptr<Desktop> m_desktop;
    PadKeys *m_keys = nullptr;
    WindowPlace *m_place = nullptr;
    FindLink *m_find = nullptr;
    QString m_baseCaption;
    FontChooser m_chooseFont;
    Confirmer m_confirm;
    std::unique_ptr<PadDialogs> m_dialogs;
    FindCharacterWindow *m_findWindow = nullptr;
    TypeIntoWindow *m_typing = nullptr;
    bool m_fontEnabled = false;
};

} // namespace umbrill
