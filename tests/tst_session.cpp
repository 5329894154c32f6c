#include "cli/scan.h"
#include "cli/session.h"
#include "compiler/compiler.h"
#include "fakeport.h"

#include <QtTest>

using namespace std::chrono_literals;

// Frames the module "sends" once the event loop runs, in separate arrivals.
static void deliverLater(serial::FakePort& port, QList<QByteArray> arrivals, int afterMs = 0) {
    for (const auto& a : arrivals)
        QTimer::singleShot(afterMs, &port, [&port, a] { port.deliver(a); });
}

class TestSession : public QObject {
    Q_OBJECT
  private slots:
    void waitsAcrossSplitArrivals() {
        serial::FakePort port;
        QVERIFY(port.open("COM1", "115200,n,8,1"));
        cli::Session session(port);
        session.watchFailuresOf({"10"});
        session.send("$00100200\r");
        QCOMPARE(port.written, QByteArrayList({"$00100200\r"}));
        deliverLater(port, {"!001A00\r!00", "10S", "\r"});
        QVERIFY(session.waitFor({"10"}, 1, 5s));
        QCOMPARE(session.view(), std::string("START\r\n"));
        QCOMPARE(session.answers("1A"), 1);
        QVERIFY(!session.failed());
    }

    void failureOnlyFromWatchedCodes() {
        serial::FakePort port;
        QVERIFY(port.open("COM1", "115200,n,8,1"));
        cli::Session session(port);
        session.watchFailuresOf({"11"});
        deliverLater(port, {"!0010SW92nP\r", "!0011a\r"});
        QVERIFY(session.waitFor({"11"}, 1, 5s));
        QVERIFY(!session.failed()); // the nAck was in a frame not awaited
        deliverLater(port, {"!0011e\r"});
        QVERIFY(session.waitFor({"11"}, 2, 5s));
        QVERIFY(session.failed());
    }

    // Only a power-up report that comes first is the connection's greeting.
    void greetingLeftOut_data() {
        QTest::addColumn<QByteArrayList>("arrivals");
        QTest::addColumn<QString>("last"); // the code of the last frame to come
        QTest::addColumn<QByteArray>("view");
        const QByteArray edge = "[Edge = High-to-Low ]\r\n";
        QTest::newRow("power-up first") << QByteArrayList{"!001A08\r", "!0013a\r"} << "13" << edge;
        QTest::newRow("watchdog reset first") << QByteArrayList{"!001A00\r", "!0013a\r"} << "13"
                                              << "[Reset:   WDT Rset]\r\n\r\n" + edge;
        QTest::newRow("power-up later") << QByteArrayList{"!0013a\r", "!001A08\r"} << "1A"
                                        << edge + "[Reset:   Power up]\r\n\r\n";
        QTest::newRow("second power-up") << QByteArrayList{"!001A08\r", "!001A08\r"} << "1A"
                                         << QByteArray("[Reset:   Power up]\r\n\r\n");
    }
    void greetingLeftOut() {
        QFETCH(QByteArrayList, arrivals);
        QFETCH(QString, last);
        QFETCH(QByteArray, view);
        serial::FakePort port;
        QVERIFY(port.open("COM1", "115200,n,8,1"));
        cli::Session session(port);
        deliverLater(port, arrivals);
        QVERIFY(session.waitFor({last.toStdString()}, 1, 5s));
        QCOMPARE(QByteArray::fromStdString(session.view()), view);
    }

    void timesOutWithoutAnswer() {
        serial::FakePort port;
        QVERIFY(port.open("COM1", "115200,n,8,1"));
        cli::Session session(port);
        deliverLater(port, {"!0013a\r"});
        QVERIFY(!session.waitFor({"10"}, 1, 50ms));
        QCOMPARE(session.view(), std::string("[Edge = High-to-Low ]\r\n"));
    }

