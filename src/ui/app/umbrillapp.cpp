// Start-up.
#include "ui/app/umbrillapp.h"

#include "core/interface/interfacestrings.h"
#include "ui/app/qtext.h"
#include "ui/app/shell.h"

#include <QApplication>
#include <QIcon>

#include <cstdlib>

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

UmbrillApp::UmbrillApp() = default;

void UmbrillApp::show()
{
    mainForm.restoreRemembered();
    mainForm.show();
}

} // namespace umbrill
