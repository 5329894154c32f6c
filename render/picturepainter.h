#pragma once
// The bus picture (bus::Picture) painted: on a widget in the window's
// palette, or on a white page for a file, as its SVG shows it.
#include "bus/picture.h"

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QPixmap>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

class QPainter;

namespace render {

struct PictureStyle {
    QColor page = Qt::white;
    QColor text = Qt::black;
    QColor alarm = QColor(0xff, 0xd0, 0xd0); // behind a Nack
    // A group's colour as it reads on the page (the window lightens it on a dark one).
    std::function<QColor(const QColor&)> readable = [](const QColor& c) { return c; };
};

// The fixed-pitch face the layout's widths are measured for.
QFont pictureFont();

// Paints rows [first, last) moved down by dy pixels. Each kind of box is
// drawn once and kept as a picture of its own: a streaming picture repeats
// the same few, and copying them costs a fraction of drawing.
class PicturePainter {
  public:
    void paint(QPainter& painter, const bus::Picture& picture, std::size_t first, std::size_t last,
               double dy, const PictureStyle& style);

  private:
    const QPixmap& sprite(const bus::Box& box, const QColor& colour, const PictureStyle& style,
                          qreal ratio);

    QFont m_font = pictureFont();
    std::unordered_map<std::string, QPixmap> m_sprites;
    QColor m_page; // the sprites' background
};

// Size of rows [first, last) with their margins, as svgOf gives it.
QSize pictureSize(const bus::Picture& picture, std::size_t first, std::size_t last);

// The rows as a file's bytes: "svg" or "png"; nullopt for another format.
std::optional<QByteArray> pictureFile(const bus::Picture& picture, std::size_t first,
                                      std::size_t last, std::string_view format);

} // namespace render
