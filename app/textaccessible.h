#pragma once
// The part of a read-only text's accessible interface that is the same for
// every view the program draws itself: items before, at and after an offset
// found from one rule (range), and no attributes.
#include <QAccessibleWidget>

namespace app {

class TextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    TextAccessible(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        return state;
    }
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }
    QString textAtOffset(int at, QAccessible::TextBoundaryType boundary, int* start,
                         int* end) const override {
        const auto [from, to] = range(at, boundary);
        return found(from, to, start, end);
    }
    QString textBeforeOffset(int at, QAccessible::TextBoundaryType boundary, int* start,
                             int* end) const override {
        const int from = range(at, boundary).first;
        if (from <= 0) return found(0, 0, start, end);
        const auto [a, b] = range(from - 1, boundary);
        return found(a, b, start, end);
    }
    QString textAfterOffset(int at, QAccessible::TextBoundaryType boundary, int* start,
                            int* end) const override {
        const int to = range(at, boundary).second;
        if (to >= characterCount()) return found(to, to, start, end);
        const auto [a, b] = range(to, boundary);
        return found(a, b, start, end);
    }

  protected:
    // The item of that kind at an offset: start and end.
    virtual std::pair<int, int> range(int at, QAccessible::TextBoundaryType boundary) const = 0;

  private:
    QString found(int from, int to, int* start, int* end) const {
        *start = from;
        *end = to;
        return static_cast<const QAccessibleTextInterface*>(this)->text(from, to);
    }
};

} // namespace app
