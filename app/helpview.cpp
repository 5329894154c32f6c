#include "app/helpview.h"

#include "help/document.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>

namespace app {

namespace {

// Rule lines keep their characters but show none of them, in a small font so
// that a rule takes one short line however narrow the view.
class RuleHider : public QSyntaxHighlighter {
  public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

  protected:
    void highlightBlock(const QString& text) override {
        if (ruleWidth(text) == 0) return;
        QTextCharFormat hidden;
        hidden.setForeground(Qt::transparent);
        hidden.setFontPointSize(3);
        setFormat(0, static_cast<int>(text.size()), hidden);
    }
};

} // namespace

int ruleWidth(const QString& line) {
    if (line.size() != static_cast<qsizetype>(help::kRuleLength)) return 0;
    if (line.count(QChar(help::kHeavyRuleChar)) == line.size()) return 3;
    if (line.count(QLatin1Char('-')) == line.size()) return 1;
    return 0;
}

namespace {

// The window's own size first; below the floor text is no longer readable,
// and the rows wrap instead.
constexpr qreal kLargestPoints = 8.25;
constexpr qreal kSmallestPoints = 6.5;
constexpr qreal kPointStep = 0.25;

} // namespace

HelpView::HelpView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    new RuleHider(document());
    setTabStopDistance(tabStopFor(font()));
}

qreal HelpView::tabStopFor(const QFont& font) {
    const QFontMetricsF metrics(font);
    qreal oneStop = 0;
    for (const char* cell : {"Revision", "Command", "Response", "$0011[cr]", "!0011a[cr]"})
        oneStop = std::max(oneStop, metrics.horizontalAdvance(QLatin1String(cell)));
    return (oneStop + metrics.horizontalAdvance(QLatin1String("2007/05/30"))) / 2;
}

void HelpView::paintEvent(QPaintEvent* event) {
    QPlainTextEdit::paintEvent(event);
    QPainter painter(viewport());
    const QColor ink = palette().color(QPalette::Text);
    const qreal margin = document()->documentMargin();
    const qreal right = viewport()->width() - margin;
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF box = blockBoundingGeometry(block).translated(contentOffset());
        if (box.top() > viewport()->height()) break;
        if (const int width = ruleWidth(block.text()))
            painter.fillRect(QRectF(margin, box.center().y() - width / 2.0, right - margin, width),
                             ink);
    }
}

void HelpView::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        setTabStopDistance(tabStopFor(font()));
        fitTables();
    }
}

void HelpView::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    fitTables();
}

bool HelpView::tablesFit(const QFont& font, qreal width) const {
    QTextOption option;
    option.setTabStopDistance(tabStopFor(font));
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        if (!text.contains(QLatin1Char('\t'))) continue;
        QTextLayout layout(text, font);
        layout.setTextOption(option);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLineWidth(width);
        const bool whole = line.textLength() == text.size();
        layout.endLayout();
        if (!whole) return false;
    }
    return true;
}

void HelpView::fitTables() {
    if (m_fitting) return;
    const qreal width = viewport()->width() - 2 * document()->documentMargin();
    QFont fitted = font();
    for (qreal points = kLargestPoints; points >= kSmallestPoints; points -= kPointStep) {
        fitted.setPointSizeF(points);
        if (tablesFit(fitted, width)) break;
    }
    if (fitted == font()) return;
    m_fitting = true; // the font change lays out again, and may resize
    setFont(fitted);
    m_fitting = false;
}

} // namespace app
