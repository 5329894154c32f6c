// The port's life over a FakePort and a clock the test moves.
#include "fakeport.h"
#include "link/portkeeper.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

struct Rig {
    serial::FakePort port;
    serial::ModuleSession session{port};
    Clock::time_point now{};
    serial::PortKeeper keeper{port, session, [this] { return now; }};
    QSignalSpy lost{&keeper, &serial::PortKeeper::lost};
    QSignalSpy reopened{&keeper, &serial::PortKeeper::reopened};

    // COM3 open, then lost.
    void lose() {
        QVERIFY(keeper.choose("COM3"));
        port.fail("COM3 stopped working");
        QVERIFY(keeper.watching());
    }
};

} // namespace

class TestPortKeeper : public QObject {
    Q_OBJECT
  private slots:
    void choices() {
        Rig r;
        QSignalSpy changed(&r.keeper, &serial::PortKeeper::portChanged);
        QVERIFY(r.keeper.choose("COM3"));
        QVERIFY(r.keeper.portopen());
        QCOMPARE(r.keeper.name(), "COM3");
        QCOMPARE(r.port.opened, QStringList{"COM3 115200,n,8,1"});
        QVERIFY(r.keeper.choose({})); // "Select": none, which cannot fail
        QVERIFY(!r.keeper.portopen());
        r.port.setOpenFailure("Cannot open COM4: busy.");
        const auto failed = r.keeper.choose("COM4");
        QVERIFY(!failed);
        QCOMPARE(failed.description, "Cannot open COM4: busy.");
        QCOMPARE(r.keeper.name(), "");
        QCOMPARE(changed.size(), 3);
        QCOMPARE(r.lost.size(), 0); // a failed open is no lost port
        QVERIFY(!r.keeper.watching());
        r.port.setOpenFailure({});
        r.keeper.choose("COM3");
        r.keeper.close();
        QVERIFY(!r.port.isOpen());
    }

    // A choice ends whatever waits for the old port.
    void aChoiceEndsTheWaits() {
        Rig r;
        r.keeper.choose("COM3");
        r.session.awaitAnswer("10", 5s);
        QObject context;
        QTimer::singleShot(5, &context, [&] { r.keeper.choose("COM4"); });
        QVERIFY(!r.session.waitUntil([] { return false; }, 5s));
        QVERIFY(!r.session.awaiting());
    }

    // Watched for ten minutes: absent, then present but failing to open,
    // then back.
    void aLostPortComesBack() {
        QTemporaryDir dir;
        serial::Recorder recorder;
        QString error;
        QVERIFY(recorder.start(dir.filePath("s.txt"), error));
        Rig r;
        r.session.setRecorder(&recorder);
        r.lose();
        QCOMPARE(r.lost.size(), 1);
        QCOMPARE(r.lost.first(), (QVariantList{"COM3", "COM3 stopped working"}));
        QVERIFY(!r.keeper.portopen());
        QCOMPARE(r.keeper.watchedName(), "COM3");
        QCOMPARE(r.keeper.watchLeft(), 10min);
        r.now += 4min;
        QCOMPARE(r.keeper.watchLeft(), 6min);
        r.keeper.look();
        QVERIFY(r.port.opened.size() == 1 && r.keeper.watching());
        r.port.presentNames << "COM3";
        r.port.setOpenFailure("busy");
        r.keeper.look();
        QVERIFY(r.keeper.watching());
        QVERIFY(!r.keeper.portopen());
        r.port.setOpenFailure({});
        r.keeper.look();
        QCOMPARE(r.reopened.size(), 1);
        QVERIFY(r.keeper.portopen());
        QVERIFY(!r.keeper.watching());
        QCOMPARE(r.keeper.name(), "COM3");
        QCOMPARE(r.port.opened.size(), 2);
        QFile record(dir.filePath("s.txt"));
        QVERIFY(record.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = record.readAll().trimmed().split('\n');
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0].mid(23), " * COM3 stopped working\r");
        QCOMPARE(lines[1].mid(23), " + COM3 (/dev/fake) opened again");
    }

    void theWatchEnds_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("endsNow");
        QTest::newRow("ten minutes on") << "10min" << false;
        QTest::newRow("past ten minutes") << "expired" << true;
        QTest::newRow("another entry chosen") << "choose" << true;
        QTest::newRow("Select chosen") << "select" << true;
        QTest::newRow("closed") << "close" << true;
    }
    void theWatchEnds() {
        QFETCH(QString, how);
        QFETCH(bool, endsNow);
        Rig r;
        r.lose();
        QSignalSpy changes(&r.keeper, &serial::PortKeeper::watchChanged);
        if (how == "10min") r.now += 10min;
        if (how == "expired") r.now += 10min + 1ms;
        if (how == "choose") r.keeper.choose("COM4");
        if (how == "select") r.keeper.choose({});
        if (how == "close") r.keeper.close();
        r.keeper.look();
        QCOMPARE(r.keeper.watching(), !endsNow);
        QCOMPARE(changes.size(), endsNow ? 1 : 0);
        // Come back now: only a live watch opens it.
        r.port.presentNames << "COM3";
        r.keeper.look();
        QCOMPARE(r.reopened.size(), endsNow ? 0 : 1);
        QCOMPARE(r.port.opened.last(),
                 QString(how == "choose" || !endsNow ? "COM%1 115200,n,8,1" : "COM3 115200,n,8,1")
                     .arg(how == "choose" ? 4 : 3));
    }

    // Something given to send with no port open marks the list until a port
    // opens.
    void nothingSent() {
        Rig r;
        QSignalSpy marks(&r.keeper, &serial::PortKeeper::nothingSentChanged);
        r.keeper.setNothingSent(true);
        r.keeper.setNothingSent(true);
        r.port.setOpenFailure("busy");
        r.keeper.choose("COM3");
        QVERIFY(r.keeper.nothingSent());
        r.port.setOpenFailure({});
        r.keeper.choose("COM3");
        QVERIFY(!r.keeper.nothingSent());
        QCOMPARE(marks.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestPortKeeper)
#include "tst_portkeeper.moc"
