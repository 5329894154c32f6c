#include "link/portnames.h"
#include "link/portsettings.h"

#include <QtTest>

using serial::Adapter;

class TestPortConfig : public QObject {
    Q_OBJECT
  private slots:
    void settings_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("parity");
        QTest::addColumn<int>("dataBits");
        QTest::addColumn<int>("stopBits");
        QTest::addColumn<QString>("names"); // what the refusal must mention
        auto good = [](const char* text, int speed, QSerialPort::Parity p, int bits,
                       QSerialPort::StopBits stop) {
            QTest::newRow(text) << text << true << speed << int(p) << bits << int(stop)
                                << QString();
        };
        auto bad = [](const char* name, const char* text, const char* names) {
            QTest::newRow(name) << text << false << 0 << 0 << 0 << 0 << names;
        };
        good("115200,n,8,1", 115200, QSerialPort::NoParity, 8, QSerialPort::OneStop);
        good("9600,E,7,2", 9600, QSerialPort::EvenParity, 7, QSerialPort::TwoStop);
        good("1200,o,5,1.5", 1200, QSerialPort::OddParity, 5, QSerialPort::OneAndHalfStop);
        good(" 57600 , m , 6 , 1 ", 57600, QSerialPort::MarkParity, 6, QSerialPort::OneStop);
        good("300,s,8,1", 300, QSerialPort::SpaceParity, 8, QSerialPort::OneStop);
        bad("empty", "", "1 fields");
        bad("three fields", "115200,n,8", "3 fields");
        bad("five fields", "115200,n,8,1,1", "5 fields");
        bad("speed word", "fast,n,8,1", "speed \"fast\"");
        bad("speed zero", "0,n,8,1", "speed \"0\"");
        bad("speed negative", "-9600,n,8,1", "speed");
        bad("parity x", "115200,x,8,1", "parity \"x\"");
        bad("parity word", "115200,none,8,1", "parity");
        bad("bits 4", "115200,n,4,1", "data bits \"4\"");
        bad("bits 9", "115200,n,9,1", "data bits \"9\"");
        bad("stop 3", "115200,n,8,3", "stop bits \"3\"");
        bad("stop 1.0", "115200,n,8,1.0", "stop bits");
    }
    void settings() {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        const auto parsed = serial::parseSettings(text);
        QCOMPARE(parsed.settings.has_value(), ok);
        if (!ok) {
            QFETCH(QString, names);
            QVERIFY2(parsed.error.contains(names), qPrintable(parsed.error));
            QVERIFY(parsed.error.contains("115200,n,8,1")); // shows the expected form
            return;
        }
        QFETCH(int, speed);
        QFETCH(int, parity);
        QFETCH(int, dataBits);
        QFETCH(int, stopBits);
        QCOMPARE(parsed.settings->speed, speed);
        QCOMPARE(int(parsed.settings->parity), parity);
        QCOMPARE(int(parsed.settings->dataBits), dataBits);
        QCOMPARE(int(parsed.settings->stopBits), stopBits);
    }

    void comNumber_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("n");
        QTest::newRow("COM1") << "COM1" << 1;
        QTest::newRow("com12") << "com12" << 12;
        QTest::newRow("COM0") << "COM0" << 0;
        QTest::newRow("COM") << "COM" << 0;
        QTest::newRow("COM1a") << "COM1a" << 0;
        QTest::newRow("COM+1") << "COM+1" << 0;
        QTest::newRow("COM 1") << "COM 1" << 0;
        QTest::newRow("ttyUSB0") << "ttyUSB0" << 0;
    }
    void comNumber() {
        QFETCH(QString, name);
        QFETCH(int, n);
        QCOMPARE(serial::comNumber(name), n);
    }

    void comOrder() {
        const QList<Adapter> present = {
            {"ttyS0", "/dev/ttyS0", "", false},     {"ttyUSB10", "/dev/ttyUSB10", "", true},
            {"ttyACM0", "/dev/ttyACM0", "", true},  {"ttyUSB2", "/dev/ttyUSB2", "", true},
            {"ttyAMA0", "/dev/ttyAMA0", "", false},
        };
        QStringList names;
        for (const auto& a : serial::comOrder(present))
            names << a.portName;
#ifdef Q_OS_MACOS
        QVERIFY(names.isEmpty()); // only the cu.* devices count there
        const QList<Adapter> mac = {{"tty.usbserial-2", "/dev/tty.usbserial-2", "", true},
                                    {"cu.Bluetooth", "/dev/cu.Bluetooth", "", false},
                                    { "cu.usbserial-2",
                                      "/dev/cu.usbserial-2",
                                      "",
                                      true }};
        for (const auto& a : serial::comOrder(mac))
            names << a.portName;
        QCOMPARE(names, QStringList({"cu.usbserial-2", "cu.Bluetooth"}));
#else
        QCOMPARE(names, QStringList({"ttyACM0", "ttyUSB2", "ttyUSB10", "ttyAMA0", "ttyS0"}));
#endif
    }

