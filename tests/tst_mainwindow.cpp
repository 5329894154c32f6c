// The main window driven through its widgets, over a FakePort.
#include "app/activityview.h"
#include "app/layout.h"
#include "app/queuemarks.h"
#include "compiler/compiler.h"
#include "dialogs/alert.h"
#include "dialogs/selectfile.h"
#include "help/document.h"
#include "library/examples.h"
#include "link/portnames.h"
#include "windowfixture.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QtTest>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

Q_DECLARE_METATYPE(dialogs::ControlRow)

namespace {

const char* className(dialogs::Kind kind) {
    switch (kind) {
    case dialogs::Kind::Label:
        return "QLabel";
    case dialogs::Kind::Button:
        return "QPushButton";
    case dialogs::Kind::CheckBox:
        return "QCheckBox";
    case dialogs::Kind::Option:
        return "QRadioButton";
    case dialogs::Kind::TextBox:
        return "QLineEdit";
    case dialogs::Kind::TextArea:
        return "QPlainTextEdit";
    case dialogs::Kind::Custom:
        return "QAbstractScrollArea";
    case dialogs::Kind::ComboBox:
        return "QComboBox";
    case dialogs::Kind::Frame:
        return "QFrame";
    case dialogs::Kind::Line:
    case dialogs::Kind::Shape:
        return "QWidget";
    }
    return "";
}

QString captionOf(QWidget* w) {
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* c = qobject_cast<QComboBox*>(w)) return c->count() ? c->itemText(0) : QString();
    if (auto* a = qobject_cast<QPlainTextEdit*>(w)) return a->toPlainText();
    return {};
}

void addRows(const char* table, const dialogs::Rows& rows) {
    for (const auto& row : rows)
        QTest::addRow("%s %s", table, qPrintable(row.name)) << QString(table) << row;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Load through the real dialog, answered with a typed name and OK.
void load(WindowFixture& f, const QString& name) {
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<dialogs::SelectFile*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->setFileName(name);
        QTest::mouseClick(dialog->controls.value("okbutton"), Qt::LeftButton);
    });
    QTest::mouseClick(f["Command4"], Qt::LeftButton);
}

// Answers the program's file dialog, shown next, with a name in a folder.
void answerFileDialog(const QString& folder, const QString& name) {
    QTimer::singleShot(0, [=] {
        auto* dialog = qobject_cast<dialogs::SelectFile*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->setDirFolder(folder);
        dialog->setFileName(name);
        QTest::mouseClick(dialog->controls.value("okbutton"), Qt::LeftButton);
    });
}

QAction* action(WindowFixture& f, const QString& text) {
    for (auto* a : f.window->findChildren<QAction*>())
        if (a->text() == text) return a;
    return nullptr;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
}

