#include "app/mainwindow.h"

#include "app/activityview.h"
#include "app/connector.h"
#include "app/helpview.h"
#include "app/layout.h"
#include "app/queuemarks.h"
#include "app/savefile.h"
#include "app/tokenmenu.h"
#include "compiler/compiler.h"
#include "controls/buttons.h"
#include "controls/tokenmenu.h"
#include "dialogs/alert.h"
#include "dialogs/selectfile.h"
#include "help/document.h"
#include "library/examples.h"
#include "library/scriptfile.h"
#include "link/portnames.h"
#include "platform/files.h"
#include "protocol/decoder.h"
#include "protocol/frames.h"
#include "protocol/outcome.h"
#include "protocol/record.h"
#include "util/paths.h"
#include "util/system.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextBlock>
#include <QTextCursor>
#include <QTime>
#include <QTimer>
#include <QToolTip>

#include <cstdio>
#include <optional>
#include <utility>

namespace app {

namespace {

const QString kPortSettings =
    QString::fromLatin1(protocol::kPortSettings.data(), protocol::kPortSettings.size());

const QString kNothingSent =
    QStringLiteral("No port is open: nothing was sent. Choose the module's port here.");
constexpr std::chrono::milliseconds kNothingSentShown{5000};
const QColor kNoticeColour(255, 205, 205);
constexpr const char* kMarkedProperty = "nothingSent";
constexpr std::chrono::milliseconds kPortWatchEvery{1000};
constexpr std::chrono::milliseconds kPortWatchLimit{10 * 60 * 1000};
const QString kSaveText = QStringLiteral("Save activity as\u2026");
const QString kRecordText = QStringLiteral("Record session to file\u2026");
// Ten showings a second while a stream lasts: each costs a paint and a flush
// to the display, and measured under X11 at line rate 30 a second took 3 %
// of a core where 10 take about 1.3 %.
constexpr std::chrono::milliseconds kShowInterval{100};

QString qstring(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Where a text box takes its mouse: the viewport of a scrolled one.
QObject* mouseTarget(QWidget* w) {
    if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) return area->viewport();
    return w;
}

} // namespace

MainWindow::MainWindow(serial::Port& rs232, Settings settings, QWidget* parent)
    : QWidget(parent), m_rs232(rs232), m_settings(std::move(settings)),
      m_pacer(kShowInterval, [this] { showViews(); }) {
    setFixedSize(dialogs::pixels(kClientWidth), dialogs::pixels(kClientHeight));
    setWindowTitle(QString::fromLatin1(kCaption));
    setFont(dialogs::fontOf(dialogs::Font::Sans));
    m_controls = dialogs::buildControls(
        this, mainRows(), [](const dialogs::ControlRow& row, QWidget* parent) -> QWidget* {
            if (row.name == QLatin1String("helpbox")) return new HelpView(parent);
            return new ActivityView(parent);
        });
    m_connection = control("connection");
    const auto drawing = dialogs::buildControls(m_connection, connectorRows());
    for (auto it = drawing.cbegin(); it != drawing.cend(); ++it)
        m_controls.insert(it.key(), it.value());
    m_commands = control<QPlainTextEdit>("commands");
    m_helpbox = control<QPlainTextEdit>("helpbox");
    m_i2cparser = control<ActivityView>("i2cparser");
    m_txbufferbox = control<QLineEdit>("txbufferbox");
    m_rxbufferbox = control<QLineEdit>("rxbufferbox");
    m_txdata = control<QPlainTextEdit>("txdata");
    m_rxdata = control<QPlainTextEdit>("rxdata");
    m_portselect = control<QComboBox>("portselect");
    m_combo1 = control<QComboBox>("Combo1");
    m_combo2 = control<QComboBox>("Combo2");
    m_oneclick = control<QCheckBox>("oneclick");
    m_oneclicktokens = control<QCheckBox>("oneclicktokens");
    m_logdata = control<QCheckBox>("logdata");
    m_comwait = control<QPushButton>("comwait");
    for (int i = 0; i < 3; ++i)
        m_tokenvalue[static_cast<std::size_t>(i)] =
            control<QLineEdit>(QStringLiteral("tokenvalue(%1)").arg(i));
    for (int i = 0; i < controls::kQuickButtons; ++i)
        m_quick[static_cast<std::size_t>(i)] =
            control<QPushButton>(QStringLiteral("cmmd(%1)").arg(i));
    m_tokenMenu = new TokenMenu(m_controls, this);
    dialogs::setTabOrder(m_controls, mainRows());
    m_commands->setAccessibleDescription(
        QStringLiteral("Ctrl+Return compiles and sends the queue; Ctrl+Tab leaves it (Tab is "
                       "a character here)."));
    // Dialogs take the application's icon.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/i2cmaster.svg")));
    setWindowIcon(QApplication::windowIcon());
    m_marks = new QueueMarks(m_commands);
    auto* save = new QAction(kSaveText, this);
    connect(save, &QAction::triggered, this, &MainWindow::saveActivity);
    m_recordAction = new QAction(kRecordText, this);
    connect(m_recordAction, &QAction::triggered, this, &MainWindow::recordSession);
    m_i2cparser->setMenuActions({save, m_recordAction});
    m_notice = new QLabel(kNothingSent, this, Qt::ToolTip);
    m_notice->setObjectName(QStringLiteral("nothingSent"));
    m_notice->setForegroundRole(QPalette::ToolTipText);
    m_notice->setBackgroundRole(QPalette::ToolTipBase);
    m_notice->setAutoFillBackground(true);
    m_notice->setMargin(4);
    m_portWatch.setInterval(kPortWatchEvery);
    connect(&m_portWatch, &QTimer::timeout, this, &MainWindow::watchPort);
    m_noticeTimer.setSingleShot(true);
    m_noticeTimer.setInterval(kNothingSentShown);
    connect(&m_noticeTimer, &QTimer::timeout, m_notice, &QWidget::hide);
    m_awaitLimit.setSingleShot(true);
    connect(&m_awaitLimit, &QTimer::timeout, this, &MainWindow::endAwait);
    m_alert = [this](const QString& title, const QString& message, int style) {
        return dialogs::showalert(this, title, message, style);
    };
    m_quit = [] { QCoreApplication::exit(0); };
    connectControls();
    Form_Load();
}

MainWindow::~MainWindow() {
    endAwait();
}

void MainWindow::connectControls() {
    for (auto it = m_controls.cbegin(); it != m_controls.cend(); ++it) {
        const QString& name = it.key();
        const int index = dialogs::controlIndex(name);
        if (name.startsWith(QLatin1String("cmmd(")))
            connect(static_cast<QPushButton*>(it.value()), &QPushButton::clicked, this,
                    [this, index] { cmmd_Click(index); });
    }
    connect(m_tokenMenu, &TokenMenu::clicked, this, &MainWindow::Label2_Click);
    for (auto* list : {m_portselect, m_combo1, m_combo2})
        list->installEventFilter(this);
    connect(control<QPushButton>("Command3"), &QPushButton::clicked, this,
            &MainWindow::Command3_Click);
    connect(control<QPushButton>("Command4"), &QPushButton::clicked, this,
            &MainWindow::Command4_Click);
    connect(control<QPushButton>("Command5"), &QPushButton::clicked, this,
            &MainWindow::Command5_Click);
    connect(new QShortcut(Qt::Key_F1, this), &QShortcut::activated, this,
            &MainWindow::Command3_Click);
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, this,
            &MainWindow::hideOverCentre);
    m_commands->installEventFilter(this);
    mouseTarget(m_helpbox)->installEventFilter(this);
    m_connection->installEventFilter(this);
    for (auto* label : m_connection->findChildren<QLabel*>())
        label->installEventFilter(this);
    m_portselect->view()->installEventFilter(this);
    for (auto* box : {static_cast<QWidget*>(m_commands), static_cast<QWidget*>(m_i2cparser),
                      static_cast<QWidget*>(m_txbufferbox), static_cast<QWidget*>(m_txdata),
                      static_cast<QWidget*>(m_rxdata)})
        mouseTarget(box)->installEventFilter(this);
    connect(m_combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    connect(m_combo2, &QComboBox::activated, this, [this] { Combo2_Click(); });
    connect(m_portselect, &QComboBox::activated, this, [this] { portselect_Click(); });
    connect(&m_rs232, &serial::Port::dataArrived, this, &MainWindow::rs232_DataArrived);
    connect(&m_rs232, &serial::Port::errorOccurred, this, &MainWindow::rs232_Error);
}

void MainWindow::Form_Load() {
    loaddirectory = m_settings.load();
    m_rs232.setSpeed(protocol::kLineSpeed);
    m_portselect->setCurrentIndex(0);
    portselect_Click();
    m_combo1->setCurrentIndex(0);
    Combo1_Click();
    m_combo2->setCurrentIndex(0);
    Combo2_Click();
    m_recorded = size();
    m_combo1->setCurrentIndex(0);
    Combo1_Click();
    setWindowTitle(QString::fromLatin1(kCaption) + QStringLiteral(" V") +
                   qstring(util::versiontext()));
    m_helpbox->setPlainText(qstring(help::helpDocument()));
    // The start-up example is where the user's history begins.
    m_commands->document()->clearUndoRedoStacks();
    m_portselect->setFocus();
}

// The help and the connector stand over the queue and the activity view,
// one at a time. What they cover takes no focus meanwhile: the help takes it
// (the connector's button, for the drawing) and gives it back when it goes.
void MainWindow::showOverCentre(QWidget* view) {
    (view == m_helpbox ? m_connection : static_cast<QWidget*>(m_helpbox))->hide();
    view->setGeometry(dialogs::pixels(kOverlayLeft), dialogs::pixels(kOverlayTop),
                      dialogs::pixels(kOverlayWidth), dialogs::pixels(kOverlayHeight));
    view->show();
    view->raise();
    QWidget* focus = focusWidget();
    for (QWidget* under : {static_cast<QWidget*>(m_commands), static_cast<QWidget*>(m_i2cparser)})
        under->setFocusPolicy(Qt::NoFocus);
    if (focus == m_commands || focus == m_i2cparser) m_uncovered = focus;
    if (focus == m_commands || focus == m_i2cparser || focus == m_helpbox)
        (view == m_helpbox ? view : control("Command5"))->setFocus();
}

void MainWindow::hideOverCentre() {
    QWidget* focus = focusWidget();
    m_helpbox->hide();
    m_connection->hide();
    for (QWidget* under : {static_cast<QWidget*>(m_commands), static_cast<QWidget*>(m_i2cparser)})
        under->setFocusPolicy(Qt::StrongFocus);
    // Unless the user has gone elsewhere meanwhile.
    if (m_uncovered && (!focus || focus == m_helpbox || focus == control("Command3") ||
                        focus == control("Command5")))
        m_uncovered->setFocus();
    m_uncovered = nullptr;
}

void MainWindow::Command3_Click() {
    if (!m_helpbox->isHidden()) {
        hideOverCentre();
        return;
    }
    showOverCentre(m_helpbox);
}

void MainWindow::Command4_Click() {
    const QString chosen =
        dialogs::choosefile(this, QString(), QStringLiteral("*.txt"), loaddirectory,
                            QStringLiteral("Select command list"));
    if (!chosen.isEmpty()) loadScriptFile(chosen);
}

void MainWindow::loadScriptFile(const QString& chosen) {
    std::string path = chosen.toStdString();
    loaddirectory = qstring(util::pathpart(path, 3)) + QLatin1Char(util::kNativeSeparator);
    // Read whole before anything is cleared: a file that cannot be read
    // leaves the buttons, the list, the blocks and the queue as they were.
    // Only a regular file is read, so a pipe or a device cannot hang the window.
    const auto file = platform::readRegularFile(path, library::kMaxScriptFileBytes);
    if (!file.bytes) {
        alert(QStringLiteral("Script load error"),
              QStringLiteral("Cannot load %1:\r\n%2").arg(qstring(path), qstring(file.error)), 0);
        return;
    }
    auto loaded = library::loadScript(*file.bytes, scriptblocks);
    scriptblocks = std::move(loaded.blocks);
    for (int i = 0; i < controls::kQuickButtons; ++i) {
        const std::string& block = scriptblocks[static_cast<std::size_t>(i) + 1];
        setQuickCaption(i, loaded.captions[static_cast<std::size_t>(i)],
                        i + 1 < static_cast<int>(loaded.listItems.size())
                            ? library::blockName(block)
                            : std::string_view());
    }
    m_combo2->clear();
    m_combo2->addItem(qstring(library::kSelectScript));
    for (std::size_t k = 1; k < loaded.listItems.size(); ++k) {
        m_combo2->addItem(qstring(loaded.listItems[k]));
        const auto name = library::blockName(scriptblocks[k]);
        if (name != loaded.listItems[k])
            m_combo2->setItemData(static_cast<int>(k), qstring(name), Qt::ToolTipRole);
    }
    // The queue takes this file's preamble, never an earlier file's.
    m_combo2->setCurrentIndex(0);
    Combo2_Click();
    QStringList notes;
    if (loaded.blocksLeftOut > 0)
        notes << QStringLiteral("%1 holds more than %2 blocks: the first %2 are loaded, the "
                                "other %3 were left out.")
                     .arg(qstring(path))
                     .arg(library::kMaxBlocks)
                     .arg(loaded.blocksLeftOut);
    if (!loaded.entriesCut.empty()) {
        constexpr std::size_t kNamed = 5;
        QStringList cut;
        for (std::size_t entry : loaded.entriesCut)
            if (cut.size() < static_cast<qsizetype>(kNamed))
                cut << (entry == 0
                            ? QStringLiteral("the lines before the first block")
                            : QLatin1Char('"') + qstring(library::blockName(scriptblocks[entry])) +
                                  QLatin1Char('"'));
        if (loaded.entriesCut.size() > kNamed)
            cut << QStringLiteral("%1 more").arg(loaded.entriesCut.size() - kNamed);
        notes << QStringLiteral("The queue takes at most %1 lines (%2 KiB) of a block: of %3, "
                                "only that much was loaded of %4.")
                     .arg(library::kQueueLines)
                     .arg(library::kQueueBytes >> 10)
                     .arg(qstring(path), cut.join(QStringLiteral(", ")));
    }
    if (!notes.isEmpty())
        alert(QStringLiteral("Script load"), notes.join(QStringLiteral("\r\n")), 1);
}

void MainWindow::Command5_Click() {
    if (!m_connection->isHidden()) {
        hideOverCentre();
        return;
    }
    showOverCentre(m_connection);
}

// A click on the frame, its outline or a circle hides the drawing; the
// labels take their clicks, which would otherwise go on to the frame.
bool MainWindow::connectorEvent(QObject* watched, QEvent* event) {
    const auto type = event->type();
    const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
                       type == QEvent::MouseButtonDblClick;
    if (!mouse) return false;
    if (watched == m_connection && type == QEvent::MouseButtonRelease) hideOverCentre();
    return true;
}

bool MainWindow::alert(const QString& title, const QString& message, int style) {
    return m_alert ? m_alert(title, message, style) : false;
}

void MainWindow::setQueue(const std::string& text) {
    // One step of the editor's own undo: setPlainText would forget the
    // user's text for good.
    QTextCursor all(m_commands->document());
    all.beginEditBlock();
    all.select(QTextCursor::Document);
    all.insertText(qstring(text));
    all.endEditBlock();
    m_commands->moveCursor(QTextCursor::Start);
}

void MainWindow::setQuickCaption(int index, std::string_view caption, std::string_view name) {
    QPushButton* button = m_quick[static_cast<std::size_t>(index)];
    button->setText(qstring(caption).replace(QLatin1Char('&'), QStringLiteral("&&")));
    // Screen readers say the caption; the placeholder only while there is none.
    button->setAccessibleName(caption.empty() ? QStringLiteral("Quick command %1").arg(index + 1)
                                              : QString());
    button->setToolTip(name != caption ? qstring(name) : QString());
}

void MainWindow::cmmd_Click(int index) {
    if (index >= 0 && index < controls::kQuickButtons) {
        if (m_quick[static_cast<std::size_t>(index)]->text().isEmpty()) return;
        setQueue(scriptblocks[static_cast<std::size_t>(index) + 1]);
        if (m_oneclick->isChecked()) compile();
        return;
    }
    if (index == controls::kCompileButton) {
        compile();
        return;
    }
    const auto button = controls::controlButton(index);
    if (!button) return;
    if (button->clearsView) m_i2cparser->clearView();
    // A port chosen during a wait ends the click: its remaining frames were
    // meant for the port it started on.
    const auto port = m_portChanges;
    for (const auto& frame : button->frames) {
        if (m_portChanges != port) return;
        // The module answers a replay once the stored script has run.
        if (m_portopen && protocol::commandCodeOf(frame) == protocol::code::Replay)
            awaitAnswer(protocol::code::Replay, compiler::replayAnswerTime());
        comwrite(frame, protocol::kControlWait);
    }
}

void MainWindow::Label2_Click(int index) {
    const auto* entry = controls::tokenEntry(index);
    if (!entry) return;
    std::string value;
    if (entry->valueBox >= 0) {
        QLineEdit* edit = m_tokenvalue[static_cast<std::size_t>(entry->valueBox)];
        value = controls::settledValueText(edit->text().toStdString());
        if (edit->text() != qstring(value)) edit->setText(qstring(value));
    }
    const std::string line = controls::tokenCommandLine(*entry, value);
    if (m_oneclicktokens->isChecked()) {
        setQueue(line);
        compile();
        return;
    }
    // Appended as the text stands: a last line without its line end is joined.
    QTextCursor end(m_commands->document());
    end.movePosition(QTextCursor::End);
    end.insertText(qstring(line));
}

void MainWindow::Combo1_Click() {
    const int index = m_combo1->currentIndex();
    if (index < 0 || index >= static_cast<int>(library::kExamples.size())) return;
    setQueue(library::exampleScript(static_cast<std::size_t>(index)));
}

void MainWindow::Combo2_Click() {
    const int index = m_combo2->currentIndex();
    if (index < 0 || index >= kScriptBlocks) return;
    setQueue(scriptblocks[static_cast<std::size_t>(index)]);
}

void MainWindow::portselect_Click() {
    // The user's own choice ends a watch for a lost port at once.
    stopWatchingPort();
    openSelected(false);
}

bool MainWindow::openSelected(bool quietly) {
    const int index = m_portselect->currentIndex();
    ++m_portChanges;
    emit portChanged();
    endAwait();
    m_rs232.close();
    if (index <= 0) {
        m_portopen = false;
        return false;
    }
    m_portopen = true;
    const auto opened = m_rs232.open(m_portselect->currentText(), kPortSettings);
    if (opened) {
        markNothingSent(false);
        return true;
    }
    m_portopen = false;
    m_portselect->setCurrentIndex(0);
    if (quietly) return false;
    alert(QStringLiteral("Com port open error"), opened.description, 0);
    portselect_Click();
    return false;
}

void MainWindow::watchPort() {
    if (m_watchingSince.elapsed() > kPortWatchLimit.count()) {
        stopWatchingPort();
        return;
    }
    if (!m_rs232.present(m_watchedName)) return;
    m_portselect->setCurrentIndex(m_watchedIndex);
    // One present but failing to open (still starting, held by another
    // program) is tried again at the next look.
    if (!openSelected(true)) return;
    const QString device = m_rs232.device();
    const QString port = device.isEmpty() || device == m_watchedName
                             ? m_watchedName
                             : m_watchedName + " (" + device + ")";
    m_recorder.event((port + QStringLiteral(" opened again")).toStdString(), protocol::kReturnMark);
    stopWatchingPort();
    checkRecording();
}

void MainWindow::stopWatchingPort() {
    m_portWatch.stop();
    m_watchedName.clear();
    refreshPortDescription();
}

void MainWindow::rs232_Error(const QString& description) {
    if (m_closing) return;
    // The port is closed already; the alert comes once, and the views stay.
    m_portopen = false;
    m_recorder.event(description.toStdString());
    checkRecording();
    const int lost = m_portselect->currentIndex();
    const QString name = m_portselect->currentText();
    m_portselect->setCurrentIndex(0);
    portselect_Click();
    // An adapter plugged back, a simulator started again: the same name
    // opens again by itself, unless the user chooses otherwise first.
    m_watchedIndex = lost;
    m_watchedName = name;
    m_watchingSince.start();
    m_portWatch.start();
    refreshPortDescription();
    alert(QStringLiteral("Com port error"), description + QStringLiteral("\r\n") + watchText(), 0);
}

QString MainWindow::watchText() const {
    return QStringLiteral("%1 opens again by itself when it comes back, until %2. To stop "
                          "that, choose another entry in the port list.")
        .arg(m_watchedName, QTime::currentTime()
                                .addMSecs(kPortWatchLimit.count() - m_watchingSince.elapsed())
                                .toString(QStringLiteral("HH:mm")));
}

// What the port list says beyond its entry: a watch for a lost port, or that
// nothing was sent.
QString MainWindow::portText() const {
    if (m_portWatch.isActive()) return watchText();
    if (m_portselect->property(kMarkedProperty).toBool()) return kNothingSent;
    return {};
}

void MainWindow::refreshPortDescription() {
    m_portselect->setAccessibleDescription(portText());
}

void MainWindow::rs232_DataArrived() {
    const QByteArray arrival = m_rs232.read();
    process(255, std::string_view(arrival.constData(), static_cast<std::size_t>(arrival.size())));
}

void MainWindow::process(int requestCode, std::string_view arrival) {
    if (requestCode != 255) return;
    // One insertion per arrival, however many frames it holds.
    std::string pending;
    std::string box;
    bool cut = false;
    m_receiver.receiveFrames(arrival, [&](std::string_view frame) {
        auto effect = protocol::decodeFrame(frame);
        m_recorder.received(frame, effect.append);
        answerCame(frame);
        cut = true;
        box = std::move(effect.rxbufferbox);
        if (effect.clearView) {
            pending.clear();
            m_i2cparser->clearView();
        }
        pending += effect.append;
    });
    m_i2cparser->append(pending);
    if (cut) m_rxPending = QString::fromLatin1(box.data(), static_cast<qsizetype>(box.size()));
    if (cut || !pending.empty()) m_pacer.request();
    if (cut) checkRecording();
}

void MainWindow::checkRecording() {
    if (!m_recorder.failed() || m_recordFailureShown) return;
    m_recordFailureShown = true;
    m_recordAction->setText(kRecordText);
    alert(QStringLiteral("Recording stopped"),
          QStringLiteral("The session can no longer be recorded:\r\n%1").arg(m_recorder.error()),
          0);
}

// A file name from the program's own dialog, in the folder of the last save
// or record, else the load folder; an existing file is replaced (or added
// to) only when the user says so.
std::optional<MainWindow::NewFile> MainWindow::chooseNewFile(const QString& name,
                                                             const QString& title, bool mayAppend) {
    const QString path = dialogs::choosefile(this, name, QStringLiteral("*.txt"),
                                             m_saveFolder.isEmpty() ? loaddirectory : m_saveFolder,
                                             title, dialogs::Purpose::Save);
    if (path.isEmpty()) return std::nullopt;
    m_saveFolder = QFileInfo(path).absolutePath();
    if (!QFileInfo::exists(path)) return NewFile{path};
    switch (dialogs::askReplace(this, title, path, mayAppend)) {
    case dialogs::ReplaceAnswer::Replace:
        return NewFile{path};
    case dialogs::ReplaceAnswer::Append:
        return NewFile{path, true};
    default:
        return std::nullopt;
    }
}

void MainWindow::saveActivity() {
    const auto file = chooseNewFile(QStringLiteral("activity.txt"), kSaveText, false);
    if (!file) return;
    // As shown: one character a byte, CR LF line ends.
    const QByteArray text =
        m_i2cparser->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toLatin1();
    QString error;
    if (!writeWhole(file->path, text, error))
        alert(QStringLiteral("Save error"), QStringLiteral("Cannot save:\r\n%1").arg(error), 0);
}

void MainWindow::recordSession() {
    if (m_recorder.active()) {
        m_recorder.stop();
        m_recordAction->setText(kRecordText);
        return;
    }
    const auto file = chooseNewFile(QStringLiteral("session.txt"), kRecordText, true);
    if (!file) return;
    QString error;
    const auto mode =
        file->append ? serial::Recorder::Mode::Append : serial::Recorder::Mode::Replace;
    if (!m_recorder.start(file->path, error, mode)) {
        alert(QStringLiteral("Record error"), QStringLiteral("Cannot record:\r\n%1").arg(error), 0);
        return;
    }
    m_recordFailureShown = false;
    m_recordAction->setText(QStringLiteral("Stop recording"));
}

void MainWindow::showPending() {
    m_pacer.showNow();
}

void MainWindow::showViews() {
    if (m_i2cparser->hasPending()) m_i2cparser->flush();
    if (m_rxPending) m_rxbufferbox->setText(*std::exchange(m_rxPending, std::nullopt));
    if (m_txPending) m_txbufferbox->setText(*std::exchange(m_txPending, std::nullopt));
    if (!m_logPending.isEmpty()) logFrames(std::exchange(m_logPending, QString()));
}

void MainWindow::compile() {
    const auto result =
        compiler::compile(compiler::typedQueue(m_commands->toPlainText().toStdString()));
    if (!result.ok()) {
        alert(qstring(result.error->title), qstring(result.error->message), 0);
        return;
    }
    m_i2cparser->clearView();
    if (m_portopen) awaitAnswer(protocol::code::Script, compiler::scriptAnswerTime(result.frame));
    comwrite(result.frame, protocol::kScriptWait);
}

void MainWindow::awaitAnswer(std::string_view commandCode, std::chrono::milliseconds limit) {
    if (!m_busy) QApplication::setOverrideCursor(Qt::BusyCursor);
    m_busy = true;
    m_awaited.emplace(commandCode);
    if (!m_awaitLimit.isActive() || m_awaitLimit.remainingTimeAsDuration() < limit)
        m_awaitLimit.start(limit);
}

void MainWindow::answerCame(std::string_view frame) {
    if (!m_busy) return;
    const auto awaited = m_awaited.find(protocol::commandCodeOf(frame));
    if (awaited == m_awaited.end()) return;
    m_awaited.erase(awaited);
    if (m_awaited.empty()) endAwait();
}

void MainWindow::endAwait() {
    m_awaitLimit.stop();
    m_awaited.clear();
    if (std::exchange(m_busy, false)) QApplication::restoreOverrideCursor();
}

void MainWindow::comwrite(const std::string& datain, int waittime) {
    m_txPending = qstring(protocol::boxText(datain));
    m_pacer.request();
    if (m_closing || datain.empty()) return;
    if (!m_portopen) {
        // The transmit box alone would look as if the frame went out.
        markNothingSent(true);
        return;
    }
    // "Wait" for as long as any send pauses, a nested one's end included.
    ++m_sending;
    m_comwait->setText(QStringLiteral("Wait"));
    if (m_logdata->isChecked()) {
        // Newest first.
        m_logPending.prepend(qstring(protocol::echoText(datain)) + QStringLiteral("\r\n"));
        m_pacer.request();
    }
    m_rs232.write(QByteArray::fromStdString(datain));
    m_recorder.sent(datain);
    checkRecording();
    pausehundredths(waittime);
    if (--m_sending == 0) m_comwait->setText(QStringLiteral("Ready"));
}

void MainWindow::logFrames(const QString& entries) {
    QTextDocument* log = m_txdata->document();
    QTextCursor top(log);
    top.insertText(entries);
    // Newest first: the oldest entries go at the bottom. The last block is
    // the empty one after the final line end.
    if (log->blockCount() <= kMaxLoggedFrames + 1) return;
    QTextCursor rest(log->findBlockByNumber(kMaxLoggedFrames));
    rest.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    rest.removeSelectedText();
}

void MainWindow::pausehundredths(int hundredths) {
    if (hundredths <= 0 || m_closing) return;
    // A timer on the monotonic clock: no spinning, and midnight means nothing.
    QEventLoop loop;
    QTimer::singleShot(protocol::pauseOf(hundredths), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    connect(this, &MainWindow::closing, &loop, &QEventLoop::quit);
    connect(this, &MainWindow::portChanged, &loop, &QEventLoop::quit);
    // Busy, but still answering: the busy pointer, not the wait pointer.
    QApplication::setOverrideCursor(Qt::BusyCursor);
    loop.exec();
    QApplication::restoreOverrideCursor();
}

void MainWindow::markNothingSent(bool marked) {
    if (marked) {
        // A tip of its own: Qt's tool tip goes at the first mouse move.
        m_notice->adjustSize();
        const QPoint corner = m_portselect->mapToGlobal(QPoint(m_portselect->width(), 0));
        m_notice->move(corner - QPoint(m_notice->width(), m_notice->height() + 2));
        m_notice->show();
        m_noticeTimer.start();
    } else {
        m_notice->hide();
    }
    if (m_portselect->property(kMarkedProperty).toBool() == marked) return;
    m_portselect->setProperty(kMarkedProperty, marked);
    QPalette palette = m_portselect->palette();
    palette.setColor(QPalette::Button,
                     marked ? kNoticeColour : QApplication::palette().color(QPalette::Button));
    m_portselect->setPalette(palette);
    refreshPortDescription();
}

bool MainWindow::doubleClicked(QObject* watched) {
    if (watched == mouseTarget(m_helpbox)) {
        hideOverCentre();
    } else if (watched == mouseTarget(m_commands)) {
        setQueue({});
    } else if (watched == mouseTarget(m_i2cparser)) {
        m_i2cparser->clearView();
    } else if (watched == m_txbufferbox) {
        m_txPending.reset();
        m_txbufferbox->clear();
    } else if (watched == mouseTarget(m_txdata) || watched == mouseTarget(m_rxdata)) {
        m_logPending.clear();
        m_txdata->clear();
        m_rxdata->clear();
    } else {
        return false;
    }
    return true;
}

void MainWindow::refreshPortTips() {
    for (int i = 1; i < m_portselect->count(); ++i)
        m_portselect->setItemData(i, serial::describePort(m_portselect->itemText(i)),
                                  Qt::ToolTipRole);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type == QEvent::MouseButtonDblClick && doubleClicked(watched)) return true;
    if (watched == m_connection || watched->parent() == m_connection)
        return connectorEvent(watched, event) || QWidget::eventFilter(watched, event);
    if (watched == m_portselect->view() && type == QEvent::Show) refreshPortTips();
    if (watched == m_portselect && type == QEvent::ToolTip)
        m_portselect->setToolTip(m_portselect->currentIndex() > 0
                                     ? serial::describePort(m_portselect->currentText())
                                     : portText());
    if (watched == mouseTarget(m_commands) && type == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int position = m_commands->cursorForPosition(help->pos()).position();
        const QString message = m_marks->messageAt(position);
        if (message.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), message, m_commands->viewport());
        return true;
    }
    if (watched == m_commands && type == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const auto modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            modifiers == Qt::ControlModifier) {
            cmmd_Click(controls::kCompileButton);
            return true;
        }
        // Tab is a character in the queue; Ctrl+Tab leaves it.
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            (modifiers & Qt::ControlModifier)) {
            focusNextPrevChild(key->key() == Qt::Key_Tab && !(modifiers & Qt::ShiftModifier));
            return true;
        }
    }
    // The lists are chosen from, never typed into; Tab still leaves them and
    // Space opens them.
    if ((watched == m_portselect || watched == m_combo1 || watched == m_combo2) &&
        type == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool passes = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
                            key->key() == Qt::Key_Space;
        if (!passes && !key->text().isEmpty()) return true;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (m_closing) return;
    m_closing = true;
    emit closing();
    endAwait();
    QString error;
    if (!m_settings.save(loaddirectory, error))
        std::fprintf(stderr, "i2cmaster: settings not saved: %s\n",
                     error.toLocal8Bit().constData());
    m_rs232.close();
    if (m_quit) m_quit();
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Fixed size: a maximised window goes back to normal at the recorded size.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized))
        setWindowState(windowState() & ~Qt::WindowMaximized);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_recorded.isValid() && !(windowState() & Qt::WindowMinimized) && size() != m_recorded)
        resize(m_recorded);
}

} // namespace app
