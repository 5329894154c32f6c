#include "link/modulesession.h"

#include "compiler/compiler.h"
#include "controls/formcodes.h"
#include "protocol/frames.h"
#include "protocol/outcome.h"

#include <QEventLoop>

#include <utility>

namespace serial {

ModuleSession::ModuleSession(Port& rs232, QObject* parent) : QObject(parent), m_rs232(rs232) {
    connect(&m_rs232, &Port::dataArrived, this, &ModuleSession::rs232_DataArrived);
    connect(&m_rs232, &Port::errorOccurred, this, [this](const QString& description) {
        if (m_portError.isEmpty()) m_portError = description;
        recordEvent(description.toStdString());
        endAwait();
        emit portFailed(description);
    });
    m_awaitLimit.setSingleShot(true);
    connect(&m_awaitLimit, &QTimer::timeout, this, &ModuleSession::endAwait);
}

ModuleSession::~ModuleSession() {
    // Whoever shows the busy state hears it end, while both still live.
    endAwait();
}

void ModuleSession::setRecorder(Recorder* recorder) {
    m_recorder = recorder;
    m_recordingFailureSaid = false;
}

void ModuleSession::recordEvent(std::string_view text, char mark) {
    if (!m_recorder) return;
    m_recorder->event(text, mark);
    checkRecording();
}

void ModuleSession::checkRecording() {
    if (!m_recorder || !m_recorder->failed() || m_recordingFailureSaid) return;
    m_recordingFailureSaid = true;
    emit recordingStopped(m_recorder->error());
}

void ModuleSession::send(std::string_view frame) {
    if (onSent) onSent(frame);
    m_rs232.write(QByteArray(frame.data(), static_cast<qsizetype>(frame.size())));
    if (m_recorder) m_recorder->sent(frame);
    checkRecording();
}

ModuleSession::Sent ModuleSession::comwrite(std::string_view datain, int waittime) {
    const Sent outcome = m_closed || datain.empty() ? Sent::Nothing
                         : m_rs232.isOpen()         ? Sent::Written
                                                    : Sent::NoPort;
    if (onGiven) onGiven(datain, outcome);
    if (outcome != Sent::Written) return outcome;
    // Busy for as long as any send pauses, a nested one's end included.
    if (m_sending++ == 0) emit sendingChanged(true);
    send(datain);
    pausehundredths(waittime);
    if (--m_sending == 0) emit sendingChanged(false);
    return Sent::Written;
}

bool ModuleSession::comwriteAll(const std::vector<std::string>& frames, int waittime) {
    // A port chosen during a wait ends the click: its remaining frames were
    // meant for the port it started on.
    const unsigned cancellations = m_cancellations;
    for (const auto& frame : frames) {
        if (m_cancellations != cancellations || m_closed) return false;
        // The module answers a replay once the stored script has run.
        if (m_rs232.isOpen() && protocol::commandCodeOf(frame) == protocol::code::Replay)
            awaitAnswer(protocol::code::Replay, compiler::replayAnswerTime());
        comwrite(frame, waittime);
    }
    return true;
}

void ModuleSession::pausehundredths(int hundredths) {
    if (hundredths <= 0) return;
    waitUntil([] { return false; }, protocol::pauseOf(hundredths));
}

bool ModuleSession::waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    if (done()) return true;
    if (m_closed) return false;
    bool interrupted = false;
    QEventLoop loop;
    // A timer on the monotonic clock: no spinning, and midnight means nothing.
    QTimer::singleShot(limit, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    auto end = [&] {
        interrupted = true;
        loop.quit();
    };
    connect(this, &ModuleSession::waitsCancelled, &loop, end);
    connect(this, &ModuleSession::portFailed, &loop, end);
    // Queued, so the frames of an arrival are decoded before the check.
    connect(
        &m_rs232, &Port::dataArrived, &loop,
        [&] {
            if (done()) loop.quit();
        },
        Qt::QueuedConnection);
    loop.exec();
    return !interrupted && done();
}

void ModuleSession::cancelWaits() {
    ++m_cancellations;
    emit waitsCancelled();
}

void ModuleSession::close() {
    m_closed = true;
    cancelWaits();
    endAwait();
}

void ModuleSession::awaitAnswer(std::string_view commandCode, std::chrono::milliseconds limit) {
    const bool was = awaiting();
    ++m_awaited[std::string(commandCode)];
    if (!m_awaitLimit.isActive() || m_awaitLimit.remainingTimeAsDuration() < limit)
        m_awaitLimit.start(limit);
    if (!was) emit awaitingChanged(true);
}

void ModuleSession::endAwait() {
    m_awaitLimit.stop();
    if (std::exchange(m_awaited, {}).empty()) return;
    emit awaitingChanged(false);
}

void ModuleSession::rs232_DataArrived() {
    const QByteArray arrival = m_rs232.read();
    process(controls::kDecodeRequest,
            std::string_view(arrival.constData(), static_cast<std::size_t>(arrival.size())));
}

void ModuleSession::process(int requestCode, std::string_view arrival) {
    if (requestCode != controls::kDecodeRequest) return;
    bool cut = false;
    m_receiver.receiveFrames(arrival, [&](std::string_view frame) {
        cut = true;
        const auto effect = protocol::decodeFrame(frame);
        if (m_recorder) m_recorder->received(frame, effect.append);
        if (onFrame) onFrame(frame, effect);
        const auto awaited = m_awaited.find(protocol::commandCodeOf(frame));
        if (awaited == m_awaited.end() || --awaited->second > 0) return;
        if (m_awaited.size() == 1)
            endAwait();
        else
            m_awaited.erase(awaited);
    });
    if (!cut) return;
    checkRecording();
    if (onArrival) onArrival();
}

} // namespace serial
