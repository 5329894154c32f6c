#include "compiler/compiler.h"
#include "library/examples.h"
#include "protocol/decoder.h"
#include "protocol/outcome.h"

#include <QtTest>

class TestOutcome : public QObject {
    Q_OBJECT
  private slots:
    void reportsFailure_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<bool>("failed");
        auto row = [](const char* name, const char* frame, const char* code, bool failed) {
            QTest::newRow(name) << QByteArray(frame) << QByteArray(code) << failed;
        };
        row("all acked", "!0010SW90aW01aSW91aR00nP\r", "10", false);
        row("write nack", "!0010SW92nP\r", "10", true);
        row("write nack upper", "!0010sw92NP\r", "10", true);
        // The master's nAck after the last read is how a read ends, not a failure.
        row("read nack", "!0010SW91aR19aR80nP\r", "10", false);
        row("bad token", "!0010S?76P\r", "10", true);
        row("speed answer", "!0010s0\r", "10", false);
        // An "n" that is a read byte's digit must not be taken for a nAck.
        row("hex digits", "!0010W0Aa\r", "10", false);
        row("delays", "!0010D09d0A\r", "10", false);
        row("store ok", "!0011a\r", "11", false);
        row("store empty", "!0011e\r", "11", true);
        row("replay empty", "!0012e\r", "12", true);
        row("replay upper", "!0012A\r", "12", false);
        row("slave refused", "!00FFn\r", "FF", true);
        row("slave alias", "!007Fa\r", "7F", false);
        row("slave alias refused", "!007Fn\r", "7F", true);
        row("slave lower", "!00ffa\r", "FF", false);
        row("no exec code", "!0011\r", "11", true);
        row("edge nack", "!0013n\r", "13", false);
        row("short", "!001\r", "1", false);
        row("bare", "!00\r", "", false);
    }
    void reportsFailure() {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, code);
        QFETCH(bool, failed);
        QCOMPARE(QByteArray::fromStdString(protocol::commandCodeOf(frame.toStdString())), code);
        QCOMPARE(protocol::reportsFailure(frame.toStdString()), failed);
    }

    // The walk the failure check and the decoder share.
    void tokensOfAnAnswer() {
        QStringList tokens;
        protocol::forEachRxToken("!0010SW90aD0As1?7621R1An\r", [&](std::string_view t) {
            tokens << QString::fromStdString(std::string(t));
        });
        QCOMPARE(tokens, QStringList({"S", "W90a", "D0A", "s1", "?76", "21", "R1An"}));
    }

    void examples_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("supply") << 0 << QByteArray("$00100275\r");
        QTest::newRow("2 byte read") << 1 << QByteArray("$001007000191020304\r");
        QTest::newRow("pointer read") << 2 << QByteArray("$00100C0001900102000191020304\r");
        QTest::newRow("config read") << 3 << QByteArray("$0010060001910304\r");
        QTest::newRow("pointer config") << 4 << QByteArray("$00100B00019001010001910304\r");
        QTest::newRow("config write") << 5 << QByteArray("$0010090001900101011204\r");
        QTest::newRow("tos thyst") << 6 << QByteArray("$00100B00019001020134015204\r");
        QTest::newRow("walking") << 7 << QByteArray("$00100F21050A2031050A3041050A405150\r");
    }
    void examples() {
        QFETCH(int, index);
        QFETCH(QByteArray, frame);
        const std::string script = library::exampleScript(index);
        QVERIFY(script.starts_with(";" + std::string(library::kExamples[index].title) + "\r\n"));
        QVERIFY(script.ends_with("\r\n"));
        auto result = compiler::compile(script);
        QVERIFY(result.ok());
        QCOMPARE(QByteArray::fromStdString(result.frame), frame);
    }
    void exampleLines() {
        const std::string walking = library::exampleScript(7);
        QCOMPARE(std::count(walking.begin(), walking.end(), '\n'), 12);
        QVERIFY(library::exampleScript(0).find("SetV    5.0\r\n") != std::string::npos);
        QCOMPARE(library::exampleScript(8), std::string());
    }
};

QTEST_APPLESS_MAIN(TestOutcome)
#include "tst_outcome.moc"
