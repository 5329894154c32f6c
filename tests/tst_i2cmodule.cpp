// i2cscript against the module simulator over a real pseudo-terminal.
#include "library/examples.h"
#include "simprocess.h"
#include "util/system.h"

#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>
#endif

struct Outcome {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// setpriv when this test may run a program as the unprivileged user
// "nobody", else nothing.
static QString setprivForNobody() {
#ifdef Q_OS_UNIX
    if (::geteuid() == 0) return QStandardPaths::findExecutable("setpriv");
#endif
    return {};
}

static void startI2cscript(QProcess& p, const QStringList& args, bool asNobody = false) {
    if (asNobody)
        p.start(setprivForNobody(),
                QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", I2CSCRIPT} + args);
    else
        p.start(I2CSCRIPT, args);
}

// Runs i2cscript with "{port}" in the arguments standing for the device.
static Outcome i2cscript(const SimProcess& sim, QStringList args, const QByteArray& input = {},
                         bool asNobody = false) {
    args.replaceInStrings("{port}", sim.device);
    QProcess p;
    startI2cscript(p, args, asNobody);
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(5000)) p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

#define EXPECT(outcome, wantStatus, wantOut)                                                       \
    do {                                                                                           \
        const Outcome o_ = (outcome);                                                              \
        QVERIFY2(o_.status == (wantStatus), o_.out + "|" + o_.err);                                \
        QCOMPARE(o_.out, QByteArray(wantOut));                                                     \
    } while (0)

// Whether the process has the file open (Linux; elsewhere after a while).
static bool holdsOpen(qint64 pid, const QString& path) {
    const QDir fds(QString("/proc/%1/fd").arg(pid));
    if (!QDir("/proc/self/fd").exists()) {
        QTest::qWait(500);
        return true;
    }
    for (const auto& fd : fds.entryInfoList(QDir::System | QDir::NoDotAndDotDot))
        if (fd.symLinkTarget() == path) return true;
    return false;
}

// Its answer comes after 1.28 s, past the 1 s allowed for any answer.
static const QByteArray kLongScript = QByteArray("Delaym 255\n").repeated(5);

// Gives a started "run" the long script; true once it holds the terminal.
[[nodiscard]] static bool runLongScript(QProcess& run, const QString& device) {
    run.write(kLongScript);
    run.closeWriteChannel();
    return QTest::qWaitFor([&] { return holdsOpen(run.processId(), device); }, 5000);
}

class TestI2cModule : public QObject {
    Q_OBJECT
  private slots:
    // What the sensor was told, by a built-in example, it tells back.
    void registersKeepTheirValues() {
        SimProcess sim;
        QVERIFY(sim.start());
        const QByteArray read = "Start\nWrite 0x90\nWrite 2\nStart\nWrite 0x91\n"
                                "Read ack\nRead nack\nStop\n";
        EXPECT(i2cscript(sim, {"run", "--port={port}"}, library::exampleScript(6).c_str()), 0,
               "START\nWRITE\t0x90\tAck\nWRITE\t0x02\tAck\nWRITE\t0x34\tAck\nWRITE\t0x52\tAck\n"
               "STOP\n");
        const Outcome thyst = i2cscript(sim, {"run", "--port", "{port}", "-"}, read);
        QCOMPARE(thyst.status, 0);
        QVERIFY2(thyst.out.contains("READ\t0x34\tAck\nREAD\t0x00\tNack"), thyst.out);
        QVERIFY(sim.command("temp -10.5"));
        const Outcome cold = i2cscript(sim, {"run", "--port", "{port}"},
                                       "Start\nWrite 0x90\nWrite 0\nStart\nWrite 0x91\n"
                                       "Read ack\nRead nack\nStop\n");
        QVERIFY2(cold.out.contains("READ\t0xF5\tAck\nREAD\t0x80\tNack"), cold.out);
    }

    void failuresExitThree_data() {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QByteArray>("view");
        QTest::addColumn<QByteArray>("why");
        QTest::newRow("nobody at 0x92")
            << QByteArray("Start\nWrite 0x92\nWrite 0\nStop\n")
            << QByteArray("START\nWRITE\t0x92\tNack\nWRITE\t0x00\tNack\nSTOP\n")
            << QByteArray("WRITE 0x92 was not acknowledged");
        QTest::newRow("bad token")
            << QByteArray("GP0hi\nbadtokentest\n") << QByteArray("GP0\tHigh\nBadToken:\t0x76\n")
            << QByteArray("the module does not know the token 0x76");
    }
    void failuresExitThree() {
        QFETCH(QByteArray, script);
        QFETCH(QByteArray, view);
        QFETCH(QByteArray, why);
        SimProcess sim;
        QVERIFY(sim.start());
        const Outcome o = i2cscript(sim, {"run", "--port", "{port}"}, script);
        EXPECT(o, 3, view);
        QCOMPARE(o.err, "i2cscript run: " + why + "\n");
    }

    void ping() {
        SimProcess sim;
        QVERIFY(sim.start());
        EXPECT(
            i2cscript(sim, {"ping", "--port", "{port}"}), 0,
            "[Firmware Version:]\n[0153.00.03       ]\n[Tamb master only ]\n\n"
            "[VSlave:  3.300v  ]\n[Speed:   Slow    ]\n[OnEdge:  Off     ]\n[Edge:    Hi-to-Lo]\n");
    }

    void controls_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("err");
        auto row = [](const char* name, const char* line, int status = 0, const char* why = "") {
            QTest::newRow(name) << QString(name).section(' ', 0, 0) << QByteArray(line) << status
                                << (*why ? "i2cscript control: " + QByteArray(why) + "\n"
                                         : QByteArray());
        };
        row("edge-hl", "[Edge = High-to-Low ]");
        row("edge-lh", "[Edge = Low-to-High ]");
        row("trigger-on", "[Edge trigger = On  ]");
        row("trigger-off", "[Edge trigger = Off ]");
        row("slow", "[Speed set Slow=100k]");
        row("fast", "[Speed set Fast=400k]");
        row("slave on a tamb", "[Slave not supported!]", 3,
            "the module does not support slave mode");
        row("store nothing", "[No command to store]", 3, "the module holds no script to store");
        row("replay nothing", "[Replay Memory Empty]", 3,
            "the module has no stored script to replay");
    }
    void controls() {
        QFETCH(QString, name);
        QFETCH(QByteArray, line);
        QFETCH(int, status);
        QFETCH(QByteArray, err);
        SimProcess sim;
        QVERIFY(sim.start());
        const Outcome o = i2cscript(sim, {"control", name, "--port", "{port}"});
        EXPECT(o, status, line + "\n");
        QCOMPARE(o.err, err);
    }

    void settingsLastAcrossConnections() {
        SimProcess sim;
        QVERIFY(sim.start());
        for (const char* name : {"fast", "trigger-on", "edge-lh"})
            QCOMPARE(i2cscript(sim, {"control", name, "--port", "{port}"}).status, 0);
        QCOMPARE(i2cscript(sim, {"run", "--port", "{port}"}, "SetV 4.0\nSpeed\n").out,
                 QByteArray("SetV\t4.0\n[Speed=FAST]\n"));
        const Outcome ping = i2cscript(sim, {"ping", "--port", "{port}"});
        QVERIFY2(ping.out.endsWith("[VSlave:  4.000v  ]\n[Speed:   Fast    ]\n"
                                   "[OnEdge:  On      ]\n[Edge:    Lo-to-Hi]\n"),
                 ping.out);
        // A reset forgets the supply, not the settings.
        QVERIFY(sim.command("reset"));
        QVERIFY(i2cscript(sim, {"ping", "--port", "{port}"})
                    .out.endsWith("[VSlave:  3.300v  ]\n[Speed:   Fast    ]\n"
                                  "[OnEdge:  On      ]\n[Edge:    Lo-to-Hi]\n"));
    }

    // A script's delays hold its answer back, and the limits that run and
    // replay allow by default cover them.
    void storeThenReplayLongDelays() {
        SimProcess sim;
        QVERIFY(sim.start());
        const QByteArray script = "Start\nWrite 0xA0\nWrite 0x10\nWrite 0x5A\nStop\n" + kLongScript;
        const QByteArray view =
            "START\nWRITE\t0xA0\tAck\nWRITE\t0x10\tAck\nWRITE\t0x5A\tAck\nSTOP\n" +
            QByteArray("Delay\t0xFF mS\n").repeated(5);
        EXPECT(i2cscript(sim, {"run", "--port", "{port}"}, script), 0, view);
        EXPECT(i2cscript(sim, {"control", "store", "--port", "{port}"}), 0,
               "[Store last success!]\n");
        EXPECT(i2cscript(sim, {"control", "replay", "--port", "{port}"}), 0,
               view + "[Replay Successful  ]\n");
        QCOMPARE(
            i2cscript(sim, {"control", "replay", "--port", "{port}", "--timeout", "0.2"}).status,
            4);
    }

    void slaveModeFallsSilentUntilReset() {
        SimProcess sim;
        QVERIFY(sim.start({"--model", "tolk"}));
        EXPECT(i2cscript(sim, {"control", "slave", "--port", "{port}"}), 0,
               "[Slave mode enabled...]\n[...Power cycle=Cancel]\n");
        const Outcome silent = i2cscript(sim, {"ping", "--port", "{port}", "--timeout", "0.3"});
        QCOMPARE(silent.status, 4);
        QCOMPARE(silent.err,
                 "i2cscript ping: no answer from " + sim.device.toUtf8() + " within 0.3 s\n");
        // A COM name is shown with the device it resolved to.
        const QString com = QFileInfo(I2CSCRIPT).dir().filePath("COM9");
        SimProcess linked;
        QVERIFY(linked.start({"--model", "tolk", "--link", com}));
        QCOMPARE(i2cscript(linked, {"control", "slave", "--port", "COM9"}).status, 0);
        QCOMPARE(i2cscript(linked, {"ping", "--port", "COM9", "--timeout", "0.3"}).err,
                 "i2cscript ping: no answer from COM9 (" + linked.device.toUtf8() +
                     ") within 0.3 s\n");
        QVERIFY(sim.command("reset"));
        QCOMPARE(i2cscript(sim, {"ping", "--port", "{port}"}).status, 0);
    }

    void scanFindsTheSensorAndTheMemory() {
        SimProcess sim;
        QVERIFY(sim.start());
        QByteArray grid = "     0  1  2  3  4  5  6  7  8  9  A  B  C  D  E  F\n"
                          "00:                         -- -- -- -- -- -- -- --\n";
        for (const char* row : {"10", "20", "30"})
            grid += QByteArray(row) + ": -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- --\n";
        grid += "40: -- -- -- -- -- -- -- -- 48 -- -- -- -- -- -- --\n"
                "50: 50 -- -- -- -- -- -- -- -- -- -- -- -- -- -- --\n"
                "60: -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- --\n"
                "70: -- -- -- -- -- -- -- --\n";
        const Outcome scan = i2cscript(sim, {"scan", "--port", "{port}"});
        EXPECT(scan, 0, grid);
        QVERIFY2(scan.err.endsWith("48 is Write 0x90 to write, Write 0x91 to read.\n"), scan.err);
    }

    // ports shows what a COM name opens and how it was found.
    void portsShowsALinkedName() {
        const QString com = QFileInfo(I2CSCRIPT).dir().filePath("COM7");
        SimProcess sim;
        QVERIFY(sim.start({"--link", com}));
        const Outcome ports = i2cscript(sim, {"ports"});
        QCOMPARE(ports.status, 0);
        QVERIFY2(ports.out.contains("\nCOM7  " + sim.device.leftJustified(14).toUtf8() + "  " +
                                    com.toUtf8() + " in the program's folder\n"),
                 ports.out);
        for (int n = 1; n <= 8; ++n)
            QVERIFY(("\n" + ports.out).contains("\nCOM" + QByteArray::number(n) + "  "));
        QVERIFY(ports.out.contains("\nSerial adapters present:"));
    }

    void simulatorArguments_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("out"); // its start
        QTest::addColumn<int>("status");
        QTest::newRow("-h") << QStringList{"-h"} << QByteArray("Usage: i2csim ") << 0;
        QTest::newRow("--help") << QStringList{"--help"} << QByteArray("Usage: i2csim ") << 0;
        QTest::newRow("--version") << QStringList{"--version"}
                                   << QByteArray::fromStdString(util::versiontext() + "\n") << 0;
        QTest::newRow("unknown") << QStringList{"-x"} << QByteArray() << 2;
    }
    void simulatorArguments() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, out);
        QFETCH(int, status);
        QProcess p;
        p.start(I2CSIM, args);
        p.closeWriteChannel();
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), status);
        QVERIFY2(p.readAllStandardOutput().startsWith(out), qPrintable(args.join(' ')));
    }

    // Each console line is confirmed, or refused with what it takes.
    void consoleConfirms() {
        SimProcess sim;
        QVERIFY(sim.start());
        QVERIFY(sim.command("int 0"));
        QVERIFY(sim.command("temp 200"));
        QVERIFY(sim.command("temp 30"));
        const QByteArray want = "interrupt input low\nsensor at 30 degrees\n";
        QByteArray out;
        QVERIFY(QTest::qWaitFor(
            [&] {
                out += sim.process().readAllStandardOutput();
                return out.size() >= want.size();
            },
            5000));
        QCOMPARE(out, want);
    }

    // A second simulator leaves the link of a running one alone, and takes
    // over one that a simulator killed left behind.
    void liveLinkRefused() {
        QTemporaryDir dir;
        const QString link = dir.filePath("COM5");
        SimProcess first;
        QVERIFY(first.start({"--link", link}));
        QProcess second;
        second.start(I2CSIM, {"--link", link});
        second.closeWriteChannel();
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitCode(), 1);
        const QByteArray err = second.readAllStandardError();
        QVERIFY2(err.contains("links to " + first.device.toUtf8() +
                              " of the running i2csim (process " +
                              QByteArray::number(first.process().processId()) + ")"),
                 err);
        QCOMPARE(QFileInfo(link).symLinkTarget(), first.device);
        first.kill();
        SimProcess third;
        QVERIFY(third.start({"--link", link}));
        QCOMPARE(QFileInfo(link).symLinkTarget(), third.device);
    }

    // monitor prints what the module sends on its own, after the time of day,
    // until Ctrl-C; the greeting of its own connection is left out.
    void monitor_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("lines");
        QTest::newRow("decoded") << QStringList{}
                                 << QByteArray("[Int]\t0\n[Int]\t1\n[Reset:   Power up]\n");
        QTest::newRow("raw") << QStringList{"--raw"} << QByteArray("!00200\n!00201\n!001A08\n");
        // The record holds every frame, its greeting too, with the activity.
        QTest::newRow("recorded") << QStringList{"--record", "{record}"}
                                  << QByteArray("[Int]\t0\n[Int]\t1\n[Reset:   Power up]\n");
    }
    void monitor() {
#ifdef Q_OS_UNIX
        QFETCH(QStringList, options);
        QFETCH(QByteArray, lines);
        SimProcess sim;
        QVERIFY(sim.start());
        QTemporaryDir dir;
        const QString record = dir.filePath("session.txt");
        options.replaceInStrings("{record}", record);
        QProcess monitor;
        startI2cscript(monitor, QStringList{"monitor", "--port", sim.device} + options);
        QVERIFY(QTest::qWaitFor([&] { return holdsOpen(monitor.processId(), sim.device); }, 5000));
        QVERIFY(sim.settle()); // it has greeted the monitor
        for (const char* line : {"int 0", "int 1", "reset"})
            QVERIFY(sim.command(line));
        QByteArray out;
        QVERIFY(QTest::qWaitFor(
            [&] {
                out += monitor.readAllStandardOutput();
                return out.count('\n') >= lines.count('\n');
            },
            5000));
        ::kill(static_cast<pid_t>(monitor.processId()), SIGINT);
        QVERIFY(monitor.waitForFinished(5000));
        QCOMPARE(monitor.exitCode(), 128 + SIGINT);
        out += monitor.readAllStandardOutput();
        static const QRegularExpression time("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d  ",
                                             QRegularExpression::MultilineOption);
        QVERIFY2(out.count('\n') == QString(out).count(time), out);
        QCOMPARE(QString(out).remove(time).toUtf8(), lines);
        if (!options.contains("--record")) return;
        QFile file(record);
        QVERIFY(file.open(QIODevice::ReadOnly));
        static const QRegularExpression stamp(
            "^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3} ",
            QRegularExpression::MultilineOption);
        QCOMPARE(QString(file.readAll()).remove(stamp).toUtf8(),
                 QByteArray("< !001A08[cr]\t[Reset:   Power up]\r\n< !00200[cr]\t[Int]\t0\r\n"
                            "< !00201[cr]\t[Int]\t1\r\n< !001A08[cr]\t[Reset:   Power up]\r\n"));
#else
        QSKIP("POSIX signals");
#endif
    }

    // --verbose shows the frames on standard error, after the time of day.
    void verbose() {
        SimProcess sim;
        QVERIFY(sim.start());
        const Outcome run = i2cscript(sim, {"run", "-v", "--port", "{port}"}, "Start\nStop\n");
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QByteArray("START\nSTOP\n"));
        for (const char* frame : {"> \\$0010030004\n", "< !0010SP\n"})
            QVERIFY2(QString(run.err).contains(QRegularExpression(
                         QString("(^|\n)\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d ") + frame)),
                     run.err);
    }

    // The module vanishing mid-run is a lost port, not a silent module.
    void portLostMidRun() {
        SimProcess sim;
        QVERIFY(sim.start());
        QProcess run;
        startI2cscript(run, {"run", "--port", sim.device});
        QVERIFY(runLongScript(run, sim.device));
        sim.kill();
        QVERIFY(run.waitForFinished(8000));
        const QByteArray err = run.readAllStandardError();
        QVERIFY2(err.startsWith("i2cscript run: " + sim.device.toUtf8() + " stopped working: "),
                 err);
        QCOMPARE(run.exitCode(), 2);
    }

    // Run as an ordinary user: the message names the group to join.
    void permissionDenied() {
#ifdef Q_OS_UNIX
        if (setprivForNobody().isEmpty()) QSKIP("needs root and setpriv");
        SimProcess sim;
        QVERIFY(sim.start());
        const QByteArray device = QFile::encodeName(sim.device);
        QVERIFY(::chown(device.constData(), 0, 20) == 0); // group dialout
        QVERIFY(::chmod(device.constData(), 0660) == 0);
        const Outcome denied = i2cscript(sim, {"ping", "--port", "{port}"}, {}, true);
        QCOMPARE(denied.status, 2);
        QVERIFY2(denied.err.contains("Permission denied"), denied.err);
        const QByteArray group = QFileInfo(sim.device).group().toUtf8();
        QVERIFY2(denied.err.contains("sudo usermod -aG " + group + " $USER"), denied.err);
        QVERIFY(::chmod(device.constData(), 0600) == 0);
        QVERIFY(!i2cscript(sim, {"ping", "--port", "{port}"}, {}, true).err.contains("usermod"));
#else
        QSKIP("POSIX permissions");
#endif
    }

    // Ctrl-C ends the wait at once and closes the port on the way out: a
    // pseudo-terminal left in exclusive mode would refuse the next client
    // that is not root.
    void stopSignalClosesThePort() {
#ifdef Q_OS_UNIX
        SimProcess sim;
        QVERIFY(sim.start());
        const bool asNobody = !setprivForNobody().isEmpty();
        if (asNobody) QVERIFY(::chmod(QFile::encodeName(sim.device).constData(), 0666) == 0);
        QProcess run;
        startI2cscript(run, {"run", "--port", sim.device}, asNobody);
        QVERIFY(runLongScript(run, sim.device));
        ::kill(static_cast<pid_t>(run.processId()), SIGINT);
        QVERIFY(run.waitForFinished(8000));
        QCOMPARE(run.exitStatus(), QProcess::NormalExit);
        QCOMPARE(run.exitCode(), 128 + SIGINT);
        QVERIFY(run.readAllStandardError().contains("stopped"));
        // The script frame may have left before the stop. A module that got
        // it runs it to the end (1.28 s) before it takes the ping, and the
        // simulator, when the run came and went between two of its checks for
        // a client, starts it only as the ping connects: allow for all of it.
        const Outcome ping =
            i2cscript(sim, {"ping", "--port", "{port}", "--timeout", "5"}, {}, asNobody);
        QVERIFY2(ping.status == 0, ping.err);
#else
        QSKIP("POSIX signals");
#endif
    }
};

QTEST_GUILESS_MAIN(TestI2cModule)
#include "tst_i2cmodule.moc"
