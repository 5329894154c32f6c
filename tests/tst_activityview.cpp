// The bus activity view on its own: lines kept and shown, selecting and
// reading while lines stream and old ones go, the keys, and what assistive
// tools are told.
#include "app/activityaccessible.h"
#include "app/activityview.h"
#include "dialogs/form.h"

#include <QAccessible>
#include <QAccessibleTextInterface>
#include <QClipboard>
#include <QMenu>
#include <QScrollBar>
#include <QtTest>

#include <optional>
#include <string>

namespace {

// "L<n>" lines, numbered on from `from`.
std::string numbered(int from, int count) {
    std::string lines;
    for (int i = from; i < from + count; ++i)
        lines += "L" + std::to_string(i) + "\r\n";
    return lines;
}

struct View {
    View() {
        view.setFont(dialogs::fontOf(dialogs::Font::Fixed));
        view.resize(225, 469);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setFocus();
    }
    // Inside a character cell of the view as drawn, nearer its left.
    QPoint at(int column, int row) const {
        const int height = QFontMetrics(view.font()).lineSpacing();
        const qreal advance = QFontMetricsF(view.font()).horizontalAdvance(' ');
        return {4 + qRound((column + 0.25) * advance), 4 + row * height + height / 2};
    }
    void press(int column, int row, Qt::KeyboardModifiers keys = {}) {
        QTest::mousePress(view.viewport(), Qt::LeftButton, keys, at(column, row));
    }
    void dragTo(QPoint point) {
        QMouseEvent move(QEvent::MouseMove, point, view.viewport()->mapToGlobal(point),
                         Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(view.viewport(), &move);
    }
    void release() { QTest::mouseRelease(view.viewport(), Qt::LeftButton); }
    QString copied() {
        QApplication::clipboard()->clear();
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        return QApplication::clipboard()->text();
    }
    QAccessibleTextInterface* text() const {
        auto* face = QAccessible::queryAccessibleInterface(const_cast<app::ActivityView*>(&view));
        return face ? face->textInterface() : nullptr;
    }

    app::ActivityView view;
};

// What assistive tools were told, as "insert AT: text" and "remove AT: n".
QStringList told;
void listen(QAccessibleEvent* event) {
    if (event->type() == QAccessible::TextInserted) {
        auto* e = static_cast<QAccessibleTextInsertEvent*>(event);
        told << QString("insert %1: %2").arg(e->changePosition()).arg(e->textInserted());
    } else if (event->type() == QAccessible::TextRemoved) {
        auto* e = static_cast<QAccessibleTextRemoveEvent*>(event);
        told << QString("remove %1: %2").arg(e->changePosition()).arg(e->textRemoved().size());
    }
}

} // namespace

class TestActivityView : public QObject {
    Q_OBJECT
  private slots:
    // The newest lines and an open one, however they come; the view follows
    // the newest, and a user scrolled up keeps the same lines in sight.
    void linesAndScrolling() {
        View v;
        QScrollBar* bar = v.view.verticalScrollBar();
        v.view.append("WRITE\t0x40\t"); // left open, and older than all that follows
        v.view.append(numbered(0, app::kMaxActivityLines + 5));
        v.view.flush();
        QCOMPARE(bar->value(), bar->maximum());
        bar->setValue(1000);
        const QString inSight = v.view.toPlainText().section('\n', 1000, 1000);
        v.view.append("a\r");
        v.view.append("\nb\rc\nopen");
        v.view.flush();
        QCOMPARE(bar->value(), 997);
        QCOMPARE(v.view.toPlainText().section('\n', 997, 997), inSight);
        const QStringList shown = v.view.toPlainText().split('\n');
        QCOMPARE(shown.size(), app::kMaxActivityLines + 1);
        QCOMPARE(shown.mid(0, 1) + shown.mid(shown.size() - 4),
                 QStringList({"L8", "a", "b", "c", "open"}));
        // Read-only, but the mouse selects and Ctrl+C copies, tabs included.
        v.view.clearView();
        v.view.append("START\r\nWRITE\t0x90\tAck\r\n");
        v.view.flush();
        v.press(2, 0);
        v.dragTo(v.at(17, 1));
        v.release();
        QCOMPARE(v.copied(), "ART\nWRITE\t0x90\tA");
    }

    // A selection stays on its lines while lines come and old ones go,
    // until they go too: then it shrinks to what is left.
    void selectionStaysOnItsLines() {
        View v;
        v.view.append(numbered(0, app::kMaxActivityLines));
        v.view.flush();
        const qint64 top = v.view.topLine(); // following: the newest lines in sight
        v.press(0, 2);
        v.release();
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(&v.view, Qt::Key_Down, Qt::ShiftModifier);
        const QString five = QString::fromStdString(numbered(int(top) + 2, 5)).remove('\r');
        QCOMPARE(v.copied(), five);
        for (int burst = 0; burst < 10; ++burst) { // arrivals, a showing now and then
            v.view.append(numbered(app::kMaxActivityLines + burst * 100, 100));
            if (burst % 3 == 0) v.view.flush();
            QCOMPARE(v.copied(), five);
        }
        v.view.flush();
        QCOMPARE(v.view.selection().first.line, top + 2);
        // Its first three lines go: the other two stay selected.
        const qint64 drop = top + 5 - v.view.firstLine();
        v.view.append(numbered(30000, int(drop)));
        QCOMPARE(v.copied(), five.section('\n', 3));
        v.view.append(numbered(40000, 10));
        QCOMPARE(v.copied(), "");
    }

