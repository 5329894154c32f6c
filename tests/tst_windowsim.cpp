// The real window against the module simulator over a pseudo-terminal.
#include "app/activityview.h"
#include "dialogs/selectfile.h"
#include "simwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Rig = SimWindow;
constexpr int kWait = 5000;

} // namespace

class TestWindowSim : public QObject {
    Q_OBJECT
  private slots:
    void aSessionWithTheModule() {
        Rig rig;
        QVERIFY(rig.start());
        rig.choose("portselect", 8);
        QVERIFY2(rig.window->portopen(), qPrintable(rig.alerts.join('\n')));
        QTRY_COMPARE_WITH_TIMEOUT(rig.view(), "[Reset:   Power up]\n\n", kWait);

        rig.click("cmmd(18)"); // Ping
        QTRY_VERIFY_WITH_TIMEOUT(rig.view().endsWith("[Edge:    Hi-to-Lo]\n"), kWait);
        QCOMPARE(rig.view(), "[Firmware Version:]\n[0153.00.03       ]\n[Tamb master only ]\n\n"
                             "[VSlave:  3.300v  ]\n[Speed:   Slow    ]\n[OnEdge:  Off     ]\n"
                             "[Edge:    Hi-to-Lo]\n");
        QCOMPARE(rig.rx(), "!00193300000[cr]");

        rig.choose("Combo1", 1);
        rig.click("cmmd(255)");
        QTRY_COMPARE_WITH_TIMEOUT(
            rig.view(), "START\nWRITE\t0x91\tAck\nREAD\t0x19\tAck\nREAD\t0x80\tNack\nSTOP\n",
            kWait);
        QCOMPARE(rig.rx(), "!0010SW91aR19aR80nP[cr]");

        rig.click("oneclicktokens");
        rig.click("Label2(16)"); // SetV Open
        QTRY_COMPARE_WITH_TIMEOUT(rig.view(), "SetV\tOpen\n", kWait);
        QCOMPARE(rig.window->control<QLineEdit>("txbufferbox")->text(), "$00100270[cr]");

        const QString queue = rig.window->control<QPlainTextEdit>("commands")->toPlainText();
        rig.sim.kill();
        QTRY_COMPARE_WITH_TIMEOUT(rig.alerts.size(), 1, kWait);
        QVERIFY2(rig.alerts[0].startsWith("Com port error: COM8 ("), qPrintable(rig.alerts[0]));
        QCOMPARE(rig.window->control<QComboBox>("portselect")->currentText(), "Select");
        QVERIFY(!rig.window->portopen());
        QCOMPARE(rig.view(), "SetV\tOpen\n");
        QCOMPARE(rig.rx(), "!001070[cr]");
        QCOMPARE(rig.window->control<QPlainTextEdit>("commands")->toPlainText(), queue);
        QTest::qWait(200);
        QCOMPARE(rig.alerts.size(), 1);
    }

    // A shipped script loaded, one of its buttons sending at one click.
    void aLoadedScript() {
        Rig rig;
        QVERIFY(rig.start());
        rig.choose("portselect", 8);
        QTRY_VERIFY_WITH_TIMEOUT(!rig.view().isEmpty(), kWait);
        rig.window->loaddirectory = QStringLiteral(SCRIPTS_DIR);
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<dialogs::SelectFile*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->setFileName("lm75.txt");
            QTest::mouseClick(dialog->controls.value("okbutton"), Qt::LeftButton);
        });
        rig.click("Command4");
        auto* button = rig.window->control<QPushButton>("cmmd(1)");
        QCOMPARE(button->text(), "LM75 temperature (pointer 0)");
        rig.click("oneclick");
        rig.click("cmmd(1)");
        QTRY_COMPARE_WITH_TIMEOUT(rig.view(),
                                  "START\nWRITE\t0x90\tAck\nWRITE\t0x00\tAck\nSTART\n"
                                  "WRITE\t0x91\tAck\nREAD\t0x19\tAck\nREAD\t0x80\tNack\nSTOP\n",
                                  kWait);
        QVERIFY(rig.alerts.isEmpty());
    }

    // The simulator stopped and started again on the same link: the window
    // opens the port again by itself and shows the greeting, unless the user
    // chose "Select" in between.
    void aLostPortComesBack_data() {
        QTest::addColumn<bool>("userChoseSelect");
        QTest::newRow("by itself") << false;
        QTest::newRow("not after Select") << true;
    }
    void aLostPortComesBack() {
        QFETCH(bool, userChoseSelect);
        Rig rig;
        QVERIFY(rig.start());
        rig.choose("portselect", 8);
        QTRY_COMPARE_WITH_TIMEOUT(rig.view(), "[Reset:   Power up]\n\n", kWait);
        rig.sim.kill();
        QTRY_COMPARE_WITH_TIMEOUT(rig.alerts.size(), 1, kWait);
        if (userChoseSelect) rig.choose("portselect", 0);
        rig.window->control<app::ActivityView>("i2cparser")->clearView();
        QVERIFY(rig.start());
        if (userChoseSelect) {
            QTest::qWait(2500);
            QVERIFY(!rig.window->portopen());
            QCOMPARE(rig.view(), "");
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(rig.view(), "[Reset:   Power up]\n\n", 5000);
        QVERIFY(rig.window->portopen());
        QCOMPARE(rig.window->control<QComboBox>("portselect")->currentText(), "COM8");
    }

    // The view keeps the newest lines and the window keeps answering.
    void floodOfInterruptReports() {
        Rig rig;
        QVERIFY(rig.start());
        rig.choose("portselect", 8);
        QVERIFY(rig.window->portopen());
        QTRY_VERIFY_WITH_TIMEOUT(!rig.view().isEmpty(), kWait);
        QSignalSpy arrivals(&rig.port, &serial::Port::dataArrived);
        rig.sim.command("flood 50000");
        qsizetype seen = -1;
        QElapsedTimer clock;
        clock.start();
        while ((arrivals.count() == 0 || arrivals.count() != seen) && clock.elapsed() < 20000) {
            seen = arrivals.count();
            QTest::qWait(700);
        }
        const QStringList lines = rig.view().split('\n');
        QCOMPARE(lines.size(), app::kMaxActivityLines + 1);
        QCOMPARE(lines.last(), "");
        // The input starts high, so the reports go 0, 1, 0, ... and the last is 1.
        for (int i = 0; i < app::kMaxActivityLines; ++i)
            QCOMPARE(lines[i], i % 2 ? "[Int]\t1" : "[Int]\t0");
        rig.click("cmmd(19)");
        QTRY_VERIFY_WITH_TIMEOUT(rig.view().endsWith("[Int]\t1\n[Edge = High-to-Low ]\n"), kWait);
    }
};

QTEST_MAIN(TestWindowSim)
#include "tst_windowsim.moc"
