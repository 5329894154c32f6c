#include "app/settings.h"

#include "app/savefile.h"
#include "controls/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace app {

namespace {

QString fileIn(const QString& folder) {
    return QDir(folder).filePath(QString::fromLatin1(controls::kSettingsFileName.data(),
                                                     controls::kSettingsFileName.size()));
}

bool write(const QString& path, const QString& loaddirectory, QString& error) {
    return writeWhole(
        path, QByteArray::fromStdString(controls::settingsText(loaddirectory.toStdString())),
        error);
}

// The file in folder, created with the default where it is missing; false
// when it can be neither written nor made there.
bool usable(const QString& folder, QString& path) {
    if (folder.isEmpty()) return false;
    path = fileIn(folder);
    // Written whole through a new file beside it: the folder must take one.
    if (QFileInfo(path).isFile())
        return QFile(path).open(QIODevice::ReadWrite) && QFileInfo(folder).isWritable();
    if (QFileInfo::exists(path)) return false; // a folder or device of that name
    QDir().mkpath(folder);
    QString ignored;
    return write(path, Settings::defaultDirectory(), ignored);
}

} // namespace

Settings::Settings(QString programFolder, QString configFolder)
    : m_programFolder(std::move(programFolder)), m_configFolder(std::move(configFolder)) {}

QString Settings::defaultDirectory() {
#ifdef Q_OS_WIN
    return QStringLiteral("c:\\");
#else
    return QDir::homePath() + QLatin1Char('/');
#endif
}

bool Settings::installed(const QString& programFolder) {
    if (programFolder.isEmpty()) return false;
    const QDir folder(programFolder);
    return folder.dirName() == QLatin1String("bin") &&
           QFileInfo(folder.filePath(QStringLiteral("../share/i2cmaster"))).isDir();
}

QString Settings::load() {
    if (!usable(m_programFolder, m_path) && !usable(m_configFolder, m_path)) {
        m_path = fileIn(m_configFolder.isEmpty() ? m_programFolder : m_configFolder);
        return defaultDirectory();
    }
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) return defaultDirectory();
    // Enough to tell a line that is too long.
    const QByteArray head = file.read(controls::kMaxSettingsLine + 2);
    const auto line = controls::settingsLine(std::string_view(head.constData(), head.size()));
    return line ? QString::fromStdString(*line) : defaultDirectory();
}

bool Settings::save(const QString& loaddirectory, QString& error) const {
    return write(m_path, loaddirectory, error);
}

} // namespace app
