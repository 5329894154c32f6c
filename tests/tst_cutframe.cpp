#include "protocol/cutframe.h"

#include <QtTest>

class TestCutframe : public QObject {
    Q_OBJECT
  private slots:
    // Frames from "!" to CR; rest: the buffer after the cut.
    void cutframe_data() {
        QTest::addColumn<QByteArray>("buffer");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("rest");
        auto row = [](const char* name, const char* buffer, const char* frame, const char* rest) {
            QTest::newRow(name) << QByteArray(buffer) << QByteArray(frame) << QByteArray(rest);
        };
        row("garbage before dropped", "x\r!0013a\rtail", "!0013a\r", "tail");
        row("last start wins", "xyz!00!0013a\r", "!0013a\r", "");
        // The end marker must leave one character after the first start marker.
        row("end right after start", "!\rab\r", "!\rab\r", "");
        row("incomplete stays", "ab!0010S", "", "ab!0010S");
    }
    void cutframe() {
        QFETCH(QByteArray, buffer);
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, rest);
        std::string text = buffer.toStdString();
        QCOMPARE(QByteArray::fromStdString(protocol::cutframe("!", "\r", text)), frame);
        QCOMPARE(QByteArray::fromStdString(text), rest);
    }
};

QTEST_APPLESS_MAIN(TestCutframe)
#include "tst_cutframe.moc"
