// What the program asks of the desktop: its own folder, and opening a file or
// web address with the desktop's default program.
#pragma once

#include <QString>
#include <QUrl>

#include <filesystem>
#include <functional>

class QWidget;

namespace umbrill {

// The folder of the running executable, links resolved, with a trailing "/",
// as the bytes the file system names it (a folder name need not be UTF-8).
std::filesystem::path GetProgramDir();
// Tests run the windows against a temporary program folder; empty restores the real one.
void overrideProgramDir(const std::filesystem::path &dir);

// A file's address for the desktop: its bytes percent-encoded, so that a name
// that is not UTF-8 reaches the viewer unchanged.
QUrl fileUrl(const std::filesystem::path &file);
// A path for display: decoded as UTF-8, a byte that is not shown as U+FFFD.
QString displayPath(const std::filesystem::path &path);

// Opens a file or web address with the desktop's default action. False when
// the desktop has no program to hand it to.
bool ShellOpen(const QUrl &url);
// Tests record what would be opened instead of starting a viewer; empty restores.
void overrideShellOpen(std::function<bool(const QUrl &)> open);

// The parent a message box should have: the window, or none while the window
// is not shown yet, so that a box of start-up opens centred on the screen
// rather than at the hidden window's corner.
QWidget *boxParent(QWidget *window);

// Moves a window so that its frame is centred on the screen it is on.
void centreOnScreen(QWidget *window);

// The application title: the name the desktop shows for the running program
// ("Umbrill05", then the loaded keyboard language) and the title of error boxes.
QString applicationTitle();
void setApplicationTitle(const QString &title);

} // namespace umbrill