#ifndef Q_OS_WIN
    void resolve() {
        QTemporaryDir folder;
        const QString dir = folder.path();
        const QList<Adapter> adapters = {{"ttyS0", "/dev/ttyS0", "", false},
                                         { "ttyUSB0",
                                           "/dev/ttyUSB0",
                                           "FT232R",
                                           true }};
        // A link in the program's folder wins over the adapters.
        QVERIFY(QFile::link("/dev/null", dir + "/COM1"));
        auto r = serial::resolvePortName("COM1", dir, adapters);
        QCOMPARE(r.device, QString("/dev/null"));
        QVERIFY(r.how.contains(dir + "/COM1"));
        // A link to a chain of links opens the final device.
        QVERIFY(QFile::link(dir + "/COM1", dir + "/chain"));
        QVERIFY(QFile::link(dir + "/chain", dir + "/COM4"));
        QCOMPARE(serial::resolvePortName("COM4", dir, adapters).device, QString("/dev/null"));
        // A dangling link still names what it points to, so the open can say so.
        QVERIFY(QFile::link("/dev/ttyUSB97", dir + "/COM3"));
        r = serial::resolvePortName("COM3", dir, adapters);
        QCOMPARE(r.device, QString("/dev/ttyUSB97"));
        QVERIFY(r.how.contains("not present"));
        // Without a link: the n-th adapter, USB first.
        r = serial::resolvePortName("COM2", dir, adapters);
        QCOMPARE(r.device, QString("/dev/ttyS0"));
        QVERIFY(r.how.contains("2nd serial adapter"));
        // Nothing: the fix names the link to make.
        r = serial::resolvePortName("COM5", dir, adapters);
        QVERIFY(!r.found());
        QVERIFY2(r.how.contains("ln -s /dev/ttyUSB0 " + dir + "/COM5"), qPrintable(r.how));
        QVERIFY(r.how.contains("2 serial adapters"));
        QVERIFY(serial::resolvePortName("COM1", dir + "/missing", {}).how.contains("no serial"));
        // Paths and other names are opened as they stand.
        QCOMPARE(serial::resolvePortName("/dev/pts/7", dir, adapters).device,
                 QString("/dev/pts/7"));
        QCOMPARE(serial::resolvePortName("ttyUSB0", dir, {}).device, QString("ttyUSB0"));
        // The tool tip's line.
        QCOMPARE(serial::describePort("/dev/pts/7"),
                 QString("/dev/pts/7: /dev/pts/7 (device path)"));
    }

    // "the n-th adapter" in a description, n read from the word itself.
    void adapterOrdinal_data() {
        QTest::addColumn<QString>("word");
        for (const char* word : {"1st", "2nd", "3rd", "4th", "11th", "12th", "13th", "21st", "22nd",
                                 "23rd", "111th", "112th"})
            QTest::newRow(word) << QString(word);
    }
    void adapterOrdinal() {
        QFETCH(QString, word);
        const int n = word.chopped(2).toInt();
        QList<Adapter> adapters;
        for (int i = 0; i < n; ++i)
            adapters.append({QString("ttyS%1").arg(i), QString("/dev/ttyS%1").arg(i), "", false});
        QTemporaryDir folder;
        const auto r = serial::resolvePortName(QString("COM%1").arg(n), folder.path(), adapters);
        QCOMPARE(r.device, QString("/dev/ttyS%1").arg(n - 1));
        QCOMPARE(r.how, word + " serial adapter present");
    }
#endif
};

QTEST_GUILESS_MAIN(TestPortConfig)
#include "tst_portconfig.moc"
