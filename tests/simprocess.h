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
        m_process.setReadChannel(QProcess::StandardOutput);
        m_errors.clear();
        m_process.start();
        if (!m_process.waitForStarted(5000)) return false;
        while (!m_process.canReadLine())
            if (!m_process.waitForReadyRead(5000)) return false;
        device = QString::fromUtf8(m_process.readLine()).trimmed();
        m_process.setReadChannel(QProcess::StandardError);
        return device.startsWith(QLatin1Char('/'));
    }

    // One line of the simulator's own commands ("int 0", "reset", ...); true
    // once the simulator has acted on it.
    bool command(const QByteArray& line) {
        m_process.write(line + '\n');
        return settle();
    }

    // True once the simulator has taken every line sent before and has looked
    // at its terminal since the call, so it has seen a client that left
    // before. It answers an unknown line with a complaint, from the same wait
    // that watches the terminal.
    bool settle() {
        const QByteArray complaint = "\"settle\"";
        m_process.write("settle\n");
        for (;;) {
            m_errors += m_process.readAllStandardError();
            if (const auto at = m_errors.indexOf(complaint); at >= 0) {
                m_errors.remove(0, at + complaint.size());
                return true;
            }
            if (!m_process.waitForReadyRead(5000)) return false;
        }
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
    QByteArray m_errors; // the simulator's standard error, not yet looked at
};
