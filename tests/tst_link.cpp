#include "link/portcontroller.h"
#include "simprocess.h"

#include <QtTest>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

static const QString kSettings = QStringLiteral("115200,n,8,1");

// Everything the port receives until it holds `until` or the time is up.
template <typename Port>
static QByteArray receiveUntil(Port& port, const QByteArray& until, int ms = 5000) {
    QByteArray got;
    QElapsedTimer clock;
    clock.start();
    while (!got.contains(until) && clock.elapsed() < ms) {
        QTest::qWait(5);
        got += port.read();
    }
    return got;
}

// The terminal as a bare descriptor: a close and the next open follow each
// other within microseconds, faster than any serial port library.
struct Terminal {
    explicit Terminal(const QString& device) : path(QFile::encodeName(device)) { reopen(); }
    ~Terminal() { ::close(fd); }
    void reopen() {
        ::close(fd);
        fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    }
    QByteArray read() const {
        char chunk[4096];
        const auto n = ::read(fd, chunk, sizeof chunk);
        return n > 0 ? QByteArray(chunk, n) : QByteArray();
    }
    QByteArray path;
    int fd = -1;
};

// Stops or continues the process, true once it is so (Linux).
static bool signalled(qint64 pid, int signal) {
    ::kill(static_cast<pid_t>(pid), signal);
    return QTest::qWaitFor(
        [&] {
            QFile stat(QString("/proc/%1/stat").arg(pid));
            const QByteArray text = stat.open(QIODevice::ReadOnly) ? stat.readAll() : "";
            const bool stopped = text.mid(text.lastIndexOf(')') + 2, 1) == "T";
            return stopped == (signal == SIGSTOP);
        },
        5000);
}

