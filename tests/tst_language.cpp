#include "compiler/compiler.h"
#include "compiler/language.h"

#include <QtTest>
#include <set>

// Tokens of a single command: the frame minus "$0010cc" and the CR.
static QByteArray tokensOf(const QByteArray& queue) {
    auto result = compiler::compile(queue.toStdString());
    if (!result.ok()) return "error: " + QByteArray::fromStdString(result.error->message);
    return QByteArray::fromStdString(result.frame.substr(7, result.frame.size() - 8));
}

class TestLanguage : public QObject {
    Q_OBJECT
  private slots:
    void tableIsConsistent() {
        std::set<std::string_view> keywords;
        for (const auto& c : compiler::kCommands) {
            QVERIFY2(keywords.insert(c.keyword).second, c.keyword.data());
            for (char ch : c.keyword)
                QVERIFY(compiler::isElementChar(ch) && !(ch >= 'A' && ch <= 'Z'));
            const bool tokenFromParameter = c.parameter == compiler::Parameter::Read ||
                                            c.parameter == compiler::Parameter::Supply;
            QCOMPARE(c.token.empty(), tokenFromParameter);
        }
    }

    // Every keyword compiles in every case to its token.
    void keywords_data() {
        QTest::addColumn<QByteArray>("queue");
        QTest::addColumn<QByteArray>("tokens");
        const struct {
            const char* word;
            const char* tokens;
        } rows[] = {
            {"start", "00"},      {"stop", "04"},      {"speed", "10"},        {"gp0lo", "20"},
            {"gp0hi", "21"},      {"gp1lo", "30"},     {"gp1hi", "31"},        {"gp2lo", "40"},
            {"gp2hi", "41"},      {"gp3lo", "50"},     {"gp3hi", "51"},        {"readint", "60"},
            {"scl0", "80"},       {"scl1", "81"},      {"sda0", "82"},         {"sda1", "83"},
            {"scl?", "90"},       {"sda?", "92"},      {"badtokentest", "76"}, {"write 1", "0101"},
            {"delayu 1", "0501"}, {"delay 1", "0501"}, {"delaym 1", "0601"},   {"read ack", "02"},
            {"setv open", "70"},
        };
        for (const auto& r : rows) {
            QByteArray lower(r.word);
            QTest::newRow(r.word) << lower << QByteArray(r.tokens);
            QTest::newRow((lower + " upper").constData())
                << lower.toUpper() << QByteArray(r.tokens);
            QByteArray mixed = lower;
            mixed[0] = char(std::toupper(mixed[0]));
            QTest::newRow((lower + " mixed").constData()) << mixed << QByteArray(r.tokens);
        }
    }
    void keywords() {
        QFETCH(QByteArray, queue);
        QFETCH(QByteArray, tokens);
        QCOMPARE(tokensOf(queue), tokens);
    }

