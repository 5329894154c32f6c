#pragma once
// Where i2c.ini lives and what it says. A file that cannot be read or makes
// no sense gives the default, and the window opens regardless; problem() says
// when no file can be kept, so the window can tell the user.
//
// The file lives beside the program; where that folder cannot be written it
// lives in the user's configuration folder instead. An installed program (see
// installed()) passes no program folder, so its file is always the user's.
#include <QString>

namespace app {

class Settings {
  public:
    // configFolder: where the file goes when programFolder cannot take it.
    Settings(QString programFolder, QString configFolder);

    // Finds or creates the file (holding the default) and reads its first line.
    QString load();
    // Replaces the file whole with the line (the old one stays when that
    // fails); false with the reason.
    bool save(const QString& loaddirectory, QString& error) const;

    QString path() const { return m_path; }
    // Why load() found no file that can be kept ("where: reason"), or "".
    QString problem() const { return m_problem; }
    static QString defaultDirectory();

    // True for <prefix>/bin beside <prefix>/share/i2cmaster, the layout the
    // package installs. Root, or a user with an unpacked copy, could write
    // there, but one file beside a shared program would serve every user.
    static bool installed(const QString& programFolder);

  private:
    QString m_programFolder;
    QString m_configFolder;
    QString m_path;
    QString m_problem;
};

} // namespace app
