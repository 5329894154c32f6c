// The cost of marking the command queue: a queue of 10,000 lines read,
// coloured and checked, first whole and then after each of many keystrokes
// (the pause before marking left out). Usage: queue_marks (offscreen is fine)
#include "app/queuemarks.h"
#include "compiler/marks.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kLines = 10000;
constexpr int kKeystrokes = 50;

double msSince(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // Every kind of line: commands of each group, values, comments, warnings.
    const QStringList kinds = {"Start", "Write  0x90", "Write 91",  "Read   ack",
                               "Stop",  ";comment",    "Delayu 10", " Speed",
                               "GP0hi", "SetV 5.0",    "SCL?",      "Delaym"};
    QString text;
    for (int i = 0; i < kLines; ++i)
        text += kinds[i % kinds.size()] + QLatin1Char('\n');
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

    std::vector<double> keystrokes;
    QTextCursor cursor(editor.document()->findBlockByNumber(kLines / 2));
    for (int i = 0; i < kKeystrokes; ++i) {
        cursor.insertText(i % 2 ? QStringLiteral("x") : QStringLiteral(" "));
        clock.start();
        marks->refresh();
        keystrokes.push_back(msSince(clock));
    }
    std::printf("queue of %d lines, %zu marks\n", kLines, found.size());
    std::printf("  the queue read from the editor      %7.2f ms\n", read);
    std::printf("  marks found (core)                  %7.2f ms\n", core);
    std::printf("  first marking, every line coloured  %7.2f ms\n", whole);
    std::printf("  after a keystroke (median of %d)    %7.2f ms, highest %.2f ms\n", kKeystrokes,
                median(keystrokes), *std::max_element(keystrokes.begin(), keystrokes.end()));
    return 0;
}
