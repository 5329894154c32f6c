#include "cli/ports.h"

#include "cli/io.h"
#include "link/portnames.h"
#include "util/system.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>

namespace cli {

namespace {

// The stable name under /dev/serial/by-id of each device that has one.
QMap<QString, QString> stableNames() {
    QMap<QString, QString> names;
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const auto& entry : byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        if (const QString target = entry.canonicalFilePath(); !target.isEmpty())
            names.insert(target, entry.absoluteFilePath());
    return names;
}

std::string padded(const QString& text, int width) {
    return text.leftJustified(width).toStdString();
}

} // namespace

int portsCommand(const CommandLine&) {
    const auto adapters = serial::comOrder(serial::presentAdapters());
    const auto names = stableNames();
    std::string text;
    bool unbound = false;
    for (int n = 1; n <= kComNames; ++n) {
        const QString name = QStringLiteral("COM%1").arg(n);
        const auto where = serial::resolvePortName(name);
        unbound = unbound || !where.found();
        text += padded(name, 6) + (where.found()
                                       ? padded(where.device, 14) + "  " + where.how.toStdString()
                                       : std::string("-"));
        text += '\n';
    }
    text += "\nSerial adapters present:";
    text += adapters.isEmpty() ? " none\n" : "\n";
    for (const auto& a : adapters) {
        text += "  " + padded(a.systemLocation, 14);
        if (!a.description.isEmpty()) text += "  " + a.description.toStdString();
        if (names.contains(a.systemLocation))
            text +=
                "\n  " + std::string(14, ' ') + "  " + names.value(a.systemLocation).toStdString();
        text += '\n';
    }
    if (unbound)
        text += "\nTo bind a name to a device: ln -s DEVICE " +
                QDir(QString::fromStdString(util::programdirectory()))
                    .filePath(QStringLiteral("COMn"))
                    .toStdString() +
                "\n(a name under /dev/serial/by-id stays with its adapter whatever else is "
                "plugged in).\n";
    writeOut(text);
    return 0;
}

} // namespace cli
