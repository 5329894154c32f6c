#pragma once
// The traffic views: the bus activity (i2cparser), the last frames sent and
// received (txbufferbox, rxbufferbox), the log of sent frames (txdata and
// rxdata) and the busy button (comwait), fed by a ModuleSession.
//
// They show what is decoded and sent at most ten times a second while a
// stream lasts and at once after a quiet spell: every showing costs a paint
// and a flush to the display. A double-click empties a box (the two log
// boxes together).
#include "app/pacer.h"
#include "link/modulesession.h"

#include <QObject>
#include <QString>

#include <optional>
#include <string_view>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace app {

class ActivityView;
class PictureView;

inline constexpr int kMaxLoggedFrames = 1000;

struct TrafficWidgets {
    ActivityView* i2cparser;
    QLineEdit* txbufferbox;
    QLineEdit* rxbufferbox;
    QPlainTextEdit* txdata;
    QPlainTextEdit* rxdata;
    QCheckBox* logdata;
    QPushButton* comwait;
    PictureView* picture;
};

class TrafficViews : public QObject {
    Q_OBJECT
  public:
    TrafficViews(const TrafficWidgets& widgets, QObject* parent = nullptr);

    // Shows what the session sends and decodes from now on.
    void follow(serial::ModuleSession& session);
    // What was given to send, sent or not.
    void showGiven(std::string_view frame);
    void clearActivity();
    void showPending() { m_pacer.showNow(); }
    int showings() const { return m_pacer.showings(); }

  private:
    void logSent(std::string_view frame);
    void frameArrived(std::string_view frame, const protocol::FrameEffect& effect);
    void showViews();
    void logFrames(const QString& entries);

    TrafficWidgets m_w;
    Pacer m_pacer;
    std::optional<QString> m_rxPending;
    std::optional<QString> m_txPending;
    QString m_logPending;
};

} // namespace app
