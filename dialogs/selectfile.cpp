#include "dialogs/selectfile.h"

#include "util/paths.h"
#include "util/system.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStorageInfo>
#include <QTreeView>

namespace dialogs {

namespace {

constexpr int kClientWidth = 4455;
constexpr int kClientHeight = 5715;

bool isWithin(const QString& path, const QString& folder) {
    return path.startsWith(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
}

// The folders a directory list shows: the path from the top down to the
// current folder, then the current folder's subfolders.
class FolderChain : public QSortFilterProxyModel {
  public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setCurrent(const QString& folder) {
        m_current = folder;
        invalidateFilter();
    }

  protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* fs = static_cast<const QFileSystemModel*>(sourceModel());
        const QString path = QDir::cleanPath(fs->filePath(fs->index(row, 0, parent)));
        return path == m_current || isWithin(m_current, path) ||
               (parent.isValid() && QDir::cleanPath(fs->filePath(parent)) == m_current);
    }

  private:
    QString m_current;
};

// Where a drive list entry's volume holds folder: the longest entry it lies in.
int driveOf(const QStringList& drives, const QString& folder) {
    int best = -1;
    for (int i = 0; i < drives.size(); ++i) {
        const QString d = QDir::cleanPath(QDir::fromNativeSeparators(drives[i]));
        if ((folder == d || isWithin(folder, d)) && (best < 0 || d.size() > drives[best].size()))
            best = i;
    }
    return best;
}

} // namespace

// One control a row, as the layout tables have them.
// clang-format off
const Rows& selectfileRows() {
    static const Rows rows = {
        {.name = "filename", .kind = Kind::TextArea, .left = 45, .top = 45, .width = 2085, .height = 780, .flags = VScroll, .accessible = "File name", .tab = 3},
        {.name = "Label1", .text = "Files: ", .left = 45, .top = 900, .width = 1095, .height = 255, .tab = 6},
        {.name = "filecount", .kind = Kind::TextBox, .left = 495, .top = 855, .width = 645, .height = 285, .accessible = "Label1", .tab = 10},
        {.name = "filemask", .kind = Kind::TextBox, .left = 1170, .top = 855, .width = 975, .height = 285, .accessible = "File mask", .tab = 9},
        {.name = "filelist", .kind = Kind::Custom, .left = 45, .top = 1170, .width = 2115, .height = 3990, .accessible = "Files", .tab = 1},
        {.name = "Label2", .text = "Directories:", .left = 2205, .top = 45, .width = 1335, .height = 255, .tab = 7},
        {.name = "dirlist", .kind = Kind::Custom, .left = 2205, .top = 270, .width = 2190, .height = 4365, .accessible = "Label2", .tab = 0},
        {.name = "Label3", .text = "Drives", .left = 2205, .top = 4635, .width = 630, .height = 255, .tab = 8},
        {.name = "drivelist", .kind = Kind::ComboBox, .left = 2205, .top = 4860, .width = 2145, .height = 315, .accessible = "Label3", .tab = 2},
        {.name = "okbutton", .kind = Kind::Button, .text = "OK", .left = 45, .top = 5220, .width = 2130, .height = 330, .tab = 4},
        {.name = "cancelbutton", .kind = Kind::Button, .text = "Cancel", .left = 2250, .top = 5220, .width = 2130, .height = 330, .tab = 5},
    };
    return rows;
}
// clang-format on

QStringList driveList() {
    QStringList drives;
#ifdef Q_OS_WIN
    for (const QFileInfo& drive : QDir::drives())
        drives << QDir::toNativeSeparators(drive.absolutePath());
#else
    drives << QStringLiteral("/") << QDir::homePath();
    // What a user would pick: disks and network shares, not the system's own
    // places or its pseudo file systems.
    static const QStringList system = {"/proc", "/sys", "/dev", "/run", "/boot", "/snap",
                                       "/etc",  "/usr", "/var", "/lib", "/tmp"};
    static const QByteArrayList network = {"nfs", "nfs4", "cifs", "smb3", "fuse.sshfs", "9p"};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (!volume.isValid() || !volume.isReady() || drives.contains(root)) continue;
        if (!volume.device().startsWith("/dev/") && !network.contains(volume.fileSystemType()))
            continue;
        if (!QFileInfo(root).isDir()) continue; // a single file mounted over another
        const bool systemPlace =
            std::any_of(system.begin(), system.end(),
                        [&](const QString& s) { return root == s || isWithin(root, s); }) &&
            !isWithin(root, QStringLiteral("/run/media"));
        if (!systemPlace) drives << root;
    }
#endif
    return drives;
}

