#pragma once
// The activity view's files: "Save activity as…" writes what the view shows;
// "Export picture…" the bus picture's strips in sight, as SVG or PNG;
// "Record session to file…" records every frame and port event from then on,
// until stopped. Names come from the program's own dialog, in the folder of
// the last save or record, else the load folder; an existing file is
// replaced (or, for a record, added to) only when the user says so. A
// recording that fails is said once, and the action offers to record again.
#include "link/modulesession.h"
#include "link/recorder.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QAction;
class QWidget;

namespace app {

class ActivityView;
class PictureView;

class SessionFiles : public QObject {
    Q_OBJECT
  public:
    using Alert = std::function<void(const QString& title, const QString& message)>;

    // loadFolder: where the first dialog opens.
    SessionFiles(ActivityView* view, PictureView* picture, serial::ModuleSession& session,
                 Alert alert, std::function<QString()> loadFolder, QWidget* dialogParent);

    void saveActivity();
    void recordSession();
    void exportPicture();
    // For the activity view's context menu, and the picture's.
    QList<QAction*> activityActions() const { return {m_saveAction, m_recordAction}; }
    QAction* exportAction() const { return m_exportAction; }

  private:
    struct NewFile {
        QString path;
        bool append = false;
    };
    std::optional<NewFile> chooseNewFile(const QString& name, const QString& title, bool mayAppend,
                                         const QString& mask = QStringLiteral("*.txt"));

    ActivityView* m_view;
    PictureView* m_picture;
    serial::ModuleSession& m_session;
    Alert m_alert;
    std::function<QString()> m_loadFolder;
    QWidget* m_dialogParent;
    serial::Recorder m_recorder;
    QAction* m_saveAction;
    QAction* m_recordAction;
    QAction* m_exportAction;
    QString m_saveFolder; // of the last save or record
};

} // namespace app
