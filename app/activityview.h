#pragma once
// The bus activity view: append-only, bounded to the newest kMaxActivityLines
// lines, and cheap per line however fast they come. A line left open (a
// WRITE without its Ack yet) is continued by the next text.
//
// The lines live in a ring of their own and only the lines in sight are
// drawn: a text document spent 6 to 15 microseconds a line on blocks and
// layout, which at line rate was a large share of a core. Appended text is
// kept at once but shown at flush(), when the window says; the view then
// follows the newest line unless the user has scrolled up to read, and a
// user reading keeps the same lines in sight while old ones go.
//
// Lines are numbered from the last clearView() on and never renumbered, so a
// selection, the caret and the top line stay on the lines they were put on
// while lines arrive; a selection whose lines are dropped shrinks to what is
// left. Read-only: the mouse, Shift and the arrow keys select (dragging past
// an edge scrolls while the button is held), Ctrl+A selects all, Ctrl+C and
// the context menu copy. A double-click is the window's (it empties the
// view). Screen readers get the text, caret and selection through
// QAccessible (activityaccessible.h); new text is announced at flush().
// The mouse, the keys and the context menu are handled in activityinput.cpp.
#include <QAbstractScrollArea>
#include <QHash>
#include <QStaticText>
#include <QTimer>

#include <deque>
#include <string_view>

namespace app {

inline constexpr int kMaxActivityLines = 20000;

class ActivityView : public QAbstractScrollArea {
    Q_OBJECT
  public:
    explicit ActivityView(QWidget* parent = nullptr);

    // text: lines ended by CR LF (a lone CR or LF ends one too), the last
    // one maybe open; one character a byte.
    void append(std::string_view text);
    // Empties the view.
    void clearView();
    // Brings what was appended to the screen.
    void flush();
    bool hasPending() const { return m_pending; }

    // The lines joined by "\n", the open one last: what the view holds.
    QString toPlainText() const;
    QString selectedText() const;
    void selectAll();
    void copy() const;
    qsizetype lineCount() const { return static_cast<qsizetype>(m_lines.size()) + 1; }
    // Offered in the context menu after the view's own.
    void setMenuActions(QList<QAction*> actions) { m_menuActions = std::move(actions); }

    // A place in the text: a line's number (from the last clearView()) and
    // the index of a character in it.
    struct Place {
        qint64 line = 0;
        qsizetype index = 0;
        auto operator<=>(const Place&) const = default;
    };
    qint64 firstLine() const { return m_first; }
    qint64 lastLine() const { return m_first + static_cast<qint64>(m_lines.size()); }
    qint64 topLine() const { return m_top; }
    Place caret() const { return clamped(m_cursor); }
    // The selection as it stands (both ends the same when there is none).
    std::pair<Place, Place> selection() const;

    // The text as characters from the first line held, lines joined by
    // "\n": for assistive tools.
    qsizetype characterCount() const;
    QString textBetween(qsizetype from, qsizetype to) const;
    qsizetype offsetOf(Place place) const;
    Place placeOf(qsizetype offset) const;
    void select(qsizetype anchor, qsizetype caret); // offsets; equal: the caret alone
    QRect characterRect(qsizetype offset) const;    // in the viewport
    qsizetype offsetAt(const QPoint& point) const;  // point in the viewport
    void showLine(qint64 line);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    struct Line {
        QString text;
        qint64 start; // characters before it since the last clearView()
    };
    const QString& line(qint64 number) const;
    qint64 startOf(qint64 number) const;
    Place clamped(Place place) const;
    void addLine(QString text);
    void syncScrollBars();
    int visibleRows() const;
    qint64 bottomTop() const; // the top line that shows the newest line last
    int lineHeight() const;
    qreal charAdvance() const; // a fixed font's column
    Place placeAt(const QPoint& point) const;
    void moveCaret(Place to, bool extend);
    bool moveByKey(QKeyEvent* event);
    void dragScroll();
    void announceSelection();
    void announceText();
    const QStaticText& staticText(const QString& shown) const;

    std::deque<Line> m_lines; // complete lines, oldest first
    QString m_open;           // the line after the last line break
    qint64 m_first = 0;       // the number of m_lines.front()
    qint64 m_top = 0;         // the line drawn at the top
    qint64 m_barBase = 0;     // m_first when the scroll bars were last set
    bool m_follow = true;     // the newest line stays in sight
    bool m_settingBars = false;
    qsizetype m_longest = 0; // columns of the longest line, tabs expanded
    bool m_pending = false;
    bool m_lastWasCr = false; // an LF right after it ends no further line
    Place m_anchor, m_cursor; // the selection, when they differ; the caret
    bool m_dragging = false;
    QPoint m_dragAt;
    QTimer m_dragTimer;
    // What assistive tools were last told: the first character and the end.
    qint64 m_toldFirst = 0, m_toldEnd = 0;
    QString m_droppedUntold; // dropped since, kept only while a tool listens
    mutable QHash<QString, QStaticText> m_laidOut;
    QList<QAction*> m_menuActions;
};

} // namespace app
