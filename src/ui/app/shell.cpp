// Program folder and shell open.
#include "ui/app/shell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace umbrill {

QString GetProgramDir()
{
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    QString dir = exe.isEmpty() ? QCoreApplication::applicationDirPath() : QFileInfo(exe).absolutePath();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

void ShellOpen(const QString &fileOrUrl)
{
    const QUrl url = QUrl::fromUserInput(fileOrUrl, QDir::currentPath(), QUrl::AssumeLocalFile);
    QDesktopServices::openUrl(url);
}

QString applicationTitle() { return qApp->property("umbrillApplicationTitle").toString(); }

void setApplicationTitle(const QString &title)
{
    // Kept apart from Qt's display name, which Qt would append to every window caption.
    qApp->setProperty("umbrillApplicationTitle", title);
}

} // namespace umbrill
