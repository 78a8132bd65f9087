// A fixture for widget tests: a temporary program folder holding a data file,
// a temporary settings folder, and the windows started against them. Every
// environment change is undone by the destructor.
#pragma once

#include "ui/common/shell.h"
#include "ui/app/umbrillapp.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <ostream>
#include <memory>

QT_BEGIN_NAMESPACE
// Readable failure messages for Qt strings.
inline void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE

namespace umbrill::test {

// A small catalogue for tests; "Twelve" has 12 keys at 5 per row and size 12 points.
inline constexpr const char *kTestDataFile =
    "[Umbrill]\r\n"
    "Languages=Twelve,French,\"Big Font\",Bare,Missing,Broken\r\n"
    "Twelve=\"Arial\",8,5,65,66,67,68,69,70,71,72,73,74,75,76\r\n"
    "French=\"DejaVu Sans\",12,6,224,233,232,249,38,1614,339\r\n"
    "Big Font=Arial,24,4,233\r\n"
    "Bare=Arial,10,4\r\n"
    "Broken=Arial,x,4,65\r\n";

// A settings file holding the given value lines in section Settings.
inline QByteArray settingsWith(const QByteArray &values)
{
    return "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\r\n" + values;
}

// The named child of a window. A missing one fails the test and stops the
// program at once: callers use it without checking, often inside a nested
// event loop, where no exception may pass.
template <class Widget>
Widget *child(QWidget *parent, const char *name)
{
    auto *widget = parent->findChild<Widget *>(QString::fromLatin1(name));
    if (!widget) {
        ADD_FAILURE() << "no child named " << name;
        std::abort();
    }
    return widget;
}

class UiFixture : public ::testing::Test {
protected:
    UiFixture() : m_oldConfig(qgetenv("XDG_CONFIG_HOME")), m_hadConfig(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configHome.path()));
        overrideProgramDir(QFile::encodeName(m_programDir.path()).toStdString());
        writeDataFile(kTestDataFile);
    }
    ~UiFixture() override
    {
        for (QTimer *timer : std::as_const(pendingModals())) {
            ADD_FAILURE() << "a modal window that the test waited for never appeared";
            delete timer;
        }
        pendingModals().clear();
        app.reset();
        overrideProgramDir({});
        if (m_hadConfig)
            qputenv("XDG_CONFIG_HOME", m_oldConfig);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }

    QString programDir() const { return m_programDir.path() + QLatin1Char('/'); }
    QString settingsFile() const { return m_configHome.path() + QStringLiteral("/umbrill/user.reg"); }
    QString dataFile() const { return programDir() + QStringLiteral("Umbrill05.ini"); }

    void writeDataFile(const QByteArray &bytes) const
    {
        QFile file(dataFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    void writeSettings(const QByteArray &bytes) const
    {
        QDir().mkpath(m_configHome.path() + QStringLiteral("/umbrill"));
        QFile file(settingsFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QByteArray readSettings() const
    {
        QFile file(settingsFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Starts the program's windows.
    UmbrillApp &start()
    {
        app = std::make_unique<UmbrillApp>();
        return *app;
    }

    // Runs action once the next modal window is up (message box or dialog),
    // with that window as argument; polls, never sleeps for a fixed time. A
    // window that has not come within the deadline fails the test, and so
    // does one still awaited when the test ends.
    static void whenModal(std::function<void(QWidget *)> action, int deadlineMs = 10000)
    {
        auto *timer = new QTimer;
        timer->setInterval(5);
        pendingModals().append(timer);
        const QDeadlineTimer deadline(deadlineMs);
        QObject::connect(timer, &QTimer::timeout, [timer, action, deadline, deadlineMs] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal && !deadline.hasExpired())
                return;
            timer->stop();
            pendingModals().removeOne(timer);
            timer->deleteLater();
            if (modal)
                action(modal);
            else
                ADD_FAILURE() << "no modal window came within " << deadlineMs << " ms";
        });
        timer->start();
    }

    std::unique_ptr<UmbrillApp> app;

private:
    static QList<QTimer *> &pendingModals()
    {
        static QList<QTimer *> timers;
        return timers;
    }

    QTemporaryDir m_programDir;
    QTemporaryDir m_configHome;
    QByteArray m_oldConfig;
    bool m_hadConfig;
};

} // namespace umbrill::test
