#include "protocol/frames.h"
#include "protocol/record.h"

#include <QtTest>

class TestFrames : public QObject {
    Q_OBJECT
  private slots:
    // The waits after sending: a tenth of a second after a control frame, a
    // hundredth after a script.
    void pauses() {
        QCOMPARE(protocol::pauseOf(protocol::kControlWait), std::chrono::milliseconds(100));
        QCOMPARE(protocol::pauseOf(protocol::kScriptWait), std::chrono::milliseconds(10));
    }

    // A record's time is the local calendar time, carried over at the end of
    // a day, a month and a year.
    void recordTimes() {
        const std::pair<QDateTime, const char*> rows[] = {
            {QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59, 999)), "2026-12-31T23:59:59.999"},
            {QDateTime(QDate(2027, 1, 1), QTime(0, 0)), "2027-01-01T00:00:00.000"},
            {QDateTime(QDate(2028, 2, 29), QTime(9, 5, 7, 42)), "2028-02-29T09:05:07.042"}};
        for (const auto& [local, text] : rows) {
            const std::chrono::system_clock::time_point when{
                std::chrono::milliseconds(local.toMSecsSinceEpoch())};
            QCOMPARE(protocol::recordTime(when), text);
        }
    }

    // A received frame's activity stands on one line of the record.
    void recordLines() {
        QCOMPARE(protocol::receivedLine("T", "!0010SW90aP\r", "[S]\r\n[W 90 a]\n\n[P]\r\n"),
                 "T < !0010SW90aP[cr]\t[S] | [W 90 a] |  | [P]\r\n");
    }
};

QTEST_APPLESS_MAIN(TestFrames)
#include "tst_frames.moc"
