#include "link/portnames.h"

#include "util/system.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>

namespace serial {

namespace {

QStringView withoutLeadingZeros(QStringView digits) {
    while (digits.size() > 1 && digits.front() == u'0')
        digits = digits.mid(1);
    return digits;
}

// Digit runs compare by value, so ttyUSB2 comes before ttyUSB10.
bool naturalLess(QStringView a, QStringView b) {
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype ie = i, je = j;
            while (ie < a.size() && a[ie].isDigit())
                ++ie;
            while (je < b.size() && b[je].isDigit())
                ++je;
            const auto na = withoutLeadingZeros(a.mid(i, ie - i));
            const auto nb = withoutLeadingZeros(b.mid(j, je - j));
            if (na.size() != nb.size()) return na.size() < nb.size();
            if (na != nb) return na < nb;
            i = ie, j = je;
        } else {
            if (a[i] != b[j]) return a[i] < b[j];
            ++i, ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

bool isUsbName(const QString& portName) {
    return portName.startsWith(QLatin1String("ttyUSB")) ||
           portName.startsWith(QLatin1String("ttyACM")) ||
           portName.startsWith(QLatin1String("cu.usb"));
}

QString ordinal(int n) {
    if (n % 100 >= 11 && n % 100 <= 13) return QString::number(n) + QLatin1String("th");
    switch (n % 10) {
    case 1:
        return QString::number(n) + QLatin1String("st");
    case 2:
        return QString::number(n) + QLatin1String("nd");
    case 3:
        return QString::number(n) + QLatin1String("rd");
    default:
        return QString::number(n) + QLatin1String("th");
    }
}

} // namespace

QList<Adapter> comOrder(QList<Adapter> adapters) {
#ifdef Q_OS_MACOS
    adapters.removeIf(
        [](const Adapter& a) { return !a.portName.startsWith(QLatin1String("cu.")); });
#endif
    std::stable_sort(adapters.begin(), adapters.end(), [](const Adapter& a, const Adapter& b) {
        if (a.usb != b.usb) return a.usb;
        return naturalLess(a.portName, b.portName);
    });
    return adapters;
}

QList<Adapter> presentAdapters() {
    QList<Adapter> adapters;
    for (const auto& info : QSerialPortInfo::availablePorts()) {
        Adapter a;
        a.portName = info.portName();
        a.systemLocation = info.systemLocation();
        a.description = info.description();
        a.usb = info.hasVendorIdentifier() || isUsbName(a.portName);
        adapters.append(a);
    }
    return adapters;
}

int comNumber(const QString& name) {
    if (name.size() < 4 || !name.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) return 0;
    bool ok = false;
    const int n = name.mid(3).toInt(&ok);
    const bool digitsOnly =
        std::all_of(name.begin() + 3, name.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    return ok && digitsOnly && n > 0 ? n : 0;
}

Resolution resolvePortName(const QString& name, const QString& programFolder,
                           const QList<Adapter>& adapters) {
#ifdef Q_OS_WIN
    Q_UNUSED(programFolder);
    Q_UNUSED(adapters);
    return {name, QStringLiteral("Windows port")};
#else
    if (name.startsWith(QLatin1Char('/'))) return {name, QStringLiteral("device path")};
    const int n = comNumber(name);
    if (n == 0) return {name, QStringLiteral("system port name")};

    const QString entry = QDir(programFolder).filePath(name);
    const QFileInfo link(entry);
    if (link.isSymLink() || link.exists()) {
        // The target's own name, so the lock file is the one other programs take.
        const QString target = link.canonicalFilePath();
        if (!target.isEmpty())
            return {target, QStringLiteral("%1 in the program's folder").arg(entry)};
        return {
            link.symLinkTarget().isEmpty() ? entry : link.symLinkTarget(),
            QStringLiteral("%1 in the program's folder, whose device is not present").arg(entry)};
    }
    const auto ordered = comOrder(adapters);
    if (n <= ordered.size()) {
        const auto& a = ordered[n - 1];
        QString how = QStringLiteral("%1 serial adapter present").arg(ordinal(n));
        if (!a.description.isEmpty()) how += QStringLiteral(": ") + a.description;
        return {a.systemLocation, how};
    }
    return {QString(),
            QStringLiteral("no device is bound to %1: %2 serial adapter%3 present. Plug in an "
                           "adapter, or link a device to this name: ln -s /dev/ttyUSB0 %4")
                .arg(name,
                     ordered.isEmpty() ? QStringLiteral("no") : QString::number(ordered.size()),
                     ordered.size() == 1 ? QString() : QStringLiteral("s"), entry)};
#endif
}

Resolution resolvePortName(const QString& name) {
    return resolvePortName(name, QString::fromStdString(util::programdirectory()),
                           presentAdapters());
}

QString describePort(const QString& name) {
    const auto r = resolvePortName(name);
    if (!r.found()) return name + QStringLiteral(": ") + r.how;
    return QStringLiteral("%1: %2 (%3)").arg(name, r.device, r.how);
}

} // namespace serial
