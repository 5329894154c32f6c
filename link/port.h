#pragma once
// What the program asks of a serial port: the interface the window and the
// command line talk to, so they can be tested against FakePort.
//
// Every member may be called in any state: close() with nothing open does
// nothing and signals nothing; write() with nothing open drops the data.
#include <QByteArray>
#include <QObject>
#include <QString>

// Not "link": that name is taken by the POSIX function Qt's headers declare.
namespace serial {

struct OpenResult {
    bool ok = false;
    QString description; // why it failed, what the name resolved to, the fix
    explicit operator bool() const { return ok; }
};

class Port : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    virtual void setSpeed(qint32 bitsPerSecond) = 0;
    virtual qint32 speed() const = 0;
    // Closes whatever is open first. settings: "115200,n,8,1" and the like.
    virtual OpenResult open(const QString& name, const QString& settings) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual void write(const QByteArray& data) = 0;
    // Everything received since the last call, in order.
    virtual QByteArray read() = 0;
    // Whether the name finds a device now (one that went away may come back).
    virtual bool present(const QString& name) const = 0;
    // The device the last open resolved to, e.g. "/dev/ttyUSB0".
    virtual QString device() const = 0;

  signals:
    void dataArrived();
    // The open port failed and has been closed; raised once per failure.
    void errorOccurred(const QString& description);
};

} // namespace serial
