#pragma once
// File names as the system has them. On Linux a name is bytes, and not every
// name is valid UTF-8 (a Latin-1 "café.txt"); Qt's own listings leave such
// names out and its conversions lose their bytes. Here a byte that does not
// decode is carried in a QString as U+DC80 + byte (a lone surrogate, which no
// decoded text holds), so the name comes back byte for byte; it is shown as
// U+FFFD.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace dialogs {

QString nameFromBytes(const QByteArray& bytes);
QByteArray bytesOfName(const QString& name);
// As a person reads it: each byte that did not decode as U+FFFD.
QString shownName(const QString& name);
// True when the name holds such a byte: Qt's file classes cannot open it.
bool hasUndecodedBytes(const QString& name);

// The names of the files in folder (hidden ones and folders left out; a link
// counts as what it leads to) that match one of the patterns, case ignored.
QStringList filesIn(const QString& folder, const QStringList& patterns);

} // namespace dialogs
