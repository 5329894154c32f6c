#pragma once
// A window whose content has one fixed size, on any screen. Where the
// screen's free area (at its scale) holds the content, the window is exactly
// that size and cannot be resized; where it does not, the window fits the
// free area, may grow back up to the content's size, and the content scrolls
// inside, following the keyboard focus. Title bar and controls are never
// placed off the free area.
#include <QObject>
#include <QSize>

class QScrollArea;
class QWidget;

namespace app {

class ScreenFit : public QObject {
    Q_OBJECT
  public:
    // content becomes the scroll area's; the area fills window.
    ScreenFit(QWidget* window, QWidget* content);

    QScrollArea* area() const { return m_area; }
    // Sizes and places the window for the screen it is on now.
    void fit();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QSize frameExtra() const;
    QWidget* m_window;
    QWidget* m_content;
    QScrollArea* m_area;
    bool m_placed = false;
};

} // namespace app
