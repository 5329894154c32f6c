#include "app/portpanel.h"

#include "app/inputfilters.h"
#include "link/portnames.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QTime>

namespace app {

namespace {

const QString kNothingSent =
    QStringLiteral("No port is open: nothing was sent. Choose the module's port here.");
constexpr std::chrono::milliseconds kNothingSentShown{5000};
const QColor kNoticeColour(255, 205, 205);
const QColor kNoticeText(0, 0, 0);

} // namespace

PortPanel::PortPanel(QComboBox* portselect, serial::PortKeeper& keeper, Alert alert,
                     QObject* parent)
    : QObject(parent), m_portselect(portselect), m_keeper(keeper), m_alert(std::move(alert)) {
    // A tip of its own: Qt's tool tip goes at the first mouse move.
    m_notice = new QLabel(kNothingSent, portselect->window(), Qt::ToolTip);
    m_notice->setObjectName(QStringLiteral("nothingSent"));
    m_notice->setForegroundRole(QPalette::ToolTipText);
    m_notice->setBackgroundRole(QPalette::ToolTipBase);
    m_notice->setAutoFillBackground(true);
    m_notice->setMargin(4);
    m_noticeTimer.setSingleShot(true);
    m_noticeTimer.setInterval(kNothingSentShown);
    connect(&m_noticeTimer, &QTimer::timeout, m_notice, &QWidget::hide);
    connect(m_portselect, &QComboBox::activated, this, [this] { portselect_Click(); });
    connect(&m_keeper, &serial::PortKeeper::lost, this, &PortPanel::lost);
    connect(&m_keeper, &serial::PortKeeper::reopened, this, &PortPanel::reopened);
    connect(&m_keeper, &serial::PortKeeper::watchChanged, this, &PortPanel::refreshDescription);
    connect(&m_keeper, &serial::PortKeeper::nothingSentChanged, this, &PortPanel::markNothingSent);
    // The list's popup is made on first asking: before the filter, which
    // would otherwise see its making and ask again.
    m_popup = m_portselect->view();
    m_popup->installEventFilter(this);
    ChooseOnly::install(m_portselect);
    m_portselect->installEventFilter(this);
}

void PortPanel::portselect_Click() {
    const QString name = m_portselect->currentIndex() > 0 ? m_portselect->currentText() : QString();
    const auto opened = m_keeper.choose(name);
    if (opened) return;
    m_portselect->setCurrentIndex(0);
    m_alert(QStringLiteral("Com port open error"), opened.description);
}

void PortPanel::lost(const QString& /*name*/, const QString& description) {
    m_portselect->setCurrentIndex(0);
    m_alert(QStringLiteral("Com port error"), description + QStringLiteral("\r\n") + watchText());
}

void PortPanel::reopened(const QString& name) {
    m_portselect->setCurrentIndex(std::max(m_portselect->findText(name), 0));
}

void PortPanel::showNothingSent() {
    m_notice->adjustSize();
    const QPoint corner = m_portselect->mapToGlobal(QPoint(m_portselect->width(), 0));
    m_notice->move(corner - QPoint(m_notice->width(), m_notice->height() + 2));
    m_notice->show();
    m_noticeTimer.start();
    m_keeper.setNothingSent(true);
}

void PortPanel::markNothingSent(bool marked) {
    if (!marked) m_notice->hide();
    // Both, or a dark theme's light text stands on the light mark.
    QPalette palette = m_portselect->palette();
    const QPalette& theme = QApplication::palette();
    palette.setColor(QPalette::Button, marked ? kNoticeColour : theme.color(QPalette::Button));
    palette.setColor(QPalette::ButtonText,
                     marked ? kNoticeText : theme.color(QPalette::ButtonText));
    m_portselect->setPalette(palette);
    refreshDescription();
}

QString PortPanel::watchText() const {
    const auto left = m_keeper.watchLeft();
    return QStringLiteral("%1 opens again by itself when it comes back, until %2. To stop "
                          "that, choose another entry in the port list.")
        .arg(m_keeper.watchedName(), QTime::currentTime()
                                         .addMSecs(static_cast<int>(left.count()))
                                         .toString(QStringLiteral("HH:mm")));
}

// What the port list says beyond its entry: a watch for a lost port, or that
// nothing was sent.
QString PortPanel::portText() const {
    if (m_keeper.watching()) return watchText();
    if (m_keeper.nothingSent()) return kNothingSent;
    return {};
}

void PortPanel::refreshDescription() {
    m_portselect->setAccessibleDescription(portText());
}

void PortPanel::refreshTips() {
    for (int i = 1; i < m_portselect->count(); ++i)
        m_portselect->setItemData(i, serial::describePort(m_portselect->itemText(i)),
                                  Qt::ToolTipRole);
}

bool PortPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_popup && event->type() == QEvent::Show) refreshTips();
    if (watched == m_portselect && event->type() == QEvent::ToolTip)
        m_portselect->setToolTip(m_portselect->currentIndex() > 0
                                     ? serial::describePort(m_portselect->currentText())
                                     : portText());
    return QObject::eventFilter(watched, event);
}

} // namespace app
