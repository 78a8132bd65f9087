// The Umbrill05 executable: creates the four windows in their order and runs
// until the main window closes.
#include "ui/app/umbrillapp.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char **argv)
{
    umbrill::preferX11OnWayland();
    QApplication app(argc, argv);
    umbrill::UmbrillApp umbrill;
    if (!umbrill.mainForm.state().IniFileFound())
        return EXIT_FAILURE;
    umbrill.show();
    // Returning from main (not exit()) lets Qt hand the clipboard to the
    // desktop's clipboard manager, so a copied character outlives the pad.
    return app.exec();
}
