#include "app/pictureview.h"

#include "app/pictureaccessible.h"
#include "app/text.h"
#include "dialogs/form.h"
#include "render/picturepainter.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QHash>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <memory>

namespace app {

PictureView::PictureView(double width, QWidget* parent)
    : QAbstractScrollArea(parent), m_picture(width) {
    installPictureAccessible();
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setAccessibleName(QStringLiteral("Bus picture"));
    viewport()->setBackgroundRole(QPalette::Base);
    // Opaque, so the views it covers are not painted beneath it.
    setAutoFillBackground(true);
    verticalScrollBar()->setSingleStep(int(bus::kLinePitch));
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        m_top = m_picture.top() + value;
        m_following = value >= verticalScrollBar()->maximum();
        viewport()->update();
    });
}

void PictureView::clearPicture() {
    m_picture.clear();
    m_row = m_box = -1;
    m_following = true;
    flush();
}

double PictureView::offset() const {
    const double last = std::max(m_picture.top(), m_picture.bottom() - viewport()->height());
    return m_following ? last : std::clamp(m_top, m_picture.top(), last);
}

void PictureView::updateRange() {
    const double top = m_picture.top();
    const double at = offset();
    QScrollBar* bar = verticalScrollBar();
    const QSignalBlocker quiet(bar);
    bar->setRange(0,
                  int(std::ceil(std::max(0.0, m_picture.bottom() - top - viewport()->height()))));
    bar->setPageStep(viewport()->height());
    bar->setValue(int(std::lround(at - top)));
    m_top = at;
}

// Strips go while the view stands (the bound, a script answer): the box the
// keys were on may have gone with them.
void PictureView::forgetLostCurrent() const {
    const auto first = m_picture.firstRowNumber();
    if (m_row >= 0 &&
        (std::size_t(m_row) < first || std::size_t(m_row) - first >= m_picture.rows().size()))
        m_row = m_box = -1;
}

void PictureView::flush() {
    if (m_picture.revision() == m_shown || !isVisible()) return;
    m_shown = m_picture.revision();
    updateRange();
    viewport()->update();
}

void PictureView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateRange();
}

std::pair<std::size_t, std::size_t> PictureView::rowsInSight() const {
    const auto& rows = m_picture.rows();
    const double top = offset();
    const double bottom = top + viewport()->height();
    const auto first = std::partition_point(
        rows.begin(), rows.end(), [&](const bus::Row& r) { return r.top + r.height <= top; });
    const auto last =
        std::partition_point(first, rows.end(), [&](const bus::Row& r) { return r.top < bottom; });
    return {std::size_t(first - rows.begin()), std::size_t(last - rows.begin())};
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QPalette& p = palette();
    painter.fillRect(viewport()->rect(), p.color(QPalette::Base));
    if (m_style.page != p.color(QPalette::Base) || m_style.text != p.color(QPalette::Text)) {
        m_style.page = p.color(QPalette::Base);
        m_style.text = p.color(QPalette::Text);
        // A handful of colours, each made readable once per palette.
        m_style.readable = [page = m_style.page,
                            made = std::make_shared<QHash<QRgb, QColor>>()](const QColor& c) {
            auto found = made->find(c.rgb());
            if (found == made->end()) found = made->insert(c.rgb(), dialogs::readableOn(c, page));
            return *found;
        };
    }
    const auto [first, last] = rowsInSight();
    m_painter.paint(painter, m_picture, first, last, -offset(), m_style);
    forgetLostCurrent();
    if (m_row >= 0 && hasFocus()) {
        painter.setPen(QPen(p.color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(boxRect(m_row, m_box).adjusted(-2, -2, 2, 2));
    }
    if (m_picture.rows().empty()) {
        painter.setPen(p.color(QPalette::PlaceholderText));
        painter.drawText(viewport()->rect(), Qt::AlignCenter,
                         tr("The transactions of the next answer are drawn here."));
    }
}

QRectF PictureView::boxRect(int row, int box) const {
    const auto index = std::size_t(row) - m_picture.firstRowNumber();
    const bus::Box& b = m_picture.rows()[index].boxes[std::size_t(box)];
    return {b.x, b.y - offset(), b.width, bus::kBoxHeight};
}

std::pair<int, int> PictureView::boxAt(const QPoint& point) const {
    const auto [first, last] = rowsInSight();
    for (std::size_t r = first; r < last; ++r) {
        const auto& boxes = m_picture.rows()[r].boxes;
        for (std::size_t b = 0; b < boxes.size(); ++b) {
            const int number = int(r + m_picture.firstRowNumber());
            if (boxRect(number, int(b)).contains(point)) return {number, int(b)};
        }
    }
    return {-1, -1};
}

QString PictureView::currentTip() const {
    forgetLostCurrent();
    if (m_row < 0) return {};
    const bus::Row& row = m_picture.rows()[std::size_t(m_row) - m_picture.firstRowNumber()];
    return qstring(bus::tipOf(row, row.boxes[std::size_t(m_box)]));
}

const QString& PictureView::pictureText() const {
    if (m_textRevision == m_picture.revision()) return m_text;
    m_textRevision = m_picture.revision();
    m_text.clear();
    m_lineStarts.clear();
    for (const bus::Row& row : m_picture.rows()) {
        m_lineStarts.push_back(int(m_text.size()));
        for (const bus::Box& box : row.boxes)
            m_text += qstring(box.label) + QLatin1Char(' ');
        if (!row.meanings.empty()) m_text += QStringLiteral("- ") + qstring(row.caption());
        m_text += QLatin1Char('\n');
    }
    return m_text;
}

int PictureView::textOffsetOfCurrent() const {
    pictureText();
    forgetLostCurrent();
    if (m_row < 0) return 0;
    const auto index = std::size_t(m_row) - m_picture.firstRowNumber();
    int at = m_lineStarts[index];
    const auto& boxes = m_picture.rows()[index].boxes;
    for (int b = 0; b < m_box; ++b)
        at += int(qstring(boxes[std::size_t(b)].label).size()) + 1;
    return at;
}

QRect PictureView::lineRect(int at) const {
    pictureText();
    const auto line = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), at);
    if (line == m_lineStarts.begin()) return {};
    const bus::Row& row = m_picture.rows()[std::size_t(line - m_lineStarts.begin() - 1)];
    return QRect(0, int(row.top - offset()), viewport()->width(), int(row.height));
}

