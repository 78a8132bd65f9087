// The About box.
#include "ui/dialogs/tabout.h"

#include "core/interface/interfacestrings.h"
#include "ui/common/desktoppalette.h"
#include "ui/common/guard.h"
#include "ui/common/qtext.h"
#include "ui/common/shell.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace umbrill {

namespace {

// Texts of the box that are the same in every interface language.
constexpr std::string_view kAboutCaption = "Umbrill About";
constexpr std::string_view kProgramNameLine = "Umbrill V4.1";

constexpr int kClientWidth = 192;
constexpr int kClientHeight = 287;

} // namespace

TAbout::TAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TAbout"));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    setWindowTitle(qs(kAboutCaption));
    // The box's small fixed client area is laid out for the layout's reference 8-point font.
    QFont referenceFont = font();
    referenceFont.setPointSize(8);
    setFont(referenceFont);

    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setGeometry(80, 2, 41, 41);
    m_image->setAlignment(Qt::AlignCenter);
    m_image->setPixmap(QApplication::windowIcon().pixmap(32, 32));

    m_programName = new QLabel(qs(kProgramNameLine), this);
    m_programName->setObjectName(QStringLiteral("StaticText1"));
    m_programName->setGeometry(24, 40, 59, 17);

    m_buildLine = new QLabel(this);
    m_buildLine->setObjectName(QStringLiteral("Label3"));
    m_buildLine->move(104, 40);

    m_unicodeNote = new QLabel(this);
    m_unicodeNote->setObjectName(QStringLiteral("Label5"));
    m_unicodeNote->setGeometry(8, 75, 177, 38);
    m_unicodeNote->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    m_ok = new QPushButton(this);
    m_ok->setObjectName(QStringLiteral("Button1"));
    m_ok->setGeometry(59, 250, 75, 25);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, [this] { Button1Click(); });

    // A link of the label's own: a click, or Tab to it and Enter, opens it.
    m_link = new QLabel(this);
    m_link->setObjectName(QStringLiteral("Label4"));
    m_link->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    m_link->setTextFormat(Qt::RichText);
    m_link->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(qs(kProductWebAddress).toHtmlEscaped()));
    m_link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    m_link->setOpenExternalLinks(false);
    colourLink();
    m_link->setAccessibleName(qs(kProductWebAddress));
    connect(m_link, &QLabel::linkActivated, this, [this] { guard(this, [this] { Label4Click(); }); });
    {
        const QSize text = m_link->sizeHint();
        const int width = std::min(std::max(160, text.width() + 4), kClientWidth);
        const int height = std::max(13, text.height() + 2);
        m_link->setGeometry(width == 160 ? 16 : (kClientWidth - width) / 2, 215, width, height);
    }

    m_programName->resize(std::max(59, m_programName->sizeHint().width()), 17);
    setTabOrder(m_ok, m_link);

    VersionInfoResource1.LoadVersionInfo();
    m_buildLine->setText(qs(kAboutBuildDefault));
    m_ok->setText(qs(kAboutButtonDefault));
    m_ok->setAccessibleName(qs(kAboutButtonDefault));
    m_unicodeNote->setText(qs(kAboutUnicodeDefault));
    placeBuildLine();
}

void TAbout::placeBuildLine()
{
    // Sized to its text; it starts further right only when the program name is wider than laid out.
    const int left = std::max(104, m_programName->geometry().right() + 6);
    m_buildLine->move(left, 40);
    m_buildLine->resize(m_buildLine->sizeHint());
}

void TAbout::showTexts(const InterfaceTexts &texts, bool unicodeEnabled)
{
    m_unicodeEnabled = unicodeEnabled;
    const AboutStrings &s = texts.About;
    m_buildLine->setText(qs(s.BuildPrefix) + qs(VersionInfoResource1.FileVersion()));
    m_ok->setText(qs(s.Button1));
    m_ok->setAccessibleName(qs(s.Button1));
    m_unicodeNote->setText(qs(unicodeNote(unicodeEnabled)));
    placeBuildLine();
}

void TAbout::Button1Click() { accept(); }

void TAbout::Label4Click() { ShellOpen(QUrl(qs(kProductWebAddress))); }

void TAbout::colourLink()
{
    const QPalette desktop = QApplication::palette();
    QPalette link;
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        link.setColor(group, QPalette::Link,
                      legibleOr(Qt::blue, desktop.color(group, QPalette::Window), desktop.color(group, QPalette::Link)));
    m_link->setPalette(link);
}

void TAbout::changeEvent(QEvent *event)
{
    // A window hears of a new desktop palette as a change of its own.
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        colourLink();
    QDialog::changeEvent(event);
}

void TAbout::showEvent(QShowEvent *event)
{
    // The program's icon may be set after the box was made.
    m_image->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    QDialog::showEvent(event);
    centreOnScreen(this);
}

} // namespace umbrill