    // A click takes the line drawn under the pointer, though lines went
    // since the last showing. Dragging past an edge scrolls on, that edge's
    // way, while the button is held, and stops at its release.
    void clickAndDrag() {
        View v;
        v.view.append(numbered(0, app::kMaxActivityLines));
        v.view.flush();
        v.view.verticalScrollBar()->setValue(500);
        QCoreApplication::processEvents();
        v.view.append(numbered(app::kMaxActivityLines, 300)); // not yet shown
        v.press(0, 3);
        v.release();
        QTest::keyClick(&v.view, Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(v.copied(), "L503");
        v.press(1, 5);
        v.dragTo(QPoint(20, -30));
        QTRY_VERIFY(v.view.topLine() <= 495);
        v.release();
        const qint64 released = v.view.topLine();
        QTest::qWait(200);
        QCOMPARE(v.view.topLine(), released);
        // The selection runs from the press to beyond the edge scrolled to.
        const auto [from, to] = v.view.selection();
        QCOMPARE(to.line, 505);
        QVERIFY(from.line <= released);
        v.press(1, 5);
        v.dragTo(QPoint(20, v.view.viewport()->height() + 30));
        QTRY_VERIFY(v.view.topLine() >= released + 10);
        v.release();
    }

    // The newest line is drawn last while the view follows: from the start,
    // after an emptying, and once the bar is back at the bottom.
    void followsTheNewestLine() {
        View v;
        QScrollBar* bar = v.view.verticalScrollBar();
        auto newestDrawnLast = [&] { // on the last whole row, inside the 4-pixel margins
            const int rows = (v.view.viewport()->height() - 8) / (v.at(0, 1).y() - v.at(0, 0).y());
            return v.view.topLine() + rows - 1 == v.view.lastLine();
        };
        v.view.append(numbered(0, 100) + "end");
        v.view.flush();
        QVERIFY(newestDrawnLast());
        bar->setValue(0);
        bar->setValue(bar->maximum());
        v.view.append("\r\n" + numbered(110, 10) + "end");
        v.view.flush();
        QVERIFY(newestDrawnLast());
        // Emptied while scrolled up, with a selection: both go.
        bar->setValue(0);
        v.press(0, 1);
        QTest::mouseClick(v.view.viewport(), Qt::LeftButton, Qt::ShiftModifier, v.at(1, 3));
        QCOMPARE(v.copied(), "L1\nL2\nL");
        v.view.clearView();
        v.view.append(numbered(0, 100) + "end");
        v.view.flush();
        QVERIFY(newestDrawnLast());
        QCOMPARE(v.copied(), "");
        // Select all takes every line, not those in sight.
        bar->setValue(50);
        QTest::keyClick(&v.view, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(v.copied(), v.view.toPlainText());
    }

    // The context menu offers Copy only with a selection.
    void contextMenuCopy() {
        View v;
        v.view.append("START\r\nSTOP\r\n");
        v.view.flush();
        auto copyOffered = [&] {
            std::optional<bool> offered;
            QObject scope; // no menu shown: the look goes with this call
            QTimer::singleShot(0, &scope, [&] {
                if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                    offered = menu->actions().value(0)->isEnabled();
                    menu->close();
                }
            });
            QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5));
            QApplication::sendEvent(v.view.viewport(), &event);
            return offered;
        };
        QCOMPARE(copyOffered(), std::optional<bool>(false));
        QTest::keyClick(&v.view, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(copyOffered(), std::optional<bool>(true));
    }

