// The Umbrill05 executable: reads the command line, hands it to the pad
// already running on this display where there is one, else creates the four
// windows in their order and runs until the main window closes.
#include "core/pad/onepad.h"
#include "ui/common/padmodel.h"
#include "ui/app/commandline.h"
#include "ui/app/padinstance.h"
#include "ui/app/umbrillapp.h"
#include "ui/platform/desktop.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

int printed(const umbrill::CommandLineExit &exit)
{
    std::fputs(exit.text.toLocal8Bit().constData(), exit.status == 0 ? stdout : stderr);
    return exit.status;
}

} // namespace

int main(int argc, char **argv)
{
    // --help and --version need no display.
    QStringList raw;
    for (int k = 0; k < argc; ++k)
        raw << QString::fromLocal8Bit(argv[k]);
    if (const auto read = umbrill::readCommandLine(raw); std::holds_alternative<umbrill::CommandLineExit>(read)
                                                         && std::get<umbrill::CommandLineExit>(read).status == 0)
        return printed(std::get<umbrill::CommandLineExit>(read));

    // Qt takes the launcher's startup id away from the environment as it starts.
    const QByteArray startupId = qgetenv("DESKTOP_STARTUP_ID");
    umbrill::preferX11OnWayland();
    QApplication app(argc, argv);
    // Read again without the options Qt took for itself (-display, -style, ...).
    const auto read = umbrill::readCommandLine(app.arguments());
    if (const auto *exit = std::get_if<umbrill::CommandLineExit>(&read))
        return printed(*exit);
    const umbrill::PadRequest request = std::get<umbrill::PadRequest>(read);

    umbrill::PadInstance instance(
        umbrill::displayKey(qgetenv("DISPLAY").toStdString(), qgetenv("WAYLAND_DISPLAY").toStdString()));
    if (const auto status = instance.claimOrHandOver(app.arguments())) {
        umbrill::thisDesktop()->endStartup(startupId.toStdString());
        return *status;
    }

    umbrill::UmbrillApp umbrill;
    if (!umbrill.model.state().IniFileFound())
        return EXIT_FAILURE;
    if (const QString problem = umbrill.check(request); !problem.isEmpty())
        return printed({problem + QLatin1Char('\n'), 1});
    umbrill.show();
    umbrill.carryOut(request, false);
    instance.setHandler([&umbrill](const QStringList &arguments) { return umbrill.handOver(arguments); });
    // Returning from main (not exit()) lets Qt hand the clipboard to the
    // desktop's clipboard manager, so a copied character outlives the pad.
    return app.exec();
}
