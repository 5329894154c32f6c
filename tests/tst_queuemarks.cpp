// The command queue's marks, on an editor of their own.
#include "app/queuemarks.h"
#include "compiler/compiler.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QtTest>

class TestQueueMarks : public QObject {
    Q_OBJECT
  private slots:
    // The queue shows what each line does: the token menu's colours, grey
    // comments, and underlined words with the reason as a tool tip.
    void queueMarks() {
        QPlainTextEdit queue;
        auto* marks = new app::QueueMarks(&queue);
        queue.setPlainText(";sensor\nStart\nWrite 0x90\nWrite 91\nSpeed\nReadInt\n"
                           "Delaym 5\nSetV 5.0\nSCL?\nDelayu\nGP0hi\n Stop\nWrte 1\n"
                           "SetV 3.3\n\u00e9\u00e9 Write 94\n");
        marks->refresh();
        // Each word at its first standing: its colour (none: the text's own),
        // "~" when underlined, and its tool tip.
        QString shown;
        for (const char* word : {"0x90", "Speed", "Delaym", "ReadInt", "SetV", "SCL?", ";sensor",
                                 "Stop", "91", "Delayu", "Wrte", "94", "3.3"}) {
            const int at = queue.toPlainText().indexOf(word);
            const QTextBlock block = queue.document()->findBlock(at);
            QTextCharFormat format;
            for (const auto& range : block.layout()->formats())
                if (at + 1 - block.position() >= range.start &&
                    at + 1 - block.position() < range.start + range.length)
                    format.merge(range.format);
            shown += word + QString(" ") +
                     (format.hasProperty(QTextFormat::ForegroundBrush)
                          ? format.foreground().color().name()
                          : "none") +
                     (format.underlineStyle() == QTextCharFormat::WaveUnderline ? " ~ " : " ") +
                     marks->messageAt(at + 1) + "\n";
        }
        QCOMPARE(shown,
                 "0x90 #0000ff \n" // a value takes its command's colour
                 "Speed #ff0000 \n"
                 "Delaym #00c000 \n"
                 "ReadInt none \n"
                 "SetV #c04000 \n"
                 "SCL? #c000c0 \n"
                 ";sensor #808080 \n"
                 "Stop #808080 ~ the line starts with a blank, so it is a comment and \"Stop\" is "
                 "not sent\n"
                 "91 #0000ff ~ Write 91 is read as decimal, so it sends 0x5B; hex takes \"0x\" "
                 "(Write 0x91)\n"
                 "Delayu #00c000 ~ Delayu has no value on its line, so it takes \"GP0hi\" from "
                 "line 11\n"
                 "Wrte none ~ Unidentified element encountered: \nWrte\n"
                 // after characters of two bytes
                 "94 #0000ff ~ Write 94 is read as decimal, so it sends 0x5E; hex takes \"0x\" "
                 "(Write 0x94)\n"
                 "3.3 none ~ Unidentified element encountered: \n3.3\nSetV takes Open, 2.5, 3.0, "
                 "3.5, 4.0 or 5.0\n");
        QCOMPARE(marks->messageAt(queue.toPlainText().indexOf("Wrte") + 4), ""); // past it
    }

    // Marking follows typing after a pause and never touches the text, the
    // cursor or the undo history; it reads the queue the compiler is given.
    void queueMarksLeaveTheTextAlone() {
        QPlainTextEdit queue;
        auto* marks = new app::QueueMarks(&queue);
        QTest::keyClicks(&queue, "Wrte 0x90");
        QTest::keyClick(&queue, Qt::Key_Left);
        const QString text = queue.toPlainText();
        const int cursor = queue.textCursor().position();
        const int undo = queue.document()->availableUndoSteps();
        QTRY_COMPARE(marks->messageAt(1), "Unidentified element encountered: \nWrte");
        QCOMPARE(queue.toPlainText(), text);
        QCOMPARE(queue.textCursor().position(), cursor);
        QCOMPARE(queue.document()->availableUndoSteps(), undo);
        // A blank typed after it changes no mark; the line is drawn with them again.
        QTest::keyClick(&queue, Qt::Key_End);
        QTest::keyClick(&queue, Qt::Key_Space);
        QTRY_VERIFY(!queue.document()->firstBlock().layout()->formats().isEmpty());
        queue.setPlainText("Start\u2028Stop\u00a0x\nSetV\n");
        QCOMPARE(app::QueueMarks::queueOf(queue.document()).text,
                 compiler::typedQueue(queue.toPlainText().toStdString()));
    }
};

QTEST_MAIN(TestQueueMarks)
#include "tst_queuemarks.moc"
