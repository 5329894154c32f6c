#include "protocol/cutframe.h"

#include <QtTest>

class TestCutframe : public QObject {
    Q_OBJECT
  private slots:
    void cutframe_data() {
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QByteArray>("end");
        QTest::addColumn<QByteArray>("buffer");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("rest");
        const QByteArray bang("!"), cr("\r");
        QTest::newRow("one frame")
            << bang << cr << QByteArray("!0013a\r") << QByteArray("!0013a\r") << QByteArray("");
        QTest::newRow("garbage before dropped") << bang << cr << QByteArray("xyz!0013a\rtail")
                                                << QByteArray("!0013a\r") << QByteArray("tail");
        QTest::newRow("last start wins") << bang << cr << QByteArray("xyz!00!0013a\r")
                                         << QByteArray("!0013a\r") << QByteArray("");
        QTest::newRow("two frames, first cut") << bang << cr << QByteArray("!0013a\r!0014a\r")
                                               << QByteArray("!0013a\r") << QByteArray("!0014a\r");
        QTest::newRow("incomplete stays")
            << bang << cr << QByteArray("ab!0010S") << QByteArray("") << QByteArray("ab!0010S");
        QTest::newRow("no start") << bang << cr << QByteArray("abc\r") << QByteArray("")
                                  << QByteArray("abc\r");
        QTest::newRow("empty buffer")
            << bang << cr << QByteArray("") << QByteArray("") << QByteArray("");
        // The end marker must leave one character after the first start marker.
        QTest::newRow("end right after start")
            << bang << cr << QByteArray("!\r") << QByteArray("") << QByteArray("!\r");
        QTest::newRow("end after start, then frame")
            << bang << cr << QByteArray("!\rab\r") << QByteArray("!\rab\r") << QByteArray("");
        QTest::newRow("second start then end")
            << bang << cr << QByteArray("!a!\r") << QByteArray("!\r") << QByteArray("");
        QTest::newRow("cr before start ignored")
            << bang << cr << QByteArray("\r\r!0016a\r") << QByteArray("!0016a\r") << QByteArray("");
        QTest::newRow("empty start") << QByteArray("") << cr << QByteArray("ab\rcd\r")
                                     << QByteArray("ab\r") << QByteArray("cd\r");
        QTest::newRow("empty start no end")
            << QByteArray("") << cr << QByteArray("ab") << QByteArray("") << QByteArray("ab");
        QTest::newRow("empty end")
            << bang << QByteArray("") << QByteArray("!0013a\r")
            << QByteArray("End character may not be null!") << QByteArray("!0013a\r");
        QTest::newRow("long markers")
            << QByteArray("<<") << QByteArray(">>") << QByteArray("x<<a<<b>>c")
            << QByteArray("<<b>>") << QByteArray("c");
        QTest::newRow("case sensitive") << QByteArray("S") << cr << QByteArray("sxS1\r")
                                        << QByteArray("S1\r") << QByteArray("");
    }
    void cutframe() {
        QFETCH(QByteArray, start);
        QFETCH(QByteArray, end);
        QFETCH(QByteArray, buffer);
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, rest);
        std::string text = buffer.toStdString();
        auto cut = protocol::cutframe(start.toStdString(), end.toStdString(), text);
        QCOMPARE(QByteArray::fromStdString(cut), frame);
        QCOMPARE(QByteArray::fromStdString(text), rest);
    }
};

QTEST_APPLESS_MAIN(TestCutframe)
#include "tst_cutframe.moc"
