#pragma once
// A Port for tests: records what is written and delivers what the test says.
#include "link/port.h"
#include "link/portsettings.h"

#include <QByteArrayList>
#include <QStringList>

#include <utility>

namespace serial {

class FakePort : public Port {
    Q_OBJECT
  public:
    using Port::Port;

    void setSpeed(qint32 bitsPerSecond) override { m_speed = bitsPerSecond; }
    qint32 speed() const override { return m_speed; }
    OpenResult open(const QString& name, const QString& settings) override {
        close();
        const auto parsed = parseSettings(settings);
        if (!parsed.settings) return {false, parsed.error};
        if (!m_openFailure.isEmpty()) return {false, m_openFailure};
        m_open = true;
        opened.append(name + QLatin1Char(' ') + settings);
        return {true, {}};
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    void write(const QByteArray& data) override {
        if (m_open) written.append(data);
    }
    QByteArray read() override { return std::exchange(m_pending, {}); }
    bool present(const QString& name) const override { return presentNames.contains(name); }
    QString device() const override { return QStringLiteral("/dev/fake"); }

    // The next opens fail with this description (empty: they succeed).
    void setOpenFailure(const QString& description) { m_openFailure = description; }
    // Characters arrive from the module.
    void deliver(const QByteArray& data) {
        if (!m_open) return;
        m_pending += data;
        emit dataArrived();
    }
    // The device goes away while open.
    void fail(const QString& description) {
        if (!m_open) return;
        m_open = false;
        emit errorOccurred(description);
    }

    QByteArrayList written;
    QStringList opened;       // "name settings" of every successful open
    QStringList presentNames; // the names present() finds

  private:
    bool m_open = false;
    qint32 m_speed = 0;
    QString m_openFailure;
    QByteArray m_pending;
};

} // namespace serial
