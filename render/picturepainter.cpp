#include "render/picturepainter.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace render {

namespace {

QColor colourOf(const std::optional<controls::Rgb>& rgb, const PictureStyle& style) {
    if (!rgb) return style.text;
    return style.readable(QColor(rgb->red, rgb->green, rgb->blue));
}

QString text(const std::string& s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

} // namespace

QFont pictureFont() {
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(int(bus::kFontPixels));
    return font;
}

void paintRows(QPainter& painter, const bus::Picture& picture, std::size_t first, std::size_t last,
               double dy, const PictureStyle& style) {
    const auto& rows = picture.rows();
    last = std::min(last, rows.size());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(pictureFont());
    for (std::size_t i = first; i < last; ++i) {
        const bus::Row& row = rows[i];
        for (const bus::Box& box : row.boxes) {
            const QColor colour = colourOf(box.colour, style);
            const QRectF rect(box.x + 0.5, box.y + dy + 0.5, box.width, bus::kBoxHeight);
            const double radius = box.kind == bus::BoxKind::Condition ? 9 : 2;
            painter.setPen(QPen(colour, 1));
            painter.setBrush(box.alarm ? style.alarm : style.page);
            painter.drawRoundedRect(rect, radius, radius);
            painter.setPen(box.alarm ? QColor(Qt::black) : colour);
            painter.drawText(rect, Qt::AlignCenter, text(box.label));
        }
        painter.setPen(style.text);
        for (std::size_t m = 0; m < row.meanings.size(); ++m)
            painter.drawText(QPointF(bus::kMargin, row.captionY(m) + dy + bus::kFontPixels),
                             text(row.meanings[m]));
    }
    painter.restore();
}

QSize pictureSize(const bus::Picture& picture, std::size_t first, std::size_t last) {
    const auto page = bus::pageSize(picture, first, last);
    return {int(page.width), int(page.height)};
}

std::optional<QByteArray> pictureFile(const bus::Picture& picture, std::size_t first,
                                      std::size_t last, std::string_view format) {
    if (format == "svg") {
        const std::string svg = bus::svgOf(picture, first, last);
        return QByteArray(svg.data(), qsizetype(svg.size()));
    }
    if (format != "png") return std::nullopt;
    QImage image(pictureSize(picture, first, last), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        const auto& rows = picture.rows();
        const double top = first < std::min(last, rows.size()) ? rows[first].top : 0;
        paintRows(painter, picture, first, last, bus::kMargin - top, PictureStyle{});
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return std::nullopt;
    return bytes;
}

} // namespace render
