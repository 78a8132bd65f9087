// The running program's windows: the main window, made at start (it reads the
// interface language), and the About box, the language dialog and the Options
// dialog, each made by the main window when it first opens it, in the
// interface language the other windows show.
#pragma once

#include "ui/app/commandline.h"
#include "ui/windows/tmainform.h"
#include "ui/dialogs/tabout.h"
#include "ui/dialogs/tlanguagedlg.h"
#include "ui/dialogs/toptionsform.h"
#include "ui/windows/padcommands.h"

namespace umbrill {

// Wayland lets no window keep itself above others: unless the user chose a
// platform, ask Qt for X11 (through XWayland) when it is there.
void preferX11OnWayland();

struct UmbrillApp {
    // What the pad has noted and not yet stored (its place, Recent) is
    // written however the session ends: the windows close in order on
    // SIGINT, SIGTERM and SIGHUP, and an exit without them (the display
    // connection lost) writes it too.
    UmbrillApp();
    ~UmbrillApp();
    UmbrillApp(const UmbrillApp &) = delete;
    UmbrillApp &operator=(const UmbrillApp &) = delete;
    // Brings back what the last run left (see TMainForm::restoreRemembered)
    // and shows the main window: centred on the screen unless its place was
    // remembered.
    void show();

    // Why this pad cannot carry request out (an unknown keyboard language,
    // Type into Window unavailable here); empty when it can. Changes nothing.
    QString check(const PadRequest &request);
    // Carries a checked request out: the keyboard language, as if confirmed
    // in the language dialog, Type into Window, then Find. toFront: the pad
    // comes to the front on the current workspace (activated unless Type into
    // Window is on, which leaves the focus where the user writes).
    void carryOut(const PadRequest &request, bool toFront);
    // A later start's command line (its program name first): checked, then
    // carried out once the call has been answered. Returns check()'s answer
    // or the command line's mistake.
    QString handOver(const QStringList &arguments);

    // Set first: the error display of start-up is titled with it.
    struct Title { Title(); } title;
    TMainForm mainForm;
    // The pad's model and the commands the app runs, as the main window's menus do.
    PadModel &model = mainForm.model();
    PadCommands &commands = mainForm.commands();
    // The dialogs, made now if they were not yet.
    TAbout &about() { return *commands.aboutBox(); }
    TLanguageDlg &languageDlg() { return *commands.languageDlg(); }
    TOptionsForm &optionsForm() { return *commands.optionsForm(); }
};

} // namespace umbrill
