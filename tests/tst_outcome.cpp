#include "compiler/compiler.h"
#include "library/examples.h"
#include "protocol/decoder.h"
#include "protocol/outcome.h"

#include <QtTest>

class TestOutcome : public QObject {
    Q_OBJECT
  private slots:
    // Empty reason: no failure.
    void reportsFailure_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QByteArray>("reason");
        auto row = [](const char* name, const char* frame, const char* code, const char* reason) {
            QTest::newRow(name) << QByteArray(frame) << QByteArray(code) << QByteArray(reason);
        };
        const char* none = "";
        const char* nack92 = "WRITE 0x92 was not acknowledged";
        row("all acked", "!0010SW90aW01aSW91aR00nP\r", "10", none);
        row("write nack", "!0010SW92nP\r", "10", nack92);
        row("write nack upper", "!0010sw92NP\r", "10", nack92);
        row("first nack named", "!0010SW90aW92nW00nP\r", "10", nack92);
        row("lower-case hex", "!0010SW9anP\r", "10", "WRITE 0x9A was not acknowledged");
        // The master's nAck after the last read is how a read ends, not a failure.
        row("read nack", "!0010SW91aR19aR80nP\r", "10", none);
        row("bad token", "!0010S?76P\r", "10", "the module does not know the token 0x76");
        row("speed answer", "!0010s0\r", "10", none);
        // An "n" that is a read byte's digit must not be taken for a nAck.
        row("hex digits", "!0010W0Aa\r", "10", none);
        row("delays", "!0010D09d0A\r", "10", none);
        row("store ok", "!0011a\r", "11", none);
        row("store empty", "!0011e\r", "11", "the module holds no script to store");
        row("store refused", "!0011n\r", "11", "the module refused to store the script");
        row("replay empty", "!0012e\r", "12", "the module has no stored script to replay");
        row("replay failed", "!0012n\r", "12", "the module could not replay the stored script");
        row("replay upper", "!0012A\r", "12", none);
        row("slave refused", "!00FFn\r", "FF", "the module does not support slave mode");
        row("slave alias", "!007Fa\r", "7F", none);
        row("slave alias refused", "!007Fn\r", "7F", "the module does not support slave mode");
        row("slave lower", "!00ffa\r", "FF", none);
        row("no exec code", "!0011\r", "11", "the module refused to store the script");
        row("edge nack", "!0013n\r", "13", none);
        row("short", "!001\r", "1", none);
        row("bare", "!00\r", "", none);
    }
    void reportsFailure() {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, code);
        QFETCH(QByteArray, reason);
        QCOMPARE(QByteArray::fromStdString(protocol::commandCodeOf(frame.toStdString())), code);
        QCOMPARE(protocol::reportsFailure(frame.toStdString()), !reason.isEmpty());
        QCOMPARE(QByteArray::fromStdString(protocol::failureOf(frame.toStdString())), reason);
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
