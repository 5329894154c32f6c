#include "util/decimal.h"
#include "util/hex.h"

#include <QtTest>
#include <cmath>

class TestHex : public QObject {
    Q_OBJECT
  private slots:
    void hextolong() {
        QCOMPARE(util::hextolong("aF"), 0xAF);
        QCOMPARE(util::hextolong("0x1-2 3z"), 0x123); // what is no digit is skipped
        QCOMPARE(util::hextolong("1FFFFFFFE"), -2);   // the last eight digits, signed
    }

    void hexpad_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("width");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("padded") << 10.0 << 2 << QByteArray("0A");
        QTest::newRow("low digits kept") << 300.0 << 2 << QByteArray("2C");
        QTest::newRow("half to even") << 10.5 << 2 << QByteArray("0A");
        QTest::newRow("negative") << -1.0 << 4 << QByteArray("FFFF");
        QTest::newRow("infinite") << double(INFINITY) << 2 << QByteArray("00");
        QTest::newRow("at most 18 zeros") << 10.0 << 30 << QByteArray("000000000000000000A");
    }
    void hexpad() {
        QFETCH(double, value);
        QFETCH(int, width);
        QFETCH(QByteArray, text);
        QCOMPARE(QByteArray::fromStdString(util::hexpad(value, width)), text);
    }

    void decimalValue() {
        QCOMPARE(util::decimalValue("-2.5e3").value_or(0), -2500.0);
        // Not a number here, whatever the locale or library says.
        for (const char* text : {"1e999", "inf", "1.5x", "", "+1", " 1", "2,5"})
            QVERIFY2(!util::decimalValue(text), text);
    }
};

QTEST_APPLESS_MAIN(TestHex)
#include "tst_hex.moc"
