// The window driven from the keyboard alone.
#include "controls/tokenmenu.h"
#include "windowfixture.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QtTest>

namespace {

QString focusName() {
    QWidget* w = QApplication::focusWidget();
    return w ? w->objectName() : QStringLiteral("(none)");
}

void key(int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(k), modifiers);
}

// Where Tab stops, in order, from the port list round to it again: Ctrl+Tab
// where Tab is a character.
QStringList tabWalk(WindowFixture& f, bool backwards) {
    QStringList stops;
    f["portselect"]->setFocus();
    for (int i = 0; i < 100; ++i) {
        const bool inQueue = QApplication::focusWidget() == f["commands"];
        key(backwards ? Qt::Key_Backtab : Qt::Key_Tab,
            (inQueue ? Qt::ControlModifier : Qt::NoModifier) |
                (backwards ? Qt::ShiftModifier : Qt::NoModifier));
        stops << focusName();
        QWidget* w = QApplication::focusWidget();
        // Seen: shown, and wholly inside the window.
        if (!w || !w->isVisible() ||
            !f.window->rect().contains(QRect(w->mapTo(f.window.get(), QPoint()), w->size())))
            return stops << "(out of sight)";
        if (stops.last() == "portselect") break;
    }
    return stops;
}

} // namespace

class TestWindowKeys : public QObject {
    Q_OBJECT
  private slots:
    // Tab and Shift+Tab reach every control in sight, in the layout's order,
    // from every one of them; the token menu is one stop.
    void tabOrder() {
        WindowFixture f;
        f.show();
        QStringList order = {"oneclick", "cmmd(255)"};
        for (int i = 0; i < 18; ++i)
            order << QStringLiteral("cmmd(%1)").arg(i);
        order << QString("Command4 Command3 Command5 commands i2cparser Combo2 Combo1 txbufferbox "
                         "rxbufferbox oneclicktokens Label2(0) tokenvalue(0) tokenvalue(1) "
                         "tokenvalue(2) cmmd(19) cmmd(20) cmmd(26) cmmd(21) cmmd(22) cmmd(27) "
                         "cmmd(23) cmmd(24) cmmd(25) cmmd(18) portselect")
                     .split(' ');
        QCOMPARE(tabWalk(f, false), order);
        QStringList back(order.rbegin() + 1, order.rend());
        QCOMPARE(tabWalk(f, true), back << "portselect");
        // Tab is a character in the queue; Ctrl+Return sends it.
        f.queueBox()->setFocus();
        f.queueBox()->moveCursor(QTextCursor::End);
        key(Qt::Key_Tab);
        QVERIFY(f.queue().endsWith('\t'));
        QCOMPARE(focusName(), "commands");
        f.choosePort(1);
        f.queueBox()->setFocus();
        key(Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(f.port.written, QByteArrayList{"$00100275\r"});
    }

    // Help and the connector cover the queue and the view: the focus goes to
    // the help (or to the connector's button) and comes back after Esc; Tab
    // does not reach what lies under them. F1 again hides the help.
    void coveredControls() {
        // Where the focus was, what shows the cover, and what takes the focus.
        const std::tuple<QString, QString, QString> ways[] = {
            {"commands", "F1", "helpbox"},
            {"i2cparser", "Command3", "helpbox"},
            {"i2cparser", "Command5", "Command5"}};
        for (const auto& [from, how, taker] : ways) {
            WindowFixture f;
            f.show();
            f[from]->setFocus();
            if (how == "F1")
                key(Qt::Key_F1);
            else
                f.get<QPushButton>(how)->click();
            QCOMPARE(focusName(), taker);
            const QStringList walk = tabWalk(f, false);
            QVERIFY2(!walk.contains("commands") && !walk.contains("i2cparser") &&
                         walk.contains("helpbox") == (taker == "helpbox"),
                     qPrintable(walk.join(' ')));
            f[taker]->setFocus();
            key(Qt::Key_Escape);
            QVERIFY(!f["helpbox"]->isVisible() && !f["connection"]->isVisible());
            QCOMPARE(focusName(), from);
            key(Qt::Key_F1);
            key(Qt::Key_F1);
            QVERIFY(!f["helpbox"]->isVisible());
            QCOMPARE(focusName(), from);
        }
    }

    // The token menu without a mouse (Tab reaches it): arrows move with a
    // visible mark, Return or Space act as a click, Right reaches a value box
    // and Return there clicks its entry; with One Click Tokens each is sent
    // at once.
    void tokenMenu() {
        for (const bool oneClick : {false, true}) {
            WindowFixture f;
            f.show();
            f.choosePort(1);
            f.get<QCheckBox>("oneclicktokens")->setChecked(oneClick);
            f.queueBox()->setPlainText("Start\n");
            f["oneclicktokens"]->setFocus();
            key(Qt::Key_Tab);
            for (int i = 0; i < 3; ++i)
                key(Qt::Key_Down);
            auto* nack = f.get<QLabel>("Label2(5)");
            QCOMPARE(focusName(), "Label2(5)");
            QVERIFY(nack->backgroundRole() == QPalette::Highlight && nack->autoFillBackground());
            key(Qt::Key_Return);
            QCOMPARE(f.queue(), oneClick ? "Read   Nack\n" : "Start\nRead   Nack\n");
            key(Qt::Key_Up);
            key(Qt::Key_Up);
            QCOMPARE(nack->backgroundRole(), QPalette::Window);
            key(Qt::Key_Right);
            auto* value = f.get<QLineEdit>("tokenvalue(0)");
            QCOMPARE(focusName(), "tokenvalue(0)");
            QTRY_COMPARE(value->selectedText(), "AA");
            QTest::keyClicks(value, "5a");
            key(Qt::Key_Return);
            QCOMPARE(value->text(), "5A");
            QCOMPARE(f.queue(), oneClick ? "Write  0x5A\n" : "Start\nRead   Nack\nWrite  0x5A\n");
            key(Qt::Key_Backtab, Qt::ShiftModifier); // back to the entry last used
            QCOMPARE(focusName(), "Label2(1)");
            key(Qt::Key_End);
            key(Qt::Key_Space);
            key(Qt::Key_Home);
            QCOMPARE(focusName(), "Label2(0)");
            QCOMPARE(f.queue().section('\n', -2, -2), "SDA?");
            const QByteArrayList sent = {"$00100203\r", "$001003015A\r", "$00100292\r"};
            QCOMPARE(f.port.written, oneClick ? sent : QByteArrayList());
        }
    }

    // A value box takes two hex digits however they come; the editing keys
    // and the clipboard work as in any line edit.
    void valueBoxes() {
        WindowFixture f;
        f.show();
        auto* box = f.get<QLineEdit>("tokenvalue(0)");
        box->setFocus();
        QClipboard* clipboard = QApplication::clipboard();
        const std::pair<const char*, const char*> pastes[] = {{"zz", "AA"}, {"b1", "B1"}};
        for (const auto& [pasted, shown] : pastes) {
            box->selectAll();
            clipboard->setText(pasted);
            key(Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(box->text(), QString(shown));
        }
        key(Qt::Key_A, Qt::ControlModifier);
        key(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->text(), "B1");
        key(Qt::Key_Home);
        key(Qt::Key_Left); // at its start: back to the entry
        QCOMPARE(focusName(), "Label2(1)");
    }
};

QTEST_MAIN(TestWindowKeys)
#include "tst_windowkeys.moc"
