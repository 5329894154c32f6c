#include "compiler/compiler.h"

#include <QtTest>

namespace {

const QByteArray kUnknown = "Unidentified element encountered: \r\n";

QByteArray repeat(const QByteArray& text, int times) {
    QByteArray out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

// n one-token commands, ten to a typed line.
QByteArray starts(int n) {
    QByteArray out;
    for (int i = 0; i < n; ++i)
        out += (i % 10 == 9) ? "Start\r\n" : "Start ";
    return out;
}

} // namespace

class TestCompiler : public QObject {
    Q_OBJECT
  private slots:
    // frame: the whole frame without its CR; message: the alert's text.
    void compile_data() {
        QTest::addColumn<QByteArray>("queue");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("message");
        const QByteArray none;
        QTest::newRow("worked example")
            << QByteArray("Start\r\nWrite  0x91\r\nRead   ack\r\nRead   Nack\r\nStop\r\n")
            << QByteArray("$001007000191020304") << none;
        QTest::newRow("empty queue") << QByteArray("") << none << QByteArray("No data to compile!");
        QTest::newRow("comments only")
            << QByteArray(";Set Slave interface voltage to 5.0V\r\n// note\r\n Start\r\n") << none
            << QByteArray("No data to compile!");
        QTest::newRow("empty typed lines")
            << QByteArray("\r\n\r\n") << QByteArray("$001001") << none;
        QTest::newRow("comment lines skipped")
            << QByteArray(";c\r\nStart\r\n/ c\r\n Stop\r\nStop\r\n")
            << QByteArray("$00100300"
                          "04")
            << none;
        QTest::newRow("tab line is not a comment")
            << QByteArray("\tStart\r\n") << QByteArray("$00100200") << none;
        QTest::newRow("comma and semicolon") << QByteArray("Start, Write 0x90; Stop")
                                             << QByteArray("$001005"
                                                           "00019004")
                                             << none;
        QTest::newRow("semicolon element skipped") << QByteArray("Write 0x90 ;x Stop")
                                                   << QByteArray("$001004"
                                                                 "019004")
                                                   << none;
        QTest::newRow("comment after start")
            << QByteArray("Start ;begin") << QByteArray("$00100200") << none;
        QTest::newRow("words after semicolon compiled")
            << QByteArray("Write 0x90 ; set pointer") << none << kUnknown + "set";
        QTest::newRow("start ; begin here")
            << QByteArray("Start ; begin here") << none << kUnknown + "begin";
        QTest::newRow("bare lf joins lines")
            << QByteArray("Start\nStop") << none << kUnknown + "StartStop";
        QTest::newRow("misspelt") << QByteArray("Wrte 0x90") << none << kUnknown + "Wrte";
        QTest::newRow("dash separates") << QByteArray("Wr-te 0x90") << none << kUnknown + "Wr";
        QTest::newRow("case kept in message")
            << QByteArray("start FOO") << none << kUnknown + "FOO";
        QTest::newRow("token code is no command") << QByteArray("00") << none << kUnknown + "00";
        QTest::newRow("nack is no command") << QByteArray("nack") << none << kUnknown + "nack";
        QTest::newRow("first error wins") << QByteArray("foo bar") << none << kUnknown + "foo";
        QTest::newRow("only separators") << QByteArray("--==") << QByteArray("$001001") << none;
        QTest::newRow("high bytes separate") << QByteArray("Start\xc2\xb5Stop")
                                             << QByteArray("$001003"
                                                           "0004")
                                             << none;
        QTest::newRow("124 tokens")
            << starts(124) << QByteArray("$00107D") + repeat("00", 124) << none;
        QTest::newRow("125 tokens")
            << starts(125) << none << QByteArray("I2C transactions limited to 125 elements");
        QTest::newRow("62 writes")
            << repeat("Write 1\r\n", 62) << QByteArray("$00107D") + repeat("0101", 62) << none;
        QTest::newRow("62 writes and a start")
            << repeat("Write 1\r\n", 62) + "Start" << none
            << QByteArray("I2C transactions limited to 125 elements");
        QTest::newRow("unknown after 200 tokens")
            << starts(200) + "bogus" << none << kUnknown + "bogus";
        // Every line is read, so nothing is sent with the script cut short.
        QTest::newRow("line 101 is read") << repeat(";\r\n", 100) + "Start\r\n"
                                          << QByteArray("$00100200") << none;
        QTest::newRow("error on line 150")
            << repeat("Stop\r\n", 110) + repeat(";\r\n", 39) + "Strat\r\n"
            << none << kUnknown + "Strat";
    }
    void compile() {
        QFETCH(QByteArray, queue);
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, message);
        auto result = compiler::compile(queue.toStdString());
        if (frame.isNull()) {
            QVERIFY(!result.ok());
            QCOMPARE(QByteArray::fromStdString(result.error->title),
                     QByteArray("I2C processor error"));
            QCOMPARE(QByteArray::fromStdString(result.error->message), message);
            QVERIFY(result.frame.empty());
        } else {
            QVERIFY2(result.ok(), result.error ? result.error->message.c_str() : "");
            QCOMPARE(QByteArray::fromStdString(result.frame), frame + "\r");
        }
    }

    void typedQueue_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("typed");
        QTest::newRow("lf") << QByteArray("a\nb\n") << QByteArray("a\r\nb\r\n");
        QTest::newRow("crlf") << QByteArray("a\r\nb") << QByteArray("a\r\nb");
        QTest::newRow("lone cr") << QByteArray("a\rb") << QByteArray("a\r\nb");
        QTest::newRow("cr cr lf") << QByteArray("a\r\r\nb") << QByteArray("a\r\n\r\nb");
        QTest::newRow("lf cr") << QByteArray("a\n\rb") << QByteArray("a\r\n\r\nb");
        QTest::newRow("line separator") << QByteArray("a\xe2\x80\xa8"
                                                      "b")
                                        << QByteArray("a\r\nb");
        QTest::newRow("paragraph separator") << QByteArray("a\xe2\x80\xa9") << QByteArray("a\r\n");
        QTest::newRow("other utf-8 kept")
            << QByteArray("\xe2\x80\xa6") << QByteArray("\xe2\x80\xa6");
        QTest::newRow("truncated sequence") << QByteArray("a\xe2\x80") << QByteArray("a\xe2\x80");
    }
    void typedQueue() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, typed);
        QCOMPARE(QByteArray::fromStdString(compiler::typedQueue(text.toStdString())), typed);
    }
};

QTEST_APPLESS_MAIN(TestCompiler)
#include "tst_compiler.moc"
