#pragma once
// The program's own file selection dialog and choosefile, which drives it.
//
// A drive list (on Linux and macOS: "/", the home folder and the mounted
// volumes a user would pick), a directory list (the path from the top down to
// the current folder, then its subfolders), a file list of the current
// folder's files that match the mask (patterns separated by ";", hidden files
// left out, extended selection) and a name box. An unreadable folder shows as
// empty. Qt's file-system model reads the folders, in the background; the
// files are listed at once, names that are not valid UTF-8 among them.
//
// OK (or Return in the name box or the file list) accepts the typed name;
// Cancel, Escape and the close box reject, and choosefile then answers "".
// A name is taken as the user wrote it: an absolute path, "~" or "~user" for
// a home folder, folders relative to the shown one. A typed folder moves the
// dialog there, a typed pattern ("*.log") becomes the mask. Shift+Return
// starts a second name.
#include "dialogs/form.h"

#include <QDialog>
#include <QString>

class QComboBox;
class QFileSystemModel;
class QFileSystemWatcher;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTreeView;

namespace dialogs {

const Rows& selectfileRows();

// Open takes any name. Save keeps its name when the folder changes, and
// refuses (saying why, the dialog staying open) a name that cannot be
// written: a missing folder, one without write permission, a folder, a
// device or several names.
enum class Purpose { Open, Save };

// Why a file cannot be written at path (made or replaced whole), or "".
QString writeRefusal(const QString& path);

// The volumes the drive list offers, in order.
QStringList driveList();

class SelectFile : public QDialog {
    Q_OBJECT
  public:
    explicit SelectFile(QWidget* parent = nullptr);

    void setPattern(const QString& mask);
    void setFileFolder(const QString& folder);
    // Makes folder the directory list's current one (dirlist_Change runs when
    // it changes).
    void setDirFolder(const QString& folder);
    QString dirFolder() const { return m_folder; }
    QString fileName() const;
    void setFileName(const QString& name);
    void setPurpose(Purpose purpose);
    // What OK chose: "" for no name.
    QString chosen() const { return m_chosen; }

    void filemask_Change();
    void drivelist_Change();
    void dirlist_Change();
    void filelist_DblClick();
    void okbutton_Click();
    void cancelbutton_Click();

    Controls controls;
    // The name a file list entry stands for (see filenames.h).
    static constexpr int kNameRole = Qt::UserRole + 1;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void listFiles();
    QString listedName(const QString& shown) const;
    QString m_folder;
    QString m_fileFolder;
    QStringList m_patterns{QStringLiteral("*")};
    QString m_pattern;
    QString m_chosen;
    Purpose m_purpose = Purpose::Open;
    QString m_saveName; // the name a save starts with
    QFileSystemModel* m_dirs;
    QSortFilterProxyModel* m_dirView;
    QStandardItemModel* m_files;
    QFileSystemWatcher* m_watch;
    QPlainTextEdit* m_filename;
    QLineEdit* m_filecount;
    QLineEdit* m_filemask;
    QListView* m_filelist;
    QTreeView* m_dirlist;
    QComboBox* m_drivelist;
};

// Shows the dialog and answers the chosen path, "" when cancelled. A start
// folder that does not exist gives the program's folder; an empty mask all
// files. Afterwards the process's current folder is the one last shown.
QString choosefile(QWidget* parent, QString initialName, const QString& mask,
                   const QString& startFolder, const QString& title,
                   Purpose purpose = Purpose::Open);

} // namespace dialogs
