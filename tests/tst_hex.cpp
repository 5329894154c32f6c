#include "util/decimal.h"
#include "util/hex.h"

#include <QtTest>
#include <cmath>

class TestHex : public QObject {
    Q_OBJECT
  private slots:
    void hextolong_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<qint32>("value");
        QTest::newRow("upper") << QByteArray("FF") << 255;
        QTest::newRow("lower") << QByteArray("ff") << 255;
        QTest::newRow("prefix skipped") << QByteArray("0x0a") << 10;
        QTest::newRow("empty") << QByteArray("") << 0;
        QTest::newRow("no digit") << QByteArray("G") << 0;
        QTest::newRow("max") << QByteArray("7FFFFFFF") << 2147483647;
        QTest::newRow("min") << QByteArray("80000000") << qint32(-2147483647 - 1);
        QTest::newRow("minus one") << QByteArray("ffffffff") << -1;
        QTest::newRow("last 8 digits") << QByteArray("123456789") << 0x23456789;
        QTest::newRow("digits scattered") << QByteArray("1-2 3z") << 0x123;
        QTest::newRow("seven digits stay positive") << QByteArray("FFFFFFF") << 0xFFFFFFF;
    }
    void hextolong() {
        QFETCH(QByteArray, text);
        QFETCH(qint32, value);
        QCOMPARE(util::hextolong(text.toStdString()), value);
    }

    void hexpad_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("width");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("10") << 10.0 << 2 << QByteArray("0A");
        QTest::newRow("0") << 0.0 << 2 << QByteArray("00");
        QTest::newRow("125") << 125.0 << 2 << QByteArray("7D");
        QTest::newRow("256 wraps") << 256.0 << 2 << QByteArray("00");
        QTest::newRow("300 keeps low digits") << 300.0 << 2 << QByteArray("2C");
        QTest::newRow("half to even down") << 10.5 << 2 << QByteArray("0A");
        QTest::newRow("half to even up") << 11.5 << 2 << QByteArray("0C");
        QTest::newRow("rounds up") << 10.6 << 2 << QByteArray("0B");
        QTest::newRow("wide") << 255.0 << 6 << QByteArray("0000FF");
        QTest::newRow("beyond 2^31") << 99999999999.0 << 2 << QByteArray("FF");
        QTest::newRow("beyond 2^64") << 1e300 << 2 << QByteArray("00");
        QTest::newRow("infinite") << double(INFINITY) << 2 << QByteArray("00");
        QTest::newRow("not a number") << double(NAN) << 2 << QByteArray("00");
        QTest::newRow("negative") << -1.0 << 4 << QByteArray("FFFF");
        QTest::newRow("large negative") << -1e19 << 16 << QByteArray("7538DCFB76180000");
        QTest::newRow("wider than padding") << 10.0 << 30 << QByteArray("000000000000000000A");
        QTest::newRow("zero width") << 10.0 << 0 << QByteArray("");
    }
    void hexpad() {
        QFETCH(double, value);
        QFETCH(int, width);
        QFETCH(QByteArray, text);
        QCOMPARE(QByteArray::fromStdString(util::hexpad(value, width)), text);
    }

    void roundTrip() {
        for (int v = 0; v < 256; ++v)
            QCOMPARE(util::hextolong(util::hexpad(v, 2)), v);
    }

    // -1 stands for "not a number".
    void decimalValue_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("value");
        const struct {
            const char* text;
            double value;
        } rows[] = {{"12", 12},   {"-0.5", -0.5}, {"2.5e3", 2500}, {"010", 10},
                    {"1E2", 100}, {"1e999", -1},  {"inf", -1},     {"nan", -1},
                    {"1.5x", -1}, {"", -1},       {"+1", -1},      {" 1", -1},
                    {"1 ", -1},   {"2,5", -1},    {"-", -1},       {".", -1}};
        for (const auto& r : rows)
            QTest::newRow(r.text) << QByteArray(r.text) << r.value;
    }
    void decimalValue() {
        QFETCH(QByteArray, text);
        QFETCH(double, value);
        const auto parsed = util::decimalValue(text.toStdString());
        QCOMPARE(parsed.value_or(-1), value);
    }
};

QTEST_APPLESS_MAIN(TestHex)
#include "tst_hex.moc"
