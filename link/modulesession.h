#pragma once
// The one way frames go to a module and answers come back, for the window
// and the command line alike: send a frame and pause after it, cut and decode
// every arrival, record each frame once, and say when it is busy.
//
// Pauses are nested event loops, not steps on a timer: a click's frames go
// out one after another with a pause between, and an answer that comes
// during a pause is decoded in it, so a handler reads top to bottom as the
// sequence the module sees. A handler may run inside another's pause; pauses
// then end last in first out. cancelWaits() ends every pause running now
// (a port chosen or lost, a stop signal); after close() nothing is sent and
// every pause returns at once.
#include "link/port.h"
#include "link/recorder.h"
#include "protocol/decoder.h"
#include "protocol/receiver.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace serial {

class ModuleSession : public QObject {
    Q_OBJECT
  public:
    explicit ModuleSession(Port& rs232, QObject* parent = nullptr);
    ~ModuleSession() override;

    // Every frame sent and received, and each port event, is recorded there
    // too (null: nowhere). A new recorder may fail and be said again.
    void setRecorder(Recorder* recorder);
    // A lost port ("*") or one that came back ("+"), recorded.
    void recordEvent(std::string_view text, char mark = protocol::kLossMark);

    enum class Sent { Written, NoPort, Nothing };
    // Writes the frame when a port is open and pauses waittime hundredths
    // after it; busy meanwhile. Nothing (an empty frame, after close()) or
    // NoPort: nothing was written.
    Sent comwrite(std::string_view datain, int waittime);
    // A click's frames, each with its pause, until a wait is cancelled;
    // false when the rest was left unsent.
    bool comwriteAll(const std::vector<std::string>& frames, int waittime);
    // Writes the frame without a pause (a command line that waits on answers).
    void send(std::string_view frame);
    void pausehundredths(int hundredths);
    // Runs events until done() holds (true), the limit passes, the port
    // fails or the wait is cancelled (false).
    bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
    void cancelWaits();
    // Ends sending for good: the program is closing.
    void close();
    bool closed() const { return m_closed; }

    // Answers with the code are awaited (the module is running what was
    // sent) until one has come for each, or the limit has passed.
    void awaitAnswer(std::string_view commandCode, std::chrono::milliseconds limit);
    void endAwait();
    bool awaiting() const { return !m_awaited.empty(); }

    bool portLost() const { return !m_portError.isEmpty(); }
    const QString& portError() const { return m_portError; }
    // A comwrite is writing or pausing (nested ones too).
    bool sending() const { return m_sending > 0; }

    // Cuts and decodes every complete frame: with controls::kDecodeRequest
    // only; any other code does nothing.
    void process(int requestCode, std::string_view arrival);

    // Each frame cut, with its decoded effect, as it comes.
    std::function<void(std::string_view frame, const protocol::FrameEffect& effect)> onFrame;
    // After an arrival's frames, when there was any.
    std::function<void()> onArrival;
    // Each frame as it is written.
    std::function<void(std::string_view frame)> onSent;
    // Each frame given to comwrite, before it is written or not.
    std::function<void(std::string_view frame, Sent outcome)> onGiven;

  signals:
    void sendingChanged(bool sending);
    void awaitingChanged(bool awaiting);
    // The recording ended early; said once per recorder.
    void recordingStopped(const QString& error);
    // The port failed and is closed (recorded already).
    void portFailed(const QString& description);
    void waitsCancelled();

  private:
    void rs232_DataArrived();
    void checkRecording();

    Port& m_rs232;
    protocol::Receiver m_receiver;
    Recorder* m_recorder = nullptr;
    bool m_recordingFailureSaid = false;
    std::map<std::string, int, std::less<>> m_awaited;
    QTimer m_awaitLimit;
    QString m_portError;
    int m_sending = 0;
    unsigned m_cancellations = 0;
    bool m_closed = false;
};

} // namespace serial
