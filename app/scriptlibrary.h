#pragma once
// The command queue (commands) and where its scripts come from: the example
// list (Combo1), a loaded script file's blocks (Combo2 and the quick-command
// buttons cmmd(0)..cmmd(17)) and the load folder.
//
// A file that cannot be read leaves the buttons, the list, the blocks and
// the queue as they were. Every replacement of the queue is one step of its
// editor's undo.
//
// "Save queue as block…" (the queue's context menu, Ctrl+S in the window)
// adds the queue to a script file as a block, or replaces the block of that
// name when the user says so. The file is written whole or not at all; what
// stops it is said in an alert, and a cancelled dialog writes nothing.
#include "library/blockwriter.h"
#include "library/scriptfile.h"

#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <string>
#include <string_view>

class QAction;
class QComboBox;
class QPlainTextEdit;
class QPoint;
class QPushButton;
class QWidget;

namespace app {

inline constexpr int kScriptBlocks = static_cast<int>(library::kMaxBlocks) + 1;

struct LibraryWidgets {
    QPlainTextEdit* commands;
    QComboBox* Combo1;
    QComboBox* Combo2;
    std::array<QPushButton*, library::kQuickButtons> cmmd;
};

class ScriptLibrary : public QObject {
    Q_OBJECT
  public:
    using Alert = std::function<void(const QString& title, const QString& message, int style)>;

    ScriptLibrary(const LibraryWidgets& widgets, Alert alert, QWidget* dialogParent);

    // The file dialog, in the load folder; then loadScriptFile.
    void Command4_Click();
    // Load without the dialog: path as chosen.
    void loadScriptFile(const QString& path);
    void Combo1_Click();
    void Combo2_Click();
    // The file dialog (offering the file last loaded), the block's name, then
    // the file written.
    void saveQueueAsBlock();
    // Puts a quick button's block in the queue; false for a button without one.
    bool takeQuickBlock(int index);
    void setQueue(const std::string& text);

    library::BlockTable scriptblocks;
    QString loaddirectory;

  private:
    void setQuickCaption(int index, std::string_view caption, std::string_view name);
    void showQueueMenu(const QPoint& at);
    // The file at path with the queue as block `name`, or why not; a block
    // of that name is replaced only when the user says so.
    library::SavedBlock withBlock(const QString& path, const std::string& name,
                                  const std::string& queue);

    LibraryWidgets m_w;
    Alert m_alert;
    QWidget* m_dialogParent;
    QAction* m_saveBlock;
    QString m_lastLoaded; // the path of the last file loaded, as chosen
};

} // namespace app