class TestLink : public QObject {
    Q_OBJECT
  private slots:
    // Through a COM name in the program's folder, held for this program
    // alone, in writes of --write-size.
    // The device vanishing while open: one report that names the device
    // behind the COM name, the port closed, and no busy loop of errors after.
    void talksUntilTheSimulatorIsKilled() {
        QTemporaryDir folder;
        SimProcess sim;
        QVERIFY(sim.start({"--model", "tolk", "--revision", "07", "--write-size", "1", "--link",
                           folder.filePath("COM8")}));
        serial::PortController port(nullptr, folder.path());
        QVERIFY(port.open("COM8", kSettings));
        QCOMPARE(port.device(), sim.device);
        serial::PortController second(nullptr, folder.path()); // another program
        const auto busy = second.open("COM8", kSettings);
        QVERIFY2(busy.description.contains("in use by another program"),
                 qPrintable(busy.description));
        QSignalSpy errors(&port, &serial::Port::errorOccurred);
        // The module announces itself when the line opens.
        QCOMPARE(receiveUntil(port, "\r"), QByteArray("!001A08\r"));
        port.write("$0000\r");
        QCOMPARE(receiveUntil(port, "\r"), QByteArray("!000001530107\r"));
        auto writes = [pid = sim.process().processId()] {
            QFile io(QString("/proc/%1/io").arg(pid));
            const QByteArray text = io.open(QIODevice::ReadOnly) ? io.readAll() : "";
            const auto at = text.indexOf("syscw:");
            return text.mid(at + 6, text.indexOf('\n', at) - at - 6).trimmed().toLongLong();
        };
        const qint64 before = writes();
        QVERIFY(sim.command("flood 1000"));
        QByteArray all;
        for (int i = 0; i < 50 && all.size() < 7000; ++i)
            all += receiveUntil(port, "nothing", 100);
        QCOMPARE(all.size(), 7000);
        QVERIFY2(before <= 0 || writes() - before >= 7000, QByteArray::number(writes() - before));
        sim.kill();
        QVERIFY(errors.wait(5000));
        QVERIFY(!port.isOpen());
        const QString message = errors.first().first().toString();
        QVERIFY2(message.startsWith("COM8 (" + sim.device + ") stopped working: "),
                 qPrintable(message));
        const std::clock_t cpuBefore = std::clock();
        QTest::qWait(1000);
        const double cpu = double(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
        QCOMPARE(errors.count(), 1);
        QVERIFY2(cpu < 0.25, qPrintable(QString("%1 s CPU in a second").arg(cpu)));
    }

    // A link already at --link: one that a killed simulator left is taken
    // over, also when its terminal's number has gone to another program
    // since; one to the terminal of a running simulator is refused.
    void aLeftLinkIsTakenOver_data() {
        QTest::addColumn<QString>("leftBy");
        QTest::newRow("killed") << "killed";
        QTest::newRow("killed, number taken since") << "taken";
        QTest::newRow("running") << "running";
    }
    void aLeftLinkIsTakenOver() {
        QFETCH(QString, leftBy);
        QTemporaryDir folder;
        const QString link = folder.filePath("COM8");
        SimProcess first;
        QVERIFY(first.start({"--link", link}));
        if (leftBy != "running") first.kill();
        const int other = leftBy == "taken" ? ::posix_openpt(O_RDWR | O_NOCTTY) : -1;
        if (leftBy == "taken") {
            QVERIFY(other >= 0);
            QVERIFY(QFile::remove(link) && QFile::link(::ptsname(other), link));
        }
        SimProcess second;
        const bool started = second.start({"--link", link});
        if (other >= 0) ::close(other);
        const QByteArray refusal = second.process().readAllStandardError();
        QCOMPARE(started, leftBy != "running");
        QCOMPARE(QFile::symLinkTarget(link), started ? second.device : first.device);
        const QByteArray running = ": links to " + first.device.toUtf8() +
                                   " of the running i2csim (process " +
                                   QByteArray::number(first.process().processId()) + ")";
        QVERIFY2(started || refusal.contains(running), refusal);
    }

    // A removed USB adapter reports ResourceError (a pseudo-terminal only ever
    // ReadError): the port is closed and the loss said once.
    void aRemovedAdapterIsALostPort() {
        SimProcess sim;
        QVERIFY(sim.start());
        serial::PortController port;
        QVERIFY(port.open(sim.device, kSettings));
        QSignalSpy lost(&port, &serial::Port::errorOccurred);
        auto* device = port.findChild<QSerialPort*>();
        QVERIFY(device);
        emit device->errorOccurred(QSerialPort::ResourceError);
        emit device->errorOccurred(QSerialPort::ResourceError);
        QCOMPARE(lost.count(), 1);
        QVERIFY(!port.isOpen());
    }

    // A client that leaves mid-script: the next hears its power-up report
    // and nothing of the old script. A reset ends a flood.
    void eachClientHearsItsOwn() {
        SimProcess sim;
        QVERIFY(sim.start());
        {
            serial::PortController port;
            QVERIFY(port.open(sim.device, kSettings));
            QCOMPARE(receiveUntil(port, "\r"), QByteArray("!001A08\r"));
            port.write("$00100B06FF06FF06FF06FF06FF\r"); // answered after 1.28 s
            QVERIFY(port.findChild<QSerialPort*>()->waitForBytesWritten(5000));
            QVERIFY(sim.settle());
        }
        serial::PortController port;
        QVERIFY(port.open(sim.device, kSettings));
        QCOMPARE(receiveUntil(port, "\r"), QByteArray("!001A08\r"));
        QCOMPARE(receiveUntil(port, "\r", 2000), QByteArray());
        QVERIFY(sim.command("flood 1000000"));
        QVERIFY(receiveUntil(port, "!00201\r").contains("!00201\r"));
        QVERIFY(sim.command("reset"));
        QVERIFY(receiveUntil(port, "!001A08\r").endsWith("!001A08\r"));
        QCOMPARE(receiveUntil(port, "\r", 500), QByteArray());
    }

    // A client that closes and another that opens at once, while an answer
    // is due or a flood runs, also while the simulator is stopped between two
    // looks: the new client hears its own power-up report first and nothing
    // of the old client's after. It reads once the simulator has looked, as
    // what the terminal had taken and the old client left unread goes then.
    void aQuickReopenHearsOnlyItsOwn_data() {
        QTest::addColumn<QByteArray>("frame");   // what the old client sent
        QTest::addColumn<QByteArray>("command"); // what the console then asked
        QTest::addColumn<bool>("unseen");        // reopened while the simulator is stopped
        const QByteArray longScript = "$00100B06FF06FF06FF06FF06FF\r"; // answered after 1.28 s
        QTest::newRow("answer due") << longScript << QByteArray() << false;
        QTest::newRow("answer due, unseen") << longScript << QByteArray() << true;
        QTest::newRow("flood, unseen") << QByteArray() << QByteArray("flood 1000000") << true;
    }
    void aQuickReopenHearsOnlyItsOwn() {
#ifndef Q_OS_LINUX
        QSKIP("only Linux tells the simulator of every open and close");
#endif
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, command);
        QFETCH(bool, unseen);
        SimProcess sim;
        QVERIFY(sim.start());
        const qint64 pid = sim.process().processId();
        Terminal terminal(sim.device);
        QVERIFY(terminal.fd >= 0);
        QCOMPARE(receiveUntil(terminal, "\r"), QByteArray("!001A08\r"));
        QCOMPARE(::write(terminal.fd, frame.constData(), frame.size()), frame.size());
        QVERIFY(sim.settle()); // the frame taken
        if (!command.isEmpty()) {
            QVERIFY(sim.command(command));
            QVERIFY(receiveUntil(terminal, "!00201\r").contains("!00201\r"));
        }
        if (unseen) QVERIFY(signalled(pid, SIGSTOP));
        terminal.reopen();
        if (unseen) QVERIFY(signalled(pid, SIGCONT));
        QVERIFY(terminal.fd >= 0);
        QVERIFY(sim.settle());
        QCOMPARE(receiveUntil(terminal, "\r"), QByteArray("!001A08\r"));
        QCOMPARE(receiveUntil(terminal, "\r", 2000), QByteArray());
    }

