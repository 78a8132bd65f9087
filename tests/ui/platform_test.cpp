// The platform's own pieces: the one listener that turns SIGINT, SIGTERM and
// SIGHUP into an orderly quit, and the reader of X window properties, against
// an X server of the test's own.
#include "ui/platform/quitonsignal.h"

#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

// Xlib after Qt: its macros (None, Bool, Status) would break Qt's headers.
#include "ui/platform/x11property.h"

#include <X11/Xatom.h>

extern char **environ;

namespace umbrill::test {
namespace {

std::atomic<int> g_hangupsBefore{0};
void countHangup(int) { ++g_hangupsBefore; }

// A handler of the test's own in place for SIGHUP, and the one before it back
// at the end.
class HangupHandler {
public:
    HangupHandler()
    {
        struct sigaction counting {};
        counting.sa_handler = countHangup;
        sigemptyset(&counting.sa_mask);
        sigaction(SIGHUP, &counting, &m_before);
    }
    ~HangupHandler() { sigaction(SIGHUP, &m_before, nullptr); }

private:
    struct sigaction m_before {};
};

TEST(QuitOnSignal, OneInstanceTellsEachListenerInTheEventLoopAndHandsTheSignalBackWhenItEnds)
{
    HangupHandler before;
    g_hangupsBefore = 0;
    QuitOnSignal &quit = QuitOnSignal::instance();
    EXPECT_EQ(&QuitOnSignal::instance(), &quit);
    int pad = 0;
    int typist = 0;
    QObject typistSide;
    QObject::connect(&quit, &QuitOnSignal::signalled, [&pad] { ++pad; });
    const QMetaObject::Connection typing =
        QObject::connect(&quit, &QuitOnSignal::signalled, &typistSide, [&typist] { ++typist; });

    std::raise(SIGHUP);
    EXPECT_EQ(pad, 0) << "told from the event loop, not from the handler";
    EXPECT_TRUE(QTest::qWaitFor([&] { return pad == 1; }, 5000));
    EXPECT_EQ(typist, 1);
    EXPECT_EQ(g_hangupsBefore.load(), 0);

    // A listener that left is not told; two signals at once tell the rest at least once.
    QObject::disconnect(typing);
    std::raise(SIGTERM);
    std::raise(SIGINT);
    EXPECT_TRUE(QTest::qWaitFor([&] { return pad >= 2; }, 5000));
    EXPECT_EQ(typist, 1);

    delete &quit;
    std::raise(SIGHUP);
    EXPECT_EQ(g_hangupsBefore.load(), 1) << "the handler before is back";

    // Asked for again, there is one again, and it listens.
    int again = 0;
    QObject::connect(&QuitOnSignal::instance(), &QuitOnSignal::signalled, &typistSide, [&again] { ++again; });
    std::raise(SIGHUP);
    EXPECT_TRUE(QTest::qWaitFor([&] { return again == 1; }, 5000));
    EXPECT_EQ(g_hangupsBefore.load(), 1);
    delete &QuitOnSignal::instance();
}

// An X server of the test's own (Xvfb), and a connection to it.
class PrivateXServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const std::string fd = std::to_string(ready[1]);
        const char *argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-noreset", nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, ready[0]);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const int spawned = posix_spawnp(&m_server, "Xvfb", &actions, nullptr, const_cast<char **>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(ready[1]);
        if (spawned != 0) {
            ::close(ready[0]);
            m_server = -1;
            GTEST_SKIP() << "Xvfb is missing (tools/install-deps.sh installs it)";
        }
        std::string number;
        char c = 0;
        while (::read(ready[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(ready[0]);
        ASSERT_FALSE(number.empty()) << "Xvfb did not start";
        m_display = XOpenDisplay((":" + number).c_str());
        ASSERT_NE(m_display, nullptr);
        m_root = DefaultRootWindow(m_display);
    }
    void TearDown() override
    {
        if (m_display)
            XCloseDisplay(m_display);
        if (m_server > 0) {
            ::kill(m_server, SIGTERM);
            ::waitpid(m_server, nullptr, 0);
        }
    }

    Atom atom(const char *name) { return XInternAtom(m_display, name, False); }
    void set(const char *name, Atom type, int format, const void *data, int count)
    {
        XChangeProperty(m_display, m_root, atom(name), type, format, PropModeReplace,
                        static_cast<const unsigned char *>(data), count);
        XSync(m_display, False);
    }

    pid_t m_server = -1;
    Display *m_display = nullptr;
    Window m_root = 0;
};

TEST_F(PrivateXServer, APropertyReadsAsItsItemsOnlyWithTheTypeAndFormatAsked)
{
    const long lent[] = {93, 0x20ac, 94, 0x3b1};  // Xlib takes format-32 items as longs
    set("UMBRILL_TEST_LIST", XA_CARDINAL, 32, lent, 4);
    const char names[] = "evdev\0pc105\0us,de\0\0";
    set("UMBRILL_TEST_NAMES", XA_STRING, 8, names, sizeof names - 1);

    {
        const X11Property list(m_display, m_root, atom("UMBRILL_TEST_LIST"), XA_CARDINAL, 32, 4096);
        ASSERT_EQ(list.longs().size(), 4u);
        EXPECT_EQ(list.longs()[1], 0x20ac);
        EXPECT_EQ(list.longs()[3], 0x3b1);
        EXPECT_TRUE(list.bytes().empty());
    }
    {
        const X11Property first(m_display, m_root, atom("UMBRILL_TEST_LIST"), XA_CARDINAL, 32, 1);
        ASSERT_EQ(first.longs().size(), 1u);
        EXPECT_EQ(first.longs()[0], 93);
    }
    {
        const X11Property text(m_display, m_root, atom("UMBRILL_TEST_NAMES"), XA_STRING, 8, 1024);
        EXPECT_EQ(text.bytes(), std::string_view(names, sizeof names - 1));
        EXPECT_TRUE(text.longs().empty());
    }
    struct Row {
        const char *name;
        const char *property;
        Atom type;
        int format;
    };
    const Row nothing[] = {
        {"missing", "UMBRILL_TEST_MISSING", XA_CARDINAL, 32},
        {"another type", "UMBRILL_TEST_LIST", XA_WINDOW, 32},
        {"another format", "UMBRILL_TEST_LIST", XA_CARDINAL, 8},
        {"text asked as numbers", "UMBRILL_TEST_NAMES", XA_STRING, 32},
    };
    for (const Row &row : nothing) {
        SCOPED_TRACE(row.name);
        const X11Property read(m_display, m_root, atom(row.property), row.type, row.format, 4096);
        EXPECT_TRUE(read.longs().empty());
        EXPECT_TRUE(read.bytes().empty());
    }
}

} // namespace
} // namespace umbrill::test
