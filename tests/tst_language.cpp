#include "compiler/compiler.h"
#include "compiler/language.h"

#include <QtTest>

class TestLanguage : public QObject {
    Q_OBJECT
  private slots:
    // tokens: the frame's tokens, or "error: " and the alert's text.
    void parameters_data() {
        QTest::addColumn<QByteArray>("queue");
        QTest::addColumn<QByteArray>("tokens");
        auto row = [](const char* queue, const char* tokens) {
            QTest::newRow(queue) << QByteArray(queue) << QByteArray(tokens);
        };
        row("GP0HI sDa?", "2192");
        // Hex after a second character of x or X, two digits at most.
        row("WRITE 0X9a write 9x91 Write 0x123", "019A01910112");
        // Otherwise decimal, its low 8 bits, rounded half to even; 010 is ten.
        row("Delayu 010 Write 300 Write 2.5 Write 1E2", "050A012C01020164");
        row("Write", "0100");
        row("SetV    OPEN", "70");
        row("SetV 5", "error: Unidentified element encountered: \r\n5");
        row("Read ACK Read Stop", "0203");
        row("Write Start Stop", "010004");
        row("Write\r\n0x90", "0190");
    }
    void parameters() {
        QFETCH(QByteArray, queue);
        QFETCH(QByteArray, tokens);
        const auto result = compiler::compile(queue.toStdString());
        const std::string got = result.ok() ? result.frame.substr(7, result.frame.size() - 8)
                                            : "error: " + result.error->message;
        QCOMPARE(QByteArray::fromStdString(got), tokens);
    }

    // What a token string asks the module to wait, in microseconds.
    void requestedDelay() {
        QCOMPARE(compiler::requestedDelay("06000504210601").count(), 1000 + 5 + 2000);
        QCOMPARE(compiler::requestedDelay("01060105").count(), 0); // written, not waited
        QCOMPARE(compiler::requestedDelay("0600060").count(), 1000);
    }
};

QTEST_APPLESS_MAIN(TestLanguage)
#include "tst_language.moc"
