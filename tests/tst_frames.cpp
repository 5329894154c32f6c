#include "protocol/frames.h"

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
};

QTEST_APPLESS_MAIN(TestFrames)
#include "tst_frames.moc"
