#include "protocol/decoder.h"
#include "protocol/outcome.h"

#include <QtTest>

// What an answer shows, and what it says about the command it answers. The
// answers that tests/data/responses pin are not repeated here.
class TestDecoder : public QObject {
    Q_OBJECT
  private slots:
    // frame: without its CR; text: what is appended to the view; failure: what
    // the answer reports, empty for none.
    void decode_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<bool>("clears");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("failure");
        auto row = [](const char* frame, bool clears, const char* text, const char* failure = "") {
            QTest::newRow(frame) << QByteArray(frame) << clears << QByteArray(text)
                                 << QByteArray(failure);
        };
        row("!000001230105", true,
            "[Firmware Version:]\r\n[0123.01.05       ]\r\n[Unrecognized H/W ]\r\n\r\n");
        row("!00FFA", false, "[Slave mode enabled...]\r\n[...Power cycle=Cancel]\r\n");
        row("!007fn", false, "[Slave not supported!]\r\n",
            "the module does not support slave mode");
        row("!0011E", false, "[No command to store]\r\n", "the module holds no script to store");
        row("!0012e", false, "[Replay Memory Empty]\r\n",
            "the module has no stored script to replay");
        row("!0012n", false, "[Replay Successful  ]\r\n",
            "the module could not replay the stored script");
        // Flags: 9 is set; what is no digit is clear.
        row("!0019330090-", false,
            "[VSlave:  3.300v  ]\r\n[Speed:   Fast    ]\r\n[OnEdge:  Off     ]\r\n[Edge:    "
            "Hi-to-Lo]\r\n");
        row("!001a08", false, "[Reset:   Power up]\r\n\r\n");
        row("!0042abc", false, "");
        // The master's nAck after the last read is how a read ends, not a failure.
        row("!0010sW90aR1AnP", true, "START\r\nWRITE\t0x90\tAck\r\nREAD\t0x1A\tNack\r\nSTOP\r\n");
        row("!0010W90aw9aNW00n", true,
            "WRITE\t0x90\tAck\r\nWRITE\t0x9a\tNack\r\nWRITE\t0x00\tNack\r\n",
            "WRITE 0x9A was not acknowledged");
        row("!0010s0s1S0s2x1", true,
            "[Speed=SLOW]\r\n[Speed=FAST]\r\nSTART\r\n[Speed=SLOW]\r\nSTART\r\n[Speed=FAST]\r\n");
        row("!0010202151606175768093", true,
            "GP0\tLow\r\nGP0\tHigh\r\nGP3\tHigh\r\nInt\tLow\r\nInt\tHigh\r\nSetV\t5."
            "0\r\nSCL0\r\nSDA:\t1\r\n");
        // Unknown letters are skipped; a write the CR cuts short ends no line.
        row("!0010?76D0Ad1FxyzW90", true,
            "BadToken:\t0x76\r\nDelay\t0x0A uS\r\nDelay\t0x1F mS\r\nWRITE\t0x90\t",
            "the module does not know the token 0x76");
    }
    void decode() {
        QFETCH(QByteArray, frame);
        QFETCH(bool, clears);
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, failure);
        const std::string answer = frame.toStdString() + "\r";
        auto effect = protocol::decodeFrame(answer);
        QCOMPARE(effect.clearView, clears);
        QCOMPARE(QByteArray::fromStdString(effect.append), text);
        QCOMPARE(QByteArray::fromStdString(effect.rxbufferbox), frame + "[cr]");
        QCOMPARE(QByteArray::fromStdString(protocol::failureOf(answer)), failure);
        QCOMPARE(protocol::reportsFailure(answer), !failure.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestDecoder)
#include "tst_decoder.moc"
