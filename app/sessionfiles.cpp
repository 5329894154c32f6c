#include "app/sessionfiles.h"

#include "app/activityview.h"
#include "app/pictureview.h"
#include "app/savefile.h"
#include "dialogs/alert.h"
#include "dialogs/selectfile.h"
#include "render/picturepainter.h"

#include <QAction>
#include <QFileInfo>

namespace app {

namespace {

const QString kSaveText = QStringLiteral("Save activity as\u2026");
const QString kRecordText = QStringLiteral("Record session to file\u2026");
const QString kExportText = QStringLiteral("Export picture\u2026");

} // namespace

SessionFiles::SessionFiles(ActivityView* view, PictureView* picture, serial::ModuleSession& session,
                           Alert alert, std::function<QString()> loadFolder, QWidget* dialogParent)
    : QObject(dialogParent), m_view(view), m_picture(picture), m_session(session),
      m_alert(std::move(alert)), m_loadFolder(std::move(loadFolder)), m_dialogParent(dialogParent) {
    m_saveAction = new QAction(kSaveText, this);
    connect(m_saveAction, &QAction::triggered, this, &SessionFiles::saveActivity);
    m_recordAction = new QAction(kRecordText, this);
    connect(m_recordAction, &QAction::triggered, this, &SessionFiles::recordSession);
    m_exportAction = new QAction(kExportText, this);
    connect(m_exportAction, &QAction::triggered, this, &SessionFiles::exportPicture);
    connect(&m_session, &serial::ModuleSession::recordingStopped, this,
            [this](const QString& error) {
                m_recordAction->setText(kRecordText);
                m_alert(QStringLiteral("Recording stopped"),
                        QStringLiteral("The session can no longer be recorded:\r\n%1").arg(error));
            });
}

std::optional<SessionFiles::NewFile> SessionFiles::chooseNewFile(const QString& name,
                                                                 const QString& title,
                                                                 bool mayAppend,
                                                                 const QString& mask) {
    const QString path = dialogs::choosefile(m_dialogParent, name, mask,
                                             m_saveFolder.isEmpty() ? m_loadFolder() : m_saveFolder,
                                             title, dialogs::Purpose::Save);
    if (path.isEmpty()) return std::nullopt;
    m_saveFolder = QFileInfo(path).absolutePath();
    if (!QFileInfo::exists(path)) return NewFile{path};
    switch (dialogs::askReplace(m_dialogParent, title, path, mayAppend)) {
    case dialogs::ReplaceAnswer::Replace:
        return NewFile{path};
    case dialogs::ReplaceAnswer::Append:
        return NewFile{path, true};
    default:
        return std::nullopt;
    }
}

void SessionFiles::saveActivity() {
    const auto file = chooseNewFile(QStringLiteral("activity.txt"), kSaveText, false);
    if (!file) return;
    // As shown: one character a byte, CR LF line ends.
    const QByteArray text =
        m_view->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toLatin1();
    QString error;
    if (!writeWhole(file->path, text, error))
        m_alert(QStringLiteral("Save error"), QStringLiteral("Cannot save:\r\n%1").arg(error));
}

void SessionFiles::recordSession() {
    if (m_recorder.active()) {
        m_recorder.stop();
        m_recordAction->setText(kRecordText);
        return;
    }
    const auto file = chooseNewFile(QStringLiteral("session.txt"), kRecordText, true);
    if (!file) return;
    QString error;
    const auto mode =
        file->append ? serial::Recorder::Mode::Append : serial::Recorder::Mode::Replace;
    if (!m_recorder.start(file->path, error, mode)) {
        m_alert(QStringLiteral("Record error"), QStringLiteral("Cannot record:\r\n%1").arg(error));
        return;
    }
    m_session.setRecorder(&m_recorder);
    m_recordAction->setText(QStringLiteral("Stop recording"));
}

void SessionFiles::exportPicture() {
    const auto [first, last] = m_picture->rowsInSight();
    if (first == last) {
        m_alert(kExportText.chopped(1),
                QStringLiteral("There is no transaction in sight to export."));
        return;
    }
    const auto file =
        chooseNewFile(QStringLiteral("bus.svg"), kExportText, false, QStringLiteral("*.svg;*.png"));
    if (!file) return;
    // The name says the format; any other name gets an SVG.
    const bool png = file->path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive);
    const auto bytes = render::pictureFile(m_picture->picture(), first, last, png ? "png" : "svg");
    QString error;
    if (!bytes)
        error = file->path + QStringLiteral(": the picture could not be made");
    else if (writeWhole(file->path, *bytes, error))
        return;
    m_alert(QStringLiteral("Export error"), QStringLiteral("Cannot export:\r\n%1").arg(error));
}

} // namespace app
