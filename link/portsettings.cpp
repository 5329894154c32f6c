#include "link/portsettings.h"

#include <QStringList>

namespace serial {

namespace {

ParsedSettings refuse(const QString& text, const QString& why) {
    return {std::nullopt, QStringLiteral("Bad port settings \"%1\": %2. Expected speed,parity,data "
                                         "bits,stop bits, for example \"115200,n,8,1\".")
                              .arg(text, why)};
}

} // namespace

ParsedSettings parseSettings(const QString& text) {
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != 4)
        return refuse(text, QStringLiteral("%1 fields instead of 4").arg(fields.size()));

    PortSettings s;
    bool ok = false;
    const QString speed = fields[0].trimmed();
    s.speed = speed.toInt(&ok);
    if (!ok || s.speed <= 0) return refuse(text, QStringLiteral("speed \"%1\"").arg(speed));

    const QString parity = fields[1].trimmed().toLower();
    if (parity == QLatin1String("n"))
        s.parity = QSerialPort::NoParity;
    else if (parity == QLatin1String("e"))
        s.parity = QSerialPort::EvenParity;
    else if (parity == QLatin1String("o"))
        s.parity = QSerialPort::OddParity;
    else if (parity == QLatin1String("m"))
        s.parity = QSerialPort::MarkParity;
    else if (parity == QLatin1String("s"))
        s.parity = QSerialPort::SpaceParity;
    else
        return refuse(text, QStringLiteral("parity \"%1\" is not n, e, o, m or s").arg(parity));

    const QString bits = fields[2].trimmed();
    const int dataBits = bits.toInt(&ok);
    if (!ok || dataBits < 5 || dataBits > 8)
        return refuse(text, QStringLiteral("data bits \"%1\" is not 5 to 8").arg(bits));
    s.dataBits = static_cast<QSerialPort::DataBits>(dataBits);

    const QString stop = fields[3].trimmed();
    if (stop == QLatin1String("1"))
        s.stopBits = QSerialPort::OneStop;
    else if (stop == QLatin1String("1.5"))
        s.stopBits = QSerialPort::OneAndHalfStop;
    else if (stop == QLatin1String("2"))
        s.stopBits = QSerialPort::TwoStop;
    else
        return refuse(text, QStringLiteral("stop bits \"%1\" is not 1, 1.5 or 2").arg(stop));
    return {s, {}};
}

} // namespace serial
