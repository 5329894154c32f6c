#include "link/recorder.h"

#include <chrono>

namespace serial {

namespace {

std::string now() {
    return protocol::recordTime(std::chrono::system_clock::now());
}

} // namespace

bool Recorder::start(const QString& path, QString& error, Mode mode) {
    restart(path);
    m_file.setFileName(path);
    const auto how = mode == Mode::Append ? QIODevice::Append : QIODevice::Truncate;
    return opened(m_file.open(QIODevice::WriteOnly | how), error);
}

bool Recorder::start(int descriptor, const QString& name, QString& error) {
    restart(name);
    return opened(m_file.open(descriptor, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle),
                  error);
}

void Recorder::restart(const QString& name) {
    stop();
    m_error.clear();
    m_name = name;
}

bool Recorder::opened(bool ok, QString& error) {
    if (!ok) error = m_name + QStringLiteral(": ") + m_file.errorString();
    return ok;
}

void Recorder::stop() {
    if (m_file.isOpen()) m_file.close();
}

void Recorder::sent(std::string_view frame) {
    if (active()) write(protocol::sentLine(now(), frame));
}

void Recorder::received(std::string_view frame, std::string_view activity) {
    if (active()) write(protocol::receivedLine(now(), frame, activity));
}

void Recorder::event(std::string_view text, char mark) {
    if (active()) write(protocol::eventLine(now(), text, mark));
}

void Recorder::write(const std::string& line) {
    const auto size = static_cast<qint64>(line.size());
    // Through to the system at once: a record that stops at a crash is
    // whole up to it.
    if (m_file.write(line.data(), size) == size && m_file.flush()) return;
    m_error = m_name + QStringLiteral(": ") + m_file.errorString();
    m_file.close();
}

} // namespace serial
