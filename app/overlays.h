#pragma once
// The help (helpbox), the connector drawing (connection) and the bus picture
// stand over the queue and the activity view, one at a time. What they cover takes no focus
// meanwhile: the help takes it (the connector's button, for the drawing) and
// gives it back when it goes, unless the user has gone elsewhere. A click on
// the drawing's frame, outline or circles hides it, as does a double-click
// in the help.
#include <QObject>
#include <QPointer>

#include <array>

class QWidget;

namespace app {

struct OverlayWidgets {
    QWidget* helpbox;
    QWidget* connection;
    QWidget* picture;
    std::array<QWidget*, 2> covered; // commands, i2cparser
    QWidget* helpButton;             // Command3
    QWidget* connectorButton;        // Command5
};

class Overlays : public QObject {
    Q_OBJECT
  public:
    explicit Overlays(const OverlayWidgets& widgets, QObject* parent = nullptr);

    // Shows the view, or hides it when it is shown.
    void toggle(QWidget* view);
    void hide();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void show(QWidget* view);

    OverlayWidgets m_w;
    QPointer<QWidget> m_uncovered; // had the focus before the help covered it
};

} // namespace app
