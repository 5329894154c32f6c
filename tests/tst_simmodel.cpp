#include "compiler/compiler.h"
#include "library/examples.h"
#include "sim/commandreader.h"
#include "sim/console.h"
#include "sim/model.h"

#include <QtTest>

using namespace std::chrono_literals;

namespace {

QStringList framesOf(const sim::Emissions& emissions) {
    QStringList out;
    for (const auto& e : emissions) {
        out << QString::fromLatin1(e.text.data(), qsizetype(e.text.size()));
        if (out.last().endsWith('\r')) out.last().chop(1);
    }
    return out;
}

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

QStringList run(const QStringList& steps, sim::Model model = sim::Model::Tamb) {
    sim::Module m(model);
    QStringList out;
    for (const auto& step : steps)
        out << framesOf(apply(m, step));
    return out;
}

} // namespace

class TestSimModel : public QObject {
    Q_OBJECT
  private slots:
    // One script on a fresh module; answer: the RxTokens of its "!0010" frame.
    void scripts_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("answer");
        auto row = [](const char* name, const char* script, const char* answer) {
            QTest::newRow(name) << script << answer;
        };
        row("start stop", "Start Stop", "SP");
        row("write without start", "Write 0x42", "W42n");
        row("read without start", "Read ack Read Nack", "RFFaRFFn");
        row("delays", "Delayu 0x0a Delaym 255", "D0AdFF");
        row("speed", "Speed", "s0");
        row("outputs", "GP0lo GP0hi GP1lo GP1hi GP2lo GP2hi GP3lo GP3hi", "2021303140415051");
        row("interrupt pin", "ReadInt", "61");
        row("supply", "SetV open SetV 2.5 SetV 3.0 SetV 3.5 SetV 4.0 SetV 5.0", "707172737475");
        row("bit-banging", "SCL? SDA? SCL0 SCL? SDA? SDA0 SDA? SCL1 SDA1 SCL? SDA?",
            "9193809093829281839193");
        row("unknown token", "badtokentest", "?76");
        row("token FF", "$001002FF", "?FF");
        row("write operand missing", "$00100201", "?01");
        row("delayu operand missing", "$0010030005", "S?05");
        row("delaym operand missing", "$00100206", "?06");
        row("lower-case hex", "$001003019a", "W9An");
        // The LM75, power-on registers, pointer kept between transfers.
        row("temperature cycles",
            "Start Write 0x90 Write 0 Start Write 0x91 Read ack Read ack Read "
            "ack Read Nack Stop",
            "SW90aW00aSW91aR19aR80aR19aR80nP");
        row("config and Thyst",
            "Start Write 0x90 Write 1 Start Write 0x91 Read ack Read Nack "
            "Start Write 0x90 Write 2 Start Write 0x91 Read ack Read Nack Stop",
            "SW90aW01aSW91aR00aR00nSW90aW02aSW91aR4BaR00nP");
        row("pointer persists", "Start Write 0x90 Write 3 Stop Start Write 0x91 Read ack Read Nack",
            "SW90aW03aPSW91aR50aR00n");
        row("9-bit Tos",
            "Start Write 0x90 Write 3 Write 0x12 Write 0xFF Start Write 0x91 Read "
            "ack Read Nack",
            "SW90aW03aW12aWFFaSW91aR12aR80n");
        row("5-bit config", "Start Write 0x90 Write 1 Write 0xFF Start Write 0x91 Read Nack",
            "SW90aW01aWFFaSW91aR1Fn");
        row("temperature read-only",
            "Start Write 0x90 Write 0 Write 5 Write 5 Start Write 0x91 "
            "Read ack",
            "SW90aW00aW05aW05aSW91aR19a");
        // Bus rules.
        row("absent address", "Start Write 0x50 Write 1 Stop Write 2", "SW50nW01nPW02n");
        row("read while addressed for write", "Start Write 0x90 Read ack", "SW90aRFFa");
        row("master nack ends sending", "Start Write 0x91 Read Nack Read ack", "SW91aR19nRFFa");
        // The EEPROM.
        row("erased", "Start Write 0xA0 Write 0x10 Start Write 0xA1 Read ack Read Nack",
            "SWA0aW10aSWA1aRFFaRFFn");
        row("page write wraps",
            "Start Write 0xA0 Write 6 Write 1 Write 2 Write 3 Stop Start Write "
            "0xA0 Write 0 Start Write 0xA1 Read ack Read Nack Stop",
            "SWA0aW06aW01aW02aW03aPSWA0aW00aSWA1aR03aRFFnP");
        row("current address after write",
            "Start Write 0xA0 Write 0x21 Write 0x11 Stop Start "
            "Write 0xA0 Write 0x20 Write 0x22 Stop Start Write "
            "0xA1 Read Nack",
            "SWA0aW21aW11aPSWA0aW20aW22aPSWA1aR11n");
        row("sequential read wraps",
            "Start Write 0xA0 Write 0 Write 0x55 Stop Start Write 0xA0 "
            "Write 0xFF Start Write 0xA1 Read ack Read Nack",
            "SWA0aW00aW55aPSWA0aWFFaSWA1aRFFaR55n");
        row("no stop, no write",
            "Start Write 0xA0 Write 5 Write 0x99 Start Write 0xA0 Write 5 "
            "Start Write 0xA1 Read Nack",
            "SWA0aW05aW99aSWA0aW05aSWA1aRFFn");
        // The example scripts of the example list, each on a fresh module.
        const char* answers[] = {"75",
                                 "SW91aR19aR80nP",
                                 "SW90aW02aSW91aR4BaR00nP",
                                 "SW91aR19nP",
                                 "SW90aW01aSW91aR00nP",
                                 "SW90aW01aW12aP",
                                 "SW90aW02aW34aW52aP",
                                 "21D0A2031D0A3041D0A405150"};
        static_assert(std::size(answers) == library::kExamples.size());
        for (std::size_t i = 0; i < library::kExamples.size(); ++i)
            QTest::addRow("example %zu", i)
                << QString::fromStdString(library::exampleScript(i)) << answers[i];
    }
    void scripts() {
        QFETCH(QString, script);
        QFETCH(QString, answer);
        QCOMPARE(run({script}), QStringList{"!0010" + answer});
    }

    // Steps in order on one module; frames: all it sends, without CRs.
    void frames_data() {
        QTest::addColumn<bool>("tolk");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("frames");
        auto row = [](const char* name, bool tolk, QStringList steps, QStringList frames) {
            QTest::newRow(name) << tolk << steps << frames;
        };
        row("version tamb", false, {"$0000"}, {"!000001530003"});
        row("version tolk", true, {"$0000"}, {"!000001530103"});
        row("power-up config", false, {"$0019"}, {"!00193300000"});
        row("unknown code", false, {"$0042", "$007e01", "$001a"}, {"!0042?", "!007E?", "!001A?"});
        row("data on control", false, {"$001301"}, {"!0013f"});
        row("code not hex", false, {"$00G1", "$00\x01!"}, {"!00G1f", "!00??f"});
        row("code cut short", false, {"$001", "$0", "$"}, {"!001f", "!00f", "!00f"});
        row("address not hex", false, {"$0G00"}, {"!0000f"});
        row("other unit", false, {"$0100", "$FF10020000", "$0aFF"}, {});
        row("count mismatch", false, {"$00100300", "$0010020000"}, {"!0010f", "!0010f"});
        row("count missing or odd", false, {"$0010", "$0010020"}, {"!0010f", "!0010f"});
        row("token not hex", false, {"$001002G0"}, {"!0010f"});
        row("count above 125", false, {"$00107E" + QString(250, '0')}, {"!0010f"});
        row("empty script", false, {"$001001"}, {"!0010"});
        row("longest script", false, {"$00107D" + QString("10").repeated(124)},
            {"!0010" + QString("s0").repeated(124)});
        row("settings", false, {"$0014", "$0015", "$0018", "SetV 2.5", "$0019"},
            {"!0014a", "!0015a", "!0018a", "!001071", "!00192500111"});
        row("settings back", false, {"$0014", "$0015", "$0018", "$0013", "$0016", "$0017", "$0019"},
            {"!0014a", "!0015a", "!0018a", "!0013a", "!0016a", "!0017a", "!00193300000"});
        row("reset keeps settings not supply", false,
            {"$0014", "$0015", "$0018", "SetV 5.0", "reset", "$0019"},
            {"!0014a", "!0015a", "!0018a", "!001075", "!001A08", "!00193300111"});
        row("nothing to store or replay", false, {"$0011", "$0012"}, {"!0011e", "!0012e"});
        row("store and replay", false, {"Start Write 0x90 Stop", "$0011", "$0012"},
            {"!0010SW90aP", "!0011a", "!0010SW90aP", "!0012a"});
        row("malformed script is not stored", false, {"$00100300", "$0011"}, {"!0010f", "!0011e"});
        row("last ran forgotten at reset", false, {"Speed", "wdt", "$0011"},
            {"!0010s0", "!001A00", "!0011e"});
        row("stored survives reset at its speed", false,
            {"Speed", "$0011", "$0018", "wdt", "$0012", "Speed"},
            {"!0010s0", "!0011a", "!0018a", "!001A00", "!0010s0", "!0012a", "!0010s1"});
        row("open announces and keeps the state", false,
            {"SetV 5.0", "Speed", "$00FF", "open", "$0011", "$0019"},
            {"!001075", "!0010s0", "!00FFn", "!001A08", "!0011a", "!00195000000"});
        row("sniffing tolk stays silent on open", true, {"$00FF", "open", "$0000"}, {"!00FFa"});
        row("tamb has no sniffer", false, {"$00ff", "$0000"}, {"!00FFn", "!000001530003"});
        row("tolk sniffs until reset", true, {"$00FF", "$0000", "int 0", "Speed", "reset", "$0000"},
            {"!00FFa", "!001A08", "!000001530103"});
        row("interrupt reports", false, {"int 0", "int 0", "ReadInt", "int 1"},
            {"!00200", "!001060", "!00201"});
        // A reset restarts the module, not the outside world that drives the input.
        row("resets keep the input level", false, {"int 0", "reset", "ReadInt", "wdt", "ReadInt"},
            {"!00200", "!001A08", "!001060", "!001A00", "!001060"});
        row("trigger high-to-low", false,
            {"Start Write 0x91 Read Nack", "$0011", "$0015", "int 0", "int 1"},
            {"!0010SW91aR19n", "!0011a", "!0015a", "!00200", "!0010SW91aR19n", "!00201"});
        row("trigger low-to-high", false, {"ReadInt", "$0011", "$0014", "$0015", "int 0", "int 1"},
            {"!001061", "!0011a", "!0014a", "!0015a", "!00200", "!00201", "!001061"});
        row("trigger off", false, {"Speed", "$0011", "int 0"}, {"!0010s0", "!0011a", "!00200"});
        row("trigger with nothing stored", false, {"$0015", "int 0"}, {"!0015a", "!00200"});
        const QString readTemperature =
            "Start Write 0x90 Write 0 Start Write 0x91 Read ack Read Nack";
        row("temperature rounded", false, {"temp 30.2", readTemperature},
            {"!0010SW90aW00aSW91aR1EaR00n"});
        row("temperature negative", false, {"temp -0.5", readTemperature},
            {"!0010SW90aW00aSW91aRFFaR80n"});
        row("temperature clamped", false,
            {"temp 200", readTemperature, "temp -99", readTemperature},
            {"!0010SW90aW00aSW91aR7DaR00n", "!0010SW90aW00aSW91aRC9aR00n"});
    }
    void frames() {
        QFETCH(bool, tolk);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, frames);
        QCOMPARE(run(steps, tolk ? sim::Model::Tolk : sim::Model::Tamb), frames);
    }

    void frameWithoutCrIsMalformed() {
        sim::Module m;
        QCOMPARE(framesOf(m.handleFrame("$0000")), QStringList{"!0000f"});
        QCOMPARE(framesOf(m.handleFrame("$0100")), QStringList{});
    }

    void runTime() {
        sim::Module m;
        const auto slow = m.handleFrame(frameOf("Start Write 0x90 Write 0 Stop Delaym 9"));
        QCOMPARE(slow.size(), std::size_t(1));
        QVERIFY(slow[0].delay > 10ms && slow[0].delay < 11ms);
        m.handleFrame(frameOf("$0018"));
        const auto fast = m.handleFrame(frameOf("Start Write 0x90 Write 0 Stop Delaym 9"));
        QVERIFY(fast[0].delay > 10ms && fast[0].delay < slow[0].delay);

        // The replay's own answer follows the script's, which takes the time.
        m.handleFrame(frameOf("$0011"));
        const auto replay = m.handleFrame(frameOf("$0012"));
        QCOMPARE(replay.size(), std::size_t(2));
        QCOMPARE(replay[0].delay, fast[0].delay);
        QCOMPARE(replay[1], (sim::Emission{0us, "!0012a\r"}));
    }

    // Every split of the input gives the same frames.
    void reader_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QList<QByteArray>>("frames");
        QTest::newRow("two frames")
            << QByteArray("$0000\r$0019\r") << QList<QByteArray>{"$0000\r", "$0019\r"};
        QTest::newRow("outside dropped")
            << QByteArray("xy\r\n$0000\rzz") << QList<QByteArray>{"$0000\r"};
        QTest::newRow("$ restarts") << QByteArray("$00$0019\r") << QList<QByteArray>{"$0019\r"};
        QTest::newRow("longest") << "$" + QByteArray(999, 'A') + "\r"
                                 << QList<QByteArray>{"$" + QByteArray(999, 'A') + "\r"};
        QTest::newRow("too long") << "$" + QByteArray(1500, 'A') + "\r$0000\r"
                                  << QList<QByteArray>{"$" + QByteArray(999, 'A'), "$0000\r"};
    }
    void reader() {
        QFETCH(QByteArray, input);
        QFETCH(QList<QByteArray>, frames);
        for (qsizetype cut = 0; cut <= input.size(); cut += 1 + input.size() / 40) {
            sim::CommandReader reader;
            QList<QByteArray> got;
            for (auto chunk : {input.left(cut), input.mid(cut)}) {
                std::string_view rest(chunk.constData(), std::size_t(chunk.size()));
                while (!rest.empty())
                    if (auto frame = reader.next(rest)) got << QByteArray::fromStdString(*frame);
            }
            QCOMPARE(got, frames);
        }
    }

    void overlongFrameIsAnswered() {
        sim::CommandReader reader;
        const std::string input = "$0010" + std::string(2000, '0') + "\r";
        std::string_view rest = input;
        sim::Module m;
        QCOMPARE(framesOf(m.handleFrame(*reader.next(rest))), QStringList{"!0010f"});
        QVERIFY(!reader.next(rest));
    }

    // Each line: the command, with the line that confirms it, or what the
    // command takes.
    void console_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("kind"); // -1: refused
        QTest::addColumn<QByteArray>("answer");
        using Kind = sim::ConsoleCommand::Kind;
        auto row = [](const char* name, const char* line, int kind, const char* answer) {
            QTest::newRow(name) << line << kind << QByteArray(answer);
        };
        row("empty", "  ", int(Kind::Nothing), "");
        row("int 0", "int 0", int(Kind::Interrupt), "interrupt input low");
        row("int 1", "int 1", int(Kind::Interrupt), "interrupt input high");
        row("temp", "temp -3.25", int(Kind::Temperature), "sensor at -3.25 degrees");
        row("temp highest", "temp 125", int(Kind::Temperature), "sensor at 125 degrees");
        row("reset", "reset", int(Kind::Reset), "power-up reset");
        row("wdt", "wdt", int(Kind::Watchdog), "watchdog reset");
        row("flood", "flood 10000000000", int(Kind::Flood),
            "sending 10000000000 interrupt reports");
        row("noise", "noise 5000", int(Kind::Noise), "sending 5000 characters of noise");
        row("quit", "QUIT\r", int(Kind::Quit), "quitting");
        row("help", "help", int(Kind::Help), sim::kConsoleHelp.data());
        row("int 2", "int 2", -1, "int takes 0 (input low) or 1 (input high)");
        row("int alone", "int", -1, "int takes 0 (input low) or 1 (input high)");
        row("temp word", "temp warm", -1, "temp takes degrees from -55 to 125");
        row("temp too hot", "temp 125.5", -1, "temp takes degrees from -55 to 125");
        row("temp too cold", "temp -56", -1, "temp takes degrees from -55 to 125");
        row("flood negative", "flood -1", -1, "flood takes a count, a whole number from 0");
        row("noise alone", "noise", -1, "noise takes a count, a whole number from 0");
        row("extra word", "reset now", -1, "reset takes no argument");
        row("unknown", "frob", -1,
            "unknown command \"frob\" (commands: int 0|1, temp CELSIUS, reset, wdt, flood "
            "COUNT, noise COUNT, help, quit)");
    }
    void console() {
        QFETCH(QString, line);
        QFETCH(int, kind);
        QFETCH(QByteArray, answer);
        const auto parsed = sim::parseConsoleLine(line.toStdString());
        const auto* command = std::get_if<sim::ConsoleCommand>(&parsed);
        QCOMPARE(command ? int(command->kind) : -1, kind);
        const std::string text =
            command ? sim::confirmation(*command) : std::get<std::string>(parsed);
        QCOMPARE(QByteArray::fromStdString(text), answer);
    }
};

QTEST_APPLESS_MAIN(TestSimModel)
#include "tst_simmodel.moc"