    void parameters_data() {
        QTest::addColumn<QByteArray>("queue");
        QTest::addColumn<QByteArray>("tokens");
        QTest::newRow("delayu decimal") << QByteArray("Delayu 10") << QByteArray("050A");
        QTest::newRow("delayu hex") << QByteArray("Delayu 0x0a") << QByteArray("050A");
        QTest::newRow("leading zero is decimal") << QByteArray("Delayu 010") << QByteArray("050A");
        QTest::newRow("delay") << QByteArray("Delay 10") << QByteArray("050A");
        QTest::newRow("delaym") << QByteArray("DelayM 255") << QByteArray("06FF");
        QTest::newRow("hex") << QByteArray("Write  0x91") << QByteArray("0191");
        QTest::newRow("decimal") << QByteArray("write 145") << QByteArray("0191");
        QTest::newRow("upper X") << QByteArray("WRITE 0X9a") << QByteArray("019A");
        QTest::newRow("first char not examined") << QByteArray("write 9x91") << QByteArray("0191");
        QTest::newRow("hex keeps two digits") << QByteArray("Write 0x123") << QByteArray("0112");
        QTest::newRow("one hex digit") << QByteArray("Write 0x1") << QByteArray("0101");
        QTest::newRow("no hex digit") << QByteArray("Write 0x") << QByteArray("0100");
        QTest::newRow("hex non-digits skipped") << QByteArray("Write 0xg5") << QByteArray("0105");
        QTest::newRow("word") << QByteArray("Write abc") << QByteArray("0100");
        QTest::newRow("x must be second") << QByteArray("Write x91") << QByteArray("0100");
        QTest::newRow("256 wraps") << QByteArray("Write 256") << QByteArray("0100");
        QTest::newRow("300") << QByteArray("Write 300") << QByteArray("012C");
        QTest::newRow("fraction half even") << QByteArray("Write 2.5") << QByteArray("0102");
        QTest::newRow("fraction rounds") << QByteArray("Write 2.51") << QByteArray("0103");
        QTest::newRow("leading point") << QByteArray("Write .6") << QByteArray("0101");
        QTest::newRow("trailing point") << QByteArray("Write 7.") << QByteArray("0107");
        QTest::newRow("exponent") << QByteArray("Write 1e2") << QByteArray("0164");
        QTest::newRow("exponent upper") << QByteArray("Write 1E5") << QByteArray("01A0");
        QTest::newRow("dangling exponent") << QByteArray("Write 12e") << QByteArray("010C");
        QTest::newRow("digits then letters") << QByteArray("Write 12abc") << QByteArray("010C");
        QTest::newRow("beyond 2^31") << QByteArray("Write 99999999999") << QByteArray("01FF");
        QTest::newRow("beyond a double") << QByteArray("Write 1e999") << QByteArray("0100");
        QTest::newRow("inf is a word") << QByteArray("Write inf") << QByteArray("0100");
        QTest::newRow("last element") << QByteArray("Write") << QByteArray("0100");
        QTest::newRow("setv 5.0") << QByteArray("SetV    5.0") << QByteArray("75");
        QTest::newRow("setv OPEN") << QByteArray("setv OPEN") << QByteArray("70");
        QTest::newRow("setv 2.5") << QByteArray("setv 2.5") << QByteArray("71");
        QTest::newRow("setv 3.0") << QByteArray("setv 3.0") << QByteArray("72");
        QTest::newRow("setv 3.5") << QByteArray("setv 3.5") << QByteArray("73");
        QTest::newRow("setv 4.0") << QByteArray("setv 4.0") << QByteArray("74");
        QTest::newRow("setv 3.3") << QByteArray("SetV 3.3")
                                  << QByteArray("error: Unidentified element encountered: \r\n3.3");
        QTest::newRow("setv 5") << QByteArray("SetV 5")
                                << QByteArray("error: Unidentified element encountered: \r\n5");
        QTest::newRow("setv 5.00")
            << QByteArray("SetV 5.00")
            << QByteArray("error: Unidentified element encountered: \r\n5.00");
        QTest::newRow("setv last")
            << QByteArray("SetV") << QByteArray("error: Unidentified element encountered: \r\n");
        QTest::newRow("read ack") << QByteArray("Read   ack") << QByteArray("02");
        QTest::newRow("read ACK") << QByteArray("read ACK") << QByteArray("02");
        QTest::newRow("read Nack") << QByteArray("Read   Nack") << QByteArray("03");
        QTest::newRow("read other") << QByteArray("Read foo") << QByteArray("03");
        QTest::newRow("read last") << QByteArray("Read") << QByteArray("03");
        QTest::newRow("read eats stop") << QByteArray("Read Stop") << QByteArray("03");
        QTest::newRow("write eats keyword")
            << QByteArray("Write Start Stop") << QByteArray("010004");
        QTest::newRow("parameter on next line")
            << QByteArray("Write\r\n0x90") << QByteArray("0190");
    }
    void parameters() {
        QFETCH(QByteArray, queue);
        QFETCH(QByteArray, tokens);
        QCOMPARE(tokensOf(queue), tokens);
    }

    // The time a script asks for, read from its tokens.
    void requestedDelay_data() {
        QTest::addColumn<QByteArray>("queue");
        QTest::addColumn<qint64>("micros");
        QTest::newRow("none") << QByteArray("Start\r\nStop") << qint64(0);
        QTest::newRow("us 0 is 1") << QByteArray("Delayu 0") << qint64(1);
        QTest::newRow("us ff") << QByteArray("Delayu 0xff") << qint64(256);
        QTest::newRow("ms") << QByteArray("Delaym 9") << qint64(10000);
        QTest::newRow("sum") << QByteArray("Delaym 0, Delay 4, GP0hi, Delaym 1") << qint64(3005);
        // A written 05 or 06 is a byte value, not a delay.
        QTest::newRow("write 06") << QByteArray("Write 6, Write 0x05") << qint64(0);
        QTest::newRow("walking pulses")
            << QByteArray("GP0hi Delayu 10 GP0lo Delayu 0x0a Delayu 010") << qint64(33);
    }
    void requestedDelay() {
        QFETCH(QByteArray, queue);
        QFETCH(qint64, micros);
        const QByteArray tokens = tokensOf(queue);
        QCOMPARE(compiler::requestedDelay(tokens.toStdString()).count(), micros);
    }
    void requestedDelayOfCutTokens() {
        QCOMPARE(compiler::requestedDelay("06").count(), 0);
        QCOMPARE(compiler::requestedDelay("0600060").count(), 1000);
    }
};

QTEST_APPLESS_MAIN(TestLanguage)
#include "tst_language.moc"