SelectFile::SelectFile(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral(" "));
    setFixedSize(pixels(kClientWidth), pixels(kClientHeight));
    m_dirs = new QFileSystemModel(this);
    m_dirs->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    m_dirs->setRootPath(QString());
    m_dirView = new FolderChain(this);
    m_dirView->setSourceModel(m_dirs);
    m_files = new QFileSystemModel(this);
    m_files->setFilter(QDir::Files | QDir::NoDotAndDotDot);
    m_files->setNameFilterDisables(false);

    controls = buildControls(this, selectfileRows(), [](const ControlRow& row, QWidget* parent) {
        if (row.name == QLatin1String("filelist"))
            return static_cast<QWidget*>(new QListView(parent));
        return static_cast<QWidget*>(new QTreeView(parent));
    });
    dialogs::setTabOrder(controls, selectfileRows());
    m_filename = static_cast<QPlainTextEdit*>(controls.value("filename"));
    m_filecount = static_cast<QLineEdit*>(controls.value("filecount"));
    m_filemask = static_cast<QLineEdit*>(controls.value("filemask"));
    m_filelist = static_cast<QListView*>(controls.value("filelist"));
    m_dirlist = static_cast<QTreeView*>(controls.value("dirlist"));
    m_drivelist = static_cast<QComboBox*>(controls.value("drivelist"));

    m_filelist->setModel(m_files);
    m_filelist->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_filelist->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_dirlist->setModel(m_dirView);
    m_dirlist->setHeaderHidden(true);
    for (int column = 1; column < m_dirs->columnCount(); ++column)
        m_dirlist->hideColumn(column);
    m_dirlist->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_drivelist->addItems(driveList());

    connect(m_filemask, &QLineEdit::textChanged, this, &SelectFile::filemask_Change);
    connect(m_drivelist, &QComboBox::activated, this, &SelectFile::drivelist_Change);
    connect(m_dirlist, &QTreeView::activated, this, [this](const QModelIndex& index) {
        setDirFolder(m_dirs->filePath(m_dirView->mapToSource(index)));
    });
    connect(m_filelist, &QListView::doubleClicked, this, &SelectFile::filelist_DblClick);
    connect(static_cast<QPushButton*>(controls.value("okbutton")), &QPushButton::clicked, this,
            &SelectFile::okbutton_Click);
    connect(static_cast<QPushButton*>(controls.value("cancelbutton")), &QPushButton::clicked, this,
            &SelectFile::cancelbutton_Click);
}

void SelectFile::setPattern(const QString& mask) {
    m_pattern = mask;
    QStringList patterns;
    for (const QString& p : mask.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = p.trimmed();
        // "*.*" means every file, those without a dot in their name too.
        if (!trimmed.isEmpty()) patterns << (trimmed == QLatin1String("*.*") ? "*" : trimmed);
    }
    m_files->setNameFilters(patterns.isEmpty() ? QStringList{"*"} : patterns);
}

void SelectFile::setFileFolder(const QString& folder) {
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    m_files->setRootPath(clean);
    m_filelist->setRootIndex(m_files->index(clean));
}

void SelectFile::setDirFolder(const QString& folder) {
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    if (clean == m_folder) return;
    m_folder = clean;
    static_cast<FolderChain*>(m_dirView)->setCurrent(clean);
    // Open every folder from the top down to the current one.
    for (QModelIndex index = m_dirs->index(clean); index.isValid(); index = index.parent())
        m_dirlist->expand(m_dirView->mapFromSource(index));
    m_dirlist->setCurrentIndex(m_dirView->mapFromSource(m_dirs->index(clean)));
    const int drive = driveOf(driveList(), clean);
    if (drive >= 0 && m_drivelist->count() > drive) m_drivelist->setCurrentIndex(drive);
    dirlist_Change();
}

QString SelectFile::fileName() const {
    // The box shows a line break as one; the names stand on CR LF lines.
    return m_filename->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

void SelectFile::setFileName(const QString& name) {
    m_filename->setPlainText(name);
}

void SelectFile::filemask_Change() {
    setPattern(m_filemask->text());
}

void SelectFile::drivelist_Change() {
    setDirFolder(QDir::fromNativeSeparators(m_drivelist->currentText()));
    setFileFolder(m_folder);
}

void SelectFile::dirlist_Change() {
    setFileFolder(m_folder);
    m_filename->clear();
}

void SelectFile::filelist_DblClick() {
    QModelIndexList selected = m_filelist->selectionModel()->selectedIndexes();
    std::sort(selected.begin(), selected.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QStringList names;
    for (const QModelIndex& index : selected)
        if (index.column() == 0) names << m_files->fileName(index);
    m_filename->setPlainText(names.join(QStringLiteral("\r\n")));
    m_filecount->setText(QString::number(names.size()));
}

void SelectFile::okbutton_Click() {
    hide();
}

void SelectFile::cancelbutton_Click() {
    m_filename->clear();
    hide();
}

void SelectFile::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_filemask->setText(m_pattern);
}

void SelectFile::closeEvent(QCloseEvent* event) {
    m_filename->clear();
    QDialog::closeEvent(event);
}

QString choosefile(QWidget* parent, QString initialName, const QString& mask,
                   const QString& startFolder, const QString& title) {
    std::string initial = initialName.toStdString();
    QString start = startFolder;
    if (start.isEmpty()) {
        start = QString::fromStdString(util::pathpart(initial, 3));
        initialName = QString::fromStdString(initial);
        if (start.isEmpty()) start = QDir::currentPath();
    }
    if (!util::pathexists(start.toStdString()))
        start = QString::fromStdString(util::programdirectory());

    SelectFile dialog(parent);
    dialog.setPattern(mask.isEmpty() ? QStringLiteral("*.*") : mask);
    dialog.setFileFolder(start);
    dialog.setDirFolder(start);
    dialog.setFileName(initialName);
    dialog.setWindowTitle(title);
    dialog.exec();

    const QString folder = QDir::toNativeSeparators(dialog.dirFolder());
    const std::string path =
        util::chosenPath(folder.toStdString(), dialog.fileName().toStdString());
    QDir::setCurrent(dialog.dirFolder());
    return QString::fromStdString(path);
}

} // namespace dialogs
