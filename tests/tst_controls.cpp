// What the window's controls do, without widgets.
#include "controls/settingsfile.h"
#include "controls/tokenmenu.h"

#include <QtTest>

class TestControls : public QObject {
    Q_OBJECT
  private slots:
    // Every single character, and texts as a paste or a drop brings them:
    // hex digits made upper case, two at most; nothing else.
    void valueBoxText() {
        QByteArray passed;
        for (int c = 0; c < 256; ++c)
            if (const auto text = controls::valueBoxText(std::string(1, char(c))))
                passed += QByteArray::fromStdString(*text);
        QCOMPARE(passed, QByteArray("0123456789ABCDEFABCDEF"));
        const std::pair<const char*, const char*> texts[] = {
            {"", ""}, {"fF", "FF"}, {"1 ", nullptr}, {"abc", nullptr}};
        for (const auto& [text, taken] : texts) {
            const auto result = controls::valueBoxText(text);
            QVERIFY2(result.has_value() == (taken != nullptr), text);
            if (taken) QCOMPARE(QByteArray::fromStdString(*result), QByteArray(taken));
        }
    }

    void settingsLine_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QByteArray>("line"); // empty: the default serves
        QTest::newRow("crlf") << QByteArray(" c:\\j\xc3\xb6rg\\ \r\n/b/")
                              << QByteArray(" c:\\j\xc3\xb6rg\\ ");
        QTest::newRow("lf") << QByteArray("/a/\n/b/") << QByteArray("/a/");
        QTest::newRow("empty first line") << QByteArray("\r\n/a/\r\n") << QByteArray();
        QTest::newRow("tab") << QByteArray("/a\t/\r\n") << QByteArray();
        QTest::newRow("del") << QByteArray("/a\x7f/") << QByteArray();
        QTest::newRow("longest") << QByteArray(4096, 'a') << QByteArray(4096, 'a');
        QTest::newRow("too long") << QByteArray(4097, 'a') << QByteArray();
    }
    void settingsLine() {
        QFETCH(QByteArray, contents);
        QFETCH(QByteArray, line);
        const auto got = controls::settingsLine(contents.toStdString());
        QCOMPARE(QByteArray::fromStdString(got.value_or("")), line);
        if (got) QCOMPARE(controls::settingsText(*got), *got + "\r\n");
    }
};

QTEST_APPLESS_MAIN(TestControls)
#include "tst_controls.moc"
