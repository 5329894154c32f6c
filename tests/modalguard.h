#pragma once
// Dialogs in window tests: the program's file dialog answered, and a guard
// that fails a test leaving a modal dialog open, at once instead of at
// ctest's timeout (a dialog still shown after three seconds is closed).
#include "dialogs/selectfile.h"

#include <functional>

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QTimer>

// The next dialog of that class to show, handed to act once shown (polled:
// it may be shown only after other dialogs have come and gone). Nothing
// happens when none shows within three seconds; the test then fails on what
// did not happen.
template <class Dialog> void whenShown(std::function<void(Dialog&)> act) {
    auto* poll = new QTimer;
    auto* since = new QElapsedTimer;
    since->start();
    QObject::connect(poll, &QTimer::timeout, [=] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        const bool shown = dialog && dialog->isVisible();
        if (!shown && since->elapsed() < 3000) return;
        poll->stop();
        poll->deleteLater();
        delete since;
        if (shown) act(*dialog);
    });
    poll->start(5);
}

// The program's file dialog, when it shows next, answered with a name and OK.
inline void answerFileDialog(const QString& name) {
    whenShown<dialogs::SelectFile>([=](dialogs::SelectFile& dialog) {
        dialog.setFileName(name);
        QTest::mouseClick(dialog.controls.value("okbutton"), Qt::LeftButton);
    });
}

// Ends a dialog as a user may: "ok", "cancel", "escape" or "close box".
inline void endDialog(QDialog& dialog, const QString& how, QWidget* ok, QWidget* cancel) {
    if (how == "ok") QTest::mouseClick(ok, Qt::LeftButton);
    if (how == "cancel") QTest::mouseClick(cancel, Qt::LeftButton);
    if (how == "escape") QTest::keyClick(&dialog, Qt::Key_Escape);
    if (how == "return") QTest::keyClick(&dialog, Qt::Key_Return);
    if (how == "close box") dialog.close();
}

class ModalGuard {
  public:
    ModalGuard() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal != m_seen) {
                m_seen = modal;
                m_since.start();
            } else if (modal && m_since.elapsed() > 3000) {
                QTest::qFail(qPrintable("a dialog was left open: " + modal->windowTitle()),
                             __FILE__, __LINE__);
                modal->close();
            }
        });
        m_timer.start(250);
    }

  private:
    QTimer m_timer;
    QPointer<QWidget> m_seen;
    QElapsedTimer m_since;
};
