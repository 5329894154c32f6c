// The alert dialog, answered as a user would (tst_windowfiles answers the
// replace question).
#include "accessiblenames.h"
#include "dialogs/alert.h"
#include "modalguard.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

namespace {

QPushButton* button(dialogs::Alert& alert, int index) {
    return alert.findChild<QPushButton*>(QStringLiteral("Command1(%1)").arg(index));
}

} // namespace

class TestAlert : public QObject {
    Q_OBJECT
  private slots:
    // A screen reader finds every control named, the message as text.
    void namesForScreenReaders() {
        dialogs::Alert alert;
        verifyNamedControls(&alert);
    }

    // OK and Return answer true; Cancel, Escape and the close box false. Style 0
    // centres the message, 1 aligns it left, any other shows nothing.
    void answers_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("answer");
        QTest::newRow("ok") << 0 << "ok" << true;
        QTest::newRow("cancel, left") << 1 << "cancel" << false;
        QTest::newRow("escape") << 0 << "escape" << false;
        QTest::newRow("return") << 0 << "return" << true;
        QTest::newRow("close box") << 1 << "close box" << false;
    }
    void answers() {
        QFETCH(int, style);
        QFETCH(QString, how);
        QFETCH(bool, answer);
        ModalGuard guard;
        bool shown = false;
        whenShown<dialogs::Alert>([&](dialogs::Alert& alert) {
            shown = true;
            auto* message = alert.findChild<QPlainTextEdit*>("message");
            QCOMPARE(alert.windowTitle() + ": " + message->toPlainText(),
                     "I2C processor error: Unidentified element encountered: \nWrte");
            QCOMPARE(message->document()->defaultTextOption().alignment(),
                     style == 0 ? Qt::AlignHCenter : Qt::AlignLeft);
            QVERIFY(!button(alert, dialogs::Alert::kThirdChoice));
            endDialog(alert, how, button(alert, 0), button(alert, 1));
        });
        QCOMPARE(dialogs::showalert(nullptr, "I2C processor error",
                                    "Unidentified element encountered: \r\nWrte", style),
                 answer);
        QVERIFY(shown);
        QVERIFY(!dialogs::showalert(nullptr, "t", "m", 2));
    }
};

QTEST_MAIN(TestAlert)
#include "tst_alert.moc"
