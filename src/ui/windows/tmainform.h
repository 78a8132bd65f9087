// The key pad's main window: its menus, the keys it shows for the keyboard
// language, Multiple Char's strip and the notice line. Its menus and keys
// report to the pad's commands (PadCommands); it redraws itself as the pad's
// model announces a change.
#pragma once

#include "core/pad/padstate.h"
#include "ui/common/stringsets.h"
#include "ui/keys/keybutton.h"
#include "ui/windows/padmenus.h"

#include <QList>
#include <QMainWindow>

#include <string>
#include <string_view>

class QLabel;

namespace umbrill {

struct InterfaceTexts;
struct MainFormStrings;

class CollectionStrip;
class NoticeLine;
class PadArea;
class PadCommands;
class PadKeys;
class PadModel;
class WindowPlace;

class TMainForm : public QMainWindow, public StringSets<TMainForm>, private PadMenus {
    Q_OBJECT
public:
    // Runs FormCreate: computes the file paths, checks the data file (showing
    // the start-up message when it is missing) and applies the interface language.
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // Brings back what the last run left, before the window is first shown
    // (see PadCommands::restoreStart), and the window's place, brought onto a
    // screen when it lies outside every one.
    void restoreRemembered();

    // The pad's state, the model that announces its changes, and the
    // commands its menus and keys run.
    const PadState &state() const { return m_state; }
    PadModel &model() const { return *m_model; }
    PadCommands &commands() const { return *m_commands; }

    // What it shows: the keys as laid out; the empty pad's one-line hint,
    // hidden while keys are shown; the line over the bottom of the keys that
    // tells what typing put on the clipboard; Multiple Char's strip; and
    // whether the Font command is available (its menu item stays hidden, and
    // Qt reports a hidden item as disabled).
    const QList<KeyButton *> &keys() const;
    const QLabel *hint() const { return m_hint; }
    const QLabel *notice() const;
    const CollectionStrip *collectionStrip() const { return m_strip; }
    bool fontEnabled() const { return m_fontEnabled; }
    // Shows a language's texts in this window: the menus, the hint, Find and
    // Type into Window (SetEnglish, SetGerman, ... show a stored row).
    void showTexts(const InterfaceTexts &texts);

private:
    void FormCreate();
    void CheckForIniFile();
    // The menus (see PadMenus), each item running its command.
    void buildMenus();
    // The menus' captions, with the hint, strip and Find texts of language.
    void applyMainStrings(const MainFormStrings &strings, const InterfaceTexts &language);
    // The texts of the stored language that matches controlLanguage, in this
    // window only; none matching: nothing changes.
    void showOwnTexts(std::string_view controlLanguage);
    // The language shown is set aside (no keys, no name in the captions), or
    // named (its keys are yet to come), or loaded: its keys are made and laid out.
    void setLanguageAside();
    void showLanguageName(const std::string &name);
    void showKeys();
    void ClearButtonList();
    void PaintKeys();
    void setFontEnabled(bool enabled);
    void keepOnTop(bool onTop);
    // The Mode menu's checks show the mode; the strip shows the collection,
    // and is shown in Multiple Char only; the window grows or shrinks by its height.
    void showCollection();

    PadArea *m_client = nullptr;
    QLabel *m_hint = nullptr;
    NoticeLine *m_notice = nullptr;
    CollectionStrip *m_strip = nullptr;
    PadModel *m_model;
    const PadState &m_state;
    PadCommands *m_commands;
    PadKeys *m_keys = nullptr;
    WindowPlace *m_place = nullptr;
    QString m_baseCaption;
    bool m_fontEnabled = false;
};

} // namespace umbrill
