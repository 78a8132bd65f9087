// The RemoteDesktop portal client against a stand-in portal on a private
// session bus (the test runs under dbus-run-session): the calls, their order,
// their options and the keysyms sent.
#include "ui/platform/portaltypist.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>

namespace umbrill {
namespace {

bool waitFor(const std::function<bool()> &done, int ms = 10000)
{
    const QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    return done();
}

// The stand-in portal, started with options, and the calls it logged.
class StandIn {
public:
    explicit StandIn(const QStringList &options)
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(UMBRILL_PYTHON3),
                        QStringList{QStringLiteral(UMBRILL_SOURCE_DIR "/tests/ui/portal_standin.py")} + options);
        EXPECT_TRUE(waitFor([this] { return lines().contains(QStringLiteral("[\"ready\"]")); })) << "no stand-in portal";
    }
    ~StandIn()
    {
        m_process.kill();
        m_process.waitForFinished();
        waitFor([] {
            return !QDBusConnection::sessionBus().interface()->isServiceRegistered(
                QStringLiteral("org.freedesktop.portal.Desktop"));
        });
    }
    // The logged calls, each as a JSON array in one line.
    QStringList lines()
    {
        m_log += QString::fromUtf8(m_process.readAllStandardOutput());
        return m_log.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    QJsonArray call(const QString &method)
    {
        for (const QString &line : lines()) {
            const QJsonArray call = QJsonDocument::fromJson(line.toUtf8()).array();
            if (call.first().toString() == method)
                return call;
        }
        return {};
    }
    QStringList methods()
    {
        QStringList names;
        for (const QString &line : lines())
            names << QJsonDocument::fromJson(line.toUtf8()).array().first().toString();
        names.removeAll(QStringLiteral("ready"));
        return names;
    }
    QStringList keysyms()
    {
        QStringList sent;
        for (const QString &line : lines()) {
            const QJsonArray call = QJsonDocument::fromJson(line.toUtf8()).array();
            if (call.first().toString() == QLatin1String("NotifyKeyboardKeysym"))
                sent << QStringLiteral("%1:%2").arg(call[2].toInteger(), 0, 16).arg(call[3].toInt());
        }
        return sent;
    }

private:
    QProcess m_process;
    QString m_log;
};

const QStringList kNotify = {QStringLiteral("NotifyKeyboardKeysym")};

TEST(PortalTypist, AsksOnceThenTypesEachKeysymAsPressAndRelease)
{
    struct Row {
        const char *name;
        QStringList options;
        QString storedToken;
        bool refused;
        QStringList methods;
        QStringList keysyms;
        QJsonValue persistMode;  // Undefined: not sent
        QJsonValue restoreToken;
        QString keptToken;
    };
    // A lone Shift first: the desktop's new keyboard drops its first keys.
    const QStringList typed = {QStringLiteral("ffe1:1"),    QStringLiteral("ffe1:0"),   QStringLiteral("e9:1"),
                               QStringLiteral("e9:0"),      QStringLiteral("101f600:1"), QStringLiteral("101f600:0")};
    const QStringList flow = {QStringLiteral("CreateSession"), QStringLiteral("SelectDevices"), QStringLiteral("Start")};
    const Row rows[] = {
        {"version 2, first consent", {}, {}, false, flow + kNotify + kNotify + kNotify + kNotify + kNotify + kNotify, typed, 2,
         QJsonValue::Undefined, QStringLiteral("fresh-token")},
        {"version 2, consent restored, a fresh token kept", {}, QStringLiteral("old-token"), false,
         flow + kNotify + kNotify + kNotify + kNotify + kNotify + kNotify, typed, 2, QStringLiteral("old-token"), QStringLiteral("fresh-token")},
        {"version 1 gets no persist_mode", {QStringLiteral("--version"), QStringLiteral("1")}, QStringLiteral("old"), false,
         flow + kNotify + kNotify + kNotify + kNotify + kNotify + kNotify, typed, QJsonValue::Undefined, QJsonValue::Undefined, {}},
        {"Response before the reply", {QStringLiteral("--early")}, {}, false, flow + kNotify + kNotify + kNotify + kNotify + kNotify + kNotify,
         typed, 2, QJsonValue::Undefined, QStringLiteral("fresh-token")},
        {"user cancels: nothing sent", {QStringLiteral("--refuse")}, {}, true, flow, {}, 2, QJsonValue::Undefined, {}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        StandIn portal(row.options);
        QString kept;
        PortalTypist typist(QDBusConnection::sessionBus(), row.storedToken, [&](const QString &t) { kept = t; });
        typist.setSettleDelay(0);
        bool ended = false;
        QObject::connect(&typist, &Typist::ended, [&] { ended = true; });
        ASSERT_TRUE(PortalTypist::available(QDBusConnection::sessionBus()));
        // Typed before consent: waits for the session, then goes out in order.
        typist.type({0xe9, 0x0101f600});
        if (row.refused) {
            ASSERT_TRUE(waitFor([&] { return ended; }));
            EXPECT_EQ(typist.state(), PortalTypist::State::Refused);
            typist.type({0xe9});
            QCoreApplication::processEvents();
        } else {
            ASSERT_TRUE(waitFor([&] { return portal.keysyms().size() == 6; })) << portal.lines().join(u'\n').toStdString();
        }
        EXPECT_EQ(portal.methods(), row.methods);
        EXPECT_EQ(portal.keysyms(), row.keysyms);
        const QJsonObject select = portal.call(QStringLiteral("SelectDevices"))[2].toObject();
        EXPECT_EQ(select.value(QStringLiteral("types")), QJsonValue(1));
        EXPECT_EQ(select.value(QStringLiteral("persist_mode")), row.persistMode);
        EXPECT_EQ(select.value(QStringLiteral("restore_token")), row.restoreToken);
        EXPECT_EQ(kept, row.keptToken);
        EXPECT_EQ(ended, row.refused);
    }
}

// The `us` layout, as the desktop's keyboard map holds it: ASCII and the modifiers.
bool usLayoutHas(Keysym keysym) { return (keysym >= 0x20 && keysym <= 0x7e) || keysym == 0xffe1 || keysym == 0xffe3 || keysym == 0xff0d; }

QStringList keysOf(std::initializer_list<const char *> keys)
{
    QStringList list;
    for (const char *key : keys)
        list << QString::fromLatin1(key);
    return list;
}

TEST(PortalTypist, ClickedDuringTheQuestionTypesAfterItWhatTheLayoutLacksByUnicodeEntryOrReportsIt)
{
    struct Row {
        const char *name;
        bool unicodeEntry;
        QStringList keysyms;  // after the wake-up Shift
        std::u32string notTyped;
    };
    // "a€": a is on the layout; € (EuroSign 0x20ac) is not.
    const Row rows[] = {
        {"Unicode entry taken", true,
         keysOf({"61:1", "61:0", "ffe3:1", "ffe1:1", "75:1", "75:0", "ffe1:0", "ffe3:0", "32:1", "32:0", "30:1", "30:0",
                 "61:1", "61:0", "63:1", "63:0", "ff0d:1", "ff0d:0"}),
         {}},
        {"no Unicode entry: reported, nothing else sent", false, keysOf({"61:1", "61:0"}), U"€"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        StandIn portal({QStringLiteral("--early")});
        PortalTypist typist(QDBusConnection::sessionBus(), {}, {});
        typist.setKeyboard(usLayoutHas, row.unicodeEntry);
        typist.setSettleDelay(50);
        std::u32string notTyped;
        QObject::connect(&typist, &Typist::notTyped, [&](const std::u32string &c) { notTyped += c; });
        typist.start();
        typist.typeText(U"a€");  // while the question is open
        const QStringList expected = keysOf({"ffe1:1", "ffe1:0"}) + row.keysyms;
        ASSERT_TRUE(waitFor([&] { return portal.keysyms().size() >= expected.size(); }));
        waitFor([] { return false; }, 100);
        EXPECT_EQ(portal.keysyms(), expected);
        EXPECT_EQ(notTyped, row.notTyped);
    }
}

TEST(PortalTypist, RefusedOrClosedByTheDesktopEndsTypingLosesNothingAndTheNextStartAsksAgain)
{
    {
        SCOPED_TRACE("the user refuses: what waited is reported");
        StandIn portal({QStringLiteral("--refuse")});
        PortalTypist typist(QDBusConnection::sessionBus(), {}, {});
        std::u32string notTyped;
        QObject::connect(&typist, &Typist::notTyped, [&](const std::u32string &c) { notTyped += c; });
        typist.typeText(U"é");
        ASSERT_TRUE(waitFor([&] { return typist.state() == PortalTypist::State::Refused; }));
        EXPECT_EQ(notTyped, U"é");
    }
    {
        SCOPED_TRACE("the desktop stops sharing after the first key");
        StandIn portal({QStringLiteral("--close-after"), QStringLiteral("4")});
        PortalTypist typist(QDBusConnection::sessionBus(), {}, {});
        typist.setSettleDelay(0);
        int closed = 0;
        int ended = 0;
        QObject::connect(&typist, &Typist::closedByDesktop, [&] { ++closed; });
        QObject::connect(&typist, &Typist::ended, [&] { ++ended; });
        typist.typeText(U"a");
        ASSERT_TRUE(waitFor([&] { return ended == 1; }));
        EXPECT_EQ(closed, 1);
        EXPECT_EQ(typist.state(), PortalTypist::State::Idle);
        // Turned on again, it asks again.
        typist.typeText(U"b");
        ASSERT_TRUE(waitFor([&] { return portal.keysyms().contains(QStringLiteral("62:0")); }));
        EXPECT_EQ(portal.methods().count(QStringLiteral("Start")), 2);
        EXPECT_EQ(portal.methods().count(QStringLiteral("Close")), 0);
    }
}

TEST(PortalTypist, IsNotOfferedWhereNoPortalAnswers)
{
    EXPECT_FALSE(PortalTypist::available(QDBusConnection::sessionBus()));
}

} // namespace
} // namespace umbrill
