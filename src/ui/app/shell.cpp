// Program folder and shell open.
#include "ui/app/shell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QWidget>
#include <QUrl>

namespace umbrill {

namespace {
QString &programDirOverride()
{
    static QString dir;
    return dir;
}
} // namespace

void overrideProgramDir(const QString &dir) { programDirOverride() = dir; }

QString GetProgramDir()
{
    if (!programDirOverride().isEmpty())
        return programDirOverride().endsWith(QLatin1Char('/')) ? programDirOverride() : programDirOverride() + QLatin1Char('/');
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    QString dir = exe.isEmpty() ? QCoreApplication::applicationDirPath() : QFileInfo(exe).absolutePath();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

namespace {
std::function<void(const QString &)> &shellOpenOverride()
{
    static std::function<void(const QString &)> open;
    return open;
}
} // namespace

void overrideShellOpen(std::function<void(const QString &)> open) { shellOpenOverride() = std::move(open); }

void ShellOpen(const QString &fileOrUrl)
{
    if (shellOpenOverride()) {
        shellOpenOverride()(fileOrUrl);
        return;
    }
    const QUrl url = QUrl::fromUserInput(fileOrUrl, QDir::currentPath(), QUrl::AssumeLocalFile);
    QDesktopServices::openUrl(url);
}

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
