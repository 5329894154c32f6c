#pragma once
// Dialogs in window tests: the program's file dialog answered, and a guard
// that fails a test leaving a modal dialog open, at once instead of at
// ctest's timeout (a dialog still shown after three seconds is closed).
#include "dialogs/selectfile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QTimer>

// The program's file dialog, when it shows next, answered with a name (in a
// folder, when one is given) and OK.
inline void answerFileDialog(const QString& name, const QString& folder = {}) {
    QTimer::singleShot(0, [=] {
        auto* dialog = qobject_cast<dialogs::SelectFile*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        if (!folder.isEmpty()) dialog->setDirFolder(folder);
        dialog->setFileName(name);
        QTest::mouseClick(dialog->controls.value("okbutton"), Qt::LeftButton);
    });
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
