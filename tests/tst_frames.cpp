#include "protocol/decoder.h"
#include "protocol/frames.h"

#include <QtTest>

class TestFrames : public QObject {
    Q_OBJECT
  private slots:
    void controlFrames_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QByteArray>("frame");
        const char* frames[] = {"$0000\r", "$0011\r", "$0012\r", "$0013\r", "$0014\r", "$0015\r",
                                "$0016\r", "$0017\r", "$0018\r", "$0019\r", "$00FF\r"};
        QCOMPARE(std::size(frames), protocol::kControlCommands.size());
        for (std::size_t i = 0; i < std::size(frames); ++i) {
            const auto code = protocol::kControlCommands[i].commandCode;
            QTest::newRow(code.data())
                << QString::fromLatin1(code.data(), code.size()) << QByteArray(frames[i]);
        }
    }
    void controlFrames() {
        QFETCH(QString, code);
        QFETCH(QByteArray, frame);
        QCOMPARE(QByteArray::fromStdString(protocol::commandFrame(code.toStdString())), frame);
    }

    // Every control command is answered by a frame the decoder shows.
    void everyControlAnswerIsShown() {
        for (const auto& command : protocol::kControlCommands) {
            const auto answer =
                protocol::responseFrame(command.commandCode, std::string(1, protocol::exec::Ack));
            QVERIFY2(!protocol::decodeFrame(answer).append.empty(), answer.c_str());
        }
    }

    // The waits after sending, in the timer's unit: a tenth of a second after
    // a control frame, a hundredth after a script.
    void pauses() {
        QCOMPARE(protocol::pauseOf(protocol::kControlWait), std::chrono::milliseconds(100));
        QCOMPARE(protocol::pauseOf(protocol::kScriptWait), std::chrono::milliseconds(10));
    }

    void scriptFrames_data() {
        QTest::addColumn<QByteArray>("tokens");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("empty") << QByteArray("") << QByteArray("$001001\r");
        QTest::newRow("example") << QByteArray("000191020304")
                                 << QByteArray("$001007000191020304\r");
        QTest::newRow("full") << QByteArray(248, '0') << "$00107D" + QByteArray(248, '0') + "\r";
    }
    void scriptFrames() {
        QFETCH(QByteArray, tokens);
        QFETCH(QByteArray, frame);
        QCOMPARE(QByteArray::fromStdString(protocol::scriptFrame(tokens.toStdString())), frame);
    }
};

QTEST_APPLESS_MAIN(TestFrames)
#include "tst_frames.moc"
