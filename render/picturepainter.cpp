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

static void drawBox(QPainter& painter, const bus::Box& box, const QRectF& rect,
                    const QColor& colour, const PictureStyle& style) {
    painter.setPen(QPen(colour, 1));
    painter.setBrush(box.alarm ? style.alarm : style.page);
    if (box.kind == bus::BoxKind::Condition) {
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.drawRoundedRect(rect, 9, 9);
        painter.setRenderHint(QPainter::Antialiasing, false);
    } else {
        painter.drawRect(rect);
    }
    painter.setPen(box.alarm ? QColor(Qt::black) : colour);
    painter.drawText(rect, Qt::AlignCenter, text(box.label));
}

const QPixmap& PicturePainter::sprite(const bus::Box& box, const QColor& colour,
                                      const PictureStyle& style, qreal ratio) {
    std::string key = box.label;
    key += char(box.kind == bus::BoxKind::Condition) + char(box.alarm) * 2;
    key += std::to_string(colour.rgba()) + ":" + std::to_string(box.width);
    auto found = m_sprites.find(key);
    if (found != m_sprites.end()) return found->second;
    // Data bytes alone make hundreds; past a few thousand the texts do not repeat.
    if (m_sprites.size() > 4096) m_sprites.clear();
    QPixmap pixmap(QSize(int(std::ceil(box.width)) + 2, int(bus::kBoxHeight) + 2) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setFont(m_font);
        drawBox(painter, box, QRectF(0.5, 0.5, box.width, bus::kBoxHeight), colour, style);
    }
    return m_sprites.emplace(std::move(key), std::move(pixmap)).first->second;
}

void PicturePainter::paint(QPainter& painter, const bus::Picture& picture, std::size_t first,
                           std::size_t last, double dy, const PictureStyle& style) {
    const auto& rows = picture.rows();
    last = std::min(last, rows.size());
    if (style.page != m_page) {
        m_sprites.clear();
        m_page = style.page;
    }
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    painter.save();
    painter.setFont(m_font);
    for (std::size_t i = first; i < last; ++i) {
        const bus::Row& row = rows[i];
        for (const bus::Box& box : row.boxes)
            painter.drawPixmap(QPointF(box.x, box.y + dy),
                               sprite(box, colourOf(box.colour, style), style, ratio));
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
        PicturePainter().paint(painter, picture, first, last, bus::kMargin - top, PictureStyle{});
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return std::nullopt;
    return bytes;
}

} // namespace render
