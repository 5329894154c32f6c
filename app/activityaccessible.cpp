#include "app/activityaccessible.h"

#include "app/activityview.h"
#include "app/textaccessible.h"

#include <QTextBoundaryFinder>

namespace app {

namespace {

class ActivityAccessible : public TextAccessible {
  public:
    explicit ActivityAccessible(ActivityView* view)
        : TextAccessible(view, QAccessible::EditableText) {}

    QAccessible::State state() const override {
        QAccessible::State state = TextAccessible::state();
        state.selectableText = true;
        return state;
    }

    void selection(int index, int* start, int* end) const override {
        const auto [from, to] = view()->selection();
        *start = *end = 0;
        if (index != 0 || from == to) return;
        *start = offset(view()->offsetOf(from));
        *end = offset(view()->offsetOf(to));
    }
    int selectionCount() const override {
        const auto [from, to] = view()->selection();
        return from == to ? 0 : 1;
    }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override {
        const qsizetype caret = view()->offsetOf(view()->caret());
        view()->select(caret, caret);
    }
    void setSelection(int, int start, int end) override { view()->select(start, end); }
    int cursorPosition() const override { return offset(view()->offsetOf(view()->caret())); }
    void setCursorPosition(int position) override { view()->select(position, position); }
    QString text(int start, int end) const override { return view()->textBetween(start, end); }
    int characterCount() const override { return offset(view()->characterCount()); }
    QRect characterRect(int at) const override {
        const QRect rect = view()->characterRect(at);
        return QRect(view()->viewport()->mapToGlobal(rect.topLeft()), rect.size());
    }
    int offsetAtPoint(const QPoint& point) const override {
        const QPoint inside = view()->viewport()->mapFromGlobal(point);
        if (!view()->viewport()->rect().contains(inside)) return -1;
        return offset(view()->offsetAt(inside));
    }
    void scrollToSubstring(int start, int) override {
        view()->showLine(view()->placeOf(start).line);
    }

  private:
    ActivityView* view() const { return static_cast<ActivityView*>(widget()); }
    static int offset(qsizetype value) { return static_cast<int>(value); }

    // The item at an offset: a character, a word within its line, or a line
    // with its line break (a sentence and a paragraph are a line here).
    std::pair<int, int> range(int at, QAccessible::TextBoundaryType boundary) const override {
        const int count = characterCount();
        at = std::clamp(at, 0, count);
        if (boundary == QAccessible::NoBoundary) return {0, count};
        if (boundary == QAccessible::CharBoundary) return {at, std::min(at + 1, count)};
        const ActivityView::Place place = view()->placeOf(at);
        const int lineStart = offset(view()->offsetOf({place.line, 0}));
        if (boundary != QAccessible::WordBoundary) {
            const int next = place.line < view()->lastLine()
                                 ? offset(view()->offsetOf({place.line + 1, 0}))
                                 : count;
            return {lineStart, next};
        }
        const QString line = text(lineStart, offset(view()->offsetOf({place.line, 1 << 30})));
        QTextBoundaryFinder words(QTextBoundaryFinder::Word, line);
        words.setPosition(static_cast<qsizetype>(place.index));
        auto isEdge = [&] {
            return words.boundaryReasons() &
                   (QTextBoundaryFinder::StartOfItem | QTextBoundaryFinder::EndOfItem);
        };
        while (!isEdge() && words.toPreviousBoundary() > 0) {
        }
        const qsizetype from = std::max<qsizetype>(words.position(), 0);
        while (words.toNextBoundary() >= 0 && words.position() < line.size() && !isEdge()) {
        }
        const qsizetype to = words.position() < 0 ? line.size() : words.position();
        return {lineStart + offset(from), lineStart + offset(std::max(to, from))};
    }
};

QAccessibleInterface* activityAccessible(const QString& className, QObject* object) {
    if (className != QLatin1String(ActivityView::staticMetaObject.className())) return nullptr;
    auto* view = qobject_cast<ActivityView*>(object);
    return view ? new ActivityAccessible(view) : nullptr;
}

} // namespace

void installActivityAccessible() {
    static const bool installed = [] {
        QAccessible::installFactory(activityAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

Teller& teller() {
    static Teller told = nullptr;
    return told;
}

bool toolsListen() {
    return QAccessible::isActive() || teller();
}

void tellTools(QAccessibleEvent& event) {
    if (teller())
        teller()(&event);
    else
        QAccessible::updateAccessibility(&event);
}

void setTeller(Teller told) {
    teller() = told;
}

} // namespace app
