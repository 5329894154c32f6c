#pragma once
// The bus as a picture (bus::Picture) in the window: over the queue and the
// activity view, fed with every frame the view is, shown at the views' pace.
// It follows the newest strip unless the user has scrolled back, and keeps
// the strips in sight while old ones go.
//
// Hovering a box shows what it says; the keys walk the boxes (arrows, Home,
// End, Page Up and Down) and show the same, which is also the view's
// accessible description, so a screen reader says it. The context menu
// exports the strips in sight.
#include "bus/picture.h"
#include "render/picturepainter.h"

#include <QAbstractScrollArea>

#include <functional>
#include <string_view>
#include <vector>

namespace app {

class PictureView : public QAbstractScrollArea {
    Q_OBJECT
  public:
    // width: where the strips wrap.
    explicit PictureView(double width, QWidget* parent = nullptr);

    void addFrame(std::string_view frame) { m_picture.addFrame(frame); }
    void clearPicture();
    // Brings what was added to the screen, when it is shown.
    void flush();

    const bus::Picture& picture() const { return m_picture; }
    // The rows wholly or partly in sight: first, last (excluded).
    std::pair<std::size_t, std::size_t> rowsInSight() const;
    // The box the keys are on: row index, box index; row -1 when none.
    std::pair<int, int> current() const { return {m_row, m_box}; }
    QString currentTip() const;
    // For assistive tools: the strips as text, one line each, lines joined
    // by "\n"; the offset of the current box's label in it; a line's place.
    const QString& pictureText() const;
    int textOffsetOfCurrent() const;
    QRect lineRect(int offset) const;
    // Offered in the context menu.
    void setMenuActions(QList<QAction*> actions) { m_menuActions = std::move(actions); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void updateRange();
    double offset() const; // picture y at the viewport's top
    std::pair<int, int> boxAt(const QPoint& point) const;
    void setCurrent(int row, int box);
    void showCurrent();
    QRectF boxRect(int row, int box) const; // in the viewport

    bus::Picture m_picture;
    render::PicturePainter m_painter;
    render::PictureStyle m_style; // the palette's, made when it changes
    std::uint64_t m_shown = 0;    // the picture's revision on screen
    bool m_following = true;
    double m_top = 0; // picture y at the viewport's top, while scrolled back
    void forgetLostCurrent() const;
    mutable int m_row = -1;
    mutable int m_box = -1;
    QList<QAction*> m_menuActions;
    mutable QString m_text;
    mutable std::vector<int> m_lineStarts;
    mutable std::uint64_t m_textRevision = ~std::uint64_t(0);
};

} // namespace app
