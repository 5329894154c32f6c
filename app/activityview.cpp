#include "app/activityview.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace app {

namespace {

constexpr int kMargin = 4;
constexpr int kTabColumns = 8;
constexpr qsizetype kLaidOutKept = 512;

qsizetype nextTabStop(qsizetype column) {
    return (column / kTabColumns + 1) * kTabColumns;
}

// The line as drawn: tabs expanded to the next stop.
QString expandTabs(const QString& text) {
    if (!text.contains(QLatin1Char('\t'))) return text;
    QString out;
    for (const QChar c : text) {
        if (c == QLatin1Char('\t'))
            out.append(QString(nextTabStop(out.size()) - out.size(), QLatin1Char(' ')));
        else
            out.append(c);
    }
    return out;
}

// The column where the character at index starts.
qsizetype columnOf(const QString& text, qsizetype index) {
    qsizetype column = 0;
    for (qsizetype i = 0; i < std::min(index, text.size()); ++i)
        column = text[i] == QLatin1Char('\t') ? nextTabStop(column) : column + 1;
    return column;
}

// The index of the character nearest to column.
qsizetype indexAt(const QString& text, qreal column) {
    qsizetype at = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype next = text[i] == QLatin1Char('\t') ? nextTabStop(at) : at + 1;
        if (column < (at + next) / 2.0) return i;
        at = next;
    }
    return text.size();
}

} // namespace

ActivityView::ActivityView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

const QString& ActivityView::line(qsizetype index) const {
    return index < static_cast<qsizetype>(m_lines.size()) ? m_lines[static_cast<std::size_t>(index)]
                                                          : m_open;
}

void ActivityView::addLine(QString text) {
    m_longest = std::max(m_longest, columnOf(text, text.size()));
    m_lines.push_back(std::move(text));
    if (m_lines.size() <= static_cast<std::size_t>(kMaxActivityLines)) return;
    m_lines.pop_front();
    ++m_dropped;
    for (Place* place : {&m_anchor, &m_cursor})
        *place = place->line > 0 ? Place{place->line - 1, place->index} : Place{};
}

void ActivityView::append(std::string_view text) {
    if (text.empty()) return;
    m_pending = true;
    // The line carries ASCII: any other byte is noise and shows as itself,
    // one character a byte, never as a character of some far script.
    std::size_t from = 0;
    if (m_lastWasCr && text.front() == '\n') from = 1;
    for (std::size_t i = from; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        m_open.append(QString::fromLatin1(text.data() + from, static_cast<qsizetype>(i - from)));
        addLine(std::exchange(m_open, QString()));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        from = i + 1;
    }
    m_open.append(
        QString::fromLatin1(text.data() + from, static_cast<qsizetype>(text.size() - from)));
    m_lastWasCr = text.back() == '\r';
}

void ActivityView::clearView() {
    m_lines.clear();
    m_open.clear();
    m_longest = 0;
    m_dropped = 0;
    m_lastWasCr = false;
    m_anchor = m_cursor = {};
    m_pending = false;
    updateScrollBars();
    viewport()->update();
}

void ActivityView::flush() {
    QScrollBar* bar = verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    // A reader keeps the lines in sight while older ones go.
    const int kept = bar->value() - static_cast<int>(std::min<qsizetype>(m_dropped, bar->value()));
    m_dropped = 0;
    m_pending = false;
    updateScrollBars();
    bar->setValue(following ? bar->maximum() : kept);
    viewport()->update();
}

QString ActivityView::toPlainText() const {
    QString text;
    for (const QString& l : m_lines)
        text.append(l).append(QLatin1Char('\n'));
    return text + m_open;
}

QString ActivityView::selectedText() const {
    const Place from = std::min(m_anchor, m_cursor), to = std::max(m_anchor, m_cursor);
    if (from == to) return {};
    QString text;
    for (qsizetype l = from.line; l <= to.line && l < lineCount(); ++l) {
        const QString& whole = line(l);
        const qsizetype begin = l == from.line ? std::min(from.index, whole.size()) : 0;
        const qsizetype end = l == to.line ? std::min(to.index, whole.size()) : whole.size();
        text.append(whole.mid(begin, end - begin));
        if (l != to.line) text.append(QLatin1Char('\n'));
    }
    return text;
}

void ActivityView::selectAll() {
    m_anchor = {};
    m_cursor = {lineCount() - 1, m_open.size()};
    viewport()->update();
}

void ActivityView::copy() const {
    if (const QString text = selectedText(); !text.isEmpty())
        QApplication::clipboard()->setText(text);
}

qreal ActivityView::charAdvance() const {
    return QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' '));
}

qreal ActivityView::tabStopDistance() const {
    return kTabColumns * charAdvance();
}

