// The pad's commands: what its menus, its keys, Find and its three dialogs
// report runs here, on the pad's model. The main window shows what the model
// then announces; a command touches the window only as a window (minimising
// or closing it, asking over it).
#pragma once

#include "core/keypad/outputengine.h"
#include "core/pad/options.h"

#include <QObject>
#include <QPoint>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QFont;
class QMainWindow;
class QString;

namespace umbrill {

class ClipboardSink;
class Desktop;
class FindCharacterWindow;
class FindLink;
class PadDialogs;
class PadModel;
class TAbout;
class TLanguageDlg;
class TOptionsForm;
class TypeIntoWindow;

class PadCommands : public QObject {
    Q_OBJECT
public:
    // The commands of pad, a child of it, on model (which must outlive this).
    // Makes Type into Window's item, for the pad to put in its menu.
    PadCommands(QMainWindow &pad, PadModel &model);
    ~PadCommands() override;

    // The Mode menu's Type into Window item and its typing.
    TypeIntoWindow &typing() const { return *m_typing; }
    // What differs by desktop; tests may put a fake in its place.
    Desktop &desktop() const { return *m_desktop; }
    void setDesktop(std::unique_ptr<Desktop> desktop);
    // The clipboard the keys write to; tests may replace it.
    void setClipboard(std::unique_ptr<ClipboardSink> clipboard);
    // Seams for the font command's two modal questions; tests replace them.
    using FontChooser = std::function<QFont(const QFont &initial)>;
    using Confirmer = std::function<bool(const QString &question)>;
    void setFontChooser(FontChooser chooser);
    void setConfirmer(Confirmer confirmer);

    // The three dialogs are made when first asked for (as they first open),
    // children of the pad, and kept for the next opening; they show the
    // interface language of the other windows, and report here.
    TAbout *aboutBox();
    TLanguageDlg *languageDlg();
    TOptionsForm *optionsForm();
    // The Find Character window, once it has been opened; nullptr before.
    FindCharacterWindow *findWindow() const;

    // Start-up: whether the data file exists (see PadState::CheckForIniFile);
    // the dialogs show the interface language it read. Throws the store's Error.
    bool checkForIniFile();
    // Brings back what the last run left, before the pad is first shown:
    // Keep on Top, the input mode, Type into Window and the keyboard
    // language, loaded when the catalogue still holds it (see
    // PadModel::restoreStart). A first start changes nothing. Shows a loading
    // error as a load would. Writes nothing.
    void restoreStart();

    // The menus.
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
    // A key was clicked: its character is output (typed, with Type into Window on).
    void Button1Click(const std::u16string &character);
    // The key's menu: Add to My Characters, and on My Characters' own pad
    // Remove from My Characters. Tests call the two commands directly.
    void keyMenu(const std::u16string &character, QPoint globalPos, bool onPad);
    void addToMyCharacters(const std::u16string &character);
    void removeFromMyCharacters(const std::u16string &character);
    // A result of Find was clicked or Entered: output as a pad key is, but
    // with Type into Window on, typed into the window that had the focus when
    // Find opened, once it has it back; where the desktop cannot give it
    // back, put on the clipboard, as the notice line says.
    void findResultChosen(const std::u16string &character);
    // Multiple Char's collection: Backspace (on a key or the strip) takes back
    // its last character, a click on the strip places it again, its clear
    // button or Ctrl+Backspace empties it. Each puts the clipboard in step.
    void removeLastCharacter();
    void placeCollection();
    void clearCollection();

    // What the dialogs report.
    // The language dialog confirmed the row at position (-1: none selected)
    // naming name (its load name: see CatalogueEntry::loadName): the language
    // is named and loaded. Throws the loading's Error.
    void confirmLanguage(int position, const std::optional<std::string> &name);
    // Copy to My Languages in the language dialog: the generated language of
    // key becomes one of the user's own (see PadState::copyToOwnLanguages),
    // and the dialog lists it there, selected. Throws the copy's Error.
    void copyToOwnLanguages(const std::string &key);
    // Shows a language's texts in all four windows: the pad, the Options
    // dialog, the About box, the language dialog. A dialog not made yet shows
    // them when it is made. A language that matches none changes nothing.
    void applyInterfaceLanguageToAll(const std::string &controlLanguage);
    // The Options dialog opens, a language is picked in its list, it is
    // cancelled, or OK reports the choices: the state's rules run, with every
    // window showing the language they show. optionsChosen throws the store's
    // Error.
    OptionsChoice optionsOpening();
    void interfaceLanguagePicked(const std::string &controlLanguage);
    void optionsCancelled();
    void optionsChosen(const OptionsChoice &choice);

private:
    void chooseMode(InputMode mode);

    QMainWindow &m_pad;
    PadModel &m_model;
    std::unique_ptr<Desktop> m_desktop;
    TypeIntoWindow *m_typing;
    FindLink *m_find;
    std::unique_ptr<PadDialogs> m_dialogs;
    FontChooser m_chooseFont;
    Confirmer m_confirm;
};

} // namespace umbrill
