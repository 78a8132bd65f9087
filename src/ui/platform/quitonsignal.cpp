// The self-pipes that turn SIGINT, SIGTERM and SIGHUP into an orderly quit.
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

// One pipe per slot, made when the slot is first taken and never closed, so
// that the handler never writes to a descriptor that has come to mean
// something else; a slot is told only while an instance listens on it.
constexpr std::size_t kSlots = 8;
std::array<std::array<int, 2>, kSlots> g_pipes = [] {
    std::array<std::array<int, 2>, kSlots> pipes;
    for (auto &ends : pipes)
        ends = {-1, -1};
    return pipes;
}();
std::array<std::atomic<bool>, kSlots> g_listening{};
int g_living = 0;
std::array<struct sigaction, kSignals.size()> g_before{};

void onSignal(int signal)
{
    const char byte = static_cast<char>(signal);
    for (std::size_t i = 0; i < kSlots; ++i) {
        if (g_listening[i].load())
            [[maybe_unused]] const auto written = ::write(g_pipes[i][1], &byte, 1);
    }
}

void drain(int fd)
{
    char bytes[16];
    while (::read(fd, bytes, sizeof bytes) > 0) {
    }
}

} // namespace

QuitOnSignal::QuitOnSignal(QObject *parent) : QObject(parent)
{
    for (std::size_t i = 0; i < kSlots && m_slot < 0; ++i) {
        if (!g_listening[i].load())
            m_slot = static_cast<int>(i);
    }
    if (m_slot < 0)
        return;
    std::array<int, 2> &ends = g_pipes[m_slot];
    if (ends[0] < 0 && ::pipe2(ends.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        ends = {-1, -1};
        m_slot = -1;
        return;
    }
    drain(ends[0]); // what an earlier instance left unread
    m_notifier = new QSocketNotifier(ends[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        drain(g_pipes[m_slot][0]);
        emit signalled();
        QCoreApplication::quit();
    });
    g_listening[m_slot].store(true);
    if (g_living++ > 0)
        return;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &action, &g_before[i]);
}

QuitOnSignal::~QuitOnSignal()
{
    if (m_slot < 0)
        return;
    g_listening[m_slot].store(false);
    if (--g_living == 0) {
        for (std::size_t i = 0; i < kSignals.size(); ++i)
            sigaction(kSignals[i], &g_before[i], nullptr);
    }
}

} // namespace umbrill
