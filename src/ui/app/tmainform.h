// The key pad's main window: its menu, its state, the keys, and the commands
// of the shell (Keep on Top, Exit, Help, About), language loading, the font
// command and the clicks of keys.
#pragma once

#include "core/keypad/keygrid.h"
#include "core/keypad/outputengine.h"
#include "core/languages/languagerecord.h"
#include "core/settings/settingnames.h"

#include <QList>
#include <QMainWindow>
#include <QPushButton>

#include <functional>
#include <memory>

class QAction;
class QMenu;

namespace umbrill {

class TAbout;
class TLanguageDlg;
class TOptionsForm;
class ClipboardSink;

// One key of the grid. character() is what a click outputs (never the caption).
class KeyButton : public QPushButton {
    Q_OBJECT
public:
    KeyButton(std::int32_t code, QWidget *parent);
    std::int32_t code() const { return m_code; }
    const std::u16string &character() const { return m_character; }

protected:
    // Enter and Return press a key like Space does.
    void keyPressEvent(QKeyEvent *event) override;

private:
    std::int32_t m_code;
    std::u16string m_character;
};

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // Runs FormCreate: computes the file paths, checks the data file (showing
    // the start-up message when it is missing) and applies the interface language.
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // The three dialogs, created after this window; the window does not own them.
    void setDialogs(TAbout *about, TLanguageDlg *languageDlg, TOptionsForm *optionsForm);

    // State, named as the program's design names it. Texts are UTF-8.
    QString BaseCaption;
    QString IniFileName;
    QString HelpFileName;
    bool IniFileFound = false;
    std::string LanguagesText;
    LanguageRecord CurrentLanguage;
    QList<KeyButton *> ButtonList;
    QString ProgramDir;
    PasteFormat PasteFormatCode = PasteFormat::PlainText;
    std::int32_t KeySize = 0;
    std::string ControlLanguage;
    std::string PreviousControlLanguage;
    OutputEngine Output;  // Mode, AccumulatedText, AccumulatedWideText
    bool UnicodeEnabled = true;
    int KeyCount = 0;
    int LanguageIndex = 0;

    // Commands and steps other windows call.
    std::string GetLanguages() const;
    void SetLanguage(const std::string &name);
    void GetLanguageData(const std::string &name);
    void ClearButtonList();
    void CreateNewButton(std::int32_t code);
    void ChangeKeySize(std::int32_t size);
    void PaintKeys();
    void setFontEnabled(bool enabled);
    // The Font command's enabled state (its menu item stays hidden, and Qt
    // reports a hidden item as disabled).
    bool fontEnabled() const { return m_fontEnabled; }
    void SetEnglish();
    void SetGerman();
    void SetFrench();
    void SetSpanish();
    // Applies the interface language to all four windows: this one, the Options
    // dialog, the About box, the language dialog.
    void applyInterfaceLanguageToAll(const std::string &controlLanguage);

    TAbout *aboutBox() const { return m_about; }
    TLanguageDlg *languageDlg() const { return m_languageDlg; }
    TOptionsForm *optionsForm() const { return m_optionsForm; }

    // Seams for the font command's two modal questions; tests replace them.
    std::function<QFont(const QFont &initial)> chooseFont;
    std::function<bool(const QString &question)> confirm;
    // The clipboard the keys write to; tests may replace it.
    void setClipboard(std::unique_ptr<ClipboardSink> clipboard);

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
    void Button1Click(KeyButton *key);

private:
    void FormCreate();
    void CheckForIniFile();
    void applyMainStrings(const struct MainFormStrings &strings);
    // The grid for keyCount keys as it fits the screen this window is on.
    FittedGrid fittedGrid(int keyCount) const;
    void setClientSize(int width, int height);
    void setModeChecks(bool single, bool multiple, bool direct);
    QAction *addItem(QMenu *menu, const char *name, void (TMainForm::*handler)());

    QMenu *m_modeMenu = nullptr;
    QMenu *m_helpMenu = nullptr;
    QAction *m_singleChar = nullptr;
    QAction *m_multipleChar = nullptr;
    QAction *m_directPaste = nullptr;
    QAction *m_clearClipboard = nullptr;
    QAction *m_font = nullptr;
    QAction *m_options = nullptr;
    QAction *m_keepOnTop = nullptr;
    QAction *m_exit = nullptr;
    QAction *m_language = nullptr;
    QAction *m_helpItem = nullptr;
    QAction *m_aboutItem = nullptr;
    QWidget *m_client = nullptr;
    TAbout *m_about = nullptr;
    TLanguageDlg *m_languageDlg = nullptr;
    TOptionsForm *m_optionsForm = nullptr;
    std::unique_ptr<ClipboardSink> m_clipboard;
    bool m_fontEnabled = false;
};

} // namespace umbrill
