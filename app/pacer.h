#pragma once
// Brings changes to the screen at the pace of the eye, not of the line:
// at once after a quiet spell, so a single answer shows without delay, and
// at most once an interval while changes keep coming, since every showing
// costs a paint and a flush to the display.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>

namespace app {

class Pacer : public QObject {
    Q_OBJECT
  public:
    Pacer(std::chrono::milliseconds interval, std::function<void()> show,
          QObject* parent = nullptr);

    // Something changed: shown now, or once the interval since the last
    // showing has passed.
    void request();
    // Shows now, whatever is waiting.
    void showNow();
    int showings() const { return m_showings; }

  private:
    std::chrono::milliseconds m_interval;
    std::function<void()> m_show;
    QTimer m_timer;
    QElapsedTimer m_sinceShown;
    int m_showings = 0;
};

} // namespace app
