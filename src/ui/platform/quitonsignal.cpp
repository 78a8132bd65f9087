// The self-pipe that turns SIGINT, SIGTERM and SIGHUP into an orderly quit.
#include "ui/platform/quitonsignal.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <array>
#include <atomic>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace umbrill {

namespace {

constexpr std::array<int, 3> kSignals = {SIGINT, SIGTERM, SIGHUP};

// Made with the first instance and never closed, so that the handler never
// writes to a descriptor that has come to mean something else; written to
// only while an instance listens.
std::array<int, 2> g_pipe = {-1, -1};
std::atomic<bool> g_listening{false};
std::array<struct sigaction, kSignals.size()> g_before{};
QuitOnSignal *g_instance = nullptr;

void onSignal(int signal)
{
    const char byte = static_cast<char>(signal);
    if (g_listening.load())
        [[maybe_unused]] const auto written = ::write(g_pipe[1], &byte, 1);
}

void drain(int fd)
{
    char bytes[16];
    while (::read(fd, bytes, sizeof bytes) > 0) {
    }
}

} // namespace

QuitOnSignal &QuitOnSignal::instance()
{
    if (!g_instance)
        g_instance = new QuitOnSignal;
    return *g_instance;
}

QuitOnSignal::QuitOnSignal() : QObject(QCoreApplication::instance())
{
    // Without a pipe no signal reaches the program this way: the signals keep
    // their handlers.
    if (g_pipe[0] < 0 && ::pipe2(g_pipe.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        g_pipe = {-1, -1};
        return;
    }
    drain(g_pipe[0]); // what an instance before this one left unread
    auto *notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        drain(g_pipe[0]);
        emit signalled();
        QCoreApplication::quit();
    });
    g_listening.store(true);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &action, &g_before[i]);
}

QuitOnSignal::~QuitOnSignal()
{
    if (g_instance == this)
        g_instance = nullptr;
    if (!g_listening.exchange(false))
        return;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &g_before[i], nullptr);
}

} // namespace umbrill
