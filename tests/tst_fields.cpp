#include "util/fields.h"

#include <QtTest>

class TestFields : public QObject {
    Q_OBJECT
  private slots:
    void getfield_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArray>("delimiter");
        QTest::addColumn<QByteArray>("field");
        const QByteArray words("  start   write 0x90 ");
        QTest::newRow("space count") << words << 0 << QByteArray(" ") << QByteArray("3");
        QTest::newRow("space first") << words << 1 << QByteArray(" ") << QByteArray("start");
        QTest::newRow("space second") << words << 2 << QByteArray(" ") << QByteArray("write");
        QTest::newRow("space third") << words << 3 << QByteArray(" ") << QByteArray("0x90");
        QTest::newRow("space past end") << words << 4 << QByteArray(" ") << QByteArray("");
        QTest::newRow("empty delimiter is space")
            << words << 0 << QByteArray("") << QByteArray("3");
        QTest::newRow("empty text count")
            << QByteArray("") << 0 << QByteArray(" ") << QByteArray("0");
        QTest::newRow("blanks count")
            << QByteArray("   ") << 0 << QByteArray(" ") << QByteArray("0");
        QTest::newRow("one word count")
            << QByteArray("stop") << 0 << QByteArray(" ") << QByteArray("1");
        QTest::newRow("one word first")
            << QByteArray("stop") << 1 << QByteArray(" ") << QByteArray("stop");
        QTest::newRow("one word second")
            << QByteArray("stop") << 2 << QByteArray(" ") << QByteArray("");
        const QByteArray lines("a\r\n\nb");
        QTest::newRow("lf count") << lines << 0 << QByteArray("\n") << QByteArray("3");
        QTest::newRow("lf keeps cr") << lines << 1 << QByteArray("\n") << QByteArray("a\r");
        QTest::newRow("lf empty field") << lines << 2 << QByteArray("\n") << QByteArray("");
        QTest::newRow("lf last") << lines << 3 << QByteArray("\n") << QByteArray("b");
        QTest::newRow("lf past end") << lines << 4 << QByteArray("\n") << QByteArray("");
        QTest::newRow("trailing lf opens no field")
            << QByteArray("a\nb\n") << 0 << QByteArray("\n") << QByteArray("2");
        QTest::newRow("lf is not normalised")
            << QByteArray(" a") << 1 << QByteArray("\n") << QByteArray(" a");
        QTest::newRow("negative index")
            << QByteArray("a b") << -1 << QByteArray(" ") << QByteArray("");
        QTest::newRow("index above 8000")
            << QByteArray("a b") << 8001 << QByteArray(" ") << QByteArray("");
        QTest::newRow("multi-character delimiter")
            << QByteArray("a::b::c") << 2 << QByteArray("::") << QByteArray("b");
    }
    void getfield() {
        QFETCH(QByteArray, text);
        QFETCH(int, index);
        QFETCH(QByteArray, delimiter);
        QFETCH(QByteArray, field);
        QCOMPARE(QByteArray::fromStdString(
                     util::getfield(text.toStdString(), index, delimiter.toStdString())),
                 field);
    }

    void field8000IsReachable() {
        std::string text;
        for (int i = 1; i <= 8001; ++i)
            text += std::to_string(i) + " ";
        QCOMPARE(util::getfield(text, 0, " "), std::string("8001"));
        QCOMPARE(util::getfield(text, 8000, " "), std::string("8000"));
        QCOMPARE(util::getfield(text, 8001, " "), std::string());
    }
};

QTEST_APPLESS_MAIN(TestFields)
#include "tst_fields.moc"
