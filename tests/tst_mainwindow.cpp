// The main window driven through its widgets, over a FakePort.
#include "accessiblenames.h"
#include "app/queuemarks.h"
#include "app/trafficviews.h"
#include "dialogs/alert.h"
#include "help/document.h"
#include "library/examples.h"
#include "windowfixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QTextBlock>
#include <QToolTip>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

class TestMainWindow : public QObject {
    Q_OBJECT
  private slots:
    // Written from the layout's text: twips rounded to pixels. Every control
    // of the window has a name a screen reader says and a role (the dialogs'
    // are checked in their own tests). Dialogs take the window's icon.
    void layoutAndNames() {
        WindowFixture f;
        QCOMPARE(f.window->size(), QSize(822, 606));
        QCOMPARE(f["cmmd(17)"]->geometry(), QRect(4, 468, 189, 21));
        QCOMPARE(f["tokenvalue(0)"]->geometry(), QRect(792, 38, 24, 19)); // 565 twips: 38, not 37
        QCOMPARE(f["Label2(16)"]->geometry(), QRect(664, 304, 149, 17));  // the wider SetV Open
        QCOMPARE(f.window->windowTitle(), "I2C Master driver V2.00.06");
        QCOMPARE(f.queue(), QString::fromStdString(library::exampleScript(0)).remove('\r'));
        QCOMPARE(f.text("Combo2"), "<<< Press \"Load\" to get commands");
        QVERIFY(!f.window->portopen() && f.window->focusWidget() == f["portselect"]);
        verifyNamedControls(f["commands"]->parentWidget()); // the form, inside its scroll area
        verifyNamedControls(f["connection"]);
        QCOMPARE(nameOf(f["cmmd(0)"]), "Quick command 1");
        QVERIFY(!f.window->windowIcon().pixmap(32).isNull());
        dialogs::Alert alert(f.window.get());
        QCOMPARE(alert.windowIcon().cacheKey(), f.window->windowIcon().cacheKey());
    }

    // Ping: two frames, each with its wait, the busy sign and pointer shown
    // meanwhile; a port chosen during the first wait ends the click there.
    void pingWaitsAndAPortChangeEndsIt() {
        for (const bool changePort : {false, true}) {
            WindowFixture f;
            f.choosePort(1);
            QString during;
            QTimer::singleShot(50, f.window.get(), [&] {
                during = f.get<QPushButton>("comwait")->text() +
                         QString::number(f.port.written.size()) + (f.busy() ? " busy" : "");
                if (changePort) f.choosePort(2);
            });
            f.click("cmmd(18)");
            QCOMPARE(during, "Wait1 busy");
            QCOMPARE(f.port.written, QByteArrayList({"$0000\r", "$0019\r"}).mid(0, 2 - changePort));
            QVERIFY(!f.busy());
            QCOMPARE(f.text("comwait") + " " + f.text("txbufferbox"),
                     changePort ? "Ready $0000[cr]" : "Ready $0019[cr]");
        }
    }

    // Without a port: the frame is shown, nothing goes out and a note says so
    // until a port opens; Slave still empties the view; nothing is logged.
    void sendingWithoutAPort() {
        WindowFixture f;
        f.show();
        f.window->process(255, "!0013a\r");
        f.get<QCheckBox>("logdata")->setChecked(true);
        f.click("cmmd(25)");
        QCOMPARE(f.text("txbufferbox"), "$00FF[cr]");
        QVERIFY(f.view().isEmpty() && f.text("txdata").isEmpty() && f.port.written.isEmpty());
        const QString note = "No port is open: nothing was sent. Choose the module's port here.";
        auto* tip = f.window->findChild<QLabel*>("nothingSent");
        QVERIFY(tip->isVisible() && f.alerts.isEmpty());
        QCOMPARE(tip->text() + f["portselect"]->accessibleDescription(), note + note);
        f.choosePort(3);
        QVERIFY(!tip->isVisible() && f["portselect"]->accessibleDescription().isEmpty());
    }

