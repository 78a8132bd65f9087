// Start-up.
#include "ui/app/umbrillapp.h"

#include "core/interface/interfacestrings.h"
#include "ui/app/qtext.h"
#include "ui/app/shell.h"

#include <QApplication>
#include <QIcon>

#include <cstdlib>
#include <utility>

namespace umbrill {

void preferX11OnWayland()
{
    const char *platform = std::getenv("QT_QPA_PLATFORM");
    const char *wayland = std::getenv("WAYLAND_DISPLAY");
    const char *x11 = std::getenv("DISPLAY");
    if ((!platform || !*platform) && wayland && *wayland && x11 && *x11)
        setenv("QT_QPA_PLATFORM", "xcb", 1);
}

UmbrillApp::Title::Title()
{
    setApplicationTitle(qs(kApplicationTitle));
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/icons/umbrill-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
    // Wayland's app id, matching the installed desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Umbrill"));
}

namespace {

// The pad whose pending writes an exit still makes; null once it is gone.
PadState *g_pendingAtExit = nullptr;

void savePendingAtExit()
{
    if (PadState *pad = std::exchange(g_pendingAtExit, nullptr))
        pad->savePending();
}

} // namespace

UmbrillApp::UmbrillApp()
{
    mainForm.setDialogs(&about, &languageDlg, &optionsForm);
    // Closing every window writes what each has pending (the pad its place
    // and Recent, Find its size) before the application quits.
    QObject::connect(&quitOnSignal, &QuitOnSignal::signalled, [] { QApplication::closeAllWindows(); });
    // Qt ends the process with exit() when the display connection breaks.
    g_pendingAtExit = &mainForm.state();
    static const bool registered = std::atexit(savePendingAtExit) == 0;
    static_cast<void>(registered);
}

UmbrillApp::~UmbrillApp() { g_pendingAtExit = nullptr; }

void UmbrillApp::show()
{
    mainForm.restoreRemembered();
    mainForm.show();
}

} // namespace umbrill
