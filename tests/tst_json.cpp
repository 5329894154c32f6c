#include "bus/json.h"

#include <QtTest>

class TestJson : public QObject {
    Q_OBJECT
  private slots:
    // Whatever bytes come, the string is valid JSON that reads back as the
    // text: UTF-8 as it is, any other byte as its Latin-1 character.
    void strings_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("read");
        QTest::newRow("tab, quote, backslash")
            << QByteArray("a\t\"b\\") << QByteArray("\"a\\t\\\"b\\\\\"") << QString("a\t\"b\\");
        QTest::newRow("control characters")
            << QByteArray("\x01\x1b\r\n\x7f") << QByteArray(R"("\u0001\u001b\r\n\u007f")")
            << QString("\x01\x1b\r\n\x7f");
        QTest::newRow("C1 control")
            << QByteArray("\xc2\x85") << QByteArray(R"("\u0085")") << QString(QChar(0x85));
        QTest::newRow("UTF-8 kept") << QByteArray("25.5 \xc2\xb0"
                                                  "C")
                                    << QByteArray("\"25.5 \xc2\xb0"
                                                  "C\"")
                                    << QString::fromUtf8("25.5 \xc2\xb0"
                                                         "C");
        QTest::newRow("not UTF-8")
            << QByteArray("caf\xe9\xc3") << QByteArray(R"("caf\u00e9\u00c3")")
            << QString::fromLatin1("caf\xe9\xc3");
    }
    void strings() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, json);
        QFETCH(QString, read);
        const std::string out = bus::jsonString(text.toStdString());
        QCOMPARE(QByteArray::fromStdString(out), json);
        QJsonParseError error;
        const auto document = QJsonDocument::fromJson("[" + json + "]", &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(document.array().at(0).toString(), read);
    }

    // A script answer: its lines as the view shows them, tabs kept, and its
    // transactions with each acknowledgement; bytes with no start have no address.
    void frames_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("pointer and read")
            << QByteArray("!0010SW90aW00aSW91aR19aR80nP\r")
            << QByteArray(
                   R"({"time":"T","direction":"received","frame":"!0010SW90aW00aSW91aR19aR80nP",)"
                   R"("lines":["START","WRITE\t0x90\tAck","WRITE\t0x00\tAck","START",)"
                   R"("WRITE\t0x91\tAck","READ\t0x19\tAck","READ\t0x80\tNack","STOP"],)"
                   R"("transactions":[{"address":72,"direction":"write","ack":true,)"
                   R"("bytes":[{"value":0,"ack":true}],"meaning":"0x48 pointer: temperature"},)"
                   R"({"address":72,"direction":"read","ack":true,"bytes":[{"value":25,"ack":true},)"
                   R"({"value":128,"ack":false}],"meaning":"0x48 temperature: 25.5 °C"}]})");
        QTest::newRow("nobody there, bytes with no start, no ack character")
            << QByteArray("!0010SW92nPW05aW06\r")
            << QByteArray(R"({"time":"T","direction":"received","frame":"!0010SW92nPW05aW06",)"
                          R"("lines":["START","WRITE\t0x92\tNack","STOP","WRITE\t0x05\tAck",)"
                          R"("WRITE\t0x06\t"],"transactions":[{"address":73,"direction":"write",)"
                          R"("ack":false,"bytes":[],"meaning":"0x49 write: no answer"},)"
                          R"({"address":null,"direction":"write","ack":null,"bytes":[{"value":5,)"
                          R"("ack":true},{"value":6,"ack":null}],)"
                          R"("meaning":"bytes without an address: 2"}]})");
        QTest::newRow("a report has lines, no transactions")
            << QByteArray("!00200\r")
            << QByteArray(
                   R"({"time":"T","direction":"received","frame":"!00200","lines":["[Int]\t0"]})");
    }
    void frames() {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, json);
        bus::JsonStream stream;
        QCOMPARE(QByteArray::fromStdString(stream.received("T", frame.toStdString())), json);
        QVERIFY(QJsonDocument::fromJson(json).isObject());
    }

    // A sent frame has no lines, and no time is null.
    void stream() {
        bus::JsonStream stream;
        QCOMPARE(stream.sent("T", "$0010050001900200\r"),
                 std::string(R"({"time":"T","direction":"sent","frame":"$0010050001900200"})"));
        const auto read = QJsonDocument::fromJson(
            QByteArray::fromStdString(stream.received(std::nullopt, "!00200\r")));
        QVERIFY(read["time"].isNull());
        QCOMPARE(bus::scanJson({72, 80}), std::string(R"({"scan":[72,80]})"));
    }
};

QTEST_APPLESS_MAIN(TestJson)
#include "tst_json.moc"
