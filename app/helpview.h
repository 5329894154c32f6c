#pragma once
// The help view: a read-only text that wraps at its width. Rule lines (140
// characters of code 127, or of "-") have no glyphs worth showing, so they
// are drawn as lines across the view: heavy and light. The text itself stays
// the document.
//
// The tables are columns of TABs: the view takes the largest font size, down
// to a floor, at which no table row wraps at its width; prose still wraps.
#include <QPlainTextEdit>

namespace app {

class HelpView : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit HelpView(QWidget* parent = nullptr);

    // The tab stop distance for a font: wider than every cell that must stay
    // within one stop ("Revision", "!0011a[cr]"), narrower than a date
    // ("2007/05/30"), which spans two.
    static qreal tabStopFor(const QFont& font);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void fitTables();
    bool tablesFit(const QFont& font, qreal width) const;

    bool m_fitting = false;
};

// 3 for a heavy rule, 1 for a light one, 0 for any other line.
int ruleWidth(const QString& line);

} // namespace app
