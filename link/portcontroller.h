#pragma once
// The serial port over QtSerialPort. Port names resolve as portnames.h says.
// When the device goes away while open (an adapter pulled out), the port is
// closed at once and errorOccurred is raised once: left open, QtSerialPort
// keeps reporting the same error at full speed.
//
// Arrivals that follow one another closely are gathered and reported
// kGatherInterval apart: a module streaming reports in small pieces would
// otherwise wake the program for every piece, thousands of times a second.
// Meanwhile QtSerialPort's read buffer is held to one byte, so that it stops
// reading (its documented behaviour) and the device keeps the rest. An
// arrival after a quiet spell is reported at once.
#include "link/port.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTimer>

#include <chrono>

namespace serial {

// A tty keeps 4 KB; at 115200 8N1 an interval takes 1,152 characters.
inline constexpr std::chrono::milliseconds kGatherInterval{100};
// Pieces of a stream come closer than this.
inline constexpr std::chrono::milliseconds kStreamGap{10};

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
    bool present(const QString& name) const override;

    QString device() const override { return m_device; }

  private:
    void onReadyRead();
    void gathered();
    void onError(QSerialPort::SerialPortError error);
    QString openFailure(const QString& name, const QString& device, const QString& how) const;

    QSerialPort m_port;
    QString m_programFolder;
    QString m_name;
    QString m_device;
    qint32 m_speed = 115200;
    QTimer m_gather;
    QElapsedTimer m_sinceArrival;
    QElapsedTimer m_sinceGathered;
};

} // namespace serial
