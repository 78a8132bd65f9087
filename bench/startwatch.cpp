// Watches a program start on an X server, from outside the program: the time
// from starting it to its first top-level window being mapped and to that
// window's first paint, and its peak resident memory. Optionally it then opens
// the Language dialog with the keyboard (Alt+L), picks a row and presses
// Return, and times the load until the window has grown and its keys are painted.
//
// Usage: startwatch [--settle MS] [--timeout MS] [--language DOWNS] -- program [args...]
//
// Prints one line of name=value pairs (times in milliseconds, memory in KiB):
//   map_ms paint_ms cpu_ms hwm_kb [dialog_ms load_grown_ms load_painted_ms hwm_loaded_kb]
// and exits 0, or prints the reason and exits 1. cpu_ms is the CPU time (user
// and system) the program had used when its first window was painted.
//
// Run it on a private X server with no other client: every new top-level window
// is taken to be the program's. Paints are seen through the DAMAGE extension,
// watched on each top-level window from its creation, so no paint is missed.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <set>
#include <string>
#include <vector>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) { return std::chrono::duration<double, std::milli>(Clock::now() - start).count(); }

[[noreturn]] void fail(const std::string &why)
{
    std::fprintf(stderr, "startwatch: %s\n", why.c_str());
    std::exit(1);
}

// A window may vanish between its creation and our request about it.
int ignoreXErrors(Display *, XErrorEvent *) { return 0; }

long statusKiB(pid_t pid, const char *field)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
    return -1;
}

// User and system CPU time of a running process, in milliseconds.
double cpuMs(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')'); // the command name may hold blanks
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int n = 3; fields >> field; ++n) {
        if (n == 14)
            utime = std::stoull(field);
        else if (n == 15) {
            stime = std::stoull(field);
            break;
        }
    }
    return 1000.0 * static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

class Watch {
public:
    Watch(int settleMs, int timeoutMs) : m_settleMs(settleMs), m_timeoutMs(timeoutMs)
    {
        m_display = XOpenDisplay(nullptr);
        if (!m_display)
            fail("cannot open the display");
        XSetErrorHandler(ignoreXErrors);
        int major = 0;
        if (!XDamageQueryExtension(m_display, &m_damageEvent, &m_damageError) || !XTestQueryExtension(m_display, &major, &major, &major, &major))
            fail("the X server lacks DAMAGE or XTEST");
        m_root = DefaultRootWindow(m_display);
        XSelectInput(m_display, m_root, SubstructureNotifyMask);
        XSync(m_display, False);
    }

    ~Watch()
    {
        if (m_child > 0) {
            kill(m_child, SIGKILL);
            waitpid(m_child, nullptr, 0);
        }
        XCloseDisplay(m_display);
    }

    void start(char **argv)
    {
        m_start = Clock::now();
        if (posix_spawn(&m_child, argv[0], nullptr, nullptr, argv, environ) != 0)
            fail(std::string("cannot start ") + argv[0]);
    }

    // Waits for the first top-level window to be mapped, then for its first paint.
    void firstWindow()
    {
        waitFor([&](const XEvent &e) {
            if (e.type == MapNotify && e.xmap.event == m_root && !e.xmap.override_redirect) {
                m_main = e.xmap.window;
                return true;
            }
            return false;
        });
        m_mapMs = msSince(m_start);
        waitFor([&](const XEvent &e) { return isDamage(e, m_main); });
        m_paintMs = msSince(m_start);
        m_cpuMs = cpuMs(m_child);
    }

    // Lets the program settle (a paint may follow), then reads its peak memory.
    long settledPeakKiB()
    {
        pump(m_settleMs);
        return statusKiB(m_child, "VmHWM");
    }

    // Opens the Language dialog, moves down the list and presses Return.
    void loadLanguage(int downs)
    {
        XWindowAttributes before{};
        XGetWindowAttributes(m_display, m_main, &before);
        const int oldWidth = before.width;
        const int oldHeight = before.height;

        focus(m_main);
        const Clock::time_point asked = Clock::now();
        key(XK_l, XK_Alt_L);
        Window dialog = 0;
        waitFor([&](const XEvent &e) {
            if (e.type == MapNotify && e.xmap.event == m_root && !e.xmap.override_redirect && e.xmap.window != m_main) {
                dialog = e.xmap.window;
                return true;
            }
            return false;
        });
        waitFor([&](const XEvent &e) { return isDamage(e, dialog); });
        m_dialogMs = msSince(asked);
        focus(dialog);
        pump(50);
        for (int i = 0; i < downs; ++i)
            key(XK_Down);
        pump(20);

        const Clock::time_point pressed = Clock::now();
        key(XK_Return);
        waitFor([&](const XEvent &e) {
            return e.type == ConfigureNotify && e.xconfigure.window == m_main
                   && (e.xconfigure.width > oldWidth || e.xconfigure.height > oldHeight);
        });
        m_grownMs = msSince(pressed);
        // The keys are painted when a paint reaches below or right of the old size.
        waitFor([&](const XEvent &e) {
            if (!isDamage(e, m_main))
                return false;
            const auto &area = reinterpret_cast<const XDamageNotifyEvent &>(e).area;
            return area.y + area.height > oldHeight || area.x + area.width > oldWidth;
        });
        m_loadPaintedMs = msSince(pressed);
    }

