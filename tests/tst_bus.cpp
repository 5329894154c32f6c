// The bus read from the module's answers: transactions, what the parts on
// the bus make of them, and the picture's strips.
#include "bus/devices.h"
#include "bus/picture.h"

#include <QFile>
#include <QXmlStreamReader>
#include <QtTest>

using namespace bus;

namespace {

std::string frame(const char* tokens) {
    return std::string("!0010") + tokens + "\r";
}

QStringList meanings(const std::string& f) {
    QStringList list;
    for (const auto& t : transactionsOf(f))
        list << QString::fromStdString(t.meaning);
    return list;
}

// Each box's kind and label, and each caption, in document order.
QStringList structure(const QByteArray& svg) {
    QStringList out;
    QXmlStreamReader xml(svg);
    QString kind;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        const QString cls = xml.attributes().value("class").toString();
        if (xml.name() == u"g" && !cls.isEmpty()) {
            kind = cls;
            if (cls == "transfer" || cls == "steps") out << cls;
        } else if (xml.name() == u"text") {
            const QString text = xml.readElementText();
            out << (cls == "caption" ? "caption: " + text : kind + ": " + text);
        }
    }
    if (xml.hasError()) out << "XML error: " + xml.errorString();
    return out;
}

} // namespace

class TestBus : public QObject {
    Q_OBJECT
  private slots:
    void explained_data();
    void explained();
    void pointerKeptAcrossAnswers();
    void knownAnswerPicture();
    void longTransfersWrapWithinTheirRow();
    void boundedAsTheStreamGoesOn();
};

void TestBus::explained_data() {
    QTest::addColumn<QString>("tokens");
    QTest::addColumn<QStringList>("expected");
    const QString deg = QString::fromUtf8(" \u00B0C");
    QTest::newRow("temperature, positive half degree")
        << "SW90aW00aSW91aR19aR80nP"
        << QStringList{"0x48 pointer: temperature", "0x48 temperature: 25.5" + deg};
    QTest::newRow("temperature, negative")
        << "SW9EaW00aSW9FaRE7aR00nP"
        << QStringList{"0x4F pointer: temperature", "0x4F temperature: -25.0" + deg};
    QTest::newRow("temperature, minus half a degree")
        << "SW90aW00aSW91aRFFaR80nP"
        << QStringList{"0x48 pointer: temperature", "0x48 temperature: -0.5" + deg};
    QTest::newRow("temperature, one byte of two")
        << "SW90aW00aSW91aR19nP"
        << QStringList{"0x48 pointer: temperature", "0x48 temperature: 1 of 2 bytes"};
    QTest::newRow("overtemperature written")
        << "SW90aW03aW50aW00aP" << QStringList{"0x48 overtemperature written: 80.0" + deg};
    QTest::newRow("configuration written")
        << "SW90aW01aW02aP" << QStringList{"0x48 configuration written: 0x02"};
    QTest::newRow("no such register")
        << "SW90aW07aP" << QStringList{"0x48 pointer: 0x07, no such register"};
    QTest::newRow("read with the pointer unknown")
        << "SW91aR19aR80nP" << QStringList{"0x48 read: 2 bytes from the register set earlier"};
    QTest::newRow("EEPROM page write")
        << "SWA0aW10aW01aW02aW03aP" << QStringList{"0x50 EEPROM write at 0x10: 3 bytes"};
    QTest::newRow("EEPROM write wraps within its page")
        << "SWA0aW0EaW01aW02aW03aP"
        << QStringList{"0x50 EEPROM write at 0x0E: 3 bytes (wraps within its page)"};
    QTest::newRow("EEPROM write fills its page")
        << "SWA0aW08aW01aW02aW03aW04aW05aW06aW07aW08aP"
        << QStringList{"0x50 EEPROM write at 0x08: 8 bytes"};
    QTest::newRow("EEPROM sequential read")
        << "SWA0aW10aSWA1aR01aR02aR03nP"
        << QStringList{"0x50 EEPROM address set to 0x10", "0x50 EEPROM read at 0x10: 3 bytes"};
    QTest::newRow("EEPROM current address after a write")
        << "SWAEaWF0aW01aW02aPSWAFaR05nP"
        << QStringList{"0x57 EEPROM write at 0xF0: 2 bytes", "0x57 EEPROM read at 0xF2: 1 byte"};
    QTest::newRow("EEPROM counter wraps at the top")
        << "SWA0aWFFaSWA1aR01aR02nPSWA1aR03nP"
        << QStringList{"0x50 EEPROM address set to 0xFF", "0x50 EEPROM read at 0xFF: 2 bytes",
                       "0x50 EEPROM read at 0x01: 1 byte"};
    QTest::newRow("EEPROM current address unknown")
        << "SWA1aR00nP" << QStringList{"0x50 EEPROM read at its current address: 1 byte"};
    QTest::newRow("unknown address, write")
        << "SW40aW01aW02aP" << QStringList{"0x20 write: 2 bytes"};
    QTest::newRow("unknown address, read") << "SW41aR01nP" << QStringList{"0x20 read: 1 byte"};
    QTest::newRow("unknown address, refused byte")
        << "SW40aW01nP" << QStringList{"0x20 write: 1 byte (byte 1 not acknowledged)"};
    QTest::newRow("next to a sensor's range") << "SW8EaW00aP" << QStringList{"0x47 write: 1 byte"};
    QTest::newRow("no answer") << "SW22nP" << QStringList{"0x11 write: no answer"};
    QTest::newRow("bytes with no start") << "W05aP" << QStringList{"bytes without an address: 1"};
    QTest::newRow("marks do not end a transaction")
        << "SW90aD0521W00aP" << QStringList{"0x48 pointer: temperature"};
    QTest::newRow("a script cut short still counts")
        << "SW90aW00a" << QStringList{"0x48 pointer: temperature"};
}

