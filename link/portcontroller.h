#pragma once
// The serial port over QtSerialPort. Port names resolve as portnames.h says.
// When the device goes away while open (an adapter pulled out), the port is
// closed at once and errorOccurred is raised once: left open, QtSerialPort
// keeps reporting the same error at full speed.
#include "link/port.h"

#include <QSerialPort>

namespace serial {

class PortController : public Port {
    Q_OBJECT
  public:
    // programFolder: where COMn links are looked up; empty: the program's own.
    explicit PortController(QObject* parent = nullptr, QString programFolder = {});

    void setSpeed(qint32 bitsPerSecond) override;
    qint32 speed() const override { return m_speed; }
    OpenResult open(const QString& name, const QString& settings) override;
    void close() override;
    bool isOpen() const override { return m_port.isOpen(); }
    void write(const QByteArray& data) override;
    QByteArray read() override;

    // The device the open port resolved to, e.g. "/dev/ttyUSB0".
    QString device() const { return m_device; }

  private:
    void onError(QSerialPort::SerialPortError error);
    QString openFailure(const QString& name, const QString& device, const QString& how) const;

    QSerialPort m_port;
    QString m_programFolder;
    QString m_name;
    QString m_device;
    qint32 m_speed = 115200;
};

} // namespace serial
