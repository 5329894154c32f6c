#include "compiler/compiler.h"
#include "sim/console.h"
#include "sim/model.h"

#include <QtTest>

using namespace std::chrono_literals;

namespace {

std::string frameOf(const QString& step) {
    if (step.startsWith('$')) return step.toLatin1().toStdString() + "\r";
    return compiler::compile(compiler::typedQueue(step.toStdString())).frame;
}

// A step is a raw frame ("$..." without CR), an outside event (int 0|1,
// reset, wdt, temp C, a client's open) or a command queue, compiled and sent.
sim::Emissions apply(sim::Module& m, const QString& step) {
    if (step == "int 0" || step == "int 1") return m.setInterrupt(step.endsWith('1'));
    if (step == "reset") return m.powerUp();
    if (step == "open") return m.announce();
    if (step == "wdt") return m.watchdogReset();
    if (step.startsWith("temp ")) {
        m.setTemperature(step.mid(5).toDouble());
        return {};
    }
    return m.handleFrame(frameOf(step));
}

} // namespace

class TestSimModel : public QObject {
    Q_OBJECT
  private slots:
    // Steps in order on one module; frames: all it sends, without CRs.
    void frames_data() {
        QTest::addColumn<bool>("tolk");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("frames");
        auto row = [](const char* name, QStringList steps, QStringList frames, bool tolk = false) {
            QTest::newRow(name) << tolk << steps << frames;
        };
        row("write without start", {"Write 0x42"}, {"!0010W42n"});
        row("bad tokens", {"badtokentest", "$0010030005"}, {"!0010?76", "!0010S?05"});
        // The LM75: power-on registers, a pointer of two bits kept between transfers.
        row("pointer persists",
            {"Start Write 0x90 Write 5 Write 0xFF Stop Start Write 0x91 Read ack Read Nack"},
            {"!0010SW90aW05aWFFaPSW91aR1FaR1Fn"});
        row("master nack ends sending", {"Start Write 0x91 Read Nack Read ack"},
            {"!0010SW91aR19nRFFa"});
        // The EEPROM.
        row("page write wraps",
            {"Start Write 0xA0 Write 6 Write 1 Write 2 Write 3 Stop Start "
             "Write 0xA0 Write 0 Start Write 0xA1 Read ack Read Nack Stop"},
            {"!0010SWA0aW06aW01aW02aW03aPSWA0aW00aSWA1aR03aRFFnP"});
        row("no stop, no write",
            {"Start Write 0xA0 Write 5 Write 0x99 Start Write 0xA0 Write 5 "
             "Start Write 0xA1 Read Nack"},
            {"!0010SWA0aW05aW99aSWA0aW05aSWA1aRFFn"});
        // Framing.
        row("unknown code", {"$0042", "$001301"}, {"!0042?", "!0013f"});
        row("other unit", {"$0100", "$FF10020000"}, {});
        row("count mismatch", {"$00100300", "$0010020000"}, {"!0010f", "!0010f"});
        row("count above 125", {"$00107E" + QString(250, '0')}, {"!0010f"});
        // Settings, stored script, resets.
        row("settings and back",
            {"$0014", "$0015", "$0018", "SetV 2.5", "$0019", "$0013", "$0016", "$0017", "$0019"},
            {"!0014a", "!0015a", "!0018a", "!001071", "!00192500111", "!0013a", "!0016a", "!0017a",
             "!00192500000"});
        row("reset keeps settings not supply",
            {"$0014", "$0015", "$0018", "SetV 5.0", "reset", "$0019"},
            {"!0014a", "!0015a", "!0018a", "!001075", "!001A08", "!00193300111"});
        row("nothing to store or replay", {"$0011", "$00100300", "$0011", "$0012"},
            {"!0011e", "!0010f", "!0011e", "!0012e"});
        row("stored survives reset at its speed",
            {"Speed", "$0011", "$0018", "wdt", "$0012", "Speed"},
            {"!0010s0", "!0011a", "!0018a", "!001A00", "!0010s0", "!0012a", "!0010s1"});
        row("open announces and keeps the state",
            {"SetV 5.0", "Speed", "$00FF", "open", "$0011", "$0019"},
            {"!001075", "!0010s0", "!00FFn", "!001A08", "!0011a", "!00195000000"});
        row("tolk sniffs until reset", {"$00FF", "open", "$0000", "int 0", "reset", "$0000"},
            {"!00FFa", "!001A08", "!000001530103"}, true);
        // A reset restarts the module, not the outside world that drives the input.
        row("interrupt reports", {"int 0", "int 0", "reset", "ReadInt", "int 1"},
            {"!00200", "!001A08", "!001060", "!00201"});
        row("trigger low-to-high", {"ReadInt", "$0011", "$0014", "$0015", "int 0", "int 1"},
            {"!001061", "!0011a", "!0014a", "!0015a", "!00200", "!00201", "!001061"});
        row("trigger off, and a reset forgets the last script",
            {"ReadInt", "$0011", "$0014", "int 0", "int 1", "reset", "$0011"},
            {"!001061", "!0011a", "!0014a", "!00200", "!00201", "!001A08", "!0011e"});
        const QString readTemperature =
            "Start Write 0x90 Write 0 Start Write 0x91 Read ack Read Nack";
        row("temperature negative and clamped",
            {"temp -0.5", readTemperature, "temp 200", readTemperature},
            {"!0010SW90aW00aSW91aRFFaR80n", "!0010SW90aW00aSW91aR7DaR00n"});
    }
    void frames() {
        QFETCH(bool, tolk);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, frames);
        sim::Module m(tolk ? sim::Model::Tolk : sim::Model::Tamb);
        QStringList out;
        for (const auto& step : steps)
            for (const auto& e : apply(m, step))
                out << QString::fromStdString(e.text).chopped(1);
        QCOMPARE(out, frames);
    }

    void runTime() {
        sim::Module m;
        const auto slow = m.handleFrame(frameOf("Start Write 0x90 Write 0 Stop Delaym 9"));
        QVERIFY(slow.at(0).delay > 10ms && slow[0].delay < 11ms);
        m.handleFrame(frameOf("$0018"));
        const auto fast = m.handleFrame(frameOf("Start Write 0x90 Write 0 Stop Delaym 9"));
        QVERIFY(fast.at(0).delay > 10ms && fast[0].delay < slow[0].delay);
    }

    // Each console line: the line that confirms it, or what the command takes.
    void console() {
        auto said = [](const char* line) {
            const auto parsed = sim::parseConsoleLine(line);
            const auto* command = std::get_if<sim::ConsoleCommand>(&parsed);
            return command ? sim::confirmation(*command) : std::get<std::string>(parsed);
        };
        QCOMPARE(said("help"), std::string(sim::kConsoleHelp));
        QCOMPARE(said("temp -3.25"), std::string("sensor at -3.25 degrees"));
        QCOMPARE(said("temp 125.5"), std::string("temp takes degrees from -55 to 125"));
        QCOMPARE(said("temp 30 40"), std::string("temp takes degrees from -55 to 125"));
        QVERIFY(said("frob").starts_with("unknown command \"frob\" (commands: int 0|1,"));
    }
};

QTEST_APPLESS_MAIN(TestSimModel)
#include "tst_simmodel.moc"
