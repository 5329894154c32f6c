// The send engine the window and i2cscript share, over a FakePort.
#include "controls/formcodes.h"
#include "fakeport.h"
#include "link/modulesession.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace std::chrono_literals;
using Sent = serial::ModuleSession::Sent;

namespace {

// An open port, its engine, and what the engine told.
struct Rig {
    serial::FakePort port;
    serial::ModuleSession session{port};
    QStringList given;  // "frame=outcome"
    QStringList frames; // each frame cut, then its activity
    int arrivals = 0;
    QSignalSpy sending{&session, &serial::ModuleSession::sendingChanged};
    QSignalSpy awaiting{&session, &serial::ModuleSession::awaitingChanged};

    Rig() {
        port.open("COM1", "115200,n,8,1");
        session.onGiven = [this](std::string_view frame, Sent outcome) {
            given << QString::fromStdString(std::string(frame)).trimmed() + "=" +
                         QString::number(static_cast<int>(outcome));
        };
        session.onFrame = [this](std::string_view frame, const protocol::FrameEffect& effect) {
            frames << QString::fromStdString(std::string(frame)).trimmed() +
                          (effect.clearView ? " clears" : "");
        };
        session.onArrival = [this] { ++arrivals; };
    }
    // Characters from the module once the event loop runs.
    void later(const QByteArray& data, int ms = 0) {
        QTimer::singleShot(ms, &port, [this, data] { port.deliver(data); });
    }
};

QStringList recordOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList lines;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.isEmpty()) lines << QString::fromLatin1(line.mid(24)).trimmed(); // past the time
    return lines;
}

} // namespace

class TestModuleSession : public QObject {
    Q_OBJECT
  private slots:
    void comwriteOutcomes_data() {
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<int>("outcome");
        QTest::newRow("open") << true << false << QByteArray("$0013\r") << int(Sent::Written);
        QTest::newRow("no port") << false << false << QByteArray("$0013\r") << int(Sent::NoPort);
        QTest::newRow("closing") << true << true << QByteArray("$0013\r") << int(Sent::Nothing);
        QTest::newRow("empty") << true << false << QByteArray() << int(Sent::Nothing);
    }
    void comwriteOutcomes() {
        QFETCH(bool, open);
        QFETCH(bool, closed);
        QFETCH(QByteArray, frame);
        QFETCH(int, outcome);
        Rig r;
        if (!open) r.port.close();
        if (closed) r.session.close();
        QCOMPARE(int(r.session.comwrite(frame.toStdString(), 1)), outcome);
        // The frame is always given to the views, sent or not.
        QCOMPARE(r.given, QStringList{QString(frame).trimmed() + "=" + QString::number(outcome)});
        QCOMPARE(r.port.written.size(), outcome == int(Sent::Written) ? 1 : 0);
        QCOMPARE(r.sending.size(), outcome == int(Sent::Written) ? 2 : 0);
    }

    // An answer that comes during the pause after its command is decoded
    // before comwrite returns; a nested send's end leaves the outer busy.
    void pausesKeepDecoding() {
        Rig r;
        r.later("!0013a\r", 20);
        QObject inner;
        QTimer::singleShot(5, &inner, [&] {
            r.session.comwrite("$0012\r", 1);
            QCOMPARE(r.session.sending(), true);
        });
        r.session.comwrite("$0013\r", 10);
        QCOMPARE(r.frames, QStringList{"!0013a"});
        QCOMPARE(r.sending.size(), 2);
        QCOMPARE(r.sending.first().first().toBool(), true);
        QCOMPARE(r.sending.last().first().toBool(), false);
        QCOMPARE(r.port.written, (QByteArrayList{"$0013\r", "$0012\r"}));
    }

    // Frames arrive split and joined anyhow; each is handed on once, with
    // its effect, and each arrival that completed any is told once.
    void framesAsTheyCome() {
        Rig r;
        r.session.process(controls::kDecodeRequest, "!0010S");
        QCOMPARE(r.arrivals, 0);
        r.session.process(controls::kDecodeRequest, "P\r!00");
        r.session.process(controls::kDecodeRequest + 1, "13a\r"); // not a decode request
        r.port.deliver("13a\r!0012a\r");
        QCOMPARE(r.frames, (QStringList{"!0010SP clears", "!0013a", "!0012a"}));
        QCOMPARE(r.arrivals, 2);
    }

