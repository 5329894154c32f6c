#pragma once
// Files the window writes whole: the new contents go to a file beside the
// old one, which takes its name only once every byte is written. A full disk
// or a kill mid-write leaves the old file as it was.
#include <QByteArray>
#include <QString>

namespace app {

// False with "path: reason" in error when the file could not be written.
bool writeWhole(const QString& path, const QByteArray& bytes, QString& error);

} // namespace app
