// The pacer that brings the window's views to the screen.
#include "app/pacer.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace std::chrono_literals;

class TestPacer : public QObject {
    Q_OBJECT
  private slots:
    // After a quiet spell a change shows at once; changes that follow within
    // the interval show together once it has passed; showNow takes what
    // waits. The interval is long enough that a busy machine does not make a
    // quiet spell between two calls.
    void showsAtOnceThenOnceAnInterval() {
        int shown = 0;
        app::Pacer pacer(300ms, [&] { ++shown; });
        QElapsedTimer clock;
        clock.start();
        pacer.request();
        QCOMPARE(shown, 1);
        for (int i = 0; i < 100; ++i)
            pacer.request();
        QCOMPARE(shown, 1);
        QTRY_COMPARE(shown, 2);
        QVERIFY2(clock.elapsed() >= 280, qPrintable(QString::number(clock.elapsed())));
        QTest::qWait(400); // nothing asked: nothing more
        QCOMPARE(shown, 2);
        pacer.request();
        QCOMPARE(shown, 3);
        pacer.request();
        pacer.showNow();
        QCOMPARE(shown, 4);
        QTest::qWait(400);
        QCOMPARE(pacer.showings(), 4);
    }
};

QTEST_GUILESS_MAIN(TestPacer)
#include "tst_pacer.moc"
