#pragma once
// Line settings text "speed,parity,data bits,stop bits", e.g. "115200,n,8,1".
// Parity is one of n, e, o, m, s (either case); data bits 5 to 8; stop bits
// 1, 1.5 or 2. Blanks around fields are allowed; anything else is refused
// with a description that names the bad field.
#include <QSerialPort>
#include <QString>

#include <optional>

namespace serial {

struct PortSettings {
    qint32 speed = 115200;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    bool operator==(const PortSettings&) const = default;
};

struct ParsedSettings {
    std::optional<PortSettings> settings;
    QString error; // set when settings is empty
};

ParsedSettings parseSettings(const QString& text);

} // namespace serial
