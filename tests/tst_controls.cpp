// What the window's controls do, without widgets.
#include "compiler/compiler.h"
#include "controls/buttons.h"
#include "controls/settingsfile.h"
#include "controls/tokenmenu.h"
#include "protocol/frames.h"

#include <QtTest>

using Frames = QList<QByteArray>;

class TestControls : public QObject {
    Q_OBJECT
  private slots:
    void controlButtons_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<Frames>("frames");
        QTest::addColumn<bool>("clears");
        QTest::newRow("ping") << 18 << Frames{"$0000\r", "$0019\r"} << false;
        QTest::newRow("H>L") << 19 << Frames{"$0013\r"} << false;
        QTest::newRow("L>H") << 20 << Frames{"$0014\r"} << false;
        QTest::newRow("On") << 21 << Frames{"$0015\r"} << false;
        QTest::newRow("Off") << 22 << Frames{"$0016\r"} << false;
        QTest::newRow("Slow") << 23 << Frames{"$0017\r"} << false;
        QTest::newRow("Fast") << 24 << Frames{"$0018\r"} << false;
        QTest::newRow("Slave") << 25 << Frames{"$00FF\r"} << true;
        QTest::newRow("Store Last") << 26 << Frames{"$0011\r"} << false;
        QTest::newRow("Run Stored") << 27 << Frames{"$0012\r"} << false;
    }
    void controlButtons() {
        QFETCH(int, index);
        QFETCH(Frames, frames);
        QFETCH(bool, clears);
        const auto button = controls::controlButton(index);
        QVERIFY(button);
        Frames got;
        for (const auto& f : button->frames)
            got << QByteArray::fromStdString(f);
        QCOMPARE(got, frames);
        QCOMPARE(button->clearsView, clears);
    }
    void otherButtonsSendNothing() {
        for (int index : {-1, 0, 17, 28, 254, 255})
            QVERIFY2(!controls::controlButton(index), QByteArray::number(index));
    }

    // The line a menu click writes, and what it compiles to.
    void tokenCommandLine_data() {
        QTest::addColumn<int>("index"); // of Label2
        QTest::addColumn<QByteArray>("box");
        QTest::addColumn<QByteArray>("tokens");
        QTest::newRow("start") << 0 << QByteArray() << QByteArray("00");
        QTest::newRow("write AA") << 1 << QByteArray("AA") << QByteArray("01AA");
        QTest::newRow("delay padded") << 4 << QByteArray("5") << QByteArray("0505");
        QTest::newRow("emptied box") << 22 << QByteArray() << QByteArray("0600");
        QTest::newRow("no hex digit") << 1 << QByteArray("G") << QByteArray("0100");
        QTest::newRow("read nack, index out of order") << 5 << QByteArray() << QByteArray("03");
        QTest::newRow("setv open") << 16 << QByteArray() << QByteArray("70");
        QTest::newRow("SDA? last but one") << 27 << QByteArray() << QByteArray("92");
    }
    void tokenCommandLine() {
        QFETCH(int, index);
        QFETCH(QByteArray, box);
        QFETCH(QByteArray, tokens);
        const auto* entry = controls::tokenEntry(index);
        QVERIFY(entry);
        const auto line = controls::tokenCommandLine(*entry, box.toStdString());
        QVERIFY(line.ends_with("\r\n"));
        const auto compiled = compiler::compile(line);
        QVERIFY(compiled.ok());
        QCOMPARE(QByteArray::fromStdString(compiled.frame),
                 QByteArray::fromStdString(protocol::scriptFrame(tokens.toStdString())));
    }

    void valueBoxKeys() {
        const QByteArray accepted = "0123456789ABCDEF\b\x7f";
        for (int c = 0; c < 256; ++c) {
            const char key = static_cast<char>(c);
            const auto got = controls::valueBoxKey(key);
            const char upper = (c >= 'a' && c <= 'f') ? static_cast<char>(c - 32) : key;
            if (accepted.contains(upper))
                QVERIFY2(got && *got == upper, QByteArray::number(c));
            else
                QVERIFY2(!got, QByteArray::number(c));
        }
    }

    void settingsLine_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QByteArray>("line"); // empty: the default serves
        QTest::newRow("one line") << QByteArray("/home/ann/scripts/\r\n")
                                  << QByteArray("/home/ann/scripts/");
        QTest::newRow("windows form") << QByteArray("c:\\\r\n") << QByteArray("c:\\");
        QTest::newRow("no line end") << QByteArray("/tmp/") << QByteArray("/tmp/");
        QTest::newRow("several lines") << QByteArray("/a/\r\n/b/\r\n") << QByteArray("/a/");
        QTest::newRow("lf") << QByteArray("/a/\n/b/") << QByteArray("/a/");
        QTest::newRow("cr") << QByteArray("/a/\r/b/") << QByteArray("/a/");
        QTest::newRow("blanks kept") << QByteArray(" /my dir/ \r\n") << QByteArray(" /my dir/ ");
        QTest::newRow("utf-8") << QByteArray("/home/j\xc3\xb6rg/\r\n")
                               << QByteArray("/home/j\xc3\xb6rg/");
        QTest::newRow("empty file") << QByteArray() << QByteArray();
        QTest::newRow("empty first line") << QByteArray("\r\n/a/\r\n") << QByteArray();
        QTest::newRow("tab") << QByteArray("/a\t/\r\n") << QByteArray();
        QTest::newRow("nul") << QByteArray("/a\0b/\r\n", 7) << QByteArray();
        QTest::newRow("del") << QByteArray("/a\x7f/") << QByteArray();
        QTest::newRow("longest") << QByteArray(4096, 'a') + "\r\n" << QByteArray(4096, 'a');
        QTest::newRow("too long") << QByteArray(4097, 'a') + "\r\n" << QByteArray();
    }
    void settingsLine() {
        QFETCH(QByteArray, contents);
        QFETCH(QByteArray, line);
        const auto got =
            controls::settingsLine(std::string_view(contents.constData(), contents.size()));
        QCOMPARE(got ? QByteArray::fromStdString(*got) : QByteArray(), line);
        if (got) QCOMPARE(controls::settingsText(*got), *got + "\r\n");
    }

    void frameTexts() {
        QCOMPARE(protocol::boxText("$0013\r"), std::string("$0013[cr]"));
        QCOMPARE(protocol::boxText("$00\n13\r"), std::string("$00\n13[cr]"));
        QCOMPARE(protocol::boxText(""), std::string("[cr]"));
        QCOMPARE(protocol::echoText("$00\n13\r"), std::string("$00[lf]13[cr]"));
        QCOMPARE(protocol::echoText("\r\r"), std::string("[cr][cr]"));
    }
};

QTEST_APPLESS_MAIN(TestControls)
#include "tst_controls.moc"
