// The two desktops: an X11 display, and a desktop without X11.
#include "ui/platform/desktop.h"

#include "ui/common/padmodel.h"
#include "ui/common/qtext.h"
#include "ui/platform/portaltypist.h"
#include "ui/platform/splittypist.h"
#include "ui/platform/x11focus.h"
#include "ui/platform/x11layout.h"
#include "ui/platform/xtesttypist.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace umbrill {

namespace {

// Through the widget, a new flag would mean a new native window, hidden: shown
// again, it can lose its keep-above state and move by the frame's size. The
// live window takes the flag in place.
void setFlagInPlace(QWidget &window, Qt::WindowType flag, bool on)
{
    Qt::WindowFlags flags = window.windowFlags();
    flags.setFlag(flag, on);
    window.overrideWindowFlags(flags);
    if (QWindow *handle = window.windowHandle())
        handle->setFlags(flags);
}

} // namespace

void handFocusBack(std::shared_ptr<TargetWindow> window, QObject *context, std::function<void(bool)> done)
{
    if (!window) {
        done(false);
        return;
    }
    window->activate();
    if (window->isActive()) {
        done(true);
        return;
    }
    // The window manager takes a moment: asked every 10 ms, for half a second.
    auto *wait = new QTimer(context);
    wait->setInterval(10);
    QObject::connect(wait, &QTimer::timeout, wait, [window, wait, done = std::move(done), tries = 0]() mutable {
        const bool back = window->isActive();
        if (back || ++tries >= 50) {
            wait->stop();
            wait->deleteLater();
            done(back);
        }
    });
    wait->start();
}

void Desktop::keepOnTop(QWidget &window, bool onTop) { setFlagInPlace(window, Qt::WindowStaysOnTopHint, onTop); }

void Desktop::refuseFocus(QWidget &window, bool refuse) { setFlagInPlace(window, Qt::WindowDoesNotAcceptFocus, refuse); }

namespace {

bool waylandSession() { return qEnvironmentVariableIsSet("WAYLAND_DISPLAY"); }

// On Wayland the portal reaches every window; XTest through XWayland only X11 ones.
std::optional<TypistOffer> portalOffer(PadModel &model)
{
    if (!waylandSession() || !PortalTypist::available(QDBusConnection::sessionBus()))
        return std::nullopt;
    const QString token = qs(model.state().remembered(kPortalRestoreToken).value_or(std::string()));
    auto typist = std::make_unique<PortalTypist>(QDBusConnection::sessionBus(), token, [&model](const QString &t) {
        model.remember(kPortalRestoreToken, utf8(t));
    });
    // Without an X display to read the layout from, only what every layout has.
    LayoutHas layoutHas = x11LayoutHas().value_or([](Keysym k) {
        return (k >= 0x20 && k <= 0x7e) || k == 0xffe1 || k == 0xffe3 || k == 0xff0d || k == 0xff09 || k == 0xff08;
    });
    typist->setKeyboard(std::move(layoutHas),
                        sessionTakesUnicodeEntry(qgetenv("XDG_CURRENT_DESKTOP").toStdString(),
                                                 qgetenv("QT_IM_MODULE").toStdString(),
                                                 qgetenv("GTK_IM_MODULE").toStdString()));
    return TypistOffer{std::move(typist), std::nullopt};
}

// A window on the X display, by its id.
class X11Window : public TargetWindow {
public:
    explicit X11Window(unsigned long id) : m_id(id) {}
    void activate() override { x11focus::activate(m_id); }
    bool isActive() const override { return x11focus::focusedWindow() == m_id; }

private:
    unsigned long m_id;
};

// The pad on an X display: its own, or XWayland's.
class X11Desktop : public Desktop {
public:
    TypistOffer typist(PadModel &model) override
    {
        auto portal = portalOffer(model);
        auto opened = XTestTypist::open();
        auto *xtest = std::get_if<std::unique_ptr<XTestTypist>>(&opened);
        // XWayland: X11 programs are typed into through XTest, the desktop's
        // own windows through its portal. The desktop names no active X11
        // window while one of its own is active.
        if (portal && xtest)
            return {std::make_unique<SplitTypist>(std::move(portal->typist), std::move(*xtest),
                                                  [] { return x11focus::focusedWindow() != 0; }),
                    std::nullopt};
        if (portal)
            return std::move(*portal);
        if (xtest)
            return {std::move(*xtest), std::nullopt};
        return {nullptr, std::get<TypingUnavailable>(opened)};
    }

    std::unique_ptr<TargetWindow> focusedWindow() override
    {
        const unsigned long window = x11focus::focusedWindow();
        return window ? std::make_unique<X11Window>(window) : nullptr;
    }

    void toCurrentWorkspace(QWidget &window) override { x11focus::moveToCurrentDesktop(window.winId()); }

    // Asked as a pager asks: window managers refuse a window that asks for
    // itself long after the user last used it.
    void makeActive(QWidget &window) override
    {
        x11focus::activate(window.winId());
        window.activateWindow();
    }

    void endStartup(const std::string &startupId) override { x11focus::endStartup(startupId); }
};

// Wayland without XWayland, or no display the pad knows: the focus is the
// compositor's alone.
class PortalDesktop : public Desktop {
public:
    TypistOffer typist(PadModel &model) override
    {
        if (auto portal = portalOffer(model))
            return std::move(*portal);
        return {nullptr, waylandSession() ? TypingUnavailable::NoPortal : TypingUnavailable::NoDisplay};
    }
    std::unique_ptr<TargetWindow> focusedWindow() override { return nullptr; }
    void toCurrentWorkspace(QWidget &) override {}
    void makeActive(QWidget &window) override { window.activateWindow(); }
    void endStartup(const std::string &) override {}
};

} // namespace

std::unique_ptr<Desktop> thisDesktop()
{
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        return std::make_unique<X11Desktop>();
    return std::make_unique<PortalDesktop>();
}

} // namespace umbrill
