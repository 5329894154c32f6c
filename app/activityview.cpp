#include "app/activityview.h"

#include "app/activityaccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace app {

namespace {

constexpr int kMargin = 4;
constexpr int kTabColumns = 8;
constexpr qsizetype kLaidOutKept = 512;
constexpr int kDragScrollMs = 50;

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
    installActivityAccessible();
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_dragTimer.setInterval(kDragScrollMs);
    connect(&m_dragTimer, &QTimer::timeout, this, &ActivityView::dragScroll);
}

const QString& ActivityView::line(qint64 number) const {
    return number < lastLine() ? m_lines[static_cast<std::size_t>(number - m_first)].text : m_open;
}

qint64 ActivityView::startOf(qint64 number) const {
    if (number < lastLine()) return m_lines[static_cast<std::size_t>(number - m_first)].start;
    return m_lines.empty() ? 0 : m_lines.back().start + m_lines.back().text.size() + 1;
}

ActivityView::Place ActivityView::clamped(Place place) const {
    if (place.line < m_first) return {m_first, 0};
    if (place.line > lastLine()) return {lastLine(), m_open.size()};
    return {place.line, std::min(place.index, line(place.line).size())};
}

std::pair<ActivityView::Place, ActivityView::Place> ActivityView::selection() const {
    // Dropped lines leave the selection from the first line held: it shrinks.
    const Place a = clamped(m_anchor), b = clamped(m_cursor);
    return {std::min(a, b), std::max(a, b)};
}

void ActivityView::addLine(QString text) {
    m_longest = std::max(m_longest, columnOf(text, text.size()));
    const qint64 start = startOf(lastLine());
    m_lines.push_back({std::move(text), start});
    if (m_lines.size() <= static_cast<std::size_t>(kMaxActivityLines)) return;
    // Only what tools were told needs telling gone, so this stays bounded.
    if (toolsListen() && m_lines.front().start < m_toldEnd)
        m_droppedUntold.append(m_lines.front().text + QLatin1Char('\n'));
    m_lines.pop_front();
    ++m_first;
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
    if (toolsListen() && m_toldEnd > m_toldFirst) {
        QAccessibleTextRemoveEvent removed(
            this, 0, (m_droppedUntold + toPlainText()).left(m_toldEnd - m_toldFirst));
        tellTools(removed);
    }
    m_lines.clear();
    m_open.clear();
    m_first = m_top = m_barBase = 0;
    m_toldFirst = m_toldEnd = 0;
    m_droppedUntold.clear();
    m_follow = true;
    m_longest = 0;
    m_lastWasCr = false;
    m_anchor = m_cursor = {};
    m_pending = false;
    syncScrollBars();
    viewport()->update();
}

void ActivityView::flush() {
    m_pending = false;
    syncScrollBars();
    viewport()->update();
    announceText();
}

// New text is told once a showing, never a line at a time: a stream of
// events would keep a screen reader and the bus busy.
void ActivityView::announceText() {
    const qint64 first = startOf(m_first), end = startOf(lastLine()) + m_open.size();
    if (toolsListen()) {
        if (first > m_toldFirst && m_toldEnd > m_toldFirst) {
            QAccessibleTextRemoveEvent removed(
                this, 0, m_droppedUntold.left(std::min(first, m_toldEnd) - m_toldFirst));
            tellTools(removed);
        }
        const qint64 from = std::max(m_toldEnd, first);
        if (end > from) {
            QAccessibleTextInsertEvent inserted(this, static_cast<int>(from - first),
                                                textBetween(from - first, end - first));
            tellTools(inserted);
        }
    }
    m_toldFirst = first;
    m_toldEnd = end;
    m_droppedUntold.clear();
}

void ActivityView::announceSelection() {
    if (!toolsListen()) return;
    QAccessibleTextCursorEvent caret(this, static_cast<int>(offsetOf(m_cursor)));
    tellTools(caret);
    const auto [from, to] = selection();
    QAccessibleTextSelectionEvent selected(this, static_cast<int>(offsetOf(from)),
                                           static_cast<int>(offsetOf(to)));
    tellTools(selected);
}

QString ActivityView::toPlainText() const {
    return textBetween(0, characterCount());
}

QString ActivityView::textBetween(qsizetype from, qsizetype to) const {
    if (to <= from) return {};
    const Place begin = placeOf(from), end = placeOf(to);
    QString text;
    for (qint64 l = begin.line; l <= end.line; ++l) {
        const QString& whole = line(l);
        const qsizetype a = l == begin.line ? begin.index : 0;
        const qsizetype b = l == end.line ? end.index : whole.size();
        text.append(QStringView(whole).mid(a, b - a));
        if (l != end.line) text.append(QLatin1Char('\n'));
    }
    return text;
}

QString ActivityView::selectedText() const {
    const auto [from, to] = selection();
    return textBetween(offsetOf(from), offsetOf(to));
}

qsizetype ActivityView::characterCount() const {
    return static_cast<qsizetype>(startOf(lastLine()) + m_open.size() - startOf(m_first));
}

qsizetype ActivityView::offsetOf(Place place) const {
    const Place p = clamped(place);
    return static_cast<qsizetype>(startOf(p.line) + p.index - startOf(m_first));
}

