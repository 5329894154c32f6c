#pragma once
// The port list (portselect) and what it says about the port: the user's
// choice opens a port through the keeper; a failure to open, or a port that
// stops working, is told in an alert and the list goes back to "Select".
// A lost port is watched for; the list's description says until when. Given
// something to send with no port open, the list is marked and a note beside
// it says so for a few seconds. Tool tips name the device behind an entry.
#include "link/portkeeper.h"

#include <QObject>
#include <QTimer>

#include <functional>

class QComboBox;
class QLabel;

namespace app {

class PortPanel : public QObject {
    Q_OBJECT
  public:
    using Alert = std::function<void(const QString& title, const QString& message)>;

    PortPanel(QComboBox* portselect, serial::PortKeeper& keeper, Alert alert,
              QObject* parent = nullptr);

    void portselect_Click();
    // Something was given to send and no port is open.
    void showNothingSent();
    // The note, for tests and screen readers.
    QLabel* notice() const { return m_notice; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void lost(const QString& name, const QString& description);
    void reopened(const QString& name);
    void markNothingSent(bool marked);
    QString watchText() const;
    QString portText() const;
    void refreshDescription();
    void refreshTips();

    QComboBox* m_portselect;
    QObject* m_popup;
    serial::PortKeeper& m_keeper;
    Alert m_alert;
    QLabel* m_notice;
    QTimer m_noticeTimer;
};

} // namespace app