    // The caret keys move, and with Shift select; the caret stays in sight.
    void caretKeys_data() {
        QTest::addColumn<QList<int>>("keys"); // key | modifiers
        QTest::addColumn<QString>("copied");
        QTest::addColumn<qint64>("caretLine");
        const int shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
        auto row = [](const char* name, QList<int> keys, const char* copied, qint64 line) {
            QTest::newRow(name) << keys << QString(copied) << line;
        };
        row("shift down twice", {Qt::Key_Down | shift, Qt::Key_Down | shift}, "L0\nL1\n", 2);
        row("end, shift left", {Qt::Key_End, Qt::Key_Left | shift}, "0", 0);
        row("right past a line end", {Qt::Key_End, Qt::Key_Right | shift, Qt::Key_Right | shift},
            "\nL", 1);
        row("left before a line start", {Qt::Key_Down, Qt::Key_Left | shift}, "\n", 0);
        row("page down", {Qt::Key_PageDown, Qt::Key_Home | shift}, "", -1);
        row("shift home at the end", {Qt::Key_End | ctrl, Qt::Key_Home | shift}, "open", 300);
        row("shift up from the end", {Qt::Key_End | ctrl, Qt::Key_Up | shift}, "\nopen", 299);
        row("to the end", {Qt::Key_End | ctrl | shift}, "", 300);
        row("up stops at the first line", {Qt::Key_Up | shift, Qt::Key_Up | shift}, "", 0);
    }
    void caretKeys() {
        QFETCH(QList<int>, keys);
        QFETCH(QString, copied);
        QFETCH(qint64, caretLine);
        View v;
        v.view.append(numbered(0, 300) + "open");
        v.view.flush();
        QTest::keyClick(&v.view, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(v.view.topLine(), 0);
        for (int key : keys)
            QTest::keyClick(&v.view, Qt::Key(key & ~Qt::KeyboardModifierMask),
                            Qt::KeyboardModifiers(key & Qt::KeyboardModifierMask));
        const qint64 rows =
            (v.view.viewport()->height() - 8) / QFontMetrics(v.view.font()).lineSpacing();
        const qint64 line = caretLine < 0 ? rows : caretLine; // a page down
        if (QTest::currentDataTag() == QByteArray("to the end"))
            QCOMPARE(v.copied().size(), v.view.toPlainText().size());
        else
            QCOMPARE(v.copied(), copied);
        QCOMPARE(v.view.caret().line, line);
        QVERIFY(v.view.topLine() <= line && line < v.view.topLine() + rows);
    }

    // Assistive tools read the lines, the caret and the selection, find a
    // character on the screen, and are told of new text once a showing.
    void assistiveTools() {
        View v;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&v.view);
        QAccessibleTextInterface* text = v.text();
        QVERIFY(text && face->role() == QAccessible::EditableText && face->state().readOnly &&
                face->state().multiLine);
        v.view.append("START\r\nWRITE\t0x90\tAck\r\nREAD");
        v.view.flush();
        QCOMPARE(text->text(0, text->characterCount()), "START\nWRITE\t0x90\tAck\nREAD");
        int start = -1, end = -1;
        QCOMPARE(text->textAtOffset(8, QAccessible::LineBoundary, &start, &end),
                 "WRITE\t0x90\tAck\n");
        QCOMPARE(QList<int>({start, end}), QList<int>({6, 21}));
        QCOMPARE(text->textAfterOffset(8, QAccessible::LineBoundary, &start, &end), "READ");
        QCOMPARE(text->textBeforeOffset(8, QAccessible::LineBoundary, &start, &end), "START\n");
        QCOMPARE(text->textBeforeOffset(2, QAccessible::LineBoundary, &start, &end), "");
        QCOMPARE(text->textAfterOffset(23, QAccessible::LineBoundary, &start, &end), "");
        QCOMPARE(text->textAtOffset(13, QAccessible::WordBoundary, &start, &end), "0x90");
        QCOMPARE(text->textAtOffset(8, QAccessible::CharBoundary, &start, &end), "I");
        QTest::keyClick(&v.view, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(&v.view, Qt::Key_Down);
        QTest::keyClick(&v.view, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&v.view, Qt::Key_Right, Qt::ShiftModifier);
        text->selection(0, &start, &end);
        QCOMPARE(QList<int>({text->cursorPosition(), text->selectionCount(), start, end}),
                 QList<int>({8, 1, 6, 8}));
        text->setSelection(0, 21, 25);
        QCOMPARE(v.copied(), "READ");
        // Where the "A" of READ stands, and back.
        const QRect a = text->characterRect(23);
        QVERIFY(a.contains(v.view.viewport()->mapToGlobal(v.at(2, 2))));
        QCOMPARE(text->offsetAtPoint(a.center()), 23);

        app::setTeller(listen);
        auto quiet = qScopeGuard([] { app::setTeller(nullptr); });
        told.clear();
        for (int i = 0; i < 10; ++i)
            v.view.append(" x\r\n");
        QCOMPARE(told, QStringList());
        v.view.flush();
        QCOMPARE(told, QStringList{"insert 25: " + QString(" x\n").repeated(10)});
        // Old lines going are told as text removed from the start.
        told.clear();
        v.view.append(numbered(0, app::kMaxActivityLines));
        v.view.flush();
        QCOMPARE(told.size(), 2);
        QCOMPARE(told[0], "remove 0: 55"); // all that was told before
        QVERIFY(told[1].startsWith("insert 0: L0\n"));
        // Scrolled to the newest: its last character stands in the view.
        const QRect last = text->characterRect(text->characterCount() - 1);
        QVERIFY(QRect(v.view.viewport()->mapToGlobal(QPoint(0, 0)), v.view.viewport()->size())
                    .contains(last.center()));
        told.clear();
        const int count = text->characterCount();
        v.view.clearView();
        QCOMPARE(told, QStringList{QString("remove 0: %1").arg(count)});
    }
};

QTEST_MAIN(TestActivityView)
#include "tst_activityview.moc"
