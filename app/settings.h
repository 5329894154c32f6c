#pragma once
// Where i2c.ini lives and what it says. Nothing here fails loudly: a file
// that cannot be read or makes no sense gives the default, and the window
// opens regardless.
//
// The file lives beside the program; where that folder cannot be written (an
// installed program) it lives in the user's configuration folder instead.
#include <QString>

namespace app {

class Settings {
  public:
    // configFolder: where the file goes when programFolder cannot take it.
    Settings(QString programFolder, QString configFolder);

    // Finds or creates the file (holding the default) and reads its first line.
    QString load();
    // Replaces the file's contents with the line; false with the reason.
    bool save(const QString& loaddirectory, QString& error) const;

    QString path() const { return m_path; }
    static QString defaultDirectory();

  private:
    QString m_programFolder;
    QString m_configFolder;
    QString m_path;
};

} // namespace app