    void portLostEndsTheWait() {
        serial::FakePort port;
        QVERIFY(port.open("COM1", "115200,n,8,1"));
        cli::Session session(port);
        QTimer::singleShot(0, &port, [&] { port.fail("gone"); });
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!session.waitFor({"10"}, 1, 60s));
        QVERIFY(clock.elapsed() < 30000); // it did not sit out the limit
        QVERIFY(session.portLost());
        QCOMPARE(session.portError(), QString("gone"));
    }

    // Every scan address probed once, in frames the compiler accepts.
    void scanFrames() {
        const auto frames = cli::scanFrames();
        QCOMPARE(frames.size(), std::size_t(4)); // 112 probes of 4 tokens, 31 a frame
        QString probed, listed;
        for (const auto& f : frames) {
            const auto result = compiler::compile(f.queue);
            QVERIFY(result.ok());
            const QString frame = QString::fromStdString(result.frame);
            for (int i = 7; i + 8 <= frame.size() - 1; i += 8) {
                QCOMPARE(frame.mid(i, 4), QString("0001"));
                QCOMPARE(frame.mid(i + 6, 2), QString("04"));
                probed += frame.mid(i + 4, 2) + " ";
            }
            for (int a : f.addresses)
                listed += QString("%1 ").arg(a * 2, 2, 16, QChar('0')).toUpper();
        }
        QString expected;
        for (int a = 0x08; a <= 0x77; ++a)
            expected += QString("%1 ").arg(a * 2, 2, 16, QChar('0')).toUpper();
        QCOMPARE(probed, expected);
        QCOMPARE(listed, expected);
    }

    void scanNote_data() {
        QTest::addColumn<QList<int>>("found");
        QTest::addColumn<QByteArray>("example");
        QTest::newRow("none") << QList<int>{}
                              << QByteArray("48 is Write 0x90 to write, Write 0x91");
        QTest::newRow("the first found")
            << QList<int>{0x77, 0x50} << QByteArray("50 is Write 0xA0 to write, Write 0xA1");
    }
    void scanNote() {
        QFETCH(QList<int>, found);
        QFETCH(QByteArray, example);
        cli::Presence present{};
        for (int a : found)
            present[static_cast<std::size_t>(a)] = true;
        QCOMPARE(
            QByteArray::fromStdString(cli::scanNote(present)),
            "Addresses are 7-bit. A script writes one shifted left, the direction in bit 0:\n" +
                example + " to read.\n");
    }

    // Only the exact answer to the probes marks addresses.
    void scanAnswers_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QString>("found");
        QTest::newRow("one ack") << QByteArray("!0010SW90nPSW92aPSW94nP\r") << true << "49";
        QTest::newRow("lower case") << QByteArray("!0010sw90APSW92nPsW94ap\r") << true << "48 4A";
        QTest::newRow("none") << QByteArray("!0010SW90nPSW92nPSW94nP\r") << true << "";
        QTest::newRow("other addresses") << QByteArray("!0010SW90aPSW92aPSW96aP\r") << false << "";
        QTest::newRow("stored script") << QByteArray("!0010SW90aW12aPSW92aP\r") << false << "";
        QTest::newRow("too few") << QByteArray("!0010SW90aPSW92aP\r") << false << "";
        QTest::newRow("no stop") << QByteArray("!0010SW90aSSW92aPSW94aP\r") << false << "";
        QTest::newRow("not a script") << QByteArray("!0011SW90aPSW92aPSW94aP\r") << false << "";
    }
    void scanAnswers() {
        QFETCH(QByteArray, frame);
        QFETCH(bool, taken);
        QFETCH(QString, found);
        cli::Presence present{};
        QCOMPARE(cli::readScanAnswer(frame.toStdString(), {0x48, 0x49, 0x4A}, present), taken);
        QStringList marked;
        for (int a = 0; a < 128; ++a)
            if (present[a]) marked << QString::number(a, 16).toUpper();
        QCOMPARE(marked.join(' '), found);
    }

    void scanGrid() {
        std::array<bool, 128> present{};
        present[0x48] = present[0x50] = present[0x08] = present[0x77] = true;
        present[0x03] = present[0x7A] = true; // outside the range: never shown
        const std::string expected = "     0  1  2  3  4  5  6  7  8  9  A  B  C  D  E  F\n"
                                     "00:                         08 -- -- -- -- -- -- --\n"
                                     "10: -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- --\n"
                                     "20: -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- --\n"
                                     "30: -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- --\n"
                                     "40: -- -- -- -- -- -- -- -- 48 -- -- -- -- -- -- --\n"
                                     "50: 50 -- -- -- -- -- -- -- -- -- -- -- -- -- -- --\n"
                                     "60: -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- --\n"
                                     "70: -- -- -- -- -- -- -- 77\n";
        QCOMPARE(cli::scanGrid(present), expected);
    }
};

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
