#include "link/portnames.h"
#include "link/portsettings.h"

#include <QtTest>

using serial::Adapter;

class TestPortConfig : public QObject {
    Q_OBJECT
  private slots:
    void settings() {
        const auto parsed = serial::parseSettings(" 1200 , O , 5 , 1.5 ");
        QVERIFY(parsed.settings);
        QCOMPARE(*parsed.settings,
                 (serial::PortSettings{1200, QSerialPort::OddParity, QSerialPort::Data5,
                                       QSerialPort::OneAndHalfStop}));
        // A refusal names the field at fault and shows the expected form.
        const QString error = serial::parseSettings("115200,n,9,1").error;
        QVERIFY2(error.contains("data bits \"9\"") && error.contains("115200,n,8,1"),
                 qPrintable(error));
    }

    void comNumber() {
        QCOMPARE(serial::comNumber("com12"), 12);
        for (const char* name : {"COM0", "COM", "COM1a", "COM+1", "COM 1", "ttyUSB0"})
            QVERIFY2(serial::comNumber(name) == 0, name);
    }

#ifndef Q_OS_WIN
    void resolve() {
        QTemporaryDir folder;
        const QString dir = folder.path();
        const QList<Adapter> adapters = {{"ttyS0", "/dev/ttyS0", "", false},
                                         {"ttyUSB10", "/dev/ttyUSB10", "", true},
                                         {"ttyACM0", "/dev/ttyACM0", "", true},
                                         {"ttyUSB2", "/dev/ttyUSB2", "FT232R", true},
                                         {"ttyAMA0", "/dev/ttyAMA0", "", false}};
        // USB first, in natural order, then the others.
        QStringList order;
        for (int n = 1; n <= 6; ++n)
            order << serial::resolvePortName(QString("COM%1").arg(n), dir, adapters).device;
        QCOMPARE(order, QStringList({"/dev/ttyACM0", "/dev/ttyUSB2", "/dev/ttyUSB10",
                                     "/dev/ttyAMA0", "/dev/ttyS0", ""}));
        QCOMPARE(serial::resolvePortName("COM2", dir, adapters).how,
                 QString("2nd serial adapter present: FT232R"));
        // A link in the program's folder wins, through a chain of links.
        QVERIFY(QFile::link("/dev/null", dir + "/chain"));
        QVERIFY(QFile::link(dir + "/chain", dir + "/COM1"));
        QCOMPARE(serial::resolvePortName("COM1", dir, adapters).device, QString("/dev/null"));
        // A dangling link still names what it points to, so the open can say so.
        QVERIFY(QFile::link("/dev/ttyUSB97", dir + "/COM3"));
        const auto dangling = serial::resolvePortName("COM3", dir, adapters);
        QCOMPARE(dangling.device, QString("/dev/ttyUSB97"));
        QVERIFY(dangling.how.contains("not present"));
        // Nothing: the fix names the link to make.
        const auto none = serial::resolvePortName("COM6", dir, adapters);
        QVERIFY2(none.how.contains("5 serial adapters present") &&
                     none.how.contains("ln -s /dev/ttyUSB0 " + dir + "/COM6"),
                 qPrintable(none.how));
    }
#endif
};

QTEST_GUILESS_MAIN(TestPortConfig)
#include "tst_portconfig.moc"
