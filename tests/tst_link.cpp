#include "link/portcontroller.h"
#include "simprocess.h"

#include <QtTest>

#include <ctime>

static const QString kSettings = QStringLiteral("115200,n,8,1");

// Everything the port receives until it holds `until` or the time is up.
static QByteArray receiveUntil(serial::Port& port, const QByteArray& until, int ms = 5000) {
    QByteArray got;
    QElapsedTimer clock;
    clock.start();
    while (!got.contains(until) && clock.elapsed() < ms) {
        QTest::qWait(5);
        got += port.read();
    }
    return got;
}

class TestLink : public QObject {
    Q_OBJECT
  private slots:
    void talksToTheSimulator() {
        SimProcess sim;
        QVERIFY(sim.start({"--model", "tolk", "--revision", "07"}));
        serial::PortController port;
        const auto opened = port.open(sim.device, kSettings);
        QVERIFY2(opened.ok, qPrintable(opened.description));
        QCOMPARE(port.device(), sim.device);
        QSignalSpy arrivals(&port, &serial::Port::dataArrived);
        // The module announces itself when the line opens.
        QCOMPARE(receiveUntil(port, "\r"), QByteArray("!001A08\r"));
        port.write("$0000\r$0019\r");
        const QByteArray answer = receiveUntil(port, "!0019");
        QVERIFY(arrivals.count() > 0);
        QCOMPARE(receiveUntil(port, "\r", 2000).prepend(answer),
                 QByteArray("!0000015301 07\r!00193300000\r").replace(" ", ""));
        QVERIFY(sim.command("int 0"));
        QCOMPARE(receiveUntil(port, "\r"), QByteArray("!00200\r"));
        port.close();
        QVERIFY(!port.isOpen());
    }

    void edgeTriggerRunsTheStoredScript() {
        SimProcess sim;
        QVERIFY(sim.start());
        serial::PortController port;
        QVERIFY(port.open(sim.device, kSettings));
        QCOMPARE(receiveUntil(port, "\r"), QByteArray("!001A08\r"));
        port.write("$0010060001910304\r$0011\r$0015\r$0013\r");
        QCOMPARE(receiveUntil(port, "!0013a\r"),
                 QByteArray("!0010SW91aR19nP\r!0011a\r!0015a\r!0013a\r"));
        QVERIFY(sim.command("int 1")); // already high: nothing to report
        QVERIFY(sim.command("int 0"));
        QCOMPARE(receiveUntil(port, "P\r"), QByteArray("!00200\r!0010SW91aR19nP\r"));
        QVERIFY(sim.command("int 1")); // the other edge: only the report
        QCOMPARE(receiveUntil(port, "\r"), QByteArray("!00201\r"));
    }

    void comNameFromTheProgramFolder() {
        QTemporaryDir folder;
        SimProcess sim;
        QVERIFY(sim.start({"--link", folder.filePath("COM8")}));
        QVERIFY(QFileInfo(folder.filePath("COM8")).isSymLink());
        serial::PortController port(nullptr, folder.path());
        const auto opened = port.open("COM8", kSettings);
        QVERIFY2(opened.ok, qPrintable(opened.description));
        QCOMPARE(port.device(), sim.device);
        port.close();
        sim.stop();
        QVERIFY(!QFileInfo(folder.filePath("COM8")).isSymLink()); // the link goes with it
    }

