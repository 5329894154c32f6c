// The command queue at size. First a queue of 10,000 lines of every kind,
// read, coloured and checked, whole and after each of many keystrokes (the
// pause before marking left out). Then the window's Load of script files of
// 1 MB and 16 MB (lines of script, no block names, so all of it is meant for
// the queue): the time until the queue shows it marked, the memory it added,
// and a keystroke in the middle of the queue (handled, then marked).
//
// Usage: queue_marks [--keystrokes N] [MEGABYTES...]   (offscreen is fine)
// The highest memory is the process's: give one size a run to read it.
#include "app/queuemarks.h"
#include "compiler/marks.h"
#include "processstats.h"
#include "windowfixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kLines = 10000;

// Every kind of line: commands of each group, values, comments, warnings.
const QStringList& kinds() {
    static const QStringList lines = {"Start", "Write  0x90", "Write 91",  "Read   ack",
                                      "Stop",  ";comment",    "Delayu 10", " Speed",
                                      "GP0hi", "SetV 5.0",    "SCL?",      "Delaym"};
    return lines;
}

double msSince(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e6;
}

struct Spread {
    double median = 0, highest = 0;
};

Spread spread(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.back()};
}

void marking(int keystrokes) {
    QString text;
    for (int i = 0; i < kLines; ++i)
        text += kinds()[i % kinds().size()] + QLatin1Char('\n');
    QPlainTextEdit editor;
    editor.resize(221, 469);
    auto* marks = new app::QueueMarks(&editor);
    editor.setPlainText(text);

    QElapsedTimer clock;
    clock.start();
    const auto queue = app::QueueMarks::queueOf(editor.document());
    const double read = msSince(clock);
    clock.start();
    const auto found = compiler::queueMarks(queue.text);
    const double core = msSince(clock);
    clock.start();
    marks->refresh();
    const double whole = msSince(clock);

    std::vector<double> times;
    QTextCursor cursor(editor.document()->findBlockByNumber(kLines / 2));
    for (int i = 0; i < keystrokes; ++i) {
        cursor.insertText(i % 2 ? QStringLiteral("x") : QStringLiteral(" "));
        clock.start();
        marks->refresh();
        times.push_back(msSince(clock));
    }
    const Spread after = spread(times);
    std::printf("queue of %d lines, %zu marks\n", kLines, found.size());
    std::printf("  the queue read from the editor      %7.2f ms\n", read);
    std::printf("  marks found (core)                  %7.2f ms\n", core);
    std::printf("  first marking, every line coloured  %7.2f ms\n", whole);
    std::printf("  after a keystroke (median of %d)    %7.2f ms, highest %.2f ms\n", keystrokes,
                after.median, after.highest);
}

// The window's Load of a file of about megabytes MB, then keystrokes in it.
void load(int megabytes, int keystrokes) {
    WindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QByteArray bytes;
    const qsizetype size = qsizetype(megabytes) << 20;
    for (int i = 0;; ++i) {
        // A ";" line would start a block: the comment here is a "//" one.
        const QString& kind = kinds()[i % kinds().size()];
        const QByteArray line =
            (kind.startsWith(';') ? "//" + kind.mid(1) : kind).toLatin1() + "\r\n";
        if (bytes.size() + line.size() > size) break; // the largest file Load takes
        bytes += line;
    }
    const QString path = f.dir.filePath(QStringLiteral("big.txt"));
    writeFile(path, bytes);
    const qsizetype fileSize = bytes.size(), fileLines = bytes.count('\n');
    bytes = QByteArray(); // the window's memory, not the bench's
    auto* queue = f.queueBox();
    auto* marks = f.window->queueMarks();
    QCoreApplication::processEvents();
    const double before = residentMb();

    QElapsedTimer clock;
    clock.start();
    f.window->library().loadScriptFile(path);
    QCoreApplication::processEvents();
    marks->refresh();
    QCoreApplication::processEvents();
    const double loaded = msSince(clock);
    const double added = residentMb() - before;

    std::vector<double> times;
    queue->setFocus();
    QTextCursor middle(queue->document()->findBlockByNumber(queue->blockCount() / 2));
    queue->setTextCursor(middle);
    for (int i = 0; i < keystrokes; ++i) {
        clock.start();
        QTest::keyClick(queue, i % 2 ? Qt::Key_Backspace : Qt::Key_X);
        QCoreApplication::processEvents();
        marks->refresh(); // as its pause would, at once
        times.push_back(msSince(clock));
    }
    const Spread key = spread(times);
    std::printf("Load of %d MB (%lld bytes, %lld lines): %d lines in the queue, %zu alert(s)\n",
                megabytes, static_cast<long long>(fileSize), static_cast<long long>(fileLines),
                queue->blockCount(), static_cast<std::size_t>(f.alerts.size()));
    std::printf("  load until the queue shows it marked  %8.0f ms\n", loaded);
    std::printf("  memory the load added                 %8.1f MB (%.1f times the file), "
                "now %.1f MB\n",
                added, added * 1e6 / double(fileSize), residentMb());
    std::printf("  highest resident memory of the process %7.1f MB (run one size a process)\n",
                peakMb());
    std::printf("  a keystroke, handled and marked       %8.2f ms median of %d, highest %.2f ms\n",
                key.median, keystrokes, key.highest);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    int keystrokes = 50;
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--keystrokes" && i + 1 < argc)
            keystrokes = std::max(1, QByteArray(argv[++i]).toInt());
        else
            sizes.push_back(QByteArray(argv[i]).toInt());
    }
    if (sizes.empty()) sizes = {1, 16};
    marking(keystrokes);
    for (int megabytes : sizes)
        load(megabytes, keystrokes);
    return 0;
}
