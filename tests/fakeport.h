#pragma once
// A Port for tests: records what is written and delivers what the test says.
#include "link/port.h"

#include <QByteArrayList>
#include <QStringList>

namespace serial {

class FakePort : public Port {
    Q_OBJECT
  public:
    using Port::Port;

    void setSpeed(qint32 bitsPerSecond) override { m_speed = bitsPerSecond; }
    qint32 speed() const override { return m_speed; }
    OpenResult open(const QString& name, const QString& settings) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    void write(const QByteArray& data) override;
    QByteArray read() override;
    bool present(const QString& name) const override { return presentNames.contains(name); }

    // The next opens fail with this description (empty: they succeed).
    void setOpenFailure(const QString& description) { m_openFailure = description; }
    // Characters arrive from the module.
    void deliver(const QByteArray& data);
    // The device goes away while open.
    void fail(const QString& description);

    QByteArrayList written;
    QStringList opened;       // "name settings" of every successful open
    QStringList presentNames; // the names present() finds
    int closeCalls = 0;

  private:
    bool m_open = false;
    qint32 m_speed = 0;
    QString m_openFailure;
    QByteArray m_pending;
};

} // namespace serial
