#pragma once
// A session record on disk (lines as protocol/record.h gives them), each line
// written through as it comes, so that a crash or a pulled plug loses
// nothing already recorded. A write that fails ends the recording: failed()
// and error() then say so, and nothing more is written.
#include <QFile>
#include <QString>

#include <string_view>

namespace serial {

class Recorder {
  public:
    // Starts a new record in the file, replacing what it held; false with
    // the reason when it cannot be written.
    bool start(const QString& path, QString& error);
    void stop();
    bool active() const { return m_file.isOpen(); }
    bool failed() const { return !m_error.isEmpty(); }
    // Why the recording ended early: "session.txt: No space left on device".
    const QString& error() const { return m_error; }
    QString path() const { return m_file.fileName(); }

    void sent(std::string_view frame);
    void received(std::string_view frame, std::string_view activity);
    void event(std::string_view text);

  private:
    void write(const std::string& line);

    QFile m_file;
    QString m_error;
};

} // namespace serial
