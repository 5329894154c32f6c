#include "compiler/compiler.h"
#include "compiler/warnings.h"
#include "library/examples.h"

#include <QtTest>

class TestWarnings : public QObject {
    Q_OBJECT
  private slots:
    // Lines as typed (each ends in CR LF); the frame compile() makes of the
    // queue is unchanged by any warning.
    void warnings_data() {
        QTest::addColumn<QByteArray>("queue");
        QTest::addColumn<QByteArray>("warnings"); // "LINE: text", one a line
        auto row = [](const char* name, const char* queue, const char* warnings) {
            QTest::newRow(name) << QByteArray(queue) << QByteArray(warnings);
        };
        row("clean", "Start\nWrite 0x90\nWrite 2\nRead ack\nStop\nDelaym 255\nSetV 3.0\n", "");
        row("blank-led commands", "Start\n Write 0x90\nStop\n",
            "2: the line starts with a blank, so it is a comment and \"Write 0x90\" is not sent\n");
        row("blank-led prose", "Start\n this reads the sensor\nStop\n", "");
        row("hex letters read as decimal", "Write A0\n",
            "1: Write A0 is read as decimal, so it sends 0x00; hex takes \"0x\" (Write 0xA0)\n");
        row("two digits read as decimal", "write 91\n",
            "1: write 91 is read as decimal, so it sends 0x5B; hex takes \"0x\" (write 0x91)\n");
        row("delay in decimal", "Delaym 90\nDelayu 10\n", "");
        row("above 255", "Write 256\n",
            "1: Write 256 is above 255: only its low 8 bits are sent, 0x00\n");
        row("rounds past 255", "Delaym 255.5\n",
            "1: Delaym 255.5 is above 255: only its low 8 bits are sent, 0x00\n");
        row("three hex digits", "Write 0x1FF\n",
            "1: Write 0x1FF has more than two hex digits; only the first two count, so it sends "
            "0x1F\n");
        row("non-hex digit", "Write 0x9G\n",
            "1: Write 0x9G: \"G\" is not a hex digit, so it sends 0x09\n");
        row("bare 0x", "Delaym 0x\n",
            "1: Delaym 0x has no digits after \"0x\", so it sends 0x00\n");
        row("value from the next line", "Start\nWrite\nStop\n",
            "2: Write has no value on its line, so it takes \"Stop\" from line 3\n");
        row("ack from the next line", "Read\n;c\nack\n",
            "1: Read has no ack or nack on its line, so it takes \"ack\" from line 3\n");
        row("value missing at the end", "Start\nWrite",
            "2: Write has no value, so it sends 0x00\n");
        row("read missing at the end", "Read\n",
            "1: Read has no ack or nack, so it ends with nAck\n");
        row("in line order", " Stop\nWrite 300\n Start\n",
            "1: the line starts with a blank, so it is a comment and \"Stop\" is not sent\n"
            "2: Write 300 is above 255: only its low 8 bits are sent, 0x2C\n"
            "3: the line starts with a blank, so it is a comment and \"Start\" is not sent\n");
    }
    void warnings() {
        QFETCH(QByteArray, queue);
        QFETCH(QByteArray, warnings);
        const std::string typed = compiler::typedQueue(queue.toStdString());
        QByteArray got;
        for (const auto& w : compiler::scriptWarnings(typed))
            got += QByteArray::number(qulonglong(w.line)) + ": " +
                   QByteArray::fromStdString(w.text) + "\n";
        QCOMPARE(got, warnings);
    }

    void builtInExamplesWarnNothing() {
        for (std::size_t i = 0; i < library::kExamples.size(); ++i) {
            const auto queue = compiler::typedQueue(library::exampleScript(i));
            QVERIFY2(compiler::scriptWarnings(queue).empty(), library::exampleScript(i).c_str());
        }
    }

    void unidentifiedElement_data() {
        QTest::addColumn<QByteArray>("queue");
        QTest::addColumn<int>("line"); // 0: no such alert
        QTest::addColumn<QByteArray>("element");
        QTest::newRow("misspelt") << QByteArray("Start\n;x\nWrte 0x90\n") << 3
                                  << QByteArray("Wrte");
        QTest::newRow("bad supply") << QByteArray("SetV\n\n3.3\n") << 3 << QByteArray("3.3");
        QTest::newRow("supply missing") << QByteArray("Stop\nSetV") << 2 << QByteArray();
        QTest::newRow("after a comment element")
            << QByteArray("Write 0 ; set pointer\n") << 1 << QByteArray("set");
        QTest::newRow("fine") << QByteArray("Start\nStop\n") << 0 << QByteArray();
    }
    void unidentifiedElement() {
        QFETCH(QByteArray, queue);
        QFETCH(int, line);
        QFETCH(QByteArray, element);
        const std::string typed = compiler::typedQueue(queue.toStdString());
        const auto found = compiler::unidentifiedElement(typed);
        const auto alert = compiler::compile(typed).error;
        QCOMPARE(found.has_value(), line > 0);
        QCOMPARE(alert.has_value(), line > 0);
        if (!found) return;
        QCOMPARE(int(found->line), line);
        QCOMPARE(QByteArray::fromStdString(found->element), element);
        QVERIFY(alert->message.ends_with("\r\n" + found->element));
    }
};

QTEST_APPLESS_MAIN(TestWarnings)
#include "tst_warnings.moc"
