#include "compiler/compiler.h"
#include "compiler/marks.h"
#include "compiler/warnings.h"

#include <QtTest>

class TestWarnings : public QObject {
    Q_OBJECT
  private slots:
    // Lines as typed (each ends in CR LF). found: "LINE: text" for each
    // warning, then "LINE: unidentified ELEMENT" for the element compile()'s
    // alert names.
    void warnings_data() {
        QTest::addColumn<QByteArray>("queue");
        QTest::addColumn<QByteArray>("found");
        auto row = [](const char* name, const char* queue, const char* found) {
            QTest::newRow(name) << QByteArray(queue) << QByteArray(found);
        };
        row("clean", "Start\nWrite 0x90 Write 2 Write 05\n this reads\nDelaym 90\n", "");
        row("read as decimal", "Write A0\nwrite 91\n",
            "1: Write A0 is read as decimal, so it sends 0x00; hex takes \"0x\" (Write 0xA0)\n"
            "2: write 91 is read as decimal, so it sends 0x5B; hex takes \"0x\" (write 0x91)\n");
        row("bad hex", "Write 0x1FF\nWrite 0x9G\nDelaym 0x\n",
            "1: Write 0x1FF has more than two hex digits; only the first two count, so it sends "
            "0x1F\n"
            "2: Write 0x9G: \"G\" is not a hex digit, so it sends 0x09\n"
            "3: Delaym 0x has no digits after \"0x\", so it sends 0x00\n");
        row("value from the next line", "Start\nWrite\nStop\n",
            "2: Write has no value on its line, so it takes \"Stop\" from line 3\n");
        row("no value", "Start\nWrite", "2: Write has no value, so it sends 0x00\n");
        row("no ack", "Read\n", "1: Read has no ack or nack, so it ends with nAck\n");
        row("in line order", " Stop\nWrite 300\n Start\n",
            "1: the line starts with a blank, so it is a comment and \"Stop\" is not sent\n"
            "2: Write 300 is above 255: only its low 8 bits are sent, 0x2C\n"
            "3: the line starts with a blank, so it is a comment and \"Start\" is not sent\n");
        row("misspelt", "Start\n;x\nWrte 0x90\n", "3: unidentified Wrte\n");
        row("supply missing", "Stop\nSetV", "2: unidentified \n");
        // Checked on past refused words; the alert still names the first.
        row("after refused words", "Wrte 0x90\nWrite 91\nSetV 3.3\nWrite A0\nFoo\n",
            "2: Write 91 is read as decimal, so it sends 0x5B; hex takes \"0x\" (Write 0x91)\n"
            "4: Write A0 is read as decimal, so it sends 0x00; hex takes \"0x\" (Write 0xA0)\n"
            "1: unidentified Wrte\n");
        row("after a refused supply", "SetV 3\nWrite\n",
            "2: Write has no value, so it sends 0x00\n1: unidentified 3\n");
    }
    void warnings() {
        QFETCH(QByteArray, queue);
        QFETCH(QByteArray, found);
        const std::string typed = compiler::typedQueue(queue.toStdString());
        QByteArray got;
        for (const auto& w : compiler::scriptWarnings(typed))
            got += QByteArray::number(qulonglong(w.line)) + ": " + w.text.c_str() + "\n";
        const auto alert = compiler::compile(typed).error;
        const auto element = compiler::unidentifiedElement(typed);
        QCOMPARE(element.has_value(), alert.has_value());
        if (element) {
            got += QByteArray::number(qulonglong(element->line)) + ": unidentified " +
                   element->element.c_str() + "\n";
            QVERIFY(alert->message.ends_with("\r\n" + element->element));
            // The queue marks the word itself.
            QCOMPARE(typed.substr(element->begin, element->end - element->begin), element->element);
        }
        QCOMPARE(got, found);
    }

    // 124 tokens go in a frame: the word that passes them is marked, where
    // compile refuses.
    void marksPastTheTokenLimit() {
        const QByteArray writes = QByteArray("Write 0x90\n").repeated(62);
        for (const QByteArray& tail : {QByteArray(), QByteArray("Stop\n")}) {
            const std::string queue = compiler::typedQueue((writes + tail).toStdString());
            std::vector<std::size_t> errors;
            for (const auto& m : compiler::queueMarks(queue))
                if (m.kind == compiler::Mark::Kind::Error) errors.push_back(m.begin);
            QCOMPARE(compiler::compile(queue).ok(), tail.isEmpty());
            QCOMPARE(errors, tail.isEmpty() ? std::vector<std::size_t>{}
                                            : std::vector<std::size_t>{queue.rfind("Stop")});
        }
    }

    // A command that takes a value, last in the queue: marked with what it
    // lacks, and nothing read past the queue's end.
    void marksOfALastCommand_data() {
        QTest::addColumn<QByteArray>("queue");
        QTest::addColumn<QByteArray>("marks"); // "kind begin-end: message" each
        QTest::newRow("write") << QByteArray("Start\nWrite")
                               << QByteArray("C 0-5\nC 7-12\nW 7-12: Write has no value, so it "
                                             "sends 0x00\n");
        QTest::newRow("setv") << QByteArray("SetV")
                              << QByteArray("C 0-4\nE 0-4: Unidentified element encountered: "
                                            "\r\n\r\nSetV takes Open, 2.5, 3.0, 3.5, 4.0 or 5.0\n");
    }
    void marksOfALastCommand() {
        QFETCH(QByteArray, queue);
        QFETCH(QByteArray, marks);
        QByteArray got;
        for (const auto& m : compiler::queueMarks(compiler::typedQueue(queue.toStdString()))) {
            static const char kinds[] = {'C', '-', 'W', 'E'};
            got += kinds[static_cast<int>(m.kind)] + QByteArray(" ") +
                   QByteArray::number(qulonglong(m.begin)) + "-" +
                   QByteArray::number(qulonglong(m.end)) +
                   (m.message.empty() ? "" : ": " + QByteArray(m.message.c_str())) + "\n";
        }
        QCOMPARE(got, marks);
    }
};

QTEST_APPLESS_MAIN(TestWarnings)
#include "tst_warnings.moc"
