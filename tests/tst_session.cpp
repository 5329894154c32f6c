#include "cli/modulecommands.h"
#include "cli/scan.h"
#include "cli/session.h"
#include "compiler/compiler.h"
#include "fakeport.h"

#include <QtTest>

using namespace std::chrono_literals;

// A port open on "COM1" whose module sends the arrivals, each apart, once
// the event loop runs.
struct Module {
    serial::FakePort port;
    cli::Session session{port};
    explicit Module(QByteArrayList arrivals = {}) {
        port.open("COM1", "115200,n,8,1");
        deliver(arrivals);
    }
    void deliver(const QByteArrayList& arrivals) {
        for (const auto& a : arrivals)
            QTimer::singleShot(0, &port, [this, a] { port.deliver(a); });
    }
};

// A module on whose bus 0x08 and 0x77 answer: each script frame is answered
// once the event loop runs, after a stray answer of a stored script.
class BusPort : public serial::FakePort {
  public:
    int unanswered = 0, mostUnanswered = 0;
    void write(const QByteArray& data) override {
        FakePort::write(data);
        mostUnanswered = std::max(mostUnanswered, ++unanswered);
        QByteArray answer = "!0010";
        for (qsizetype at = 7; at + 6 <= data.size(); at += 8) { // "0001hh04" a probe
            const int address = data.mid(at + 4, 2).toInt(nullptr, 16);
            answer +=
                "SW" + data.mid(at + 4, 2) + (address == 0x10 || address == 0xEE ? "a" : "n") + "P";
        }
        QTimer::singleShot(0, this, [this, answer] {
            deliver("!0010SW90aP\r");
            deliver(answer + "\r");
            --unanswered;
        });
    }
};

// A module that answers every frame written with the same answer.
class AnsweringPort : public serial::FakePort {
  public:
    explicit AnsweringPort(QByteArray answer) : m_answer(std::move(answer)) {}
    void write(const QByteArray& data) override {
        FakePort::write(data);
        QTimer::singleShot(0, this, [this] { deliver(m_answer); });
    }

  private:
    QByteArray m_answer;
};

class TestSession : public QObject {
    Q_OBJECT
  private slots:
    void failureOnlyFromWatchedCodes() {
        Module m({"!0010SW92nP\r", "!0011a\r"});
        m.session.watchFailuresOf({"11"});
        QVERIFY(m.session.waitFor({"11"}, 1, 5s));
        QVERIFY(!m.session.failed()); // the nAck was in a frame not awaited
        m.deliver({"!0011e\r"});
        QVERIFY(m.session.waitFor({"11"}, 2, 5s));
        QVERIFY(m.session.failed());
    }

    // Only a power-up report that comes first greets the connection; one
    // later (the module was reset meanwhile) is output.
    void greeting() {
        for (const bool first : {true, false}) {
            Module m(first ? QByteArrayList{"!001a08\r", "!0013a\r"}
                           : QByteArrayList{"!0013a\r", "!001a08\r"});
            QVERIFY(m.session.waitFor({"13"}, 1, 5s));
            QCOMPARE(m.session.waitFor({"1A"}, 1, first ? 50ms : 5s), !first);
            QCOMPARE(m.session.view().find("Power up") != std::string::npos, !first);
        }
    }

    // Slave mode is answered with either of its codes.
    void controlSlave() {
        for (const QByteArray answer : {"!00FFa\r", "!007Fa\r"}) {
            cli::setPortMaker([answer] { return std::make_unique<AnsweringPort>(answer); });
            cli::CommandLine line{.command = "control", .arguments = {"slave"}, .port = "COM1"};
            line.timeout = 2s;
            QCOMPARE(cli::controlCommand(line), 0);
        }
        cli::setPortMaker({});
    }

    // Every scan address probed once, in frames the compiler accepts.
    void scanFrames() {
        QString probed, expected;
        for (const auto& f : cli::scanFrames()) {
            QString frame = QString("$0010%1").arg(4 * f.addresses.size() + 1, 2, 16, QChar('0'));
            for (int a : f.addresses) {
                frame += QString("0001%1").arg(a * 2, 2, 16, QChar('0')) + "04";
                probed += QString("%1 ").arg(a, 2, 16, QChar('0'));
            }
            QCOMPARE(QString::fromStdString(compiler::compile(f.queue).frame),
                     frame.toUpper() + "\r");
        }
        for (int a = 0x08; a <= 0x77; ++a)
            expected += QString("%1 ").arg(a, 2, 16, QChar('0'));
        QCOMPARE(probed, expected);
    }

    // Only the exact answer to the probes marks addresses.
    void scanAnswers() {
        for (const auto& [frame, found] : {std::pair{"!0010sw90APSW92nPsW94ap\r", "48 4A"},
                                           {"!0010SW90aW12aPSW92aP\r", ""},
                                           {"!0011SW90aPSW92aPSW94aP\r", ""}}) {
            cli::Presence present{};
            QCOMPARE(cli::readScanAnswer(frame, {0x48, 0x49, 0x4A}, present), *found != 0);
            QStringList marked;
            for (int a = 0; a < 128; ++a)
                if (present[a]) marked << QString::number(a, 16).toUpper();
            QCOMPARE(marked.join(' '), QString(found));
        }
    }

    // Each probe frame waits for its answer, the last one too.
    void probeBus() {
        BusPort port;
        port.open("COM1", "115200,n,8,1");
        cli::Session session(port);
        cli::Presence present{};
        QVERIFY(cli::probeBus(session, 5s, present));
        QCOMPARE(port.written.size(), qsizetype(cli::scanFrames().size()));
        QCOMPARE(port.mostUnanswered, 1);
        QCOMPARE(port.unanswered, 0);
        QCOMPARE(std::count(present.begin(), present.end(), true), 2);
        QVERIFY(present[0x08] && present[0x77]);
    }

    void scanGridAndNote() {
        cli::Presence present{};
        present[0x50] = present[0x08] = present[0x77] = true;
        present[0x03] = present[0x7A] = true; // outside the range: never shown
        const std::string grid = cli::scanGrid(present);
        QVERIFY(grid.starts_with("     0  1  2  3  4  5  6  7  8  9  A  B  C  D  E  F\n"
                                 "00:                         08 -- -- -- -- -- -- --\n"));
        QVERIFY(grid.find("\n50: 50 -- -- -- -- -- -- -- -- -- -- -- -- -- -- --\n") != grid.npos);
        QVERIFY(grid.ends_with("\n70: -- -- -- -- -- -- -- 77\n") && grid.size() == 8 * 52 + 28);
        // The example is the first address found.
        QVERIFY(cli::scanNote(present).ends_with(
            ":\n08 is Write 0x10 to write, Write 0x11 to read.\n"));
    }
};

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