    // A queue that does not compile is named in an alert and nothing else
    // changes; one that does, its line breaks of every kind taken as lines,
    // goes out and is shown, and the view is emptied. The queue stays.
    void compile() {
        WindowFixture f;
        f.choosePort(1);
        f.get<QLineEdit>("txbufferbox")->setText("before");
        f.window->process(255, "!0013a\r");
        f.queueBox()->setPlainText("Wrte 0x90\n");
        f.click("cmmd(255)");
        QCOMPARE(f.alerts, QStringList{"I2C processor error: Unidentified element encountered: "
                                       "\r\nWrte"});
        QVERIFY(f.port.written.isEmpty());
        QCOMPARE(f.text("txbufferbox") + " " + f.view() + f.queue(),
                 "before [Edge = High-to-Low ]\nWrte 0x90\n");
        f.queueBox()->setPlainText("Start\nWrite  0x91\u2028Read   ack\r\nRead   Nack\u2029Stop\n");
        const QString typed = f.queue();
        f.click("cmmd(255)");
        QCOMPARE(f.port.written, QByteArrayList{"$001007000191020304\r"});
        QCOMPARE(f.text("txbufferbox"), "$001007000191020304[cr]");
        QVERIFY(f.view().isEmpty() && f.alerts.size() == 1 && f.queue() == typed);
    }

    // However a stream is cut into arrivals, the views end the same, and
    // arrivals that come faster than the eye are shown together.
    void aStreamShowsTheSameHoweverItArrives() {
        QByteArray stream = "noise!0010SW90aR1AnP\r!000001530003\r!0010W40x\r";
        for (int i = 0; i < 300; ++i)
            stream += i % 2 ? "!00201\r" : "!00200\r";
        stream += "!00FFa\r!007E\xC3\xA4\r!0019330";
        WindowFixture whole, split;
        whole.choosePort(1);
        split.choosePort(1);
        whole.port.deliver(stream);
        const int before = split.window->viewShowings();
        for (char c : stream)
            split.port.deliver(QByteArray(1, c));
        QCOMPARE(split.window->viewShowings() - before, 1); // the first, at once
        QCOMPARE(split.view() + split.text("rxbufferbox"),
                 whole.view() + whole.text("rxbufferbox"));
        QVERIFY(split.view().startsWith("WRITE\t0x40\t[Int]\t0\n[Int]\t1\n"));
        QVERIFY(split.view().endsWith( // bytes shown one by one, as Latin-1
            QString::fromLatin1("[...Power cycle=Cancel]\n\xC3\xA4\n")));
    }