    void stop()
    {
        kill(m_child, SIGTERM);
        waitpid(m_child, nullptr, 0);
        m_child = -1;
    }

    double mapMs() const { return m_mapMs; }
    double paintMs() const { return m_paintMs; }
    double cpuAtPaintMs() const { return m_cpuMs; }
    double dialogMs() const { return m_dialogMs; }
    double grownMs() const { return m_grownMs; }
    double loadPaintedMs() const { return m_loadPaintedMs; }

private:
    bool isDamage(const XEvent &e, Window window) const
    {
        return e.type == m_damageEvent + XDamageNotify && reinterpret_cast<const XDamageNotifyEvent &>(e).drawable == window;
    }

    // Every new top-level window is watched for paints from its creation on.
    void note(const XEvent &e)
    {
        if (e.type == CreateNotify && e.xcreatewindow.parent == m_root && !m_watched.count(e.xcreatewindow.window)) {
            m_watched.insert(e.xcreatewindow.window);
            XDamageCreate(m_display, e.xcreatewindow.window, XDamageReportRawRectangles);
            XFlush(m_display);
        }
    }

    // The next event, or false when waitMs (from now) passes first.
    bool next(XEvent &event, Clock::time_point deadline)
    {
        for (;;) {
            if (XPending(m_display)) {
                XNextEvent(m_display, &event);
                note(event);
                return true;
            }
            int status = 0;
            if (m_child > 0 && waitpid(m_child, &status, WNOHANG) == m_child) {
                m_child = -1;
                fail("the program ended before it was measured");
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                return false;
            pollfd fd{ConnectionNumber(m_display), POLLIN, 0};
            poll(&fd, 1, static_cast<int>(std::min<long long>(left, 20)));
        }
    }

    void waitFor(const std::function<bool(const XEvent &)> &done)
    {
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(m_timeoutMs);
        XEvent event;
        for (;;) {
            if (!next(event, deadline))
                fail("timed out");
            if (done(event))
                return;
        }
    }

    void pump(int ms)
    {
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(ms);
        XEvent event;
        while (next(event, deadline)) {
        }
    }

    void focus(Window window)
    {
        XSetInputFocus(m_display, window, RevertToPointerRoot, CurrentTime);
        XSync(m_display, False);
    }

    void key(KeySym symbol, KeySym modifier = NoSymbol)
    {
        const KeyCode code = XKeysymToKeycode(m_display, symbol);
        const KeyCode mod = modifier == NoSymbol ? 0 : XKeysymToKeycode(m_display, modifier);
        if (mod)
            XTestFakeKeyEvent(m_display, mod, True, 0);
        XTestFakeKeyEvent(m_display, code, True, 0);
        XTestFakeKeyEvent(m_display, code, False, 0);
        if (mod)
            XTestFakeKeyEvent(m_display, mod, False, 0);
        XSync(m_display, False);
    }

    Display *m_display = nullptr;
    Window m_root = 0;
    Window m_main = 0;
    int m_damageEvent = 0;
    int m_damageError = 0;
    int m_settleMs;
    int m_timeoutMs;
    pid_t m_child = -1;
    Clock::time_point m_start;
    std::set<Window> m_watched;
    double m_mapMs = 0, m_paintMs = 0, m_cpuMs = 0, m_dialogMs = 0, m_grownMs = 0, m_loadPaintedMs = 0;
};

} // namespace

int main(int argc, char **argv)
{
    int settleMs = 300;
    int timeoutMs = 20000;
    int downs = -1;
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc)
            fail("option " + option + " needs a value");
        const int value = std::atoi(argv[++i]);
        if (option == "--settle")
            settleMs = value;
        else if (option == "--timeout")
            timeoutMs = value;
        else if (option == "--language")
            downs = value;
        else
            fail("unknown option " + option);
    }
    if (i + 1 >= argc)
        fail("usage: startwatch [--settle MS] [--timeout MS] [--language DOWNS] -- program [args...]");

    Watch watch(settleMs, timeoutMs);
    watch.start(argv + i + 1);
    watch.firstWindow();
    const long hwm = watch.settledPeakKiB();
    std::printf("map_ms=%.2f paint_ms=%.2f cpu_ms=%.0f hwm_kb=%ld", watch.mapMs(), watch.paintMs(), watch.cpuAtPaintMs(), hwm);
    if (downs >= 0) {
        watch.loadLanguage(downs);
        const long loadedHwm = watch.settledPeakKiB();
        std::printf(" dialog_ms=%.2f load_grown_ms=%.2f load_painted_ms=%.2f hwm_loaded_kb=%ld", watch.dialogMs(),
                    watch.grownMs(), watch.loadPaintedMs(), loadedHwm);
    }
    std::printf("\n");
    watch.stop();
    return 0;
}
