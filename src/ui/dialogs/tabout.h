// The About box: the program's name and version, the build number read from
// the executable's own version information, the Unicode note and a link to the
// product web page.
#pragma once

#include "core/versioninfo/tversioninforesource.h"
#include "ui/common/stringsets.h"

#include <QDialog>

#include <string_view>

class QLabel;
class QPushButton;

namespace umbrill {

struct InterfaceTexts;

// The product web page the About box links to; the shell takes at most 79 characters.
inline constexpr std::string_view kProductWebAddress = "https://umbrill.example.org/";
static_assert(kProductWebAddress.size() <= 79);

class TAbout : public QDialog, public StringSets<TAbout> {
    Q_OBJECT
public:
    // Reads the running executable's version information, then runs FormCreate:
    // shows the default texts.
    explicit TAbout(QWidget *parent);

    // Hides the box (it is kept for the next showing).
    void Button1Click();
    // Opens the address Label4 shows with the desktop's browser; the result is not examined.
    void Label4Click();

    // Shows a language's texts: the build line (prefix and the "FileVersion"
    // value read now), the button and the Unicode note.
    void showTexts(const InterfaceTexts &texts, bool unicodeEnabled);
    // The same, with the Unicode note of the last showing.
    void showTexts(const InterfaceTexts &texts) { showTexts(texts, m_unicodeEnabled); }

    // Reads the version information; all properties at their defaults.
    TVersionInfoResource VersionInfoResource1;

protected:
    void showEvent(QShowEvent *event) override;
    // The desktop's palette changed: the link's colour follows it.
    void changeEvent(QEvent *event) override;

private:
    // The link is blue, as long as blue reads on the desktop's dialog colour.
    void colourLink();
    void placeBuildLine();

    QLabel *m_image;
    QLabel *m_programName;
    QLabel *m_buildLine;
    QLabel *m_unicodeNote;
    bool m_unicodeEnabled = true;
    QLabel *m_link;
    QPushButton *m_ok;
};

} // namespace umbrill
