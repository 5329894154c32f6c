#pragma once
// Runs the module simulator for a test and tells where its terminal is.
#include <QProcess>
#include <QString>
#include <QStringList>

class SimProcess {
  public:
    ~SimProcess() { stop(); }

    // Starts i2csim with the arguments; true once it has named its terminal.
    bool start(const QStringList& arguments = {}) {
        m_process.setProgram(QStringLiteral(I2CSIM));
        m_process.setArguments(arguments);
        m_process.start();
        if (!m_process.waitForStarted(10000)) return false;
        while (!m_process.canReadLine())
            if (!m_process.waitForReadyRead(10000)) return false;
        device = QString::fromUtf8(m_process.readLine()).trimmed();
        return device.startsWith(QLatin1Char('/'));
    }

    // One line of the simulator's own commands ("int 0", "reset", ...).
    void command(const QByteArray& line) {
        m_process.write(line + '\n');
        m_process.waitForBytesWritten(5000);
    }

    void kill() {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

    void stop() {
        if (m_process.state() == QProcess::NotRunning) return;
        m_process.write("quit\n");
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000)) kill();
    }

    QProcess& process() { return m_process; }
    QString device;

  private:
    QProcess m_process;
};
