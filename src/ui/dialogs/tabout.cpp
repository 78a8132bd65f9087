// The About box.
#include "ui/dialogs/tabout.h"

#include "core/interface/interfacestrings.h"
#include "ui/app/guard.h"
#include "ui/app/interfacelanguage.h"
#include "ui/app/qtext.h"
#include "ui/app/shell.h"
#include "ui/app/tmainform.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

#include <algorithm>
#include <functional>

namespace umbrill {

namespace {

// Texts of the box that are the same in every interface language.
constexpr std::string_view kAboutCaption = "Umbrill About";
constexpr std::string_view kProgramNameLine = "Umbrill V4.1";

constexpr int kClientWidth = 192;
constexpr int kClientHeight = 287;

// The core keeps line breaks as CR LF; a label breaks at LF alone.
QString labelText(std::string_view text) { return qs(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

} // namespace

// A web link: blue text under a hand cursor, opened by a click, or by Enter or
// Space when it has the keyboard focus (it takes focus by Tab).
class LinkLabel : public QLabel {
public:
    explicit LinkLabel(QWidget *parent) : QLabel(parent)
    {
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::StrongFocus);
        setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        QPalette blue = palette();
        blue.setColor(QPalette::WindowText, Qt::blue);
        setPalette(blue);
    }

    std::function<void()> clicked;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        m_pressed = event->button() == Qt::LeftButton;
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
        m_pressed = false;
        event->accept();
        if (click && clicked)
            clicked();
    }
    void keyPressEvent(QKeyEvent *event) override
    {
        const int key = event->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) && !event->isAutoRepeat()
            && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            event->accept();
            if (clicked)
                clicked();
            return;
        }
        QLabel::keyPressEvent(event);
    }
    void paintEvent(QPaintEvent *event) override
    {
        QLabel::paintEvent(event);
        if (!hasFocus())
            return;
        QStylePainter painter(this);
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.backgroundColor = palette().color(QPalette::Window);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }

private:
    bool m_pressed = false;
};

TAbout::TAbout(TMainForm *mainForm) : QDialog(mainForm), m_main(mainForm)
{
    setObjectName(QStringLiteral("TAbout"));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    setWindowTitle(qs(kAboutCaption));
    // The box's small fixed client area is laid out for the design's 8-point font.
    QFont designFont = font();
    designFont.setPointSize(8);
    setFont(designFont);

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

    m_link = new LinkLabel(this);
    m_link->setObjectName(QStringLiteral("Label4"));
    m_link->setText(qs(kProductWebAddress));
    m_link->setAccessibleName(m_link->text());
    m_link->clicked = [this] { guard(this, [this] { Label4Click(); }); };
    {
        const QSize text = m_link->sizeHint();
        const int width = std::min(std::max(160, text.width() + 4), kClientWidth);
        const int height = std::max(13, text.height() + 2);
        m_link->setGeometry(width == 160 ? 16 : (kClientWidth - width) / 2, 215, width, height);
    }

    m_programName->resize(std::max(59, m_programName->sizeHint().width()), 17);
    setTabOrder(m_ok, m_link);

    VersionInfoResource1.LoadVersionInfo();
    m_buildLine->setText(qs(kAboutBuildDesign));
    m_ok->setText(qs(kAboutButtonDesign));
    m_unicodeNote->setText(qs(kAboutUnicodeDesign));
    placeBuildLine();
    applyInterfaceLanguage(*this, m_main->ControlLanguage);
}

void TAbout::placeBuildLine()
{
    // Sized to its text; it starts further right only when the program name is wider than designed.
    const int left = std::max(104, m_programName->geometry().right() + 6);
    m_buildLine->move(left, 40);
    m_buildLine->resize(m_buildLine->sizeHint());
}

void TAbout::applyStrings(const AboutStrings &s)
{
    m_buildLine->setText(qs(s.BuildPrefix) + qs(VersionInfoResource1.FileVersion()));
    m_ok->setText(qs(s.Button1));
    m_unicodeNote->setText(labelText(unicodeNote(m_main->UnicodeEnabled)));
    placeBuildLine();
}

void TAbout::SetEnglish() { applyStrings(aboutStrings(InterfaceLanguage::English)); }
void TAbout::SetGerman() { applyStrings(aboutStrings(InterfaceLanguage::German)); }
void TAbout::SetFrench() { applyStrings(aboutStrings(InterfaceLanguage::French)); }
void TAbout::SetSpanish() { applyStrings(aboutStrings(InterfaceLanguage::Spanish)); }

void TAbout::Button1Click() { accept(); }

void TAbout::Label4Click() { ShellOpen(m_link->text()); }

void TAbout::showEvent(QShowEvent *event)
{
    // The program's icon may be set after the box was made.
    m_image->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    QDialog::showEvent(event);
    centreOnScreen(this);
}

} // namespace umbrill
