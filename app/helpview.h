#pragma once
// The help view: a read-only text that wraps at its width. Rule lines (140
// characters of code 127, or of "-") have no glyphs worth showing, so they
// are drawn as lines across the view: heavy and light. The text itself stays
// the document.
#include <QPlainTextEdit>

namespace app {

class HelpView : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit HelpView(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void setTabStops();
};

// 3 for a heavy rule, 1 for a light one, 0 for any other line.
int ruleWidth(const QString& line);

} // namespace app
