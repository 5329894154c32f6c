#include "protocol/frames.h"
#include "protocol/record.h"

#include <ctime>

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
        struct Row {
            int year, month, day, hour, minute, second, millis;
            const char* text;
        };
        for (const Row& r : {Row{2026, 12, 31, 23, 59, 59, 999, "2026-12-31T23:59:59.999"},
                             Row{2027, 1, 1, 0, 0, 0, 0, "2027-01-01T00:00:00.000"},
                             Row{2028, 2, 29, 9, 5, 7, 42, "2028-02-29T09:05:07.042"}}) {
            std::tm local{};
            local.tm_year = r.year - 1900;
            local.tm_mon = r.month - 1;
            local.tm_mday = r.day;
            local.tm_hour = r.hour;
            local.tm_min = r.minute;
            local.tm_sec = r.second;
            local.tm_isdst = -1;
            const auto when = std::chrono::system_clock::from_time_t(std::mktime(&local)) +
                              std::chrono::milliseconds(r.millis);
            QCOMPARE(protocol::recordTime(when), r.text);
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