bool PictureView::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QAbstractScrollArea::viewportEvent(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const auto [row, box] = boxAt(help->pos());
    if (row < 0) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    const bus::Row& r = m_picture.rows()[std::size_t(row) - m_picture.firstRowNumber()];
    QToolTip::showText(help->globalPos(), qstring(bus::tipOf(r, r.boxes[std::size_t(box)])),
                       viewport(), boxRect(row, box).toAlignedRect());
    return true;
}

void PictureView::setCurrent(int row, int box) {
    m_row = row;
    m_box = box;
    const QRectF rect = boxRect(row, box);
    // Into sight, with a line of what surrounds it.
    if (rect.top() < 0 || rect.bottom() > viewport()->height()) {
        const double y = rect.top() + offset();
        m_top = rect.top() < 0 ? y - bus::kMargin
                               : y + bus::kBoxHeight + bus::kLinePitch - viewport()->height();
        m_following = false;
        updateRange();
        m_following = verticalScrollBar()->value() >= verticalScrollBar()->maximum();
    }
    showCurrent();
}

void PictureView::showCurrent() {
    viewport()->update();
    const QString tip = currentTip();
    setAccessibleDescription(tip);
    QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
    if (tip.isEmpty()) return;
    const QRect rect = boxRect(m_row, m_box).toAlignedRect();
    QToolTip::showText(viewport()->mapToGlobal(rect.bottomLeft()), tip, viewport(), rect);
}

void PictureView::keyPressEvent(QKeyEvent* event) {
    forgetLostCurrent();
    const auto& rows = m_picture.rows();
    if (rows.empty()) return QAbstractScrollArea::keyPressEvent(event);
    const int first = int(m_picture.firstRowNumber());
    const int last = first + int(rows.size()) - 1;
    auto boxes = [&](int row) { return int(rows[std::size_t(row - first)].boxes.size()); };
    int row = m_row < 0 ? last : m_row;
    int box = m_row < 0 ? 0 : m_box;
    // Up and Down keep to the column as nearly as the other row allows.
    auto nearest = [&](int toRow) {
        const double x = m_row < 0 ? 0 : boxRect(m_row, m_box).center().x();
        const auto& b = rows[std::size_t(toRow - first)].boxes;
        int best = 0;
        for (int i = 0; i < int(b.size()); ++i)
            if (std::abs(b[std::size_t(i)].x + b[std::size_t(i)].width / 2 - x) <
                std::abs(b[std::size_t(best)].x + b[std::size_t(best)].width / 2 - x))
                best = i;
        return best;
    };
    const int page = std::max(1, int(viewport()->height() / (bus::kLinePitch * 2)));
    switch (event->key()) {
    case Qt::Key_Right:
        if (m_row >= 0 && ++box >= boxes(row)) {
            if (row == last) return;
            ++row, box = 0;
        }
        break;
    case Qt::Key_Left:
        if (m_row >= 0 && --box < 0) {
            if (row == first) return;
            --row, box = boxes(row) - 1;
        }
        break;
    case Qt::Key_Down:
    case Qt::Key_PageDown:
        if (m_row >= 0) row = std::min(last, row + (event->key() == Qt::Key_Down ? 1 : page));
        box = nearest(row);
        break;
    case Qt::Key_Up:
    case Qt::Key_PageUp:
        if (m_row >= 0) row = std::max(first, row - (event->key() == Qt::Key_Up ? 1 : page));
        box = nearest(row);
        break;
    case Qt::Key_Home:
        if (event->modifiers() & Qt::ControlModifier) row = first;
        box = 0;
        break;
    case Qt::Key_End:
        if (event->modifiers() & Qt::ControlModifier) row = last;
        box = boxes(row) - 1;
        break;
    default:
        return QAbstractScrollArea::keyPressEvent(event);
    }
    setCurrent(row, std::clamp(box, 0, boxes(row) - 1));
}

void PictureView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const auto [row, box] = boxAt(event->pos());
    if (row >= 0) setCurrent(row, box);
}

void PictureView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    // What the view holds, said at once; the keys then read box by box.
    if (m_row < 0)
        setAccessibleDescription(m_picture.rows().empty()
                                     ? tr("No transactions yet.")
                                     : tr("%n strip(s). The arrow keys read them box by box.",
                                          nullptr, int(m_picture.rows().size())));
    viewport()->update();
}

void PictureView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) viewport()->update();
}

void PictureView::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    flush();
}

void PictureView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addActions(m_menuActions);
    if (!menu.isEmpty()) menu.exec(event->globalPos());
}

} // namespace app
