#include "app/savefile.h"

#include <QSaveFile>

namespace app {

bool writeWhole(const QString& path, const QByteArray& bytes, QString& error) {
    QSaveFile file(path);
    // flush() first: commit() alone takes a short write (a disk that fills
    // midway) for a whole one and puts the short file in the old one's place.
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() &&
        file.commit())
        return true;
    error = path + QStringLiteral(": ") + file.errorString();
    return false;
}

} // namespace app
