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
        auto row = [](const char* name, const char* text, int index, const char* delimiter,
                      const char* field) {
            QTest::newRow(name) << QByteArray(text) << index << QByteArray(delimiter)
                                << QByteArray(field);
        };
        row("runs of spaces count once", "  start   write 0x90 ", 0, " ", "3");
        row("empty delimiter: leading spaces skipped", "  start   write", 1, "", "start");
        row("lf: empty fields count", "a\r\n\nb", 0, "\n", "3");
        row("lf: cr and blanks kept", " a\r\n\nb", 1, "\n", " a\r");
        row("trailing delimiter opens no field", "a\nb\n", 0, "\n", "2");
        row("multi-character delimiter", "a::b::c", 2, "::", "b");
        row("past the end", "a b", 3, " ", "");
    }
    void getfield() {
        QFETCH(QByteArray, text);
        QFETCH(int, index);
        QFETCH(QByteArray, delimiter);
        QFETCH(QByteArray, field);
        const auto got = util::getfield(text.toStdString(), index, delimiter.toStdString());
        QCOMPARE(QByteArray::fromStdString(got), field);
    }
};

QTEST_APPLESS_MAIN(TestFields)
#include "tst_fields.moc"
