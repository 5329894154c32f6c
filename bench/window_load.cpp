// The window's cost while the simulator floods it with interrupt reports:
// CPU share of one core, resident memory, and the longest time the event
// loop did not answer; or the start-up time. One configuration a run, on the
// platform Qt was given (offscreen, or xcb under Xvfb: real painting).
//
// With --picture the bus picture is shown over the views while they stream.
// Usage: window_load [--seconds N] [--write-size N] [--full-speed] [--picture]
//        window_load --startup
// Prints a line of name=value pairs after the readable lines.
#include "app/activityview.h"
#include "app/mainwindow.h"
#include "processstats.h"
#include "simwindow.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalSpy>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

// Waits with events flowing, without the polling of QTest::qWait, whose
// wake-ups would count against the window.
void waitFor(int ms) {
    if (ms <= 0) return;
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

constexpr int kSampleSeconds = 10;
constexpr int kTickMs = 20;

// Seconds since this process was started, from the kernel's own record.
double sinceProcessStart() {
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly)) return -1;
    const QByteArray text = stat.readAll();
    // Fields after the command's name, which may hold blanks, in parentheses.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 20) return -1;
    const double started = fields[19].toDouble() / double(::sysconf(_SC_CLK_TCK));
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9 - started;
}

// The longest time between two ticks of a timer that asks for one every
// kTickMs, less kTickMs: how long the event loop did not answer.
class StallWatch : public QObject {
  public:
    StallWatch() {
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            m_longest = std::max(m_longest, m_since.nsecsElapsed() / 1e6 - kTickMs);
            m_since.start();
        });
    }
    void start() {
        m_longest = 0;
        m_since.start();
        m_timer.start(kTickMs);
    }
    double longestMs() const { return m_longest; }

  private:
    QTimer m_timer;
    QElapsedTimer m_since;
    double m_longest = 0;
};

int startup(const QElapsedTimer& fromMain) {
    SimWindow rig;
    rig.window->show();
    if (!QTest::qWaitForWindowExposed(rig.window.get())) return 1;
    std::printf("start-up: %.0f ms from process start to the window shown (%.1f ms of it after "
                "main began), %.1f MB resident\n",
                1000 * sinceProcessStart(), double(fromMain.nsecsElapsed()) / 1e6, residentMb());
    std::printf("RESULT platform=%s startup_ms=%.0f rss_mb=%.1f\n",
                qPrintable(QApplication::platformName()), 1000 * sinceProcessStart(), residentMb());
    return 0;
}

int flood(int seconds, int writeSize, bool fullSpeed, bool picture) {
    QStringList args;
    if (!fullSpeed) args << "--line-rate";
    if (writeSize > 0) args << "--write-size" << QString::number(writeSize);
    SimWindow rig;
    if (!rig.start(args)) {
        std::printf("the simulator did not start\n");
        return 1;
    }
    rig.window->show();
    if (!QTest::qWaitForWindowExposed(rig.window.get())) return 1;
    rig.choose("portselect", 8);
    if (picture) rig.trigger(QStringLiteral("Show as picture"));
    // The simulator floods a client it has seen connect: the power-up report.
    for (int i = 0; i < 200 && rig.view().isEmpty(); ++i)
        QTest::qWait(50);
    rig.sim.command("flood 1000000000");
    // Measured once the view is full: from then on it only turns over.
    for (int i = 0; i < 300 && rig.view().count('\n') < app::kMaxActivityLines; ++i)
        QTest::qWait(100);
    QSignalSpy arrivals(&rig.port, &serial::Port::dataArrived);
    StallWatch stalls;
    stalls.start();
    std::printf("%s, write size %s, %s\n  second  cpu%%  rss MB\n",
                fullSpeed ? "full speed" : "line rate",
                writeSize > 0 ? qPrintable(QString::number(writeSize)) : "as due",
                qPrintable(QApplication::platformName()));
    const double cpu0 = cpuSeconds();
    double lastCpu = cpu0, highest = 0, firstRss = 0, lastRss = 0;
    QElapsedTimer clock;
    clock.start();
    for (int s = kSampleSeconds; s <= seconds; s += kSampleSeconds) {
        waitFor(int(s * 1000 - clock.elapsed()));
        const double cpu = cpuSeconds();
        const double share = 100 * (cpu - lastCpu) / kSampleSeconds;
        lastRss = residentMb();
        if (s == kSampleSeconds) firstRss = lastRss;
        highest = std::max(highest, share);
        std::printf("  %6d  %4.1f  %6.1f\n", s, share, lastRss);
        lastCpu = cpu;
    }
    const double wall = double(clock.elapsed()) / 1000;
    const double mean = 100 * (cpuSeconds() - cpu0) / wall;
    const qsizetype lines = rig.view().count('\n');
    std::printf("  mean %.2f %% of one core over %.0f s, %lld arrivals, view %lld lines, "
                "peak %.1f MB, longest stall %.1f ms\n",
                mean, wall, (long long)arrivals.count(), (long long)lines, peakMb(),
                stalls.longestMs());
    // Whether a platform accessibility bridge listened (an AT-SPI bus and
    // QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1, or a screen reader running).
    std::printf("RESULT platform=%s a11y=%s picture=%s speed=%s write=%s cpu_mean=%.2f "
                "cpu_max=%.2f rss_first=%.1f rss_last=%.1f rss_peak=%.1f stall_ms=%.1f "
                "arrivals=%lld\n",
                qPrintable(QApplication::platformName()), QAccessible::isActive() ? "on" : "off",
                picture ? "on" : "off", fullSpeed ? "full" : "line",
                writeSize > 0 ? qPrintable(QString::number(writeSize)) : "default", mean, highest,
                firstRss, lastRss, peakMb(), stalls.longestMs(), (long long)arrivals.count());
    rig.sim.command("reset");
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer fromMain;
    fromMain.start();
    QApplication application(argc, argv);
    int seconds = 60, writeSize = 0;
    bool fullSpeed = false, picture = false;
    for (int i = 1; i < argc; ++i) {
        const bool more = i + 1 < argc;
        if (!std::strcmp(argv[i], "--startup")) return startup(fromMain);
        if (!std::strcmp(argv[i], "--full-speed")) {
            fullSpeed = true;
        } else if (!std::strcmp(argv[i], "--picture")) {
            picture = true;
        } else if (!std::strcmp(argv[i], "--seconds") && more) {
            seconds = std::max(kSampleSeconds, std::atoi(argv[++i]));
        } else if (!std::strcmp(argv[i], "--write-size") && more) {
            writeSize = std::max(0, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: window_load [--seconds N] [--write-size N] "
                                 "[--full-speed] [--picture] | --startup\n");
            return 2;
        }
    }
    return flood(seconds, writeSize, fullSpeed, picture);
}