ActivityView::Place ActivityView::placeOf(qsizetype offset) const {
    const qint64 at = startOf(m_first) + std::clamp<qsizetype>(offset, 0, characterCount());
    if (at >= startOf(lastLine()))
        return {lastLine(), static_cast<qsizetype>(at - startOf(lastLine()))};
    const auto after =
        std::upper_bound(m_lines.begin(), m_lines.end(), at,
                         [](qint64 value, const Line& l) { return value < l.start; });
    const auto& found = *(after - 1);
    return {m_first + (after - 1 - m_lines.begin()),
            std::min(static_cast<qsizetype>(at - found.start), found.text.size())};
}

void ActivityView::select(qsizetype anchor, qsizetype caret) {
    m_anchor = placeOf(anchor);
    moveCaret(placeOf(caret), true);
}

void ActivityView::selectAll() {
    m_anchor = {m_first, 0};
    m_cursor = {lastLine(), m_open.size()};
    viewport()->update();
    announceSelection();
}

void ActivityView::copy() const {
    if (const QString text = selectedText(); !text.isEmpty())
        QApplication::clipboard()->setText(text);
}

qreal ActivityView::charAdvance() const {
    return QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' '));
}

int ActivityView::lineHeight() const {
    return std::max(1, QFontMetrics(font()).lineSpacing());
}

int ActivityView::visibleRows() const {
    return std::max(1, (viewport()->height() - 2 * kMargin) / lineHeight());
}

qint64 ActivityView::bottomTop() const {
    return m_first + std::max<qint64>(0, lineCount() - visibleRows());
}

void ActivityView::syncScrollBars() {
    const qint64 bottom = bottomTop();
    if (m_follow) m_top = bottom;
    m_top = std::clamp(m_top, m_first, bottom);
    m_barBase = m_first;
    m_settingBars = true;
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, static_cast<int>(bottom - m_first));
    v->setPageStep(visibleRows());
    v->setValue(static_cast<int>(m_top - m_first));
    const qreal advance = charAdvance();
    const int width = static_cast<int>(std::ceil(m_longest * advance)) + 2 * kMargin;
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, width - viewport()->width()));
    h->setPageStep(viewport()->width());
    h->setSingleStep(static_cast<int>(std::ceil(advance)));
    m_settingBars = false;
}

void ActivityView::scrollContentsBy(int, int) {
    if (!m_settingBars) {
        const QScrollBar* v = verticalScrollBar();
        m_top = m_barBase + v->value();
        m_follow = v->value() >= v->maximum();
    }
    viewport()->update();
}

void ActivityView::showLine(qint64 number) {
    if (number < m_top) m_top = number;
    if (number >= m_top + visibleRows()) m_top = number - visibleRows() + 1;
    m_top = std::clamp(m_top, m_first, bottomTop());
    m_follow = m_top == bottomTop();
    syncScrollBars();
    viewport()->update();
}

ActivityView::Place ActivityView::placeAt(const QPoint& point) const {
    const auto row = static_cast<qint64>(std::floor(double(point.y() - kMargin) / lineHeight()));
    const qint64 l = std::clamp<qint64>(m_top + row, m_first, lastLine());
    const qreal column = (point.x() - kMargin + horizontalScrollBar()->value()) / charAdvance();
    return {l, indexAt(line(l), column)};
}

QRect ActivityView::characterRect(qsizetype offset) const {
    const Place p = placeOf(offset);
    const qreal advance = charAdvance();
    const QString& text = line(p.line);
    const qsizetype column = columnOf(text, p.index);
    const qsizetype next = p.index < text.size() ? columnOf(text, p.index + 1) : column + 1;
    const qreal left = kMargin - horizontalScrollBar()->value() + column * advance;
    const int top = kMargin + static_cast<int>(p.line - m_top) * lineHeight();
    return QRectF(left, top, (next - column) * advance, lineHeight()).toAlignedRect();
}

qsizetype ActivityView::offsetAt(const QPoint& point) const {
    return offsetOf(placeAt(point));
}

void ActivityView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.setFont(font());
    const QFontMetricsF metrics(font());
    const qreal advance = charAdvance();
    const int height = lineHeight();
    const qreal left = kMargin - horizontalScrollBar()->value();
    const auto [from, to] = selection();
    const QPalette& colours = palette();
    const qint64 first = std::max(m_top, m_first);
    const qint64 rows = viewport()->height() / height + 1;
    const Place caret = clamped(m_cursor);
    for (qint64 row = 0; row < rows && first + row <= lastLine(); ++row) {
        const qint64 l = first + row;
        const QString& text = line(l);
        const int top = kMargin + static_cast<int>(row) * height;
        const QString shown = expandTabs(text);
        painter.setPen(colours.color(QPalette::Text));
        painter.drawStaticText(QPointF(left, top), staticText(shown));
        if (hasFocus() && l == caret.line) {
            const qreal x = left + columnOf(text, caret.index) * advance;
            painter.fillRect(QRectF(x, top, 1, height), colours.color(QPalette::Text));
        }
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
    syncScrollBars();
}

void ActivityView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_laidOut.clear();
        syncScrollBars();
    }
}

void ActivityView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void ActivityView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void ActivityView::moveCaret(Place to, bool extend) {
    m_cursor = clamped(to);
    if (!extend) m_anchor = m_cursor;
    showLine(m_cursor.line);
    // And its column in sight.
    const qreal advance = charAdvance();
    QScrollBar* h = horizontalScrollBar();
    const int x = static_cast<int>(columnOf(line(m_cursor.line), m_cursor.index) * advance);
    const int width = viewport()->width() - 2 * kMargin;
    if (x < h->value()) h->setValue(x);
    if (x + advance > h->value() + width) h->setValue(static_cast<int>(x + advance) - width);
    viewport()->update();
    announceSelection();
}

} // namespace app
