#pragma once
// The program's own file selection dialog and choosefile, which drives it.
//
// A drive list (on Linux and macOS: "/", the home folder and the mounted
// volumes a user would pick), a directory list (the path from the top down to
// the current folder, then its subfolders), a file list of the current
// folder's files that match the mask (patterns separated by ";", hidden files
// left out, extended selection) and a name box. An unreadable folder shows as
// empty. Qt's file-system model reads the folders, in the background.
#include "dialogs/form.h"

#include <QDialog>
#include <QString>

class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QSortFilterProxyModel;
class QTreeView;

namespace dialogs {

const Rows& selectfileRows();

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

    void filemask_Change();
    void drivelist_Change();
    void dirlist_Change();
    void filelist_DblClick();
    void okbutton_Click();
    void cancelbutton_Click();

    Controls controls;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QString m_folder;
    QString m_pattern;
    QFileSystemModel* m_dirs;
    QSortFilterProxyModel* m_dirView;
    QFileSystemModel* m_files;
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
                   const QString& startFolder, const QString& title);

} // namespace dialogs
