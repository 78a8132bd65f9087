// What the program asks of the desktop: its own folder, and opening a file or
// web address with the desktop's default program.
#pragma once

#include <QString>

class QWidget;

#include <functional>

namespace umbrill {

// The folder of the running executable, links resolved, with a trailing "/".
QString GetProgramDir();
// Tests run the windows against a temporary program folder; empty restores the real one.
void overrideProgramDir(const QString &dir);

// Opens a file path or web address with the desktop's default action; the
// result is not examined.
void ShellOpen(const QString &fileOrUrl);
// Tests record what would be opened instead of starting a viewer; empty restores.
void overrideShellOpen(std::function<void(const QString &)> open);

// Moves a window so that its frame is centred on the screen it is on.
void centreOnScreen(QWidget *window);

// The application title: the name the desktop shows for the running program
// ("Umbrill05", then the loaded keyboard language) and the title of error boxes.
QString applicationTitle();
void setApplicationTitle(const QString &title);

} // namespace umbrill
