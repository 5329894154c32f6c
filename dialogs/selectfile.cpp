#include "dialogs/selectfile.h"

#include "dialogs/alert.h"
#include "dialogs/filenames.h"
#include "util/paths.h"
#include "util/system.h"

#include <QCollator>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QFileSystemWatcher>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QStorageInfo>
#include <QTreeView>

#ifdef Q_OS_UNIX
#include <pwd.h>
#endif

namespace dialogs {

namespace {

constexpr int kClientWidth = 4455;
constexpr int kClientHeight = 5715;

bool isWithin(const QString& path, const QString& folder) {
    return path.startsWith(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
}

// What the directory list shows of the file system: the path from the top
// down to the current folder, then its subfolders.
class ShownFolder : public QSortFilterProxyModel {
  public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setFolder(const QString& folder) {
        m_folder = folder;
        invalidateFilter();
    }

  protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* fs = static_cast<const QFileSystemModel*>(sourceModel());
        const QModelIndex index = fs->index(row, 0, parent);
        const bool inFolder = parent.isValid() && QDir::cleanPath(fs->filePath(parent)) == m_folder;
        const QString path = QDir::cleanPath(fs->filePath(index));
        return inFolder || path == m_folder || isWithin(m_folder, path);
    }

  private:
    QString m_folder;
};

// "~" and "~user" at the front stand for a home folder.
QString expandHome(const QString& typed) {
    if (!typed.startsWith(QLatin1Char('~'))) return typed;
    const qsizetype end = typed.indexOf(QLatin1Char('/'));
    const QString user = typed.mid(1, end < 0 ? -1 : end - 1);
    QString home;
    if (user.isEmpty()) {
        home = QDir::homePath();
    } else {
#ifdef Q_OS_UNIX
        if (const passwd* entry = ::getpwnam(QFile::encodeName(user).constData()))
            home = QFile::decodeName(entry->pw_dir);
#endif
    }
    if (home.isEmpty()) return typed; // no such user: a name like any other
    return home + (end < 0 ? QString() : typed.mid(end));
}

QStringList namesOf(const QString& text) {
    QStringList names = text.split(QStringLiteral("\r\n"));
    while (!names.isEmpty() && names.last().isEmpty())
        names.removeLast();
    return names;
}

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
    m_dirView = new ShownFolder(this);
    m_dirView->setSourceModel(m_dirs);
    // Listed here, not by Qt's model, which leaves out names that are not
    // valid UTF-8.
    m_files = new QStandardItemModel(this);
    m_watch = new QFileSystemWatcher(this);
    connect(m_watch, &QFileSystemWatcher::directoryChanged, this, &SelectFile::listFiles);

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
    for (QWidget* w : {static_cast<QWidget*>(m_filelist), static_cast<QWidget*>(m_filename),
                       static_cast<QWidget*>(m_filemask)})
        w->installEventFilter(this);
    auto* ok = static_cast<QPushButton*>(controls.value("okbutton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &SelectFile::okbutton_Click);
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
    m_patterns = patterns.isEmpty() ? QStringList{"*"} : patterns;
    listFiles();
}

void SelectFile::setFileFolder(const QString& folder) {
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    if (!m_watch->directories().isEmpty()) m_watch->removePaths(m_watch->directories());
    m_fileFolder = clean;
    if (QFileInfo(clean).isDir()) m_watch->addPath(clean);
    listFiles();
}

void SelectFile::listFiles() {
    QStringList names = filesIn(m_fileFolder, m_patterns);
    QCollator order;
    order.setNumericMode(true);
    order.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(names.begin(), names.end(), order);
    m_files->clear();
    for (const QString& name : names) {
        auto* item = new QStandardItem(shownName(name));
        item->setData(name, kNameRole);
        if (hasUndecodedBytes(name))
            item->setToolTip(QStringLiteral("Its name is not valid UTF-8: \uFFFD stands for "
                                            "each byte that is not."));
        m_files->appendRow(item);
    }
}

void SelectFile::setDirFolder(const QString& folder) {
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    if (clean == m_folder) return;
    m_folder = clean;
    static_cast<ShownFolder*>(m_dirView)->setFolder(clean);
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
    QString text = m_filename->toPlainText();
    for (QChar lineBreak : {QChar(0x2028), QChar(0x2029)})
        text.replace(lineBreak, QLatin1Char('\n'));
    return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

void SelectFile::setPurpose(Purpose purpose) {
    m_purpose = purpose;
    m_saveName = fileName();
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
    if (m_purpose == Purpose::Open) m_filename->clear();
}

void SelectFile::filelist_DblClick() {
    QModelIndexList selected = m_filelist->selectionModel()->selectedIndexes();
    std::sort(selected.begin(), selected.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QStringList names;
    for (const QModelIndex& index : selected)
        if (index.column() == 0) names << index.data().toString();
    m_filename->setPlainText(names.join(QStringLiteral("\r\n")));
    m_filecount->setText(QString::number(names.size()));
}

QString SelectFile::listedName(const QString& shown) const {
    if (!shown.contains(QChar::ReplacementCharacter)) return shown;
    for (int row = 0; row < m_files->rowCount(); ++row)
        if (m_files->item(row)->text() == shown)
            return m_files->item(row)->data(kNameRole).toString();
    return shown;
}

void SelectFile::okbutton_Click() {
    const QString folder = QDir::toNativeSeparators(m_folder);
    QStringList names = namesOf(fileName());
    if (names.size() == 1) {
        const QString name = expandHome(names.front());
        if (name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'))) {
            m_filemask->setText(name);
            m_filename->setPlainText(m_saveName);
            return;
        }
        // Through bytes: a listed name that is not valid UTF-8 keeps them.
        const QString path =
            QDir::cleanPath(nameFromBytes(QByteArray::fromStdString(util::chosenPath(
                bytesOfName(folder).toStdString(),
                bytesOfName(QDir::toNativeSeparators(listedName(name))).toStdString()))));
        if (QFileInfo(path).isDir()) {
            setDirFolder(path);
            m_filename->setPlainText(m_saveName);
            return;
        }
        names = {QDir::toNativeSeparators(path)};
    }
    if (m_purpose == Purpose::Save) {
        const QString refusal = names.size() > 1  ? QStringLiteral("Give one file name.")
                                : names.isEmpty() ? QString()
                                                  : writeRefusal(names.front());
        if (!refusal.isEmpty()) {
            showalert(this, windowTitle(), refusal, 0);
            return;
        }
    }
    m_chosen = names.size() == 1 ? names.front()
                                 : QString::fromStdString(util::chosenPath(
                                       folder.toStdString(), fileName().toStdString()));
    accept();
}

void SelectFile::cancelbutton_Click() {
    m_filename->clear();
    reject();
}

void SelectFile::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_filemask->setText(m_pattern);
    // Ready for a name: typed over the one given, or after it.
    m_filename->setFocus(Qt::OtherFocusReason);
    m_filename->selectAll();
}

// Return chooses, in the name box and in the file list; Shift+Return in the
// name box starts the next name.
bool SelectFile::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return QDialog::eventFilter(watched, event);
    // The list follows the mask as it is typed: Return there chooses nothing.
    if (watched == m_filemask) return true;
    const auto modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (watched == m_filename && modifiers == Qt::ShiftModifier) {
        m_filename->insertPlainText(QStringLiteral("\n"));
        return true;
    }
    if (modifiers != Qt::NoModifier) return QDialog::eventFilter(watched, event);
    if (watched == m_filelist && m_filelist->selectionModel()->hasSelection()) filelist_DblClick();
    okbutton_Click();
    return true;
}

QString writeRefusal(const QString& path) {
    if (hasUndecodedBytes(path))
        return QStringLiteral("%1 cannot be saved here: its name is not valid UTF-8. Give "
                              "another name.")
            .arg(shownName(path));
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.exists())
        return QStringLiteral("%1 cannot be saved: the folder %2 does not exist.")
            .arg(path, QDir::toNativeSeparators(folder.filePath()));
    if (!folder.isDir())
        return QStringLiteral("%1 cannot be saved: %2 is not a folder.")
            .arg(path, QDir::toNativeSeparators(folder.filePath()));
    if (file.isDir()) return QStringLiteral("%1 is a folder.").arg(path);
    if (file.exists() && !file.isFile())
        return QStringLiteral("%1 is not a plain file (a device, pipe or socket).").arg(path);
    // A whole new file is written beside the old one, then takes its name.
    if (!folder.isWritable())
        return QStringLiteral("%1 cannot be saved: the folder %2 cannot be written (no "
                              "permission, or a read-only disk).")
            .arg(path, QDir::toNativeSeparators(folder.filePath()));
    return {};
}

QString choosefile(QWidget* parent, QString initialName, const QString& mask,
                   const QString& startFolder, const QString& title, Purpose purpose) {
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
    dialog.setPurpose(purpose);
    dialog.setWindowTitle(title);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    QDir::setCurrent(dialog.dirFolder());
    return accepted ? dialog.chosen() : QString();
}

} // namespace dialogs