    // A click's frames go out one by one, until a wait is cancelled (the
    // user chose another port); a replay is awaited while a port is open.
    void aClicksFrames() {
        Rig r;
        QObject context;
        QTimer::singleShot(5, &context, [&] { r.session.cancelWaits(); });
        QVERIFY(!r.session.comwriteAll({"$0013\r", "$0012\r"}, 100));
        QCOMPARE(r.port.written, QByteArrayList{"$0013\r"});
        QCOMPARE(r.awaiting.size(), 0);
        r.session.comwriteAll({"$0012\r"}, 1); // Run Stored
        QVERIFY(r.session.awaiting());
        r.port.close();
        r.session.endAwait();
        r.session.comwriteAll({"$0012\r"}, 1);
        QVERIFY(!r.session.awaiting());
    }

    // Busy until an answer has come for each command awaited, or the limit.
    void awaitedAnswers() {
        Rig r;
        r.session.awaitAnswer("10", 5s);
        r.session.awaitAnswer("10", 5s);
        r.session.awaitAnswer("16", 5s);
        QCOMPARE(r.awaiting.size(), 1);
        r.port.deliver("!0010SP\r!0013a\r!0016a\r");
        QVERIFY(r.session.awaiting());
        r.port.deliver("!0010SP\r");
        QVERIFY(!r.session.awaiting());
        QCOMPARE(r.awaiting.size(), 2);
        QCOMPARE(r.awaiting.last().first().toBool(), false);
        r.session.awaitAnswer("10", 30ms);
        QTRY_VERIFY_WITH_TIMEOUT(!r.session.awaiting(), 3000);
        r.session.awaitAnswer("10", 5s);
        r.port.fail("gone");
        QVERIFY(!r.session.awaiting());
    }

    void waits() {
        Rig r;
        int answers = 0;
        r.session.onFrame = [&](std::string_view, const protocol::FrameEffect&) { ++answers; };
        // Ended by a cancel or a failed port, not by what comes after.
        QObject context;
        bool later = false;
        QTimer::singleShot(5, &context, [&] { r.session.cancelWaits(); });
        QTimer::singleShot(50, &context, [&] { later = true; });
        QVERIFY(!r.session.waitUntil([&] { return later; }, 5s));
        later = false;
        QTimer::singleShot(5, &context, [&] { r.port.fail("gone"); });
        QTimer::singleShot(50, &context, [&] { later = true; });
        QVERIFY(!r.session.waitUntil([&] { return later; }, 5s));
        QVERIFY(r.session.portLost());
        QCOMPARE(r.session.portError(), "gone");
        // A port opened again pauses and decodes again.
        r.port.open("COM1", "115200,n,8,1");
        r.later("!0012a\r", 5);
        r.session.comwrite("$0012\r", 10);
        QCOMPARE(answers, 1);
        r.session.close();
        QVERIFY(!r.session.waitUntil([] { return false; }, 5s));
    }

    // Every frame sent and received is recorded once, the received with its
    // activity, and a lost port as an event; a failing record is said once
    // per recorder.
    void recording() {
        QTemporaryDir dir;
        serial::Recorder recorder;
        QString error;
        QVERIFY(recorder.start(dir.filePath("s.txt"), error));
        Rig r;
        r.session.setRecorder(&recorder);
        r.session.comwrite("$0013\r", 1);
        r.port.deliver("!0013a\r!00");
        r.port.fail("COM1 stopped working");
        QCOMPARE(recordOf(dir.filePath("s.txt")),
                 (QStringList{"> $0013[cr]", "< !0013a[cr]\t[Edge = High-to-Low ]",
                              "* COM1 stopped working"}));

        QSignalSpy stopped(&r.session, &serial::ModuleSession::recordingStopped);
        serial::Recorder full;
        for (int round = 1; round <= 2; ++round) {
            QVERIFY(full.start("/dev/full", error));
            r.session.setRecorder(&full);
            r.port.open("COM1", "115200,n,8,1");
            r.session.comwrite("$0013\r", 1);
            r.session.comwrite("$0013\r", 1);
            QCOMPARE(stopped.size(), round);
        }
    }
};

QTEST_GUILESS_MAIN(TestModuleSession)
#include "tst_modulesession.moc"
