#pragma once
// Which device a port name opens.
//
// On Windows a name opens as it stands. Elsewhere a name that begins with "/"
// is a device path; "COMn" (any case, n from 1) is first an entry of that name
// in the program's folder (normally a symbolic link to the device), then the
// n-th serial adapter present; any other name is left to QSerialPort (so
// "ttyUSB0" is /dev/ttyUSB0). A COM name that finds nothing resolves to
// nothing, with a description of how to bind a device to it.
#include <QList>
#include <QString>

namespace serial {

struct Adapter {
    QString portName;       // "ttyUSB0", "cu.usbserial-1410"
    QString systemLocation; // "/dev/ttyUSB0"
    QString description;    // what the system calls it, may be empty
    bool usb = false;       // USB-serial or ACM
};

// Adapters in the order COM1, COM2, ... take them: USB-serial and ACM first,
// then the others, each group in natural name order ("ttyUSB2" before
// "ttyUSB10"). On macOS only the cu.* devices count.
QList<Adapter> comOrder(QList<Adapter> adapters);

// The adapters the system lists now (never pseudo-terminals or links).
QList<Adapter> presentAdapters();

struct Resolution {
    QString device; // what to open; empty when the name finds nothing
    QString how;    // how it was found, or how to bind a device to the name
    bool found() const { return !device.isEmpty(); }
};

// n for "COMn", else 0.
int comNumber(const QString& name);

Resolution resolvePortName(const QString& name, const QString& programFolder,
                           const QList<Adapter>& adapters);

// The same with the program's folder and the adapters present now.
Resolution resolvePortName(const QString& name);

// One line for a port list's tool tip: "COM3: /dev/ttyUSB0 (...)".
QString describePort(const QString& name);

} // namespace serial
