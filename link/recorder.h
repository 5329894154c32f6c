#pragma once
// A session record on disk (lines as protocol/record.h gives them), each line
// written through as it comes, so that a crash or a pulled plug loses
// nothing already recorded. A write that fails ends the recording: failed()
// and error() then say so, and nothing more is written.
#include "protocol/record.h"

#include <QFile>
#include <QString>

#include <string_view>

namespace serial {

class Recorder {
  public:
    enum class Mode { Replace, Append };
    // Starts recording into the file: a new record in its place, or after
    // what it holds; false with the reason when it cannot be written.
    bool start(const QString& path, QString& error, Mode mode = Mode::Replace);
    // The same into a file opened for writing by the caller, for a name that
    // a QString cannot carry (bytes that are not UTF-8); the descriptor is
    // the recorder's to close from now on. name is how messages call it.
    bool start(int descriptor, const QString& name, QString& error);
    void stop();
    bool active() const { return m_file.isOpen(); }
    bool failed() const { return !m_error.isEmpty(); }
    // Why the recording ended early: "session.txt: No space left on device".
    const QString& error() const { return m_error; }
    QString path() const { return m_name; }

    void sent(std::string_view frame);
    void received(std::string_view frame, std::string_view activity);
    // A lost port ("*") or one that came back ("+").
    void event(std::string_view text, char mark = protocol::kLossMark);

  private:
    void restart(const QString& name);
    bool opened(bool ok, QString& error);
    void write(const std::string& line);

    QFile m_file;
    QString m_name;
    QString m_error;
};

} // namespace serial
