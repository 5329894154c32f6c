#include "app/helpview.h"

#include "help/document.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QSyntaxHighlighter>
#include <QTextBlock>

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

HelpView::HelpView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    new RuleHider(document());
    setTabStops();
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
    if (event->type() == QEvent::FontChange) setTabStops();
}

void HelpView::setTabStops() {
    // Wide enough for the tables' commands and answers ("$0000[cr]") in a column.
    setTabStopDistance(9 * QFontMetricsF(font()).averageCharWidth());
}

} // namespace app
