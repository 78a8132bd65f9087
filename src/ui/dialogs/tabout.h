// The About box: the program's name and version, the build number read from
// the executable's own version information, the Unicode note and a link to the
// product web page.
#pragma once

#include "core/versioninfo/tversioninforesource.h"

#include <QDialog>

#include <string_view>

class QLabel;
class QPushButton;

namespace umbrill {

class TMainForm;
struct AboutStrings;

// The product web page the About box links to; the shell takes at most 79 characters.
inline constexpr std::string_view kProductWebAddress = "https://umbrill.example.org/";
static_assert(kProductWebAddress.size() <= 79);

class TAbout : public QDialog {
    Q_OBJECT
public:
    // Reads the running executable's version information, then runs FormCreate:
    // applies the string set of the interface language the main window's
    // dialogs show. The main window must outlive the box (it is its parent).
    explicit TAbout(TMainForm *mainForm);

    // Hides the box (it is kept for the next showing).
    void Button1Click();
    // Opens the address Label4 shows with the desktop's browser; the result is not examined.
    void Label4Click();

    // Each sets the build line (prefix and the "FileVersion" value read now),
    // the button and the Unicode note.
    void SetEnglish();
    void SetGerman();
    void SetFrench();
    void SetSpanish();

    // Reads the version information; all properties at their defaults.
    TVersionInfoResource VersionInfoResource1;

protected:
    void showEvent(QShowEvent *event) override;
    // The desktop's palette changed: the link's colour follows it.
    void changeEvent(QEvent *event) override;

private:
    // The link is blue, as long as blue reads on the desktop's dialog colour.
    void colourLink();
    void applyStrings(const AboutStrings &strings);
    void placeBuildLine();

    TMainForm *m_main;
    QLabel *m_image;
    QLabel *m_programName;
    QLabel *m_buildLine;
    QLabel *m_unicodeNote;
    QLabel *m_link;
    QPushButton *m_ok;
};

} // namespace umbrill
