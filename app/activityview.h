#pragma once
// The bus activity view: append-only, bounded, and cheap per line however
// long it grows. It follows the newest line unless the user has scrolled up
// to read; a line left open (a WRITE without its Ack yet) is continued by the
// next text.
#include <QPlainTextEdit>

#include <string_view>

namespace app {

inline constexpr int kMaxActivityLines = 20000;

class ActivityView : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit ActivityView(QWidget* parent = nullptr);

    // text: lines ended by CR LF, the last one maybe open.
    void append(std::string_view text);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void setTabStops();
};

} // namespace app
