#include "app/trafficviews.h"
#include "app/text.h"

#include "app/activityview.h"
#include "app/inputfilters.h"
#include "app/pictureview.h"
#include "protocol/frames.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>

#include <utility>

namespace app {

namespace {

// Measured under X11 at line rate: 30 showings a second took 3 % of a core
// where 10 take about 1.3 %.
constexpr std::chrono::milliseconds kShowInterval{100};

QString latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

TrafficViews::TrafficViews(const TrafficWidgets& widgets, QObject* parent)
    : QObject(parent), m_w(widgets), m_pacer(kShowInterval, [this] { showViews(); }) {
    DoubleClickAction::install(m_w.i2cparser, [this] { clearActivity(); });
    DoubleClickAction::install(m_w.txbufferbox, [this] {
        m_txPending.reset();
        m_w.txbufferbox->clear();
    });
    for (auto* log : {m_w.txdata, m_w.rxdata})
        DoubleClickAction::install(log, [this] {
            m_logPending.clear();
            m_w.txdata->clear();
            m_w.rxdata->clear();
        });
}

void TrafficViews::follow(serial::ModuleSession& session) {
    session.onSent = [this](std::string_view frame) { logSent(frame); };
    session.onFrame = [this](std::string_view frame, const protocol::FrameEffect& effect) {
        frameArrived(frame, effect);
    };
    session.onArrival = [this] { m_pacer.request(); };
    connect(&session, &serial::ModuleSession::sendingChanged, this, [this](bool sending) {
        m_w.comwait->setText(sending ? QStringLiteral("Wait") : QStringLiteral("Ready"));
    });
}

void TrafficViews::showGiven(std::string_view frame) {
    m_txPending = qstring(protocol::boxText(frame));
    m_pacer.request();
}

void TrafficViews::clearActivity() {
    m_w.i2cparser->clearView();
    m_w.picture->clearPicture();
}

void TrafficViews::logSent(std::string_view frame) {
    if (!m_w.logdata->isChecked()) return;
    // Newest first.
    m_logPending.prepend(qstring(protocol::echoText(frame)) + QStringLiteral("\r\n"));
    m_pacer.request();
}

void TrafficViews::frameArrived(std::string_view frame, const protocol::FrameEffect& effect) {
    m_w.picture->addFrame(frame);
    m_rxPending = latin1(effect.rxbufferbox);
    if (effect.clearView) m_w.i2cparser->clearView();
    m_w.i2cparser->append(effect.append);
}

void TrafficViews::showViews() {
    if (m_w.i2cparser->hasPending()) m_w.i2cparser->flush();
    m_w.picture->flush();
    if (m_rxPending) m_w.rxbufferbox->setText(*std::exchange(m_rxPending, std::nullopt));
    if (m_txPending) m_w.txbufferbox->setText(*std::exchange(m_txPending, std::nullopt));
    if (!m_logPending.isEmpty()) logFrames(std::exchange(m_logPending, QString()));
}

void TrafficViews::logFrames(const QString& entries) {
    QTextDocument* log = m_w.txdata->document();
    QTextCursor top(log);
    top.insertText(entries);
    // Newest first: the oldest entries go at the bottom. The last block is
    // the empty one after the final line end.
    if (log->blockCount() <= kMaxLoggedFrames + 1) return;
    QTextCursor rest(log->findBlockByNumber(kMaxLoggedFrames));
    rest.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    rest.removeSelectedText();
}

} // namespace app
