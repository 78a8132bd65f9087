// Program folder and shell open.
#include "ui/common/shell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QScreen>
#include <QWidget>

namespace umbrill {

namespace fs = std::filesystem;

namespace {
fs::path &programDirOverride()
{
    static fs::path dir;
    return dir;
}

std::function<bool(const QUrl &)> &shellOpenOverride()
{
    static std::function<bool(const QUrl &)> open;
    return open;
}
} // namespace

void overrideProgramDir(const fs::path &dir) { programDirOverride() = dir; }

fs::path GetProgramDir()
{
    if (!programDirOverride().empty())
        return programDirOverride() / "";
    // Qt's own application folder is a QString, and comes back empty for a
    // folder whose name is not UTF-8: the link is read as bytes instead.
    std::error_code ec;
    const fs::path exe = fs::canonical("/proc/self/exe", ec);
    if (!ec)
        return exe.parent_path() / "";
    return fs::path(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString()) / "";
}

QUrl fileUrl(const fs::path &file)
{
    const QByteArray bytes(file.native().data(), static_cast<qsizetype>(file.native().size()));
    return QUrl::fromEncoded("file://" + bytes.toPercentEncoding("/"));
}

QString displayPath(const fs::path &path) { return QString::fromUtf8(path.native().data(), static_cast<qsizetype>(path.native().size())); }

void overrideShellOpen(std::function<bool(const QUrl &)> open) { shellOpenOverride() = std::move(open); }

bool ShellOpen(const QUrl &url)
{
    if (shellOpenOverride())
        return shellOpenOverride()(url);
    return QDesktopServices::openUrl(url);
}

QWidget *boxParent(QWidget *window) { return window && window->isVisible() ? window : nullptr; }

void centreOnScreen(QWidget *window)
{
    if (const QScreen *desktop = window->screen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(desktop->availableGeometry().center());
        window->move(frame.topLeft());
    }
}

QString applicationTitle() { return qApp->property("umbrillApplicationTitle").toString(); }

void setApplicationTitle(const QString &title)
{
    // Kept apart from Qt's display name, which Qt would append to every window caption.
    qApp->setProperty("umbrillApplicationTitle", title);
}

} // namespace umbrill
