// Start-up.
#include "ui/app/umbrillapp.h"

#include "core/interface/interfacestrings.h"
#include "core/pad/onepad.h"
#include "ui/common/guard.h"
#include "ui/common/padmodel.h"
#include "ui/common/qtext.h"
#include "ui/common/shell.h"
#include "ui/dialogs/findcharacterwindow.h"
#include "ui/platform/typeintowindow.h"
#include "ui/platform/desktop.h"
#include "ui/platform/quitonsignal.h"
#include "ui/platform/xdndsource.h"
#include "ui/windows/padcommands.h"

#include <QAction>
#include <QApplication>
#include <QTimer>
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
PadModel *g_pendingAtExit = nullptr;

void savePendingAtExit()
{
    if (PadModel *pad = std::exchange(g_pendingAtExit, nullptr))
        pad->savePending();
}

} // namespace

UmbrillApp::UmbrillApp()
{
    // Closing every window writes what each has pending (the pad its place
    // and Recent, Find its size) before the application quits.
    QObject::connect(&QuitOnSignal::instance(), &QuitOnSignal::signalled, &mainForm, [] { QApplication::closeAllWindows(); });
    // A character dragged out reaches the desktop's own windows too.
    xdndsource::serve();
    // Qt ends the process with exit() when the display connection breaks.
    g_pendingAtExit = &model;
    static const bool registered = std::atexit(savePendingAtExit) == 0;
    static_cast<void>(registered);
}

UmbrillApp::~UmbrillApp() { g_pendingAtExit = nullptr; }

void UmbrillApp::show()
{
    mainForm.restoreRemembered();
    mainForm.show();
}

QString UmbrillApp::check(const PadRequest &request)
try {
    if (request.language) {
        if (!model.namedLanguage(utf8(*request.language))) {
            QStringList listed;
            for (const CatalogueEntry &entry : model.catalogue(false))
                listed << qs(entry.shown);
            return QStringLiteral("Umbrill: there is no keyboard language '%1'. The Language list holds: %2.")
                .arg(*request.language, listed.join(QStringLiteral(", ")));
        }
    }
    if (request.typeIntoWindow.value_or(false)) {
        commands.typing().probe();
        if (!commands.typing().typist())
            return QStringLiteral("Umbrill: Type into Window is not available here: %1")
                .arg(commands.typing().unavailableReason());
    }
    return {};
} catch (const std::exception &error) {
    return QStringLiteral("Umbrill: %1").arg(QString::fromUtf8(error.what()));
}

void UmbrillApp::carryOut(const PadRequest &request, bool toFront)
{
    if (request.language)
        guard(&mainForm, [&] {
            // A shipped or own language, or Recent, comes before a generated language of that name.
            if (const auto named = model.namedLanguage(utf8(*request.language)))
                commands.confirmLanguage(named->position, named->key);
        });
    if (request.typeIntoWindow)
        commands.typing().setOn(*request.typeIntoWindow);
    if (toFront) {
        if (mainForm.isMinimized())
            mainForm.setWindowState(mainForm.windowState() & ~Qt::WindowMinimized);
        mainForm.show();
        commands.desktop().toCurrentWorkspace(mainForm);
        mainForm.raise();
        if (!request.find && !commands.typing().isOn())
            commands.desktop().makeActive(mainForm);
    }
    if (request.find) {
        guard(&mainForm, [&] { commands.FindCharacterClick(); });
        if (toFront && commands.findWindow()) {
            commands.desktop().toCurrentWorkspace(*commands.findWindow());
            commands.desktop().makeActive(*commands.findWindow());
        }
    }
}

QString UmbrillApp::handOver(const QStringList &arguments)
{
    const auto read = readCommandLine(arguments);
    if (const auto *exit = std::get_if<CommandLineExit>(&read))
        return exit->status == 0 ? QString() : exit->text;
    const PadRequest request = std::get<PadRequest>(read);
    const QString problem = check(request);
    if (problem.isEmpty())
        QTimer::singleShot(0, &mainForm, [this, request] { carryOut(request, true); });
    return problem;
}

} // namespace umbrill
