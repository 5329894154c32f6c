// The alert dialog and the replace question, answered as a user would.
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
    // OK answers true; Cancel, Escape and the close box false. Style 0
    // centres the message, 1 aligns it left, any other shows nothing.
    void answers_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("answer");
        QTest::newRow("ok") << 0 << "ok" << true;
        QTest::newRow("cancel, left") << 1 << "cancel" << false;
        QTest::newRow("escape") << 0 << "escape" << false;
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
            QCOMPARE(message->toPlainText(), "Unidentified element encountered: \nWrte");
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

    // "Replace it?": OK replaces, Append (where offered) appends, anything
    // else keeps the file.
    void replaceQuestion_data() {
        QTest::addColumn<bool>("append");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("answer");
        using dialogs::ReplaceAnswer;
        QTest::newRow("ok") << false << "ok" << int(ReplaceAnswer::Replace);
        QTest::newRow("append") << true << "append" << int(ReplaceAnswer::Append);
        QTest::newRow("escape") << true << "escape" << int(ReplaceAnswer::Cancel);
    }
    void replaceQuestion() {
        QFETCH(bool, append);
        QFETCH(QString, how);
        QFETCH(int, answer);
        ModalGuard guard;
        QString asked;
        whenShown<dialogs::Alert>([&](dialogs::Alert& alert) {
            asked = alert.windowTitle() + ": " +
                    alert.findChild<QPlainTextEdit*>("message")->toPlainText();
            QPushButton* third = button(alert, dialogs::Alert::kThirdChoice);
            QCOMPARE(third != nullptr, append);
            if (how == "append")
                QTest::mouseClick(third, Qt::LeftButton);
            else
                endDialog(alert, how, button(alert, 0), button(alert, 1));
        });
        QCOMPARE(int(dialogs::askReplace(nullptr, "Record", "/tmp/s.txt", append)), answer);
        QCOMPARE(asked, "Record: /tmp/s.txt exists. Replace it?");
    }
};

QTEST_MAIN(TestAlert)
#include "tst_alert.moc"
