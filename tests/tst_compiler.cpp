#include "compiler/compiler.h"

#include <QtTest>

const QByteArray kUnknown = "Unidentified element encountered: \r\n";
const QByteArray kStart = "Start\r\n";

class TestCompiler : public QObject {
    Q_OBJECT
  private slots:
    // result: the frame without its CR, or the alert's text.
    void compile_data() {
        QTest::addColumn<QByteArray>("queue");
        QTest::addColumn<QByteArray>("result");
        auto row = [](const char* name, const QByteArray& queue, const QByteArray& result) {
            QTest::newRow(name) << queue << result;
        };
        row("empty queue", "", "No data to compile!");
        row("comments only", ";Set 5.0V\r\n// note\r\n Start\r\n", "No data to compile!");
        row("empty typed lines", "\r\n\r\n", "$001001");
        // Lines starting with ";", "/" or a blank are skipped, and elements
        // starting with ";"; anything not a letter, digit or ";_/[].?" separates.
        row("comments and separators",
            ";c\r\n\tStart, Write 0x90;x\r\n/ c\r\n Stop\r\nStop ;c\xc2\xb5Stop",
            "$0010060001900404");
        row("bare lf joins lines", "Start\nStop", kUnknown + "StartStop");
        row("misspelt", "Wrte 0x90", kUnknown + "Wrte");
        row("124 tokens", kStart.repeated(124), "$00107D" + QByteArray("00").repeated(124));
        row("125 tokens", kStart.repeated(125), "I2C transactions limited to 125 elements");
        row("unknown after 200 tokens", kStart.repeated(200) + "bogus", kUnknown + "bogus");
    }
    void compile() {
        QFETCH(QByteArray, queue);
        QFETCH(QByteArray, result);
        const auto compiled = compiler::compile(queue.toStdString());
        if (compiled.ok()) {
            QCOMPARE(QByteArray::fromStdString(compiled.frame), result + "\r");
        } else {
            QCOMPARE(compiled.error->title, std::string("I2C processor error"));
            QCOMPARE(QByteArray::fromStdString(compiled.error->message), result);
        }
    }

    void typedQueue() {
        auto typed = [](const char* text) {
            return QByteArray::fromStdString(compiler::typedQueue(text));
        };
        QCOMPARE(typed("a\nb\r\r\nc"), QByteArray("a\r\nb\r\n\r\nc"));
        QCOMPARE(typed("\xe2\x80\xa8\xe2\x80\xa9"), QByteArray("\r\n\r\n"));
        QCOMPARE(typed("\xe2\x80\xa6\xe2\x80"), QByteArray("\xe2\x80\xa6\xe2\x80"));
    }
};

QTEST_APPLESS_MAIN(TestCompiler)
#include "tst_compiler.moc"