    // Another program that opens the terminal and leaves (stty, a second
    // client) ends nobody's session. A new client is greeted only after the
    // module's start-up time, so one that empties its input after opening
    // (pyserial) still hears it.
    void aSecondOpenerLeavesTheFirstAlone() {
#ifndef Q_OS_LINUX
        QSKIP("only Linux tells the simulator of every open and close");
#endif
        SimProcess sim;
        QVERIFY(sim.start());
        QElapsedTimer opened;
        opened.start();
        Terminal terminal(sim.device);
        QVERIFY(terminal.fd >= 0);
        QCOMPARE(receiveUntil(terminal, "\r"), QByteArray("!001A08\r"));
        QVERIFY2(opened.elapsed() >= 20, QByteArray::number(opened.elapsed()));
        const QByteArray script = "$00100B06FF06FF06FF06FF06FF\r"; // answered after 1.28 s
        QCOMPARE(::write(terminal.fd, script.constData(), script.size()), script.size());
        QVERIFY(sim.settle());
        Terminal other(sim.device);
        QVERIFY(other.fd >= 0);
        ::close(std::exchange(other.fd, -1));
        QVERIFY(sim.settle());
        QVERIFY(receiveUntil(terminal, "\r", 5000).startsWith("!0010d"));
    }

    // At line rate, in pieces of a report a write (as some adapters deliver
    // them): never faster than a 115200 8N1 line, a bound that load can only
    // make easier to meet, and read in gathered arrivals, not one per piece;
    // while it gathers, the serial port does not wake for each piece either.
    void streamsAreGathered() {
        SimProcess sim;
        QVERIFY(sim.start({"--line-rate", "--write-size", "7"}));
        serial::PortController port;
        QVERIFY(port.open(sim.device, kSettings));
        receiveUntil(port, "\r"); // the power-up report
        QByteArray all;
        int arrivals = 0, wakes = 0;
        QEventLoop loop;
        connect(port.findChild<QSerialPort*>(), &QSerialPort::readyRead, &loop, [&] { ++wakes; });
        connect(&port, &serial::Port::dataArrived, &loop, [&] {
            ++arrivals;
            all += port.read();
            if (all.count('\r') == 2000) loop.quit();
        });
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(sim.command("flood 2000"));
        loop.exec();
        QCOMPARE(all.count('\r'), 2000);
        QVERIFY2(arrivals < 200 && wakes < 200,
                 QByteArray::number(arrivals) + " " + QByteArray::number(wakes));
        QVERIFY2(clock.elapsed() >= 0.95 * all.size() / 11.52, QByteArray::number(clock.elapsed()));
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
