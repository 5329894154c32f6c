#include "app/settings.h"

#include "app/savefile.h"
#include "controls/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

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
// with the reason when it can be neither written nor made there.
bool usable(const QString& folder, QString& path, QString& problem) {
    if (folder.isEmpty()) return false;
    path = fileIn(folder);
    std::error_code made;
    std::filesystem::create_directories(std::filesystem::path(folder.toStdU16String()), made);
    if (made) {
        problem = folder + QStringLiteral(": ") + QString::fromLocal8Bit(made.message());
        return false;
    }
    const QFileInfo file(path);
    if (file.exists() && !file.isFile()) {
        problem = path + QStringLiteral(": not a file");
        return false;
    }
    // Written whole through a new file beside it: the folder must take one.
    QTemporaryFile probe(path + QStringLiteral(".XXXXXX"));
    if (!probe.open()) {
        problem = folder + QStringLiteral(": ") + probe.errorString();
        return false;
    }
    if (!file.exists()) return write(path, Settings::defaultDirectory(), problem);
    QFile existing(path);
    if (existing.open(QIODevice::ReadWrite)) return true;
    problem = path + QStringLiteral(": ") + existing.errorString();
    return false;
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
    m_problem.clear();
    if (!usable(m_programFolder, m_path, m_problem) && !usable(m_configFolder, m_path, m_problem)) {
        m_path = fileIn(m_configFolder.isEmpty() ? m_programFolder : m_configFolder);
        return defaultDirectory();
    }
    m_problem.clear(); // the program's folder may have failed before
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_problem = m_path + QStringLiteral(": ") + file.errorString();
        return defaultDirectory();
    }
    // Enough to tell a line that is too long.
    const QByteArray head = file.read(controls::kMaxSettingsLine + 2);
    const auto line = controls::settingsLine(std::string_view(head.constData(), head.size()));
    return line ? QString::fromStdString(*line) : defaultDirectory();
}

bool Settings::save(const QString& loaddirectory, QString& error) const {
    return write(m_path, loaddirectory, error);
}

} // namespace app
