// The real window against the module simulator over a pseudo-terminal.
#include "simwindow.h"

#include <QAction>
#include <QtTest>

namespace {
constexpr int kWait = 5000;
} // namespace

class TestWindowSim : public QObject {
    Q_OBJECT
  private slots:
    // The simulator started again on the same link: the window opens the
    // port again by itself, unless the user chose "Select" in between. The
    // record marks the loss and the return.
    void aLostPortComesBack_data() {
        QTest::addColumn<bool>("userChoseSelect");
        QTest::newRow("by itself") << false;
        QTest::newRow("not after Select") << true;
    }
    void aLostPortComesBack() {
        QFETCH(bool, userChoseSelect);
        SimWindow rig;
        QVERIFY(rig.start());
        rig.choose("portselect", 8);
        QTRY_VERIFY_WITH_TIMEOUT(!rig.view().isEmpty(), kWait);
        const QString record = rig.dir.filePath("session.txt");
        answerFileDialog(record);
        for (auto* action : rig.window->findChildren<QAction*>())
            if (action->text().startsWith("Record session")) action->trigger();
        const QString lostDevice = rig.sim.device;
        rig.sim.kill();
        // Its link goes too: the terminal's number may soon be another
        // test's simulator, which the watch must not take for this one.
        QVERIFY(QFile::remove(rig.dir.filePath("COM8")));
        QTRY_COMPARE_WITH_TIMEOUT(rig.alerts.size(), 1, kWait);
        if (userChoseSelect) rig.choose("portselect", 0);
        rig.window->control<app::ActivityView>("i2cparser")->clearView();
        QVERIFY(rig.start());
        const QString greeted = userChoseSelect ? "" : "[Reset:   Power up]\n\n";
        QTRY_COMPARE_WITH_TIMEOUT(rig.view(), greeted, kWait);
        // Two more looks of the watch: it has ended, so nothing opens again.
        QTest::qWait(2500);
        QCOMPARE(rig.view(), greeted);
        QCOMPARE(rig.window->portopen(), !userChoseSelect);
        QFile file(record);
        QVERIFY(file.open(QIODevice::ReadOnly));
        static const QRegularExpression stamp("^\\d{4}-\\d\\d-\\d\\dT[\\d:.]{12} ",
                                              QRegularExpression::MultilineOption);
        QStringList events = QString(file.readAll())
                                 .remove(stamp)
                                 .split("\r\n")
                                 .filter(QRegularExpression("^[*+] "));
        QCOMPARE(events.size(), userChoseSelect ? 1 : 2);
        QVERIFY2(events[0].startsWith("* COM8 (" + lostDevice + ") stopped working: "),
                 qPrintable(events[0]));
        if (!userChoseSelect) QCOMPARE(events[1], "+ COM8 (" + rig.sim.device + ") opened again");
    }

    // The view keeps the newest lines and the window keeps answering.
    void floodOfInterruptReports() {
        SimWindow rig;
        QVERIFY(rig.start());
        rig.choose("portselect", 8);
        QTRY_VERIFY_WITH_TIMEOUT(!rig.view().isEmpty(), kWait);
        auto* view = rig.window->control<app::ActivityView>("i2cparser");
        const qint64 before = view->lastLine();
        rig.sim.command("flood 50000");
        // Lines are numbered from the last clear: one a report.
        QTRY_VERIFY_WITH_TIMEOUT((rig.window->showPending(), view->lastLine() - before >= 50000),
                                 30000);
        const QStringList lines = rig.view().split('\n');
        QCOMPARE(lines.size(), app::kMaxActivityLines + 1);
        // The input starts high, so the reports go 0, 1, 0, ... and the last is 1.
        for (int i = 0; i < app::kMaxActivityLines; ++i)
            QCOMPARE(lines[i], i % 2 ? "[Int]\t1" : "[Int]\t0");
        rig.click("cmmd(19)");
        QTRY_VERIFY_WITH_TIMEOUT(rig.view().endsWith("[Int]\t1\n[Edge = High-to-Low ]\n"), kWait);
    }
};

QTEST_MAIN(TestWindowSim)
#include "tst_windowsim.moc"
