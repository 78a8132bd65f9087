// Type into Window.
#include "ui/platform/typeintowindow.h"

#include "core/pad/padstate.h"
#include "ui/common/qtext.h"
#include "ui/platform/portaltypist.h"
#include "ui/platform/quitonsignal.h"
#include "ui/platform/x11layout.h"
#include "ui/platform/xtesttypist.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMainWindow>
#include <QPushButton>
#include <QWindow>

namespace umbrill {

TypeIntoWindow::TypeIntoWindow(QMainWindow &window, PadState &state)
    : QObject(&window), m_window(window), m_state(state), m_action(new QAction(&window))
{
    m_action->setObjectName(QStringLiteral("TypeIntoWindow"));
    m_action->setCheckable(true);
    // A pad that takes no focus is never the active window; its keys explain themselves all the same.
    m_window.setAttribute(Qt::WA_AlwaysShowToolTips);
    m_factory = [this] { return desktopTypist(m_state); };
    connect(m_action, &QAction::triggered, this, [this](bool checked) { setOn(checked); });
    setLanguage(m_language);
}

TypeIntoWindow::~TypeIntoWindow()
{
    if (m_typist)
        m_typist->finish();
}

TypeIntoWindow::Offer TypeIntoWindow::desktopTypist(PadState &state)
{
    // On Wayland the portal reaches every window; XTest through XWayland only X11 ones.
    const bool wayland = qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    if (wayland && PortalTypist::available(QDBusConnection::sessionBus())) {
        const QString token = qs(state.rememberedPortalRestoreToken().value_or(std::string()));
        auto typist = std::make_unique<PortalTypist>(QDBusConnection::sessionBus(), token, [&state](const QString &t) {
            state.rememberPortalRestoreToken(utf8(t));
        });
        // Without an X display to read the layout from, only what every layout has.
        LayoutHas layoutHas = x11LayoutHas().value_or([](Keysym k) {
            return (k >= 0x20 && k <= 0x7e) || k == 0xffe1 || k == 0xffe3 || k == 0xff0d || k == 0xff09 || k == 0xff08;
        });
        typist->setKeyboard(std::move(layoutHas),
                            sessionTakesUnicodeEntry(qgetenv("XDG_CURRENT_DESKTOP").toStdString(),
                                                     qgetenv("QT_IM_MODULE").toStdString(),
                                                     qgetenv("GTK_IM_MODULE").toStdString()));
        return {std::move(typist), std::nullopt};
    }
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        auto opened = XTestTypist::open();
        if (auto *typist = std::get_if<std::unique_ptr<XTestTypist>>(&opened))
            return {std::move(*typist), std::nullopt};
        return {nullptr, std::get<TypingUnavailable>(opened)};
    }
    return {nullptr, wayland ? TypingUnavailable::NoPortal : TypingUnavailable::NoDisplay};
}

void TypeIntoWindow::probe()
{
    if (m_probed)
        return;
    m_probed = true;
    Offer offer = m_factory();
    m_typist = std::move(offer.typist);
    m_reason = m_typist ? std::optional<TypingUnavailable>() : offer.reason.value_or(TypingUnavailable::NoDisplay);
    if (m_typist) {
        m_typist->setParent(nullptr);
        connect(m_typist.get(), &Typist::ended, this, [this] {
            m_action->setChecked(false);
            setOn(false);
        });
        connect(m_typist.get(), &Typist::closedByDesktop, this, [this] {
            m_closed = true;
            setLanguage(m_language);
        });
        connect(m_typist.get(), &Typist::notTyped, this, [this](const std::u32string &characters) {
            // Never lost: what could not be typed waits on the clipboard.
            const QString text = QString::fromUcs4(characters.data(), static_cast<qsizetype>(characters.size()));
            QGuiApplication::clipboard()->setText(text);
            emit notice(qs(onClipboardNotice(m_language, utf8(text))));
        });
    }
    m_action->setEnabled(m_typist != nullptr);
    setLanguage(m_language);
}

void TypeIntoWindow::setOn(bool on)
{
    probe();
    if (!m_typist)
        on = false;
    m_action->setChecked(on);
    if (on == m_on)
        return;
    m_on = on;
    if (on) {
        m_closed = false;
        setLanguage(m_language);
        m_quitOnSignal = std::make_unique<QuitOnSignal>();
        connect(m_quitOnSignal.get(), &QuitOnSignal::signalled, this, [this] { m_typist->finish(); });
        m_typist->start();
    } else {
        m_typist->stop();
        m_typist->finish();
        m_quitOnSignal.reset();
    }
    applyFocus(on);
    m_state.rememberTypeIntoWindow(on);
}

void TypeIntoWindow::applyFocus(bool on)
{
    // Through the widget, a new flag would mean a new native window: shown
    // again, it can lose its keep-above state and move by the frame's size.
    // The live window takes the flag in place.
    Qt::WindowFlags flags = m_window.windowFlags();
    flags.setFlag(Qt::WindowDoesNotAcceptFocus, on);
    m_window.overrideWindowFlags(flags);
    if (QWindow *handle = m_window.windowHandle())
        handle->setFlags(flags);
    if (QWidget *client = m_window.centralWidget())
        for (QPushButton *key : client->findChildren<QPushButton *>())
            prepareKey(key);
}

void TypeIntoWindow::prepareKey(QWidget *key) const
{
    key->setFocusPolicy(m_on ? Qt::NoFocus : Qt::StrongFocus);
    if (m_on)
        key->clearFocus();
}

void TypeIntoWindow::setLanguage(std::string_view controlLanguage)
{
    m_language = controlLanguage;
    m_action->setText(qs(typeIntoWindowCaption(controlLanguage)));
    QString tip;
    if (m_reason)
        tip = qs(typingUnavailableReason(controlLanguage, *m_reason));
    else if (m_closed)
        tip = qs(typingSessionClosedNote(controlLanguage));
    m_action->setToolTip(tip);
}

void TypeIntoWindow::type(const std::u32string &text)
{
    if (m_on && m_typist)
        m_typist->typeText(text);
}

} // namespace umbrill
