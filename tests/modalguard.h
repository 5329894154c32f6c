#pragma once
// Fails a test that leaves a modal dialog open, at once instead of at ctest's
// timeout: a dialog still shown after a few seconds is closed and named.
#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QTimer>

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
