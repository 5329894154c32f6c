#pragma once
// Turns SIGINT, SIGTERM and SIGHUP into a Qt signal, so that a command ends
// through its normal path and closes its port: a pseudo-terminal whose
// client died with the port open stays in exclusive mode, and refuses every
// later client that is not root. The window closes on them as on a close
// request, which saves its settings. Elsewhere than POSIX it does nothing.
#include <QObject>

class QSocketNotifier;

namespace platform {

class StopSignals : public QObject {
    Q_OBJECT
  public:
    // Catches the signals while it lives; one instance at a time.
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

    // The instance that catches them now, or nullptr.
    static StopSignals* current();
    // The signal that came, 0 while none did.
    int raised() const { return m_raised; }
    // The same, also when it came while no event loop ran.
    int poll();
    // Readable once a signal has come, for a wait outside the event loop; -1
    // when there is none.
    static int descriptor();

  signals:
    void stopped();

  private:
    void onReadable();

    QSocketNotifier* m_notifier = nullptr;
    int m_raised = 0;
};

} // namespace platform
