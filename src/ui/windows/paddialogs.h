// The pad's three dialogs: made when first opened, children of the pad, and
// kept for the next opening. Each shows the interface language the other
// windows show; what it reports runs the pad's rules, whose errors show over it.
#pragma once

#include <string>

namespace umbrill {

struct InterfaceTexts;
class TAbout;
class TLanguageDlg;
class TMainForm;
class TOptionsForm;

class PadDialogs {
public:
    explicit PadDialogs(TMainForm &pad) : m_pad(pad) {}

    TAbout *about();
    TLanguageDlg *languageDlg();
    TOptionsForm *options();
    // The interface language a dialog shows when it is made: the stored one
    // of start-up, then each one shown in all four windows since.
    void setLanguage(std::string controlLanguage) { m_language = std::move(controlLanguage); }
    // The dialogs made so far show texts, the row of controlLanguage.
    void showTexts(const std::string &controlLanguage, const InterfaceTexts &texts);

private:
    TMainForm &m_pad;
    std::string m_language;
    TAbout *m_about = nullptr;
    TLanguageDlg *m_languageDlg = nullptr;
    TOptionsForm *m_options = nullptr;
};

} // namespace umbrill
