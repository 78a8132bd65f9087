// The pad's three dialogs: made when first opened, children of the pad, and
// kept for the next opening. Each shows the interface language the other
// windows show; what it reports runs the pad's commands, whose errors show
// over it.
#pragma once

#include <string>

class QWidget;

namespace umbrill {

struct InterfaceTexts;
class PadCommands;
class PadState;
class TAbout;
class TLanguageDlg;
class TOptionsForm;

class PadDialogs {
public:
    PadDialogs(QWidget &pad, PadCommands &commands, const PadState &state)
        : m_pad(pad), m_commands(commands), m_state(state)
    {
    }

    TAbout *about();
    TLanguageDlg *languageDlg();
    TOptionsForm *options();
    // The interface language a dialog shows when it is made: the stored one
    // of start-up, then each one shown in all four windows since.
    void setLanguage(std::string controlLanguage) { m_language = std::move(controlLanguage); }
    // The dialogs made so far show texts, the row of controlLanguage.
    void showTexts(const std::string &controlLanguage, const InterfaceTexts &texts);

private:
    QWidget &m_pad;
    PadCommands &m_commands;
    const PadState &m_state;
    std::string m_language;
    TAbout *m_about = nullptr;
    TLanguageDlg *m_languageDlg = nullptr;
    TOptionsForm *m_options = nullptr;
};

} // namespace umbrill
