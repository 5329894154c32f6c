// The window's cost: start-up time, and CPU share and memory while the
// simulator floods it with interrupt reports at line rate and at full speed.
// Usage: window_load [SECONDS]   (default 60 per flood)
#include "app/mainwindow.h"
#include "processstats.h"
#include "simwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>

#include <cstdio>

namespace {

void flood(const char* name, const QStringList& simArgs, int seconds) {
    SimWindow rig;
    if (!rig.start(simArgs)) {
        std::printf("%s: the simulator did not start\n", name);
        return;
    }
    rig.window->show();
    if (!QTest::qWaitForWindowExposed(rig.window.get())) std::printf("%s: not shown\n", name);
    rig.choose("portselect", 8);
    // The simulator floods a client it has seen connect: the power-up report.
    for (int i = 0; i < 200 && rig.view().isEmpty(); ++i)
        QTest::qWait(50);
    QSignalSpy arrivals(&rig.port, &serial::Port::dataArrived);
    rig.sim.command("flood 1000000000");
    QTest::qWait(1000); // let the view fill before measuring
    std::printf("%s\n  second  cpu%%  rss MB\n", name);
    const double cpu0 = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    double lastCpu = cpu0;
    for (int s = 10; s <= seconds; s += 10) {
        QTest::qWait(int(s * 1000 - clock.elapsed()));
        const double cpu = cpuSeconds();
        std::printf("  %6d  %4.1f  %6.1f\n", s, 100 * (cpu - lastCpu) / 10, residentMb());
        lastCpu = cpu;
    }
    const double wall = double(clock.elapsed()) / 1000;
    const qsizetype lines = rig.view().count('\n');
    std::printf("  mean %.2f %% of one core over %.0f s, %lld arrivals, view %lld lines, "
                "peak %.1f MB\n\n",
                100 * (cpuSeconds() - cpu0) / wall, wall, (long long)arrivals.count(),
                (long long)lines, peakMb());
    rig.sim.command("reset");
}

} // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer startup;
    startup.start();
    QApplication application(argc, argv);
    const int seconds = argc > 1 ? std::max(10, std::atoi(argv[1])) : 60;
    {
        // From the process's start to the window on screen, as a user waits for it.
        SimWindow rig;
        rig.window->show();
        if (!QTest::qWaitForWindowExposed(rig.window.get())) return 1;
        std::printf("start-up: %.1f ms to the window shown (%.1f MB resident)\n\n",
                    double(startup.nsecsElapsed()) / 1e6, residentMb());
    }
    flood("flood at line rate (i2csim --line-rate)", {"--line-rate"}, seconds);
    flood("flood at full speed", {}, seconds);
    return 0;
}
