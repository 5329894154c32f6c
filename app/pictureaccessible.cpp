#include "app/pictureaccessible.h"

#include "app/pictureview.h"
#include "app/textaccessible.h"

#include <QTextBoundaryFinder>

namespace app {

namespace {

class PictureAccessible : public TextAccessible {
  public:
    explicit PictureAccessible(PictureView* view) : TextAccessible(view, QAccessible::StaticText) {}

    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return view()->textOffsetOfCurrent(); }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override {
        const QString& all = view()->pictureText();
        start = std::clamp(start, 0, int(all.size()));
        return all.mid(start, std::max(0, std::min(end, int(all.size())) - start));
    }
    int characterCount() const override { return int(view()->pictureText().size()); }
    QRect characterRect(int at) const override {
        const QRect rect = view()->lineRect(at);
        return QRect(view()->viewport()->mapToGlobal(rect.topLeft()), rect.size());
    }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}

  private:
    PictureView* view() const { return static_cast<PictureView*>(widget()); }

    // A character, a word, or a line with its line break.
    std::pair<int, int> range(int at, QAccessible::TextBoundaryType boundary) const override {
        const QString& all = view()->pictureText();
        const int count = int(all.size());
        at = std::clamp(at, 0, count);
        if (boundary == QAccessible::NoBoundary) return {0, count};
        if (boundary == QAccessible::CharBoundary) return {at, std::min(at + 1, count)};
        const int lineStart = at == 0 ? 0 : int(all.lastIndexOf(QLatin1Char('\n'), at - 1)) + 1;
        const int lineBreak = int(all.indexOf(QLatin1Char('\n'), at));
        const int lineEnd = lineBreak < 0 ? count : lineBreak + 1;
        if (boundary != QAccessible::WordBoundary) return {lineStart, lineEnd};
        QTextBoundaryFinder words(QTextBoundaryFinder::Word, all);
        words.setPosition(at);
        if (!words.isAtBoundary()) words.toPreviousBoundary();
        const int from = int(std::max<qsizetype>(words.position(), lineStart));
        const qsizetype next = words.toNextBoundary();
        return {from, next < 0 ? lineEnd : int(std::min<qsizetype>(next, lineEnd))};
    }
};

QAccessibleInterface* pictureAccessible(const QString& className, QObject* object) {
    if (className != QLatin1String(PictureView::staticMetaObject.className())) return nullptr;
    auto* view = qobject_cast<PictureView*>(object);
    return view ? new PictureAccessible(view) : nullptr;
}

} // namespace

void installPictureAccessible() {
    static const bool installed = [] {
        QAccessible::installFactory(pictureAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace app
