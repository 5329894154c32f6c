// The main window driven through its widgets, over a FakePort.
#include "app/queuemarks.h"
#include "compiler/compiler.h"
#include "dialogs/alert.h"
#include "help/document.h"
#include "library/examples.h"
#include "windowfixture.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {

void click(QWidget* w) {
    QTest::mouseClick(w, Qt::LeftButton);
}

void doubleClick(QWidget* w) {
    auto* area = qobject_cast<QAbstractScrollArea*>(w);
    QTest::mouseDClick(area ? area->viewport() : w, Qt::LeftButton);
}

QString nameOf(QWidget* w) {
    return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
}

void show(WindowFixture& f) {
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
  private slots:
    // Written from the layout's text: twips rounded to pixels.
    void layout() {
        WindowFixture f;
        QCOMPARE(f.window->size(), QSize(822, 606));
        QCOMPARE(f["cmmd(17)"]->geometry(), QRect(4, 468, 189, 21));
        QCOMPARE(f["tokenvalue(0)"]->geometry(), QRect(792, 38, 24, 19));
        QVERIFY(!f["cmmd(28)"] && !f["cmmd(254)"] && f["cmmd(255)"]);
        QCOMPARE(f.window->windowTitle(), "I2C Master driver V2.00.06");
        QCOMPARE(f.queue(), QString::fromStdString(library::exampleScript(0)).remove('\r'));
        QCOMPARE(f.text("Combo2"), "<<< Press \"Load\" to get commands");
        QVERIFY(!f.window->portopen());
        QCOMPARE(f.window->focusWidget(), f["portselect"]);
    }

    // Every control of the window and both dialogs has a name a screen reader
    // says and a role, not a bare filler; what shows text gives it as text. A
    // captioned quick button is announced by its caption.
    void accessibleNamesAndIcon() {
        WindowFixture f;
        dialogs::Alert alert(f.window.get());
        dialogs::SelectFile select(f.window.get());
        for (QWidget* form : {static_cast<QWidget*>(f.window.get()), f["connection"],
                              static_cast<QWidget*>(&alert), static_cast<QWidget*>(&select)})
            for (auto* w : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (w->objectName().isEmpty() ||
                    w->testAttribute(Qt::WA_TransparentForMouseEvents)) // lines and shapes
                    continue;
                QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
                QVERIFY2(!nameOf(w).isEmpty(), qPrintable(w->objectName()));
                QVERIFY2(face->role() != QAccessible::Client, qPrintable(w->objectName()));
                if (qobject_cast<QAbstractScrollArea*>(w) && !qobject_cast<QAbstractItemView*>(w))
                    QVERIFY2(face->textInterface(), qPrintable(w->objectName()));
            }
        QCOMPARE(nameOf(f["cmmd(0)"]), "Quick command 1");
        const QByteArray name = "LM75 & friends: temperature, then the configuration";
        writeFile(f.dir.filePath("a.txt"), ";" + name + "\r\nStart\r\n;Short\r\n");
        f.window->loaddirectory = f.dir.path();
        f.load("a.txt");
        QCOMPARE(nameOf(f["cmmd(0)"]), name.left(30));
        QCOMPARE(f["cmmd(0)"]->toolTip(), name);
        QCOMPARE(nameOf(f["cmmd(1)"]) + f["cmmd(1)"]->toolTip(), "Short");
        QCOMPARE(nameOf(f["cmmd(2)"]), "Quick command 3");
        QVERIFY(!f.window->windowIcon().pixmap(32).isNull());
        QCOMPARE(alert.windowIcon().cacheKey(), f.window->windowIcon().cacheKey());
    }

    // Ping: two frames, each with its wait, the busy sign and pointer shown
    // meanwhile; a port chosen during the first wait ends the click there.
    void pingWaitsAndAPortChangeEndsIt_data() {
        QTest::addColumn<bool>("changePort");
        QTest::newRow("both frames") << false;
        QTest::newRow("port changed") << true;
    }
    void pingWaitsAndAPortChangeEndsIt() {
        QFETCH(bool, changePort);
        WindowFixture f;
        f.choosePort(1);
        QString during;
        QTimer::singleShot(50, [&] {
            const QCursor* cursor = QApplication::overrideCursor();
            during = f.get<QPushButton>("comwait")->text() +
                     QString::number(f.port.written.size()) +
                     (cursor && cursor->shape() == Qt::BusyCursor ? " busy" : "");
            if (changePort) f.choosePort(2);
        });
        QElapsedTimer clock;
        clock.start();
        click(f["cmmd(18)"]);
        QCOMPARE(during, "Wait1 busy");
        const QByteArrayList sent =
            changePort ? QByteArrayList{"$0000\r"} : QByteArrayList{"$0000\r", "$0019\r"};
        QCOMPARE(f.port.written, sent);
        if (changePort) QVERIFY(clock.elapsed() < 100); // the rest of the wait went with it
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(f.text("comwait"), "Ready");
        QCOMPARE(f.text("txbufferbox"), changePort ? "$0000[cr]" : "$0019[cr]");
    }

    // Without a port: the frame is shown, nothing goes out and a note says so
    // until a port opens; Slave still empties the view; nothing is logged.
    void sendingWithoutAPort() {
        WindowFixture f;
        show(f);
        f.window->process(255, "!0013a\r");
        f.get<QCheckBox>("logdata")->setChecked(true);
        click(f["cmmd(25)"]);
        QCOMPARE(f.text("txbufferbox"), "$00FF[cr]");
        QVERIFY(f.view().isEmpty() && f.text("txdata").isEmpty() && f.port.written.isEmpty());
        const QString note = "No port is open: nothing was sent. Choose the module's port here.";
        auto* tip = f.window->findChild<QLabel*>("nothingSent");
        QVERIFY(tip->isVisible());
        QCOMPARE(tip->text() + f["portselect"]->accessibleDescription(), note + note);
        f.choosePort(3);
        QVERIFY(!tip->isVisible() && f["portselect"]->accessibleDescription().isEmpty());
        QVERIFY(f.alerts.isEmpty());
    }

    void compile_data() {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<QString>("alert"); // empty: sent
        QTest::newRow("line breaks of every kind")
            << "Start\nWrite  0x91\u2028Read   ack\r\nRead   Nack\u2029Stop\n"
            << "";
        QTest::newRow("unknown") << "Wrte 0x90\n"
                                 << "Unidentified element encountered: \r\nWrte";
    }
    void compile() {
        QFETCH(QString, queue);
        QFETCH(QString, alert);
        WindowFixture f;
        f.choosePort(1);
        f.get<QLineEdit>("txbufferbox")->setText("before");
        f.window->process(255, "!0013a\r");
        f.queueBox()->setPlainText(queue);
        const QString before = f.queue();
        click(f["cmmd(255)"]);
        QCOMPARE(f.queue(), before);
        if (alert.isEmpty()) {
            QCOMPARE(f.port.written, QByteArrayList{"$001007000191020304\r"});
            QCOMPARE(f.text("txbufferbox"), "$001007000191020304[cr]");
            QVERIFY(f.view().isEmpty() && f.alerts.isEmpty());
            return;
        }
        QCOMPARE(f.alerts.size(), 1);
        QCOMPARE(f.alerts[0].title + f.alerts[0].message, "I2C processor error" + alert);
        QVERIFY(f.port.written.isEmpty());
        QCOMPARE(f.text("txbufferbox"), "before");
        QCOMPARE(f.view(), "[Edge = High-to-Low ]\n");
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
        QCOMPARE(split.view(), whole.view());
        QCOMPARE(split.text("rxbufferbox"), whole.text("rxbufferbox"));
        QVERIFY(split.view().startsWith("WRITE\t0x40\t[Int]\t0\n[Int]\t1\n"));
        QVERIFY(split.view().endsWith( // bytes shown one by one, as Latin-1
            QString::fromLatin1("[...Power cycle=Cancel]\n\xC3\xA4\n")));
    }

    void tokenMenuAndValueBoxes() {
        WindowFixture f;
        show(f);
        f.choosePort(1);
        f.queueBox()->setPlainText("Start");
        for (const char* entry : {"Label2(3)", "Label2(1)", "Label2(4)", "Label2(22)"}) {
            if (QByteArray(entry) == "Label2(22)") f.get<QLineEdit>("tokenvalue(2)")->clear();
            click(f[entry]);
        }
        QCOMPARE(f.queue(), "StartStop\nWrite  0xAA\nDelayu 0x05\nDelaym 0x00\n");
        QCOMPARE(f.text("tokenvalue(2)"), "0");
        QVERIFY(f.port.written.isEmpty());
        auto* box = f.get<QLineEdit>("tokenvalue(0)");
        click(box);
        box->clear();
        click(f["commands"]); // the box loses the focus
        QCOMPARE(box->text(), "0");
    }

    // The lists replace the queue; typed keys choose nothing, arrows do.
    void lists() {
        WindowFixture f;
        f.choose("Combo1", 7);
        QCOMPARE(f.queue().count('\n'), 12);
        QVERIFY(f.queue().startsWith(";Walking Pulse Generator\nGP0hi\n"));
        auto* list = f.get<QComboBox>("Combo1");
        QTest::keyClicks(list, "Se\r ");
        QCOMPARE(list->currentIndex(), 7);
        QTest::keyClick(list, Qt::Key_Up);
        QVERIFY(f.queue().startsWith(";LM75 Tos / Thyst Write\n"));
        f.window->scriptblocks[0] = "preamble\r\n";
        f.choose("Combo2", 0);
        QCOMPARE(f.queue(), "preamble\n");
    }

    // A load keeps files apart: the queue takes this file's preamble alone.
    void loadScriptFile() {
        WindowFixture f;
        f.choosePort(1);
        f.window->loaddirectory = f.dir.path();
        QByteArray file = "heading\r\n";
        for (int i = 1; i <= 20; ++i)
            file += ";Block " + QByteArray::number(i) + "\r\nSpeed\r\n\r\n";
        writeFile(f.dir.filePath("s.txt"), file);
        for (int twice = 0; twice < 2; ++twice)
            f.load("s.txt");
        QCOMPARE(f.window->loaddirectory, f.dir.path() + "/");
        QCOMPARE(f.queue(), "heading");
        QCOMPARE(f.text("cmmd(17)"), "Block 18");
        QCOMPARE(f.get<QComboBox>("Combo2")->itemText(20), "Block 20");
        f.choose("Combo2", 20);
        QCOMPARE(f.queue(), ";Block 20\nSpeed\n");
        click(f["cmmd(4)"]);
        QCOMPARE(f.queue(), ";Block 5\nSpeed\n");
        QVERIFY(f.port.written.isEmpty());
        click(f["oneclick"]);
        click(f["cmmd(17)"]);
        QCOMPARE(f.port.written, QByteArrayList{"$00100210\r"});
        writeFile(f.dir.filePath("t.txt"), ";Only\r\nStop\r\n");
        f.load("t.txt");
        QCOMPARE(f.queue() + f.text("cmmd(1)"), "");
        QCOMPARE(f.window->scriptblocks[0], "");
        f.window->cmmd_Click(1); // no caption: inert
        QCOMPARE(f.port.written.size(), 1);
        QCOMPARE(f.get<QComboBox>("Combo2")->count(), 2);
    }

    // Anything but a regular file of at most 16 MiB is refused with the
    // reason, and changes nothing; a pipe without a writer does not hang.
    void loadFailuresChangeNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("too large") << "big.txt"
                                   << "larger than 16 MiB";
        QTest::newRow("a pipe without a writer") << "fifo"
                                                 << "named pipe";
        QTest::newRow("a device without end") << "zero"
                                              << "device";
        QTest::newRow("a socket") << "socket"
                                  << "socket";
    }
    void loadFailuresChangeNothing() {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        WindowFixture f;
        f.window->loaddirectory = f.dir.path();
        writeFile(f.dir.filePath("a.txt"), ";A\r\nStart\r\n");
        QVERIFY(QDir(f.dir.path()).mkdir("sub"));
        QFile big(f.dir.filePath("big.txt"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize((16 << 20) + 1));
        big.close();
#ifdef Q_OS_UNIX
        QVERIFY(::mkfifo(qPrintable(f.dir.filePath("fifo")), 0600) == 0);
        QVERIFY(QFile::link("/dev/zero", f.dir.filePath("zero")));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, qPrintable(f.dir.filePath("socket")), sizeof address.sun_path);
        const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
        auto closeSocket = qScopeGuard([socket] { ::close(socket); });
#endif
        f.load("a.txt");
        const auto blocks = f.window->scriptblocks;
        f.load(name);
        QCOMPARE(f.alerts.size(), 1);
        QCOMPARE(f.alerts[0].title, "Script load error");
        QVERIFY2(f.alerts[0].message.contains(f.dir.path()) && f.alerts[0].message.contains(reason),
                 qPrintable(f.alerts[0].message));
        QCOMPARE(f.text("cmmd(0)"), "A");
        QVERIFY(f.window->scriptblocks == blocks);
        QCOMPARE(f.queue(), "");
    }

    // Whatever the program puts into the queue is one step of the editor's
    // undo: the user's text comes back, and goes again.
    void replacementsCanBeUndone_data() {
        QTest::addColumn<QString>("how");
        for (const char* how :
             {"example", "user script", "quick button", "one-click token", "load", "double-click"})
            QTest::newRow(how) << QString(how);
    }
    void replacementsCanBeUndone() {
        QFETCH(QString, how);
        WindowFixture f;
        show(f);
        f.window->loaddirectory = f.dir.path();
        writeFile(f.dir.filePath("a.txt"), "Speed\r\n;A\r\nStart\r\n");
        f.load("a.txt");
        auto* queue = f.queueBox();
        doubleClick(queue);
        QTest::keyClicks(queue, "Start");
        QTest::keyClick(queue, Qt::Key_Return);
        QTest::keyClicks(queue, "Stop");
        const QString typed = f.queue();
        if (how == "example") f.choose("Combo1", 7);
        if (how == "user script") f.choose("Combo2", 1);
        if (how == "quick button") click(f["cmmd(0)"]);
        if (how == "one-click token") {
            click(f["oneclicktokens"]);
            click(f["Label2(6)"]);
        }
        if (how == "load") f.load("a.txt");
        if (how == "double-click") doubleClick(queue);
        const QString replaced = f.queue();
        QVERIFY(replaced != typed);
        QTest::keyClick(queue, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.queue(), typed);
        QTest::keyClick(queue, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(f.queue(), replaced);
    }

    void doubleClicksAndTheLog() {
        WindowFixture f;
        f.choosePort(1);
        f.get<QCheckBox>("logdata")->setChecked(true);
        f.window->comwrite("$0013\r", 0);
        f.window->comwrite("$00\n14\r", 0);
        QCOMPARE(f.text("txdata"), "$00[lf]14[cr]\n$0013[cr]\n");
        QCOMPARE(f.text("txbufferbox"), "$00\n14[cr]");
        for (int i = 0; i < app::kMaxLoggedFrames + 5; ++i)
            f.window->comwrite(QStringLiteral("$%1\r").arg(i).toStdString(), 0);
        const QStringList log = f.text("txdata").split('\n');
        QCOMPARE(log.size(), app::kMaxLoggedFrames + 1);
        QCOMPARE(log[app::kMaxLoggedFrames - 1], "$5[cr]");
        f.port.deliver("!0013a\r");
        f.get<QPlainTextEdit>("rxdata")->setPlainText("x");
        doubleClick(f["rxdata"]);
        QCOMPARE(f.text("txdata") + f.text("rxdata"), "");
        for (const char* view : {"rxbufferbox", "txbufferbox", "i2cparser", "commands"})
            doubleClick(f[view]);
        QCOMPARE(f.text("rxbufferbox"), "!0013a[cr]");
        QCOMPARE(f.text("txbufferbox") + f.view() + f.queue(), "");
    }

    void portOpenFailsOrGoes() {
        WindowFixture f;
        f.port.setOpenFailure("COM4: no such device (check the adapter)");
        f.choosePort(4);
        QCOMPARE(f.alerts.size(), 1);
        QCOMPARE(f.alerts[0].title + f.alerts[0].message,
                 "Com port open errorCOM4: no such device (check the adapter)");
        QCOMPARE(f.text("portselect"), "Select");
        f.port.setOpenFailure({});
        f.choosePort(8);
        f.port.deliver("!0013a\r");
        f.port.fail("COM8 (/dev/pts/3): the device is gone. The port is closed.");
        QCOMPARE(f.alerts.size(), 2);
        QCOMPARE(f.alerts[1].title, "Com port error");
        QVERIFY(!f.window->portopen());
        QCOMPARE(f.text("portselect"), "Select");
        QCOMPARE(f.view(), "[Edge = High-to-Low ]\n");
        // The alert and the port list say that it comes back by itself, and
        // how to stop that; a choice of the user's ends the watch at once.
        const QStringList said = f.alerts[1].message.split("\r\n");
        QCOMPARE(said.value(0), "COM8 (/dev/pts/3): the device is gone. The port is closed.");
        QVERIFY2(QRegularExpression("^COM8 opens again by itself when it comes back, until "
                                    "\\d\\d:\\d\\d\\. To stop that, choose another entry in the "
                                    "port list\\.$")
                     .match(said.value(1))
                     .hasMatch(),
                 qPrintable(said.value(1)));
        auto* list = f.get<QComboBox>("portselect");
        QCOMPARE(list->accessibleDescription(), said.value(1));
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(f.port.opened.last(), "COM1 115200,n,8,1");
        QCOMPARE(list->accessibleDescription(), "");
    }

    // "Wait" stands as long as any send pauses: a nested send's end leaves
    // it while the outer one still waits.
    void comwaitWhileAnySendPauses() {
        WindowFixture f;
        f.choosePort(1);
        QStringList seen;
        QTimer::singleShot(30, [&] {
            f.window->comwrite("$0019\r", 5);
            seen << f.text("comwait");
        });
        QTimer::singleShot(150, [&] { seen << f.text("comwait"); });
        f.window->comwrite("$0000\r", 30);
        seen << f.text("comwait");
        QCOMPARE(seen, QStringList({"Wait", "Wait", "Ready"}));
    }

    // While the module runs a script (or the stored one), the pointer shows
    // busy until its answer, another port, or its delays and a second.
    void busyWhileTheModuleRuns_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("end");
        QTest::newRow("script answered") << "cmmd(255)"
                                         << "!0010SP\r";
        QTest::newRow("another port") << "cmmd(255)"
                                      << "port";
        QTest::newRow("script unanswered") << "cmmd(255)"
                                           << "";
        QTest::newRow("replay answered") << "cmmd(27)"
                                         << "!0012a\r";
    }
    void busyWhileTheModuleRuns() {
        QFETCH(QString, button);
        QFETCH(QString, end);
        WindowFixture f;
        auto busy = [] {
            const QCursor* cursor = QApplication::overrideCursor();
            return cursor && cursor->shape() == Qt::BusyCursor;
        };
        f.queueBox()->setPlainText("Start\nDelaym 0x63\nStop\n");
        click(f["cmmd(255)"]);
        QVERIFY(!busy()); // nothing sent, nothing awaited
        f.choosePort(1);
        click(f[button]);
        QVERIFY(busy());
        // Other answers, and for a replay the stored script's own, go by.
        f.port.deliver(button == "cmmd(27)" ? "!0013a\r!0010SP\r" : "!0013a\r");
        QVERIFY(busy());
        if (end == "port") f.choosePort(2);
        if (end.startsWith('!')) f.port.deliver(end.toLatin1());
        if (!end.isEmpty()) {
            QVERIFY(!busy());
            return;
        }
        QTest::qWait(500);
        QVERIFY(busy()); // 1.1 s: the delay and a second
        QTRY_VERIFY_WITH_TIMEOUT(!busy(), 3000);
    }

    // A close inside a pause ends it at once, and nothing more goes out.
    void closeDuringAPause() {
        WindowFixture f;
        f.choosePort(1);
        QTimer::singleShot(50, f.window.get(), [&] { f.window->close(); });
        QElapsedTimer clock;
        clock.start();
        f.window->comwrite("$0000\r", 3000);
        f.window->cmmd_Click(18);
        QVERIFY(clock.elapsed() < 25000); // not the 30 s asked for
        QCOMPARE(f.port.written, QByteArrayList{"$0000\r"});
    }

    // The queue shows what each line does: the token menu's colours, grey
    // comments, and underlined words with the reason as a tool tip.
    void queueMarks_data() {
        QTest::addColumn<QString>("word");    // its first standing in the queue
        QTest::addColumn<QColor>("colour");   // invalid: the text's own
        QTest::addColumn<QString>("message"); // underlined when not empty
        QTest::newRow("bus, a value too") << "0x90" << QColor(0, 0, 255) << "";
        QTest::newRow("speed") << "Speed" << QColor(255, 0, 0) << "";
        QTest::newRow("delay") << "Delaym" << QColor(0, 192, 0) << "";
        QTest::newRow("output") << "ReadInt" << QColor() << "";
        QTest::newRow("supply") << "SetV" << QColor(192, 64, 0) << "";
        QTest::newRow("lines") << "SCL?" << QColor(192, 0, 192) << "";
        QTest::newRow("comment") << ";sensor" << QColor(128, 128, 128) << "";
        QTest::newRow("blank-led line")
            << "Stop" << QColor(128, 128, 128)
            << "the line starts with a blank, so it is a comment and \"Stop\" is not sent";
        QTest::newRow("hex read as decimal")
            << "91" << QColor(0, 0, 255)
            << "Write 91 is read as decimal, so it sends 0x5B; hex takes \"0x\" (Write 0x91)";
        QTest::newRow("value from the next line")
            << "Delayu" << QColor(0, 192, 0)
            << "Delayu has no value on its line, so it takes \"GP0hi\" from line 11";
        QTest::newRow("unidentified")
            << "Wrte" << QColor() << "Unidentified element encountered: \nWrte";
        QTest::newRow("after characters of two bytes")
            << "94" << QColor(0, 0, 255)
            << "Write 94 is read as decimal, so it sends 0x5E; hex takes \"0x\" (Write 0x94)";
        QTest::newRow("refused supply") << "3.3" << QColor()
                                        << "Unidentified element encountered: \n3.3\nSetV takes "
                                           "Open, 2.5, 3.0, 3.5, 4.0 or 5.0";
    }
    void queueMarks() {
        QFETCH(QString, word);
        QFETCH(QColor, colour);
        QFETCH(QString, message);
        WindowFixture f;
        f.queueBox()->setPlainText(";sensor\nStart\nWrite 0x90\nWrite 91\nSpeed\nReadInt\n"
                                   "Delaym 5\nSetV 5.0\nSCL?\nDelayu\nGP0hi\n Stop\nWrte 1\n"
                                   "SetV 3.3\n\u00e9\u00e9 Write 94\n");
        f.window->queueMarks()->refresh();
        const QString elementChar = "A-Za-z0-9_?;./\\[\\]";
        const int at = f.queue().indexOf(QRegularExpression("(?<![" + elementChar + "])" +
                                                            QRegularExpression::escape(word) +
                                                            "(?![" + elementChar + "])"));
        const QTextBlock block = f.queueBox()->document()->findBlock(at);
        QTextCharFormat format;
        for (const auto& range : block.layout()->formats())
            if (at + 1 - block.position() >= range.start &&
                at + 1 - block.position() < range.start + range.length)
                format.merge(range.format);
        QCOMPARE(format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color()
                                                                  : QColor(),
                 colour);
        QCOMPARE(format.underlineStyle() == QTextCharFormat::WaveUnderline, !message.isEmpty());
        QCOMPARE(f.window->queueMarks()->messageAt(at + 1), message);
    }

    // Marking follows typing after a pause and never touches the text, the
    // cursor or the undo history; it reads the queue the compiler is given.
    void queueMarksLeaveTheTextAlone() {
        WindowFixture f;
        show(f);
        auto* queue = f.queueBox();
        doubleClick(queue);
        QTest::keyClicks(queue, "Wrte 0x90");
        QTest::keyClick(queue, Qt::Key_Left);
        const QString text = queue->toPlainText();
        const int cursor = queue->textCursor().position();
        const int undo = queue->document()->availableUndoSteps();
        QTRY_COMPARE(f.window->queueMarks()->messageAt(1),
                     "Unidentified element encountered: \nWrte");
        QCOMPARE(queue->toPlainText(), text);
        QCOMPARE(queue->textCursor().position(), cursor);
        QCOMPARE(queue->document()->availableUndoSteps(), undo);
        queue->setPlainText("Start\u2028Stop\u00a0x\nSetV\n");
        QCOMPARE(app::QueueMarks::queueOf(queue->document()).text,
                 compiler::typedQueue(queue->toPlainText().toStdString()));
    }

    // The help's tables stand in columns at the view's width; prose wraps.
    void helpAndConnector() {
        WindowFixture f;
        show(f);
        auto* help = f.get<QPlainTextEdit>("helpbox");
        QCOMPARE(help->toPlainText(),
                 QString::fromStdString(help::helpDocument()).replace("\r\n", "\n"));
        click(f["Command3"]);
        QCOMPARE(help->geometry(), QRect(200, 20, 453, 469));
        auto* layout = qobject_cast<QPlainTextDocumentLayout*>(help->document()->documentLayout());
        int rows = 0, wrapped = 0;
        for (QTextBlock b = help->document()->begin(); b.isValid(); b = b.next()) {
            layout->ensureBlockLayout(b);
            if (b.text().contains('\t')) {
                ++rows;
                QVERIFY2(b.layout()->lineCount() == 1, qPrintable(b.text()));
            }
            wrapped += b.layout()->lineCount() > 1;
        }
        QVERIFY(rows == 93 && wrapped > 10);
        doubleClick(help);
        QVERIFY(!help->isVisible());
        QWidget* connector = f["connection"];
        click(f["Command3"]);
        click(f["Command5"]);
        QVERIFY(connector->isVisible() && !help->isVisible());
        click(connector); // a click on the drawing hides it
        QVERIFY(!connector->isVisible());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