    // The queue is marked as it is typed (tst_queuemarks has the marks): a
    // tool tip over a marked word gives the reason, over another none.
    void queueTips() {
        WindowFixture f;
        f.show();
        auto* queue = f.queueBox();
        f.doubleClick("commands");
        QTest::keyClicks(queue, "Start Wrte");
        auto tipAt = [&](int position) {
            QTextCursor cursor(queue->document());
            cursor.setPosition(position);
            const QPoint at = queue->cursorRect(cursor).center() + QPoint(2, 0);
            QHelpEvent help(QEvent::ToolTip, at, queue->viewport()->mapToGlobal(at));
            QApplication::sendEvent(queue->viewport(), &help);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QTRY_COMPARE(tipAt(7), "Unidentified element encountered: \nWrte");
        QTRY_COMPARE(tipAt(2), "");
    }

    // A click on a token entry adds its line as the queue's text stands; an
    // emptied value box gives 0, and shows it when it loses the focus.
    void tokenMenuAndValueBoxes() {
        WindowFixture f;
        f.show();
        f.choosePort(1);
        f.queueBox()->setPlainText("Start");
        for (const char* entry : {"Label2(3)", "Label2(1)", "Label2(4)", "Label2(22)"}) {
            if (QByteArray(entry) == "Label2(22)") f.get<QLineEdit>("tokenvalue(2)")->clear();
            f.click(entry);
        }
        QCOMPARE(f.queue(), "StartStop\nWrite  0xAA\nDelayu 0x05\nDelaym 0x00\n");
        QCOMPARE(f.text("tokenvalue(2)"), "0");
        QVERIFY(f.port.written.isEmpty());
        f.click("tokenvalue(0)");
        f.get<QLineEdit>("tokenvalue(0)")->clear();
        f.click("commands"); // the box loses the focus
        QCOMPARE(f.text("tokenvalue(0)"), "0");
    }

    // The lists replace the queue; typed keys choose nothing, arrows do.
    void lists() {
        WindowFixture f;
        f.choose("Combo1", 7);
        QCOMPARE(f.queue(), QString::fromStdString(library::exampleScript(7)).remove('\r'));
        QVERIFY(f.queue().startsWith(";Walking Pulse Generator\nGP0hi\n"));
        auto* list = f.get<QComboBox>("Combo1");
        QTest::keyClicks(list, "Se\r ");
        QCOMPARE(list->currentIndex(), 7);
        QTest::keyClick(list, Qt::Key_Up);
        QVERIFY(f.queue().startsWith(";LM75 Tos / Thyst Write\n"));
        f.window->library().scriptblocks[0] = "preamble\r\n";
        f.choose("Combo2", 0);
        QCOMPARE(f.queue(), "preamble\n");
    }

    // A load keeps files apart: the queue takes this file's preamble alone.
    // A quick button takes its block's name, cut, as caption and name for a
    // screen reader, the whole name as tool tip; one without is inert.
    void loadScriptFile() {
        WindowFixture f;
        f.choosePort(1);
        const QByteArray name = "LM75 & friends: temperature, then the configuration";
        QByteArray file = "heading\r\n;" + name + "\r\n";
        for (int i = 2; i <= 20; ++i)
            file += ";Block " + QByteArray::number(i) + "\r\nSpeed\r\n\r\n";
        for (int twice = 0; twice < 2; ++twice)
            f.load("s.txt", file);
        QCOMPARE(f.window->library().loaddirectory, f.dir.path() + "/");
        QCOMPARE(f.queue(), "heading");
        QCOMPARE(nameOf(f["cmmd(0)"]) + "|" + f["cmmd(0)"]->toolTip(), name.left(30) + "|" + name);
        QCOMPARE(f.text("cmmd(17)") + nameOf(f["cmmd(17)"]) + f["cmmd(17)"]->toolTip(),
                 "Block 18Block 18");
        QCOMPARE(f.get<QComboBox>("Combo2")->itemText(20), "Block 20");
        f.choose("Combo2", 20);
        QCOMPARE(f.queue(), ";Block 20\nSpeed\n");
        f.click("cmmd(4)");
        QCOMPARE(f.queue(), ";Block 5\nSpeed\n");
        QVERIFY(f.port.written.isEmpty());
        f.click("oneclick");
        f.click("cmmd(17)");
        QCOMPARE(f.port.written, QByteArrayList{"$00100210\r"});
        f.load("t.txt", ";Only\r\nStop\r\n");
        QCOMPARE(f.queue() + f.text("cmmd(1)") + f.window->library().scriptblocks[0].c_str(), "");
        QCOMPARE(nameOf(f["cmmd(1)"]), "Quick command 2");
        f.window->cmmd_Click(1); // no caption: inert
        QCOMPARE(f.port.written.size(), 1);
        QCOMPARE(f.get<QComboBox>("Combo2")->count(), 2);
    }

    // Anything but a regular file of at most 16 MiB is refused with the
    // reason, and changes nothing; a pipe without a writer does not hang.
    void loadFailuresChangeNothing() {
        WindowFixture f;
        f.load("a.txt", ";A\r\nStart\r\n");
        const auto blocks = f.window->library().scriptblocks;
        f.queueBox()->setPlainText("typed");
        QFile big(f.dir.filePath("big.txt"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize((16 << 20) + 1));
        big.close();
        QList<std::pair<QString, QString>> failures = {{"big.txt", "larger than 16 MiB"}};
#ifdef Q_OS_UNIX
        QVERIFY(::mkfifo(qPrintable(f.dir.filePath("fifo")), 0600) == 0);
        QVERIFY(QFile::link("/dev/zero", f.dir.filePath("zero")));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, qPrintable(f.dir.filePath("socket")), sizeof address.sun_path);
        const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
        auto closeSocket = qScopeGuard([socket] { ::close(socket); });
        failures += {{"fifo", "named pipe"}, {"zero", "device"}, {"socket", "socket"}};
#endif
        failures += {{"gone/a.txt", "No such file"}};
        for (const auto& [name, reason] : failures) {
            f.alerts.clear();
            f.load(name);
            // A folder that does not exist is never the next Load's start.
            QCOMPARE(f.window->library().loaddirectory, f.dir.path() + "/");
            const QString said = f.alerts.join('\n');
            QVERIFY2(f.alerts.size() == 1 && said.startsWith("Script load error: ") &&
                         said.contains(f.dir.path()) && said.contains(reason),
                     qPrintable(said));
            QCOMPARE(f.text("cmmd(0)") + f.queue(), "Atyped");
            QVERIFY(f.window->library().scriptblocks == blocks);
        }
    }

    // Whatever the program puts into the queue is one step of the editor's
    // undo: the user's text comes back, and goes again.
    void replacementsCanBeUndone() {
        WindowFixture f;
        f.show();
        f.load("a.txt", "Speed\r\n;A\r\nStart\r\n");
        auto* queue = f.queueBox();
        f.doubleClick("commands");
        QTest::keyClicks(queue, "Start");
        QTest::keyClick(queue, Qt::Key_Return);
        QTest::keyClicks(queue, "Stop");
        const QString typed = f.queue();
        for (const QString how : {"example", "user script", "quick button", "one-click token",
                                  "load", "double-click"}) {
            if (how == "example") f.choose("Combo1", 7);
            if (how == "user script") f.choose("Combo2", 1);
            if (how == "quick button") f.click("cmmd(0)");
            if (how == "one-click token") {
                f.click("oneclicktokens");
                f.click("Label2(6)");
            }
            if (how == "load") f.load("a.txt");
            if (how == "double-click") f.doubleClick("commands");
            const QString replaced = f.queue();
            QVERIFY2(replaced != typed, qPrintable(how));
            QTest::keyClick(queue, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(f.queue(), typed);
            QTest::keyClick(queue, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            QCOMPARE(f.queue(), replaced);
            QTest::keyClick(queue, Qt::Key_Z, Qt::ControlModifier); // the next starts from typed
        }
    }

    // The log shows sent frames newest first, at most kMaxLoggedFrames; a
    // double click empties a view.
    void doubleClicksAndTheLog() {
        WindowFixture f;
        f.choosePort(1);
        f.get<QCheckBox>("logdata")->setChecked(true);
        f.window->comwrite("$0013\r", 0);
        f.window->comwrite("$00\n14\r", 0);
        QCOMPARE(f.text("txdata") + f.text("txbufferbox"), "$00[lf]14[cr]\n$0013[cr]\n$00\n14[cr]");
        for (int i = 0; i < app::kMaxLoggedFrames + 5; ++i)
            f.window->comwrite(QStringLiteral("$%1\r").arg(i).toStdString(), 0);
        const QStringList log = f.text("txdata").split('\n');
        QCOMPARE(log.size(), app::kMaxLoggedFrames + 1);
        QCOMPARE(log[app::kMaxLoggedFrames - 1], "$5[cr]");
        f.port.deliver("!0013a\r");
        f.get<QPlainTextEdit>("rxdata")->setPlainText("x");
        f.doubleClick("rxdata");
        QCOMPARE(f.text("txdata") + f.text("rxdata"), "");
        for (const char* view : {"rxbufferbox", "txbufferbox", "i2cparser", "commands"})
            f.doubleClick(view);
        QCOMPARE(f.text("rxbufferbox"), "!0013a[cr]");
        QCOMPARE(f.text("txbufferbox") + f.view() + f.queue(), "");
    }

    // A port that does not open is named and the list goes back to Select;
    // one that goes keeps the views, and the alert and the port list say
    // that it comes back by itself, and how to stop that; a choice of the
    // user's ends the watch at once.
    void portOpenFailsOrGoes() {
        WindowFixture f;
        f.port.setOpenFailure("COM4: no such device (check the adapter)");
        f.choosePort(4);
        QCOMPARE(f.alerts,
                 QStringList{"Com port open error: COM4: no such device (check the adapter)"});
        QCOMPARE(f.text("portselect"), "Select");
        f.port.setOpenFailure({});
        f.alerts.clear();
        f.choosePort(8);
        f.port.deliver("!0013a\r");
        f.port.fail("COM8 (/dev/pts/3): the device is gone. The port is closed.");
        QVERIFY(!f.window->portopen());
        QCOMPARE(f.text("portselect") + " " + f.view(), "Select [Edge = High-to-Low ]\n");
        auto* list = f.get<QComboBox>("portselect");
        const QString watch = list->accessibleDescription();
        QCOMPARE(f.alerts,
                 QStringList{"Com port error: COM8 (/dev/pts/3): the device is gone. The port is "
                             "closed.\r\n" +
                             watch});
        QVERIFY2(
            watch.contains(QRegularExpression(
                "^COM8 opens again by itself when it comes back, until \\d\\d:\\d\\d\\. To stop "
                "that, choose another entry in the port list\\.$")),
            qPrintable(watch));
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(f.port.opened.last(), "COM1 115200,n,8,1");
        QCOMPARE(list->accessibleDescription(), "");
    }

    // "Wait" stands as long as any send pauses: a nested send's end leaves
    // it while the outer one still waits. A close inside a pause ends it at
    // once, and nothing more goes out.
    void pauses() {
        WindowFixture f;
        f.choosePort(1);
        QStringList seen;
        QTimer::singleShot(30, f.window.get(), [&] {
            f.window->comwrite("$0019\r", 5);
            seen << f.text("comwait");
        });
        QTimer::singleShot(150, f.window.get(), [&] { seen << f.text("comwait"); });
        f.window->comwrite("$0000\r", 30);
        seen << f.text("comwait");
        QCOMPARE(seen, QStringList({"Wait", "Wait", "Ready"}));
        QTimer::singleShot(50, f.window.get(), [&] { f.window->close(); });
        QElapsedTimer clock;
        clock.start();
        f.window->comwrite("$0000\r", 3000);
        f.window->cmmd_Click(18);
        QVERIFY(clock.elapsed() < 25000); // not the 30 s asked for
        QCOMPARE(f.port.written, QByteArrayList({"$0000\r", "$0019\r", "$0000\r"}));
    }

    // While the module runs a script (or the stored one), the pointer shows
    // busy until its answer, another port, or its delays and a second.
    void busyWhileTheModuleRuns_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("end");
        auto row = [](const char* name, const char* button, const char* end) {
            QTest::newRow(name) << QString(button) << QString(end);
        };
        row("script answered", "cmmd(255)", "!0010SP\r");
        row("another port", "cmmd(255)", "port");
        row("script unanswered", "cmmd(255)", "");
        row("replay answered", "cmmd(27)", "!0012a\r");
    }
    void busyWhileTheModuleRuns() {
        QFETCH(QString, button);
        QFETCH(QString, end);
        WindowFixture f;
        f.queueBox()->setPlainText("Start\nDelaym 0x63\nStop\n");
        f.click("cmmd(255)");
        QVERIFY(!f.busy()); // nothing sent, nothing awaited
        f.choosePort(1);
        QElapsedTimer clock;
        clock.start();
        f.click(button);
        QVERIFY(f.busy());
        // Other answers, and for a replay the stored script's own, go by.
        f.port.deliver(button == "cmmd(27)" ? "!0013a\r!0010SP\r" : "!0013a\r");
        QVERIFY(f.busy());
        if (end == "port") f.choosePort(2);
        if (end.startsWith('!')) f.port.deliver(end.toLatin1());
        if (end.isEmpty()) { // 1.1 s, though a timer may come a little early
            QTRY_VERIFY_WITH_TIMEOUT(!f.busy(), 3000);
            QVERIFY2(clock.elapsed() >= 1000, qPrintable(QString::number(clock.elapsed())));
        }
        QVERIFY(!f.busy());
    }

    // The help's tables stand in columns at the view's width; prose wraps. A
    // double click hides the help, a click the connector's drawing; one
    // shown hides the other.
    void helpAndConnector() {
        WindowFixture f;
        f.show();
        auto* help = f.get<QPlainTextEdit>("helpbox");
        QCOMPARE(help->toPlainText(),
                 QString::fromStdString(help::helpDocument()).replace("\r\n", "\n"));
        f.click("Command3");
        QCOMPARE(help->geometry(), QRect(200, 20, 453, 469));
        auto* layout = qobject_cast<QPlainTextDocumentLayout*>(help->document()->documentLayout());
        int rows = 0, wrapped = 0;
        for (QTextBlock b = help->document()->begin(); b.isValid(); b = b.next()) {
            layout->ensureBlockLayout(b);
            rows += b.text().contains('\t');
            QVERIFY2(!b.text().contains('\t') || b.layout()->lineCount() == 1,
                     qPrintable(b.text()));
            wrapped += b.layout()->lineCount() > 1;
        }
        QVERIFY(rows > 0 && wrapped > 10);
        f.doubleClick("helpbox");
        QVERIFY(!help->isVisible());
        f.click("Command3");
        f.click("Command5");
        QVERIFY(f["connection"]->isVisible() && !help->isVisible());
        f.click("connection");
        QVERIFY(!f["connection"]->isVisible());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