void TestBus::explained() {
    QFETCH(QString, tokens);
    QFETCH(QStringList, expected);
    QCOMPARE(meanings(frame(tokens.toLatin1().constData())), expected);
}

void TestBus::pointerKeptAcrossAnswers() {
    // The examples set the pointer in one script and read in the next.
    Picture picture;
    picture.addFrame(frame("SW90aW02aP"));
    picture.addFrame(frame("SW91aR4BaR00nP"));
    QCOMPARE(QString::fromStdString(picture.rows().front().caption()),
             QString::fromUtf8("0x48 hysteresis: 75.0 \u00B0C"));
}

void TestBus::knownAnswerPicture() {
    // A write, a repeated-start read with Ack and Nack, a delay, an output step.
    Picture picture;
    picture.addFrame(frame("SW90aW01aW00aPd0ASW90aW00aSW91aR19aR80nP21"));
    const std::string svg = svgOf(picture, 0, picture.rows().size());
    QFile reference(TEST_DATA_DIR "/pictures/known.svg");
    QVERIFY(reference.open(QIODevice::ReadOnly));
    const QStringList expected = structure(reference.readAll());
    QCOMPARE(structure(QByteArray::fromStdString(svg)), expected);
    QVERIFY(expected.contains("address: 0x48 R"));
    QVERIFY(expected.contains("condition: Sr"));
    QVERIFY(expected.contains("mark: GP0 High"));
    // Only the slave's refusal is an alarm; the master's Nack ends a read.
    QVERIFY(svg.find("ack alarm") == std::string::npos);
    Picture refused;
    refused.addFrame(frame("SW22nP"));
    QVERIFY(svgOf(refused, 0, 1).find("ack alarm") != std::string::npos);
    // A byte the module reports without an acknowledgement says so; a page
    // of later strips starts at its top.
    Picture cut;
    cut.addFrame(frame("SW90aW00"));
    QVERIFY(structure(QByteArray::fromStdString(svgOf(cut, 0, 1))).contains("ack: ?"));
    QVERIFY(svgOf(picture, 2, 3).find("<rect x=\"8\" y=\"11\"") != std::string::npos);
    // Whatever the module sends stays text in the document.
    Picture odd;
    odd.addFrame(frame("?<&"));
    QCOMPARE(structure(QByteArray::fromStdString(svgOf(odd, 0, 1))),
             QStringList({"steps", "mark alarm: BadToken: 0x<&"}));
    // Hovering a byte: its number three ways and what it means.
    const Row& read = picture.rows()[2];
    const auto data = std::find_if(read.boxes.begin(), read.boxes.end(),
                                   [](const Box& b) { return b.label == "0x19"; });
    QVERIFY(data != read.boxes.end());
    QCOMPARE(QString::fromStdString(tipOf(read, *data)),
             QString::fromUtf8("0x19 = 25 = 0b00011001\nread by the master\nAck: the master asks "
                               "for more\n0x48 temperature: 25.5 \u00B0C"));
}

void TestBus::longTransfersWrapWithinTheirRow() {
    std::string tokens = "SWA1a";
    for (int i = 0; i < 40; ++i)
        tokens += "R00a";
    tokens += "P";
    Picture picture(400);
    picture.addFrame(frame(tokens.c_str()));
    picture.addFrame("!0020L\r");
    QCOMPARE(picture.rows().size(), std::size_t(2));
    const Row& row = picture.rows().front();
    double lowest = 0;
    for (const Box& box : row.boxes) {
        QVERIFY2(box.x + box.width <= picture.width() - kMargin, box.label.c_str());
        lowest = std::max(lowest, box.y + kBoxHeight);
        // An ack stands on the line of its byte.
        if (box.kind == BoxKind::Ack) QCOMPARE((&box - 1)->y, box.y);
    }
    QVERIFY(lowest > row.top + kLinePitch);
    QVERIFY(lowest <= row.captionY(0));
    QCOMPARE(picture.rows()[1].top, row.top + row.height);
}

void TestBus::boundedAsTheStreamGoesOn() {
    Picture picture;
    double lastTop = -1;
    for (std::size_t i = 0; i < kMaxBoxes + 500; ++i)
        picture.addFrame("!0020H\r");
    QVERIFY(picture.boxes() <= kMaxBoxes);
    QVERIFY(picture.boxes() > kMaxBoxes - 200);
    for (const Row& row : picture.rows()) {
        QVERIFY(row.top > lastTop);
        lastTop = row.top;
    }
}

QTEST_APPLESS_MAIN(TestBus)
#include "tst_bus.moc"