int ActivityView::lineHeight() const {
    return std::max(1, QFontMetrics(font()).lineSpacing());
}

void ActivityView::updateScrollBars() {
    const int visible = std::max(1, (viewport()->height() - 2 * kMargin) / lineHeight());
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, static_cast<int>(std::max<qsizetype>(0, lineCount() - visible)));
    v->setPageStep(visible);
    const qreal advance = charAdvance();
    const int width = static_cast<int>(std::ceil(m_longest * advance)) + 2 * kMargin;
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, width - viewport()->width()));
    h->setPageStep(viewport()->width());
    h->setSingleStep(static_cast<int>(std::ceil(advance)));
}

ActivityView::Place ActivityView::placeAt(const QPoint& point) const {
    const qsizetype row = verticalScrollBar()->value() + (point.y() - kMargin) / lineHeight();
    const qsizetype l = std::clamp<qsizetype>(row, 0, lineCount() - 1);
    const qreal advance = charAdvance();
    const qreal column = (point.x() - kMargin + horizontalScrollBar()->value()) / advance;
    return {l, indexAt(line(l), column)};
}

void ActivityView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.setFont(font());
    const QFontMetricsF metrics(font());
    const qreal advance = charAdvance();
    const int height = lineHeight();
    const qreal left = kMargin - horizontalScrollBar()->value();
    const Place from = std::min(m_anchor, m_cursor), to = std::max(m_anchor, m_cursor);
    const QPalette& colours = palette();
    const qsizetype first = verticalScrollBar()->value();
    const qsizetype rows = viewport()->height() / height + 1;
    for (qsizetype row = 0; row < rows && first + row < lineCount(); ++row) {
        const qsizetype l = first + row;
        const QString& text = line(l);
        const int top = kMargin + static_cast<int>(row) * height;
        const QString shown = expandTabs(text);
        painter.setPen(colours.color(QPalette::Text));
        painter.drawStaticText(QPointF(left, top), staticText(shown));
        if (from == to || l < from.line || l > to.line) continue;
        // The selected part again, over the highlight; a selected line end
        // shows as one column.
        const qsizetype begin = l == from.line ? columnOf(text, from.index) : 0;
        const qsizetype end =
            l == to.line ? columnOf(text, to.index) : columnOf(text, text.size()) + 1;
        const QRectF box(left + begin * advance, top, (end - begin) * advance, height);
        painter.fillRect(box, colours.color(QPalette::Highlight));
        painter.save();
        painter.setClipRect(box);
        painter.setPen(colours.color(QPalette::HighlightedText));
        painter.drawText(QPointF(left, top + metrics.ascent()), shown);
        painter.restore();
    }
}

// Laid out once for the lines a stream brings again and again (interrupt
// reports, the same script's answers): laying out text was most of a paint.
const QStaticText& ActivityView::staticText(const QString& shown) const {
    auto found = m_laidOut.constFind(shown);
    if (found != m_laidOut.constEnd()) return *found;
    if (m_laidOut.size() >= kLaidOutKept) m_laidOut.clear();
    QStaticText text(shown);
    text.setTextFormat(Qt::PlainText);
    text.setPerformanceHint(QStaticText::AggressiveCaching);
    text.prepare(QTransform(), font());
    return *m_laidOut.insert(shown, text);
}

void ActivityView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    QScrollBar* bar = verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    updateScrollBars();
    if (following) bar->setValue(bar->maximum());
}

void ActivityView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_laidOut.clear();
        updateScrollBars();
    }
}

void ActivityView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
    m_cursor = placeAt(event->position().toPoint());
    if (!(event->modifiers() & Qt::ShiftModifier)) m_anchor = m_cursor;
    viewport()->update();
}

void ActivityView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    const QPoint at = event->position().toPoint();
    // Dragging past an edge scrolls that way.
    QScrollBar* bar = verticalScrollBar();
    if (at.y() < 0) bar->setValue(bar->value() - 1);
    if (at.y() > viewport()->height()) bar->setValue(bar->value() + 1);
    m_cursor = placeAt(at);
    viewport()->update();
}

void ActivityView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
    } else if (event->matches(QKeySequence::Copy)) {
        copy();
    } else {
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void ActivityView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copyAction = menu.addAction(tr("&Copy"), this, &ActivityView::copy);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setEnabled(m_anchor != m_cursor);
    menu.addAction(tr("Select &All"), this, &ActivityView::selectAll)
        ->setShortcut(QKeySequence::SelectAll);
    if (!m_menuActions.isEmpty()) {
        menu.addSeparator();
        menu.addActions(m_menuActions);
    }
    menu.exec(event->globalPos());
}

} // namespace app