    void openFailuresSayWhatToDo() {
        QTemporaryDir folder;
        SimProcess sim;
        QVERIFY(sim.start());
        serial::PortController first;
        QVERIFY(first.open(sim.device, kSettings));

        serial::PortController port(nullptr, folder.path());
        QSignalSpy errors(&port, &serial::Port::errorOccurred);
        auto busy = port.open(sim.device, kSettings);
        QVERIFY(!busy);
        QVERIFY2(busy.description.contains("in use by another program"),
                 qPrintable(busy.description));

        QVERIFY(QFile::link("/dev/ttyNOSUCH0", folder.filePath("COM2")));
        auto missing = port.open("COM2", kSettings);
        QVERIFY(!missing);
        for (const char* part : {"COM2", "/dev/ttyNOSUCH0", "No such file", "plugged in"})
            QVERIFY2(missing.description.contains(part), qPrintable(missing.description));

        QFile plain(folder.filePath("plain"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        auto notSerial = port.open(plain.fileName(), kSettings);
        QVERIFY(!notSerial);
        QVERIFY2(notSerial.description.contains("not a serial device"),
                 qPrintable(notSerial.description));

        auto unbound = port.open("COM97", kSettings);
        QVERIFY(!unbound);
        QVERIFY2(unbound.description.contains("ln -s"), qPrintable(unbound.description));

        auto badSettings = port.open(sim.device, "115200,n,9,1");
        QVERIFY(!badSettings);
        QVERIFY(badSettings.description.contains("data bits"));

        port.close(); // nothing open: nothing to report
        QVERIFY(!port.isOpen());
        QCOMPARE(errors.count(), 0);
    }

    // At line rate the simulator never sends faster than a 115200 8N1 line:
    // a bound that load on the machine can only make easier to meet.
    void lineRateHoldsThePace() {
        SimProcess sim;
        QVERIFY(sim.start({"--line-rate"}));
        serial::PortController port;
        QVERIFY(port.open(sim.device, kSettings));
        receiveUntil(port, "\r"); // the power-up report
        const int reports = 1000;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(sim.command("flood " + QByteArray::number(reports)));
        QByteArray all;
        while (all.count('\r') < reports && clock.elapsed() < 5000)
            all += receiveUntil(port, "\r", 100);
        QCOMPARE(all.count('\r'), reports);
        const double seconds = clock.elapsed() / 1000.0;
        const double fastest = all.size() / 11520.0;
        QVERIFY2(seconds >= 0.95 * fastest,
                 qPrintable(QString("%1 s for %2 characters").arg(seconds).arg(all.size())));
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
        QVERIFY(lost.first().first().toString().contains("stopped working"));
    }

    // A stream of small pieces (a report a write, as some adapters deliver
    // them) is read in gathered arrivals, not one per piece; nothing is lost.
    void streamsAreGathered() {
        SimProcess sim;
        QVERIFY(sim.start({"--line-rate", "--write-size", "7"}));
        serial::PortController port;
        QVERIFY(port.open(sim.device, kSettings));
        QCOMPARE(receiveUntil(port, "\r"), QByteArray("!001A08\r"));
        QByteArray all;
        int arrivals = 0;
        QEventLoop loop;
        connect(&port, &serial::Port::dataArrived, &loop, [&] {
            ++arrivals;
            all += port.read();
            if (all.count('\r') == 2000) loop.quit();
        });
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        QVERIFY(sim.command("flood 2000"));
        loop.exec();
        QCOMPARE(all.count('\r'), 2000);
        QVERIFY2(arrivals < 200, QByteArray::number(arrivals));
    }

    // Noise comes as many characters as asked, frame marks among them.
    void noiseOfAGivenLength() {
        SimProcess sim;
        QVERIFY(sim.start());
        serial::PortController port;
        QVERIFY(port.open(sim.device, kSettings));
        receiveUntil(port, "\r"); // the power-up report
        QVERIFY(sim.command("noise 20000"));
        QByteArray all;
        QElapsedTimer clock;
        clock.start();
        while (all.size() < 20000 && clock.elapsed() < 5000) {
            QTest::qWait(20);
            all += port.read();
        }
        QTest::qWait(200); // nothing more follows
        all += port.read();
        QCOMPARE(all.size(), 20000);
        // About one in 21 of each; far from both would mean no frames or no garbage.
        QVERIFY2(all.count('!') > 500 && all.count('!') < 2000, QByteArray::number(all.count('!')));
        QVERIFY2(all.count('\r') > 500 && all.count('\r') < 2000,
                 QByteArray::number(all.count('\r')));
    }

    // A client that leaves during a flood takes its unsent reports with it:
    // the next one hears the power-up report first, then only its answers.
    void floodEndsWithItsClient() {
        SimProcess sim;
        QVERIFY(sim.start({"--line-rate"}));
        serial::PortController port;
        QVERIFY(port.open(sim.device, kSettings));
        QCOMPARE(receiveUntil(port, "\r"), QByteArray("!001A08\r"));
        QVERIFY(sim.command("flood 10000")); // some 6 s of reports
        QVERIFY(receiveUntil(port, "\r").startsWith("!0020"));
        port.close();
        QVERIFY(sim.settle());
        QVERIFY(port.open(sim.device, kSettings));
        QCOMPARE(receiveUntil(port, "\r"), QByteArray("!001A08\r"));
        port.write("$0000\r");
        QCOMPARE(receiveUntil(port, "0003\r"), QByteArray("!000001530003\r"));
    }

    // The device vanishing while open: one report that names the device
    // behind the COM name, the port closed, and no busy loop of errors
    // afterwards.
    void simulatorKilledWhileOpen() {
        QTemporaryDir folder;
        SimProcess sim;
        QVERIFY(sim.start({"--link", folder.filePath("COM8")}));
        serial::PortController port(nullptr, folder.path());
        QVERIFY(port.open("COM8", kSettings));
        QSignalSpy errors(&port, &serial::Port::errorOccurred);
        receiveUntil(port, "\r");
        sim.kill();
        QVERIFY(errors.wait(5000));
        QVERIFY(!port.isOpen());
        const QString message = errors.first().first().toString();
        QVERIFY2(message.startsWith("COM8 (" + sim.device + ") stopped working: "),
                 qPrintable(message));

        QElapsedTimer wall;
        wall.start();
        const std::clock_t cpuBefore = std::clock();
        QTest::qWait(1000);
        const double cpu = double(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
        const double elapsed = wall.elapsed() / 1000.0;
        QCOMPARE(errors.count(), 1);
        QVERIFY2(cpu < elapsed / 4, qPrintable(QString("%1 s CPU in %2 s").arg(cpu).arg(elapsed)));
        port.write("$0000\r"); // closed: dropped without complaint
        QCOMPARE(errors.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
