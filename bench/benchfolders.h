// The folders the benchmarks start the program's windows against: a temporary
// program folder holding a data file, and a temporary settings folder holding
// user.reg, named by XDG_CONFIG_HOME for the rest of the run.
#pragma once

#include "ui/common/shell.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

namespace umbrill {

struct BenchFolders {
    QTemporaryDir programDir;
    QTemporaryDir configHome;

    BenchFolders(const QByteArray &dataFile, const QByteArray &settings)
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
        overrideProgramDir(QFile::encodeName(programDir.path()).toStdString());
        write(programDir.path() + QStringLiteral("/Umbrill05.ini"), dataFile);
        QDir().mkpath(configHome.path() + QStringLiteral("/umbrill"));
        write(configHome.path() + QStringLiteral("/umbrill/user.reg"), settings);
    }

private:
    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            std::abort();
    }
};

} // namespace umbrill
