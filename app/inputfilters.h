#pragma once
// Small input behaviours of the window's boxes and lists, each a filter of
// its own on the widget it serves (and owned by it).
#include <QObject>

#include <functional>

class QComboBox;
class QPlainTextEdit;
class QWidget;

namespace app {

class QueueMarks;

// A double-click in the box runs the action (emptying it, most often);
// other mouse events go on.
class DoubleClickAction : public QObject {
    Q_OBJECT
  public:
    static void install(QWidget* box, std::function<void()> action);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    DoubleClickAction(QObject* target, std::function<void()> action);
    std::function<void()> m_action;
};

// The command queue's keys: Ctrl+Return sends it; Tab is a character there,
// so Ctrl+Tab and Ctrl+Shift+Tab leave it. Hovering a mark shows its reason.
class QueueKeys : public QObject {
    Q_OBJECT
  public:
    QueueKeys(QPlainTextEdit* queue, const QueueMarks* marks, std::function<void()> send);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPlainTextEdit* m_queue;
    // Kept from the start: while the queue is being destroyed its viewport
    // still sends events here, and the queue can no longer be asked for it.
    QObject* m_viewport;
    const QueueMarks* m_marks;
    std::function<void()> m_send;
};

// A list that is chosen from, never typed into: Tab still leaves it and
// Space opens it.
class ChooseOnly : public QObject {
    Q_OBJECT
  public:
    static void install(QComboBox* list);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    using QObject::QObject;
};

// Where a text box takes its mouse: the viewport of a scrolled one.
QObject* mouseTarget(QWidget* box);

} // namespace app