void doubleClick(QWidget* w) {
    auto* area = qobject_cast<QAbstractScrollArea*>(w);
    QTest::mouseDClick(area ? area->viewport() : w, Qt::LeftButton);
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
  private slots:
    void everyRowHasItsWidget_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<dialogs::ControlRow>("row");
        addRows("main", app::mainRows());
        addRows("alert", dialogs::alertRows());
    }
    void everyRowHasItsWidget() {
        QFETCH(QString, table);
        QFETCH(dialogs::ControlRow, row);
        WindowFixture f;
        dialogs::Alert alert;
        QWidget* form = table == "main" ? static_cast<QWidget*>(f.window.get()) : &alert;
        auto* w = form->findChild<QWidget*>(row.name, Qt::FindDirectChildrenOnly);
        QVERIFY(w);
        QVERIFY2(w->inherits(className(row.kind)), w->metaObject()->className());
        if (row.kind == dialogs::Kind::ComboBox) {
            auto* combo = static_cast<QComboBox*>(w);
            QStringList items;
            for (int i = 0; i < combo->count(); ++i)
                items << combo->itemText(i);
            QCOMPARE(items, row.items);
        } else if (row.name != "commands" && row.name != "helpbox") { // filled at start
            QCOMPARE(captionOf(w), row.text);
        }
        if (row.kind != dialogs::Kind::Line)
            QCOMPARE(w->geometry(), QRect(QPoint(qRound(row.left / 15.0), qRound(row.top / 15.0)),
                                          QPoint(qRound((row.left + row.width) / 15.0) - 1,
                                                 qRound((row.top + row.height) / 15.0) - 1)));
        QCOMPARE(w->font().family(),
                 row.font == dialogs::Font::Fixed ? "DejaVu Sans Mono" : "Liberation Sans");
        QCOMPARE(w->font().bold(),
                 row.font != dialogs::Font::Sans && row.font != dialogs::Font::Fixed);
        QCOMPARE(w->palette().color(QPalette::WindowText),
                 row.color.value_or(QApplication::palette().color(QPalette::WindowText)));
        QCOMPARE(w->isHidden(), bool(row.flags & dialogs::Hidden));
        QCOMPARE(w->toolTip(), row.toolTip);
    }

    // Written from the layout's text, not from the table.
    void layoutChecks() {
        WindowFixture f;
        QCOMPARE(f.window->size(), QSize(822, 606));
        QCOMPARE(f["cmmd(17)"]->geometry(), QRect(4, 468, 189, 21));
        QCOMPARE(f["cmmd(255)"]->geometry(), QRect(4, 24, 189, 33));
        QCOMPARE(f["Line3"]->geometry().width(), 824);
        for (int i = 28; i <= 254; ++i)
            QVERIFY(!f[QStringLiteral("cmmd(%1)").arg(i)]);
        QList<QLabel*> menu = f.window->findChildren<QLabel*>(QRegularExpression("^Label2\\("));
        QCOMPARE(menu.size(), 29);
        std::sort(menu.begin(), menu.end(), [](auto* a, auto* b) { return a->y() < b->y(); });
        QStringList codes;
        for (auto* l : menu)
            codes << l->text().left(2);
        QCOMPARE(codes.join(' '), "00 01 02 03 04 10 05 06 20 21 30 31 40 41 50 51 60 70 71 72 "
                                  "73 74 75 80 81 82 83 90 92");
        QCOMPARE(menu[3]->objectName(), "Label2(5)");
    }

    // What a screen reader says: every control of the window and of both
    // dialogs has a name; a captioned quick button is announced by its caption.
    void accessibleNames() {
        WindowFixture f;
        dialogs::Alert alert(f.window.get());
        dialogs::SelectFile select(f.window.get());
        auto nameOf = [](QWidget* w) {
            return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
        };
        for (QWidget* form : {static_cast<QWidget*>(f.window.get()), f["connection"],
                              static_cast<QWidget*>(&alert), static_cast<QWidget*>(&select)})
            for (auto* w : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (!w->objectName().isEmpty() &&
                    !w->testAttribute(Qt::WA_TransparentForMouseEvents)) // lines and shapes
                    QVERIFY2(!nameOf(w).isEmpty(), qPrintable(w->objectName()));
        QCOMPARE(nameOf(f["commands"]), "Command Queue");
        QCOMPARE(nameOf(f["cmmd(0)"]), "Quick command 1");
        const QByteArray name = "LM75 & friends: temperature, then the configuration";
        writeFile(f.dir.filePath("a.txt"), ";" + name + "\r\nStart\r\n;Short\r\n");
        f.window->loaddirectory = f.dir.path();
        load(f, "a.txt");
        QCOMPARE(nameOf(f["cmmd(0)"]), name.left(30));
        QCOMPARE(f["cmmd(0)"]->toolTip(), name);
        QCOMPARE(nameOf(f["cmmd(1)"]), "Short");
        QCOMPARE(f["cmmd(1)"]->toolTip(), "");
        QCOMPARE(nameOf(f["cmmd(2)"]), "Quick command 3");
        // The icon of the package, on the window and on its dialogs.
        QVERIFY(!f.window->windowIcon().pixmap(32).isNull());
        QCOMPARE(alert.windowIcon().cacheKey(), f.window->windowIcon().cacheKey());
    }

    void startUpState() {
        WindowFixture f;
        QCOMPARE(f.window->windowTitle(), "I2C Master driver V2.00.06");
        QCOMPARE(f.queue(), QString::fromStdString(library::exampleScript(0)).remove('\r'));
        for (const char* view : {"i2cparser", "txbufferbox", "rxbufferbox", "txdata", "rxdata"})
            QVERIFY2(f.text(view).isEmpty(), view);
        QVERIFY(f["helpbox"]->isHidden());
        QVERIFY(f["connection"]->isHidden());
        QCOMPARE(f.text("portselect"), QString());
        QCOMPARE(f.window->control<QComboBox>("portselect")->currentText(), "Select");
        QCOMPARE(f.window->control<QComboBox>("Combo2")->currentText(),
                 "<<< Press \"Load\" to get commands");
        QVERIFY(!f.window->portopen());
        QVERIFY(f.port.closeCalls >= 1);
        QCOMPARE(f.port.speed(), 115200);
        QCOMPARE(f.text("comwait"), "Ready");
        QCOMPARE(f.text("tokenvalue(0)") + f.text("tokenvalue(1)") + f.text("tokenvalue(2)"),
                 "AA55");
        QCOMPARE(f.window->focusWidget(), f["portselect"]);
        QVERIFY(std::all_of(f.window->scriptblocks.begin(), f.window->scriptblocks.end(),
                            [](const std::string& s) { return s.empty(); }));
    }

    void controlButtons_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArrayList>("frames");
        QTest::newRow("Ping") << 18 << QByteArrayList{"$0000\r", "$0019\r"};
        QTest::newRow("H>L") << 19 << QByteArrayList{"$0013\r"};
        QTest::newRow("L>H") << 20 << QByteArrayList{"$0014\r"};
        QTest::newRow("On") << 21 << QByteArrayList{"$0015\r"};
        QTest::newRow("Off") << 22 << QByteArrayList{"$0016\r"};
        QTest::newRow("Slow") << 23 << QByteArrayList{"$0017\r"};
        QTest::newRow("Fast") << 24 << QByteArrayList{"$0018\r"};
        QTest::newRow("Slave") << 25 << QByteArrayList{"$00FF\r"};
        QTest::newRow("Store Last") << 26 << QByteArrayList{"$0011\r"};
        QTest::newRow("Run Stored") << 27 << QByteArrayList{"$0012\r"};
    }
    void controlButtons() {
        QFETCH(int, index);
        QFETCH(QByteArrayList, frames);
        WindowFixture f;
        f.choosePort(3);
        QCOMPARE(f.port.opened, QStringList{"COM3 115200,n,8,1"});
        const QString queue = f.queue();
        // While a frame's wait runs, the busy sign shows and the next frame waits.
        QStringList during;
        QTimer probe;
        connect(&probe, &QTimer::timeout,
                [&] { during << f.text("comwait") + QString::number(f.port.written.size()); });
        probe.start(20);
        QTest::mouseClick(f[QStringLiteral("cmmd(%1)").arg(index)], Qt::LeftButton);
        probe.stop();
        QCOMPARE(f.port.written, frames);
        QVERIFY2(during.contains("Wait" + QString::number(frames.size())),
                 qPrintable(during.join(',')));
        if (frames.size() == 2) QVERIFY2(during.contains("Wait1"), qPrintable(during.join(',')));
        QCOMPARE(f.text("comwait"), "Ready");
        QCOMPARE(f.text("txbufferbox"), QString(frames.last()).chopped(1) + "[cr]");
        QCOMPARE(f.queue(), queue);
    }

    void slaveEmptiesTheViewEvenWithoutAPort() {
        WindowFixture f;
        f.window->process(255, "!0013a\r");
        QVERIFY(!f.view().isEmpty());
        f.window->cmmd_Click(25);
        QVERIFY(f.view().isEmpty());
        QCOMPARE(f.text("txbufferbox"), "$00FF[cr]");
        QVERIFY(f.port.written.isEmpty());
    }

    void withoutAPortNothingIsLogged() {
        WindowFixture f;
        f.window->control<QCheckBox>("logdata")->setChecked(true);
        f.window->cmmd_Click(19);
        QCOMPARE(f.text("txbufferbox"), "$0013[cr]");
        QVERIFY(f.text("txdata").isEmpty());
        QCOMPARE(f.text("comwait"), "Ready");
    }

    void compileSends() {
        WindowFixture f;
        f.choosePort(1);
        f.window->process(255, "!0013a\r");
        f.window->control<QPlainTextEdit>("commands")
            ->setPlainText("Start\nWrite  0x91\u2028Read   ack\r\nRead   Nack\u2029Stop\n");
        QTest::mouseClick(f["cmmd(255)"], Qt::LeftButton);
        QCOMPARE(f.port.written, QByteArrayList{"$001007000191020304\r"});
        QCOMPARE(f.text("txbufferbox"), "$001007000191020304[cr]");
        QVERIFY(f.view().isEmpty());
        QVERIFY(f.alerts.isEmpty());
    }

    void compileErrors_data() {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << ""
                               << "No data to compile!";
        QTest::newRow("comments") << ";a\n/b\n c\n"
                                  << "No data to compile!";
        QTest::newRow("unknown") << "Wrte 0x90\n"
                                 << "Unidentified element encountered: \r\nWrte";
        QTest::newRow("setv") << "SetV 3.3\n"
                              << "Unidentified element encountered: \r\n3.3";
        QTest::newRow("too many") << QString("Start ").repeated(125) + "\n"
                                  << "I2C transactions limited to 125 elements";
    }
    void compileErrors() {
        QFETCH(QString, queue);
        QFETCH(QString, message);
        WindowFixture f;
        f.choosePort(1);
        f.window->control<QLineEdit>("txbufferbox")->setText("before");
        f.window->process(255, "!0013a\r");
        const QString view = f.view();
        f.window->control<QPlainTextEdit>("commands")->setPlainText(queue);
        f.window->cmmd_Click(255);
        QCOMPARE(f.alerts.size(), 1);
        QCOMPARE(f.alerts[0].title, "I2C processor error");
        QCOMPARE(f.alerts[0].message, message);
        QCOMPARE(f.alerts[0].style, 0);
        QVERIFY(f.port.written.isEmpty());
        QCOMPARE(f.text("txbufferbox"), "before");
        QCOMPARE(f.view(), view);
        QCOMPARE(f.queue(), queue);
    }

    void receiving() {
        WindowFixture f;
        f.choosePort(2);
        f.port.deliver("junk!0010SW9");
        QVERIFY(f.view().isEmpty());
        QVERIFY(f.text("rxbufferbox").isEmpty());
        f.port.deliver("0aR1AnP\r!0013a\r!001A08\r!0010W4");
        QCOMPARE(f.view(), "START\nWRITE\t0x90\tAck\nREAD\t0x1A\tNack\nSTOP\n"
                           "[Edge = High-to-Low ]\n[Reset:   Power up]\n\n");
        QCOMPARE(f.text("rxbufferbox"), "!001A08[cr]");
        // A write whose acknowledgement is not a, A, n or N leaves its line open.
        f.port.deliver("0x\r!00201\r");
        QCOMPARE(f.view(), "WRITE\t0x40\t[Int]\t1\n");
        QCOMPARE(f.text("rxbufferbox"), "!00201[cr]");
        QVERIFY(f.text("rxdata").isEmpty());
        // A byte off the line is one character, whatever it would mean as UTF-8.
        f.port.deliver("!007E\xC3\xA4\r");
        QCOMPARE(f.view().split('\n').at(1), QString::fromLatin1("\xC3\xA4"));
        QCOMPARE(f.text("rxbufferbox"), QString::fromLatin1("!007E\xC3\xA4[cr]"));
    }

    // However a stream is cut into arrivals, the views end the same, and
    // arrivals that come faster than the eye are shown together.
    void aStreamShowsTheSameHoweverItArrives() {
        QByteArray stream = "noise!0010SW90aR1AnP\r!000001530003\r!0010W40x\r";
        for (int i = 0; i < 300; ++i)
            stream += i % 2 ? "!00201\r" : "!00200\r";
        stream += "!00FFa\r!0019330";
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
        QCOMPARE(split.text("rxbufferbox"), "!00FFa[cr]");
        QVERIFY(split.view().startsWith("WRITE\t0x40\t[Int]\t0\n[Int]\t1\n"));
        QVERIFY(split.view().endsWith("[Int]\t1\n[Slave mode enabled...]\n"
                                      "[...Power cycle=Cancel]\n"));
    }

    // The view follows the newest line; a user who scrolled up to read keeps
    // the same lines in sight, also while the oldest go.
    void activityViewFollows() {
        app::ActivityView view;
        view.resize(225, 469);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QScrollBar* bar = view.verticalScrollBar();
        auto lines = [](int from, int count) {
            std::string text;
            for (int i = from; i < from + count; ++i)
                text += "L" + std::to_string(i) + "\r\n";
            return text;
        };
        view.append(lines(0, 200));
        view.flush();
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());
        view.append(lines(200, app::kMaxActivityLines));
        view.flush();
        QCOMPARE(bar->value(), bar->maximum());
        bar->setValue(1000);
        const QString inSight = view.toPlainText().section('\n', 1000, 1000);
        view.append(lines(20200, 50));
        view.flush();
        QCOMPARE(bar->value(), 950);
        QCOMPARE(view.toPlainText().section('\n', 950, 950), inSight);
        QCOMPARE(view.lineCount(), app::kMaxActivityLines + 1);
        QCOMPARE(view.tabStopDistance(),
                 8 * QFontMetricsF(view.font()).horizontalAdvance(QLatin1Char(' ')));
    }

    // The view holds the newest lines and an open one, however they arrive:
    // a CR LF split between two arrivals ends one line.
    void activityViewKeepsTheNewest() {
        app::ActivityView view;
        view.append("WRITE\t0x40\t"); // left open, and older than all that follows
        std::string burst;
        for (int i = 0; i < 2 * app::kMaxActivityLines + 5; ++i)
            burst += "L" + std::to_string(i) + "\r\n";
        view.append(burst);
        view.append("a\r");
        view.append("\nb\rc\nopen");
        const QStringList lines = view.toPlainText().split('\n');
        QCOMPARE(lines.size(), app::kMaxActivityLines + 1);
        QCOMPARE(lines.first(), QStringLiteral("L%1").arg(app::kMaxActivityLines + 8));
        QCOMPARE(lines.mid(lines.size() - 5),
                 (QStringList{QStringLiteral("L%1").arg(2 * app::kMaxActivityLines + 4), "a", "b",
                              "c", "open"}));
    }

    // Read-only, but the mouse selects and Ctrl+C copies, tabs included.
    void activityViewCopies() {
        app::ActivityView view;
        view.setFont(dialogs::fontOf(dialogs::Font::Fixed));
        view.resize(225, 469);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.append("START\r\nWRITE\t0x90\tAck\r\nSTOP\r\n");
        view.flush();
        const int row = QFontMetrics(view.font()).lineSpacing();
        const qreal advance = QFontMetricsF(view.font()).horizontalAdvance(' ');
        auto at = [&](int column, int line) {
            return QPoint(4 + qRound(column * advance), 4 + line * row + row / 2);
        };
        QWidget* area = view.viewport();
        QTest::mousePress(area, Qt::LeftButton, {}, at(2, 0));
        QTest::mouseMove(area, at(17, 1));
        QTest::mouseRelease(area, Qt::LeftButton, {}, at(17, 1));
        QCOMPARE(view.selectedText(), "ART\nWRITE\t0x90\tA");
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), "ART\nWRITE\t0x90\tA");
        QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(view.selectedText(), view.toPlainText());
    }

    void tokenMenuAppends() {
        WindowFixture f;
        auto* queue = f.window->control<QPlainTextEdit>("commands");
        queue->setPlainText("Start");
        QTest::mouseClick(f["Label2(3)"], Qt::LeftButton);
        QCOMPARE(f.queue(), "StartStop\n");
        QTest::mouseClick(f["Label2(1)"], Qt::LeftButton);
        QTest::mouseClick(f["Label2(4)"], Qt::LeftButton);
        f.window->control<QLineEdit>("tokenvalue(2)")->clear();
        QTest::mouseClick(f["Label2(22)"], Qt::LeftButton);
        QTest::mouseClick(f["Label2(16)"], Qt::LeftButton);
        QCOMPARE(f.queue(), "StartStop\nWrite  0xAA\nDelayu 0x05\nDelaym 0x00\nSetV   Open\n");
        QCOMPARE(f.text("tokenvalue(2)"), "0");
        QVERIFY(f.port.written.isEmpty());
        QVERIFY(f.text("txbufferbox").isEmpty());
    }

    void tokenMenuOneClick() {
        WindowFixture f;
        f.choosePort(1);
        QTest::mouseClick(f["oneclicktokens"], Qt::LeftButton);
        QTest::mouseClick(f["Label2(3)"], Qt::LeftButton);
        QCOMPARE(f.queue(), "Stop\n");
        QCOMPARE(f.port.written, QByteArrayList{"$00100204\r"});
    }

    void valueBoxes() {
        WindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        auto* box = f.window->control<QLineEdit>("tokenvalue(0)");
        QTest::mouseClick(box, Qt::LeftButton);
        QTRY_COMPARE(box->selectedText(), "AA");
        QTest::keyClicks(box, "g -");
        QCOMPARE(box->text(), "AA");
        QTest::keyClicks(box, "b");
        QCOMPARE(box->text(), "B");
        QTest::keyClicks(box, "1f");
        QCOMPARE(box->text(), "B1"); // two characters at most
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text(), "");
        QTest::mouseClick(f["commands"], Qt::LeftButton); // the box loses the focus
        QCOMPARE(box->text(), "0");
        box->setText("00");
        f["commands"]->setFocus();
        box->setFocus();
        f["commands"]->setFocus();
        QCOMPARE(box->text(), "0");
        box->setText("0A");
        box->setFocus();
        f["commands"]->setFocus();
        QCOMPARE(box->text(), "0A");
    }

    void exampleList() {
        WindowFixture f;
        auto* list = f.window->control<QComboBox>("Combo1");
        list->setCurrentIndex(7);
        emit list->activated(7);
        emit list->activated(7);
        const QString walking = f.queue();
        QCOMPARE(walking.count('\n'), 12);
        QVERIFY(walking.startsWith(";Walking Pulse Generator\nGP0hi\n"));
        // Typed keys choose nothing; arrow keys still do.
        QTest::keyClicks(list, "Se\r ");
        QCOMPARE(list->currentIndex(), 7);
        QCOMPARE(f.queue(), walking);
        QTest::keyClick(list, Qt::Key_Up);
        QCOMPARE(list->currentIndex(), 6);
        QVERIFY(f.queue().startsWith(";LM75 Tos / Thyst Write\n"));
    }

    void userList() {
        WindowFixture f;
        auto* list = f.window->control<QComboBox>("Combo2");
        f.window->scriptblocks[0] = "preamble\r\n";
        emit list->activated(0);
        QCOMPARE(f.queue(), "preamble\n");
        f.window->scriptblocks[0].clear();
        emit list->activated(0);
        QCOMPARE(f.queue(), "");
        QTest::keyClicks(list, "x");
        QCOMPARE(list->count(), 1);
    }

    void quickButtons() {
        WindowFixture f;
        f.choosePort(1);
        f.window->scriptblocks[1] = ";first\r\nStart\r\nStop";
        f.window->scriptblocks[18] = ";last\r\nSpeed";
        const QString queue = f.queue();
        f.window->cmmd_Click(0); // no caption: inert
        QCOMPARE(f.queue(), queue);
        f.window->control<QPushButton>("cmmd(0)")->setText("first");
        f.window->control<QPushButton>("cmmd(17)")->setText("last");
        QTest::mouseClick(f["cmmd(0)"], Qt::LeftButton);
        QCOMPARE(f.queue(), ";first\nStart\nStop");
        QVERIFY(f.port.written.isEmpty());
        QTest::mouseClick(f["oneclick"], Qt::LeftButton);
        QTest::mouseClick(f["cmmd(17)"], Qt::LeftButton);
        QCOMPARE(f.queue(), ";last\nSpeed");
        QCOMPARE(f.port.written, QByteArrayList{"$00100210\r"});
    }

    void doubleClicks() {
        WindowFixture f;
        f.choosePort(1);
        f.window->control<QCheckBox>("logdata")->setChecked(true);
        f.window->cmmd_Click(19);
        f.port.deliver("!0013a\r");
        auto* rxdata = f.window->control<QPlainTextEdit>("rxdata");
        rxdata->setPlainText("x");
        doubleClick(f["rxbufferbox"]);
        QCOMPARE(f.text("rxbufferbox"), "!0013a[cr]");
        doubleClick(f["rxdata"]);
        QVERIFY(f.text("txdata").isEmpty() && rxdata->toPlainText().isEmpty());
        f.window->cmmd_Click(19);
        rxdata->setPlainText("x");
        doubleClick(f["txdata"]);
        QVERIFY(f.text("txdata").isEmpty() && rxdata->toPlainText().isEmpty());
        doubleClick(f["txbufferbox"]);
        QVERIFY(f.text("txbufferbox").isEmpty());
        doubleClick(f["i2cparser"]);
        QVERIFY(f.view().isEmpty());
        QVERIFY(!f.text("rxbufferbox").isEmpty());
        doubleClick(f["commands"]);
        QVERIFY(f.queue().isEmpty());
    }

    void transmitLog() {
        WindowFixture f;
        f.choosePort(1);
        f.window->comwrite("$0013\r", 0);
        QVERIFY(f.text("txdata").isEmpty()); // logging is off
        f.window->control<QCheckBox>("logdata")->setChecked(true);
        f.window->comwrite("$0013\r", 0);
        f.window->comwrite("$00\n14\r", 0);
        QCOMPARE(f.text("txdata"), "$00[lf]14[cr]\n$0013[cr]\n");
        QCOMPARE(f.text("txbufferbox"), "$00\n14[cr]");
        for (int i = 0; i < app::kMaxLoggedFrames + 5; ++i)
            f.window->comwrite(QStringLiteral("$%1\r").arg(i).toStdString(), 0);
        const QStringList lines = f.text("txdata").split('\n');
        QCOMPARE(lines.size(), app::kMaxLoggedFrames + 1);
        QCOMPARE(lines.first(), QStringLiteral("$%1[cr]").arg(app::kMaxLoggedFrames + 4));
        QCOMPARE(lines[app::kMaxLoggedFrames - 1], "$5[cr]");
        QCOMPARE(lines.last(), "");
    }

    void keepsItsSize() {
        WindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        const QRect cmmd = f["cmmd(17)"]->geometry();
        f.window->showMaximized();
        QTRY_VERIFY(!(f.window->windowState() & Qt::WindowMaximized));
        QCOMPARE(f.window->size(), QSize(822, 606));
        f.window->resize(900, 700);
        QCOMPARE(f.window->size(), QSize(822, 606));
        f.window->showMinimized();
        f.window->showNormal();
        QTRY_COMPARE(f.window->size(), QSize(822, 606));
        QCOMPARE(f["cmmd(17)"]->geometry(), cmmd);
    }

    void settingsFile() {
        QTemporaryDir dir;
        const QString ini = dir.filePath("i2c.ini");
        auto contents = [&] {
            QFile file(ini);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
        };
        const QByteArray home = (QDir::homePath() + "/").toUtf8();
        {
            WindowFixture f(dir.path());
            QCOMPARE(contents(), home + "\r\n"); // first run: created with the default
            QCOMPARE(f.window->loaddirectory.toUtf8(), home);
            f.window->loaddirectory = "/srv/scripts/";
            f.window->close();
            QCOMPARE(f.quits, 1);
            QVERIFY(f.port.closeCalls >= 2);
        }
        QCOMPARE(contents(), QByteArray("/srv/scripts/\r\n"));
        for (const QByteArray& stored : {QByteArray("/a/\r\n/b/\r\n"), QByteArray("")}) {
            QFile file(ini);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(stored);
            file.close();
            WindowFixture f(dir.path());
            QCOMPARE(f.window->loaddirectory.toUtf8(), stored.isEmpty() ? home : "/a/");
            f.window->close();
            QCOMPARE(contents(), stored.isEmpty() ? home + "\r\n" : QByteArray("/a/\r\n"));
        }
    }

    void settingsFileWhereTheProgramFolderIsClosed() {
#ifdef Q_OS_LINUX
        // /proc takes no new file, not even from root.
        WindowFixture f(QStringLiteral("/proc"));
        QCOMPARE(f.window->settings().path(), f.dir.filePath("config/i2c.ini"));
        f.window->loaddirectory = "/x/";
        f.window->close();
        QFile file(f.dir.filePath("config/i2c.ini"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("/x/\r\n"));
#else
        QSKIP("needs /proc");
#endif
    }

    // An i2c.ini beside the program that cannot be written (the system
    // refuses even root here) is no place for the setting: the user's is.
    void settingsFileBesideTheProgramReadOnly() {
        const QString readOnly = "/sys/devices/system/cpu/possible";
        if (!QFileInfo(readOnly).isFile()) QSKIP("needs sysfs");
        QTemporaryDir program;
        QVERIFY(QFile::link(readOnly, QDir(program.path()).filePath("i2c.ini")));
        WindowFixture f(program.path());
        QCOMPARE(f.window->settings().path(), f.dir.filePath("config/i2c.ini"));
    }

    void settingsNotWrittenStillEnds() {
        WindowFixture f;
        QVERIFY(QFile::remove(f.window->settings().path()));
        QVERIFY(QDir().mkpath(f.window->settings().path())); // a folder in its place
        f.window->close();
        QCOMPARE(f.quits, 1);
    }

    void installedLayout_data() {
        // Folders made under a temporary one; the first is the program's.
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<bool>("installed");
        QTest::addRow("installed") << QStringList{"usr/bin", "usr/share/i2cmaster"} << true;
        QTest::addRow("build tree") << QStringList{"build/bin"} << false;
        QTest::addRow("another program's data") << QStringList{"usr/bin", "usr/share/x"} << false;
        QTest::addRow("not a bin folder") << QStringList{"usr/lib", "usr/share/i2cmaster"} << false;
        QTest::addRow("no folder") << QStringList{} << false;
    }

    void installedLayout() {
        QFETCH(QStringList, folders);
        QFETCH(bool, installed);
        QTemporaryDir dir;
        for (const QString& folder : folders)
            QVERIFY(QDir(dir.path()).mkpath(folder));
        const QString program = folders.isEmpty() ? QString() : dir.filePath(folders.first());
        QCOMPARE(app::Settings::installed(program), installed);
    }

    void withoutAProgramFolderTheFileIsTheUsers() {
        WindowFixture f(QStringLiteral("")); // what an installed program passes
        QCOMPARE(f.window->settings().path(), f.dir.filePath("config/i2c.ini"));
        QVERIFY(QFileInfo(f.window->settings().path()).isFile());
    }

    void failedOpen() {
        WindowFixture f;
        f.port.setOpenFailure("COM4: no such device (check the adapter)");
        f.choosePort(4);
        QCOMPARE(f.alerts.size(), 1);
        QCOMPARE(f.alerts[0].title, "Com port open error");
        QCOMPARE(f.alerts[0].message, "COM4: no such device (check the adapter)");
        QCOMPARE(f.alerts[0].style, 0);
        QVERIFY(!f.window->portopen());
        QCOMPARE(f.window->control<QComboBox>("portselect")->currentText(), "Select");
        f.window->cmmd_Click(18);
        QVERIFY(f.port.written.isEmpty());
    }

    void portLostWhileOpen() {
        WindowFixture f;
        f.choosePort(8);
        f.window->scriptblocks[3] = "kept";
        f.port.deliver("!0013a\r");
        const QString queue = f.queue(), view = f.view();
        f.port.fail("COM8 (/dev/pts/3): the device is gone");
        QCOMPARE(f.alerts.size(), 1);
        QCOMPARE(f.alerts[0].title, "Com port error");
        QCOMPARE(f.alerts[0].message, "COM8 (/dev/pts/3): the device is gone");
        QVERIFY(!f.window->portopen());
        QCOMPARE(f.window->control<QComboBox>("portselect")->currentText(), "Select");
        QCOMPARE(f.queue(), queue);
        QCOMPARE(f.view(), view);
        QCOMPARE(f.text("rxbufferbox"), "!0013a[cr]");
        QCOMPARE(f.window->scriptblocks[3], "kept");
    }

    // Arrow keys choose a port; choosing the shown one again reopens it.
    void portListKeys() {
        WindowFixture f;
        auto* list = f.window->control<QComboBox>("portselect");
        QTest::keyClicks(list, "C3");
        QCOMPARE(list->currentIndex(), 0);
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(f.port.opened, QStringList{"COM1 115200,n,8,1"});
        emit list->activated(1);
        QCOMPARE(f.port.opened.size(), 2);
        QTest::keyClick(list, Qt::Key_Up);
        QVERIFY(!f.window->portopen());
        QVERIFY(!f.port.isOpen());
        // Each entry tells what it would open now.
        f.window->show();
        list->showPopup();
        for (int i = 1; i < list->count(); ++i)
            QCOMPARE(list->itemData(i, Qt::ToolTipRole).toString(),
                     serial::describePort(list->itemText(i)));
        QVERIFY(list->itemData(8, Qt::ToolTipRole).toString().startsWith("COM8"));
        list->hidePopup();
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
        QCOMPARE(f.quits, 1);
    }

    void loadScriptFile() {
        WindowFixture f;
        f.choosePort(1);
        QByteArray file = "heading\r\n";
        for (int i = 1; i <= 20; ++i)
            file += ";Block " + QByteArray::number(i) + "\r\nSpeed\r\n\r\n";
        writeFile(f.dir.filePath("s.txt"), file);
        f.window->loaddirectory = f.dir.path();
        f.window->control<QPlainTextEdit>("commands")->setPlainText("kept?");
        load(f, "s.txt");
        QVERIFY(f.alerts.isEmpty());
        QCOMPARE(f.window->loaddirectory, f.dir.path() + "/");
        QCOMPARE(f.queue(), "heading"); // the file's own preamble
        for (int i = 0; i < 18; ++i)
            QCOMPARE(f.text(QStringLiteral("cmmd(%1)").arg(i)),
                     QStringLiteral("Block %1").arg(i + 1));
        auto* list = f.window->control<QComboBox>("Combo2");
        QCOMPARE(list->count(), 21);
        QCOMPARE(list->itemText(0), "Select script...");
        QCOMPARE(list->itemText(20), "Block 20");
        QCOMPARE(f.window->scriptblocks[0], "heading");
        list->setCurrentIndex(20);
        emit list->activated(20);
        QCOMPARE(f.queue(), ";Block 20\nSpeed\n");
        QTest::mouseClick(f["cmmd(4)"], Qt::LeftButton);
        QCOMPARE(f.queue(), ";Block 5\nSpeed\n");
        QVERIFY(f.port.written.isEmpty());
        QTest::mouseClick(f["oneclick"], Qt::LeftButton);
        QTest::mouseClick(f["cmmd(17)"], Qt::LeftButton);
        QCOMPARE(f.port.written, QByteArrayList{"$00100210\r"});
        // The same file again: its preamble once.
        load(f, "s.txt");
        QCOMPARE(f.queue(), "heading");
        QCOMPARE(f.window->scriptblocks[0], "heading");
        // A second file with fewer blocks and no preamble: nothing of the
        // first reaches the queue, and the rest of the buttons go empty.
        writeFile(f.dir.filePath("t.txt"), ";Only\r\nStop\r\n");
        load(f, "t.txt");
        QCOMPARE(f.queue(), "");
        QCOMPARE(f.window->scriptblocks[0], "");
        QCOMPARE(f.text("cmmd(0)"), "Only");
        QCOMPARE(f.text("cmmd(1)"), "");
        QCOMPARE(list->count(), 2);
        f.window->cmmd_Click(1); // inert
        QCOMPARE(f.window->scriptblocks[2], ";Block 2\r\nSpeed\r\n");
    }

    void loadFailuresChangeNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "none.txt"
                                 << "No such file";
        QTest::newRow("a folder") << "sub"
                                  << "folder";
        QTest::newRow("two names") << "a.txt\r\nb.txt"
                                   << "No such file";
        QTest::newRow("too large") << "big.txt"
                                   << "larger than 16 MiB";
        // Neither may hang the window: no writer ever comes, no end ever.
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
        writeFile(f.dir.filePath("a.txt"), ";A\r\nStart\r\n");
        writeFile(f.dir.filePath("b.txt"), ";B\r\nStop\r\n");
        QVERIFY(QDir(f.dir.path()).mkdir("sub"));
        QFile big(f.dir.filePath("big.txt"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize((16 << 20) + 1));
        big.close();
        f.window->loaddirectory = f.dir.path();
        load(f, "a.txt");
        const QString queue = f.queue();
        const auto blocks = f.window->scriptblocks;
        f.window->loaddirectory = f.dir.path();
        load(f, name);
        QCOMPARE(f.alerts.size(), 1);
        QCOMPARE(f.alerts[0].title, "Script load error");
        QCOMPARE(f.alerts[0].style, 0);
        QVERIFY2(f.alerts[0].message.contains(f.dir.path()), qPrintable(f.alerts[0].message));
        QVERIFY2(f.alerts[0].message.contains(reason), qPrintable(f.alerts[0].message));
        QCOMPARE(f.window->loaddirectory, f.dir.path() + "/");
        QCOMPARE(f.text("cmmd(0)"), "A");
        QCOMPARE(f.window->control<QComboBox>("Combo2")->count(), 2);
        QVERIFY(f.window->scriptblocks == blocks);
        QCOMPARE(f.queue(), queue);
    }

    void loadOfMoreThanAThousandBlocks() {
        WindowFixture f;
        QByteArray file;
        for (int i = 1; i <= 1003; ++i)
            file += ";" + QByteArray::number(i) + "\r\n";
        writeFile(f.dir.filePath("many.txt"), file);
        f.window->loaddirectory = f.dir.path();
        load(f, "many.txt");
        QCOMPARE(f.alerts.size(), 1);
        QCOMPARE(f.alerts[0].style, 1);
        QVERIFY2(f.alerts[0].message.contains("other 3 were left out"),
                 qPrintable(f.alerts[0].message));
        QCOMPARE(f.window->control<QComboBox>("Combo2")->count(), 1001);
        QCOMPARE(f.window->scriptblocks[1000], ";1000");
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
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        writeFile(f.dir.filePath("a.txt"), "Speed\r\n;A\r\nStart\r\n");
        f.window->loaddirectory = f.dir.path();
        load(f, "a.txt");
        auto* queue = f.window->control<QPlainTextEdit>("commands");
        doubleClick(queue);
        for (const char* line : {"Start", "Write 0x90", "Stop"}) {
            QTest::keyClicks(queue, line);
            QTest::keyClick(queue, Qt::Key_Return);
        }
        const QString typed = f.queue();
        if (how == "example") {
            f.choose("Combo1", 7);
        } else if (how == "user script") {
            f.choose("Combo2", 1);
        } else if (how == "quick button") {
            QTest::mouseClick(f["cmmd(0)"], Qt::LeftButton);
        } else if (how == "one-click token") {
            QTest::mouseClick(f["oneclicktokens"], Qt::LeftButton);
            QTest::mouseClick(f["Label2(6)"], Qt::LeftButton);
        } else if (how == "load") {
            load(f, "a.txt");
        } else {
            doubleClick(queue);
        }
        const QString replaced = f.queue();
        QVERIFY(replaced != typed);
        QTest::keyClick(queue, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.queue(), typed);
        QTest::keyClick(queue, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(f.queue(), replaced);
    }

    // While a wait runs the window shows the busy pointer and still answers;
    // a port chosen then ends the click: Ping's second frame never reaches it.
    void aWaitIsBusyAndAPortChangeEndsIt() {
        WindowFixture f;
        f.choosePort(1);
        QString during;
        QTimer::singleShot(30, [&] {
            const QCursor* cursor = QApplication::overrideCursor();
            during = cursor ? QString::number(cursor->shape()) : "none";
            f.choosePort(2);
        });
        QElapsedTimer clock;
        clock.start();
        f.window->cmmd_Click(18);
        QCOMPARE(during, QString::number(Qt::BusyCursor));
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(f.port.written, QByteArrayList{"$0000\r"});
        QCOMPARE(f.port.opened, (QStringList{"COM1 115200,n,8,1", "COM2 115200,n,8,1"}));
        QVERIFY(clock.elapsed() < 90); // the rest of the 100 ms wait ended with the click
        QCOMPARE(f.text("comwait"), "Ready");
    }

    // With no port open the frame is shown but a notice says nothing went
    // out, until a port is chosen.
    void sendingWithoutAPortSaysSo() {
        const QString notice = "No port is open: nothing was sent. Choose the module's port here.";
        WindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QWidget* ports = f["portselect"];
        QTest::mouseClick(f["cmmd(19)"], Qt::LeftButton);
        QCOMPARE(f.text("txbufferbox"), "$0013[cr]");
        auto* tip = f.window->findChild<QLabel*>("nothingSent");
        QVERIFY(tip->isVisible());
        QCOMPARE(tip->text(), notice);
        QCOMPARE(ports->accessibleDescription(), notice);
        f.choosePort(3);
        QVERIFY(!tip->isVisible());
        QCOMPARE(ports->accessibleDescription(), "");
        QCOMPARE(ports->palette().color(QPalette::Button),
                 QApplication::palette().color(QPalette::Button));
        QVERIFY(f.alerts.isEmpty());
    }

    void keyboard() {
        WindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.choosePort(1);
        auto* queue = f.window->control<QPlainTextEdit>("commands");
        queue->setFocus();
        const QString text = f.queue();
        QTest::keyClick(queue, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(f.port.written, QByteArrayList{"$00100275\r"});
        QCOMPARE(f.queue(), text);
        QTest::keyClick(queue, Qt::Key_F1);
        QVERIFY(f["helpbox"]->isVisible());
        QTest::keyClick(queue, Qt::Key_F1);
        QVERIFY(!f["helpbox"]->isVisible());
        for (const char* view : {"Command3", "Command5"}) {
            QTest::mouseClick(f[view], Qt::LeftButton);
            QTest::keyClick(f.window.get(), Qt::Key_Escape);
            QVERIFY(!f["helpbox"]->isVisible() && !f["connection"]->isVisible());
        }
        QVERIFY(f["cmmd(255)"]->toolTip().contains("Ctrl+Return"));
        QVERIFY(f["Command3"]->toolTip().contains("F1"));
    }

    // The queue shows what each line does: the token menu's colours, grey
    // comments, and underlined words with the reason as a tool tip.
    void queueColoursAndMarks_data() {
        QTest::addColumn<QString>("word"); // its first appearance in the queue
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<int>("underline"); // QTextCharFormat::UnderlineStyle
        QTest::addColumn<QString>("message");
        const QColor text = QApplication::palette().color(QPalette::Text);
        auto row = [](const char* name, const char* word, QColor colour, bool underlined,
                      const char* message) {
            QTest::newRow(name) << QString(word) << colour
                                << int(underlined ? QTextCharFormat::WaveUnderline
                                                  : QTextCharFormat::NoUnderline)
                                << QString(message);
        };
        row("bus", "Start", QColor(0, 0, 255), false, "");
        row("value keeps its command's colour", "0x90", QColor(0, 0, 255), false, "");
        row("speed", "Speed", QColor(255, 0, 0), false, "");
        row("delay", "Delaym", QColor(0, 192, 0), false, "");
        row("output", "ReadInt", text, false, "");
        row("supply", "SetV", QColor(192, 64, 0), false, "");
        row("lines", "SCL?", QColor(192, 0, 192), false, "");
        row("comment", ";sensor", QColor(128, 128, 128), false, "");
        row("blank-led line", "Stop", QColor(128, 128, 128), true,
            "the line starts with a blank, so it is a comment and \"Stop\" is not sent");
        row("hex read as decimal", "91", QColor(0, 0, 255), true,
            "Write 91 is read as decimal, so it sends 0x5B; hex takes \"0x\" (Write 0x91)");
        row("value from the next line", "Delayu", QColor(0, 192, 0), true,
            "Delayu has no value on its line, so it takes \"GP0hi\" from line 11");
        row("unidentified", "Wrte", QColor(), true, "Unidentified element encountered: \nWrte");
    }
    void queueColoursAndMarks() {
        QFETCH(QString, word);
        QFETCH(QColor, colour);
        QFETCH(int, underline);
        QFETCH(QString, message);
        WindowFixture f;
        auto* queue = f.window->control<QPlainTextEdit>("commands");
        queue->setPlainText(";sensor\nStart\nWrite 0x90\nWrite 91\nSpeed\nReadInt\nDelaym 5\n"
                            "SetV 5.0\nSCL?\nDelayu\nGP0hi\n Stop\nWrte 1\n");
        f.window->queueMarks()->refresh();
        const QString element = "A-Za-z0-9_?;./\\[\\]";
        const int at = queue->toPlainText().indexOf(QRegularExpression(
            "(?<![" + element + "])" + QRegularExpression::escape(word) + "(?![" + element + "])"));
        QVERIFY(at >= 0);
        const QTextBlock block = queue->document()->findBlock(at);
        QTextCharFormat format;
        for (const auto& range : block.layout()->formats())
            if (at - block.position() >= range.start &&
                at - block.position() < range.start + range.length)
                format.merge(range.format);
        if (colour == QApplication::palette().color(QPalette::Text))
            QVERIFY(!format.hasProperty(QTextFormat::ForegroundBrush));
        else if (colour.isValid())
            QCOMPARE(format.foreground().color(), colour);
        QCOMPARE(int(format.underlineStyle()), underline);
        QCOMPARE(f.window->queueMarks()->messageAt(at + 1), message);
    }

    // Marking follows typing after a pause and never touches the text, the
    // cursor or the undo history.
    void queueMarksLeaveTheTextAlone() {
        WindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        auto* queue = f.window->control<QPlainTextEdit>("commands");
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
        QVERIFY(!queue->document()->isModified() || queue->document()->isUndoAvailable());
        // The queue the marks read is the one the compiler is given.
        queue->setPlainText("Start\u2028Stop\u00a0x\nSetV\n");
        QCOMPARE(app::QueueMarks::queueOf(queue->document()).text,
                 compiler::typedQueue(queue->toPlainText().toStdString()));
    }

    // A session recorded: a line per frame as it passes, a lost port, and a
    // write that fails stops the recording, never the window.
    void recordSession() {
        WindowFixture f;
        f.window->loaddirectory = f.dir.path();
        f.choosePort(8);
        QAction* record = action(f, "Record session to file\u2026");
        answerFileDialog(f.dir.path(), "session.txt");
        record->trigger();
        QCOMPARE(record->text(), "Stop recording");
        f.window->cmmd_Click(18); // Ping
        f.port.deliver("!000001530003\r!00193300000\r!0020");
        f.port.deliver("1\r");
        f.port.fail("COM8 (/dev/pts/3) stopped working");
        const QString time = R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3})";
        const QStringList lines =
            QString::fromLatin1(contents(f.dir.filePath("session.txt"))).split("\r\n");
        const QStringList expected = {
            " > \\$0000\\[cr\\]",
            " > \\$0019\\[cr\\]",
            " < !000001530003\\[cr\\]\t\\[Firmware Version:\\] \\| \\[0153\\.00\\.03       \\] \\| "
            "\\[Tamb master only \\]",
            " < !00193300000\\[cr\\]\t\\[VSlave:  3\\.300v  \\] \\| \\[Speed:   Slow    \\] \\| "
            "\\[OnEdge:  Off     \\] \\| \\[Edge:    Hi-to-Lo\\]",
            " < !00201\\[cr\\]\t\\[Int\\]\t1",
            " \\* COM8 \\(/dev/pts/3\\) stopped working",
            ""};
        QCOMPARE(lines.size(), expected.size());
        for (int i = 0; i < expected.size() - 1; ++i)
            QVERIFY2(QRegularExpression("^" + time + expected[i] + "$").match(lines[i]).hasMatch(),
                     qPrintable(lines[i]));
#ifdef Q_OS_LINUX
        f.alerts.clear();
        f.choosePort(8);
        record->trigger(); // stops
        answerFileDialog("/dev", "full");
        record->trigger();
        f.window->cmmd_Click(19);
        QCOMPARE(f.alerts.last().title, "Recording stopped");
        QVERIFY2(f.alerts.last().message.contains("/dev/full"),
                 qPrintable(f.alerts.last().message));
        QCOMPARE(record->text(), "Record session to file\u2026");
        f.window->cmmd_Click(20);
        QCOMPARE(f.port.written.last(), "$0014\r"); // the window goes on
#endif
    }

    void saveActivity() {
        WindowFixture f;
        f.window->loaddirectory = f.dir.path();
        f.window->process(255, "!0010SW90aP\r");
        answerFileDialog(f.dir.path(), "activity.txt");
        action(f, "Save activity as\u2026")->trigger();
        QCOMPARE(contents(f.dir.filePath("activity.txt")),
                 QByteArray("START\r\nWRITE\t0x90\tAck\r\nSTOP\r\n"));
    }

    // After the port went away, the same name opens again by itself when it
    // comes back; a port the user chose meanwhile ends that.
    void aLostPortComesBack() {
        WindowFixture f;
        f.choosePort(8);
        f.port.fail("COM8 stopped working");
        QCOMPARE(f.text("portselect"), "");
        QCOMPARE(f.window->control<QComboBox>("portselect")->currentText(), "Select");
        QVERIFY(f["portselect"]->accessibleDescription().startsWith("COM8 went away"));
        f.port.presentNames << "COM8";
        QTRY_COMPARE_WITH_TIMEOUT(f.port.opened.size(), 2, 3000);
        QCOMPARE(f.window->control<QComboBox>("portselect")->currentText(), "COM8");
        QVERIFY(f.window->portopen());
        QCOMPARE(f["portselect"]->accessibleDescription(), "");

        f.port.presentNames.clear();
        f.port.fail("COM8 stopped working");
        f.choosePort(0);
        f.port.presentNames << "COM8";
        QTest::qWait(1500);
        QCOMPARE(f.port.opened.size(), 2);
        QVERIFY(!f.window->portopen());
    }

    void helpView() {
        WindowFixture f;
        f.window->show();
        auto* help = f.window->control<QPlainTextEdit>("helpbox");
        QCOMPARE(help->toPlainText(),
                 QString::fromStdString(help::helpDocument()).replace("\r\n", "\n"));
        QVERIFY(help->toPlainText().startsWith("Corvi I2C control utility V" +
                                               f.window->windowTitle().section(" V", 1) + " "));
        QTest::mouseClick(f["Command3"], Qt::LeftButton);
        QVERIFY(help->isVisible());
        QCOMPARE(help->geometry(), QRect(200, 20, 453, 469));
        // No table row wraps at the view's width; prose does.
        auto* layout = qobject_cast<QPlainTextDocumentLayout*>(help->document()->documentLayout());
        int rows = 0, wrapped = 0;
        for (QTextBlock b = help->document()->begin(); b.isValid(); b = b.next()) {
            layout->ensureBlockLayout(b);
            if (b.text().contains('\t')) {
                ++rows;
                QVERIFY2(b.layout()->lineCount() == 1, qPrintable(b.text()));
            } else if (b.layout()->lineCount() > 1) {
                ++wrapped;
            }
        }
        QCOMPARE(rows, 93);
        QVERIFY(wrapped > 10);
        QVERIFY(help->font().pointSizeF() >= 6.5);
        doubleClick(help);
        QVERIFY(!help->isVisible());
        QTest::mouseClick(f["Command3"], Qt::LeftButton);
        QTest::mouseClick(f["Command3"], Qt::LeftButton);
        QVERIFY(!help->isVisible());
    }

    void connectorView() {
        WindowFixture f;
        f.window->show();
        QWidget* connector = f["connection"];
        QWidget* help = f["helpbox"];
        QTest::mouseClick(f["Command3"], Qt::LeftButton);
        QTest::mouseClick(f["Command5"], Qt::LeftButton);
        QVERIFY(connector->isVisible() && !help->isVisible());
        QCOMPARE(connector->geometry(), QRect(200, 20, 453, 469));
        QCOMPARE(connector->findChild<QLabel*>("Label5(7)")->text(), "INT");
        // A click on a label does nothing; one on a circle hides the drawing.
        QTest::mouseClick(connector->findChild<QLabel*>("Label4(0)"), Qt::LeftButton);
        QTest::mouseClick(connector->findChild<QLabel*>("Label5(3)"), Qt::LeftButton);
        QVERIFY(connector->isVisible());
        const QWidget* pin = connector->findChild<QWidget*>("Shape1(5)");
        QTest::mouseClick(connector, Qt::LeftButton, {}, pin->geometry().topLeft() + QPoint(2, 12));
        QVERIFY(!connector->isVisible());
        QTest::mouseClick(f["Command5"], Qt::LeftButton);
        QTest::mouseClick(f["Command3"], Qt::LeftButton);
        QVERIFY(!connector->isVisible() && help->isVisible());
        QTest::mouseClick(f["Command5"], Qt::LeftButton);
        QTest::mouseClick(f["Command5"], Qt::LeftButton);
        QVERIFY(!connector->isVisible() && !help->isVisible());
    }

    void alertDialog_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("button"); // -1: the close box
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("centred");
        QTest::newRow("ok") << 0 << 0 << true << true;
        QTest::newRow("cancel") << 0 << 1 << false << true;
        QTest::newRow("close box") << 1 << -1 << false << false;
        QTest::newRow("left ok") << 1 << 0 << true << false;
    }
    void alertDialog() {
        QFETCH(int, style);
        QFETCH(int, button);
        QFETCH(bool, answer);
        QFETCH(bool, centred);
        bool checked = false;
        QTimer::singleShot(0, [&] {
            auto* alert = qobject_cast<dialogs::Alert*>(QApplication::activeModalWidget());
            QVERIFY(alert);
            checked = true;
            QCOMPARE(alert->windowTitle(), "I2C processor error");
            auto* message = alert->findChild<QPlainTextEdit*>("message");
            QCOMPARE(message->toPlainText(), "Unidentified element encountered: \nWrte");
            QCOMPARE(message->document()->defaultTextOption().alignment(),
                     centred ? Qt::AlignHCenter : Qt::AlignLeft);
            QVERIFY(!alert->findChild<QRadioButton*>("respond")->isChecked());
            if (button < 0)
                alert->close();
            else
                QTest::mouseClick(
                    alert->findChild<QPushButton*>(QStringLiteral("Command1(%1)").arg(button)),
                    Qt::LeftButton);
        });
        QCOMPARE(dialogs::showalert(nullptr, "I2C processor error",
                                    "Unidentified element encountered: \r\nWrte", style),
                 answer);
        QVERIFY(checked);
    }
    void alertOtherStylesShowNothing() {
        for (int style : {-1, 2, 255})
            QVERIFY(!dialogs::showalert(nullptr, "t", "m", style));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
