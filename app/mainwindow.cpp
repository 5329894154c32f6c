#include "app/mainwindow.h"
#include "app/text.h"

#include "app/activityview.h"
#include "app/connector.h"
#include "app/helpview.h"
#include "app/inputfilters.h"
#include "app/layout.h"
#include "app/overlays.h"
#include "app/pictureview.h"
#include "app/portpanel.h"
#include "app/queuemarks.h"
#include "app/screenfit.h"
#include "app/scriptlibrary.h"
#include "app/sessionfiles.h"
#include "app/tokenmenu.h"
#include "app/trafficviews.h"
#include "compiler/compiler.h"
#include "controls/buttons.h"
#include "controls/tokenmenu.h"
#include "dialogs/alert.h"
#include "help/document.h"
#include "protocol/frames.h"
#include "util/system.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTextCursor>
#include <QTimer>

#include <cstdio>

namespace app {

MainWindow::MainWindow(serial::Port& rs232, Settings settings, QWidget* parent)
    : QWidget(parent), m_rs232(rs232), m_session(rs232), m_keeper(rs232, m_session),
      m_settings(std::move(settings)) {
    setWindowTitle(QString::fromLatin1(kCaption));
    setFont(dialogs::fontOf(dialogs::Font::Sans));
    auto* form = new QWidget;
    form->setFixedSize(dialogs::pixels(kClientWidth), dialogs::pixels(kClientHeight));
    m_fit = new ScreenFit(this, form);
    m_controls = dialogs::buildControls(
        form, mainRows(), [](const dialogs::ControlRow& row, QWidget* parent) -> QWidget* {
            if (row.name == QLatin1String("helpbox")) return new HelpView(parent);
            return new ActivityView(parent);
        });
    QWidget* connection = control("connection");
    const auto drawing = dialogs::buildControls(connection, connectorRows());
    for (auto it = drawing.cbegin(); it != drawing.cend(); ++it)
        m_controls.insert(it.key(), it.value());
    dialogs::setTabOrder(m_controls, mainRows());
    // Dialogs take the application's icon.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/i2cmaster.svg")));
    setWindowIcon(QApplication::windowIcon());

    m_commands = control<QPlainTextEdit>("commands");
    m_portselect = control<QComboBox>("portselect");
    m_oneclick = control<QCheckBox>("oneclick");
    m_oneclicktokens = control<QCheckBox>("oneclicktokens");
    auto* i2cparser = control<ActivityView>("i2cparser");
    m_commands->setAccessibleDescription(
        QStringLiteral("Ctrl+Return compiles and sends the queue; Ctrl+S saves it as a block of a "
                       "script file; Ctrl+Tab leaves it (Tab is a character here)."));
    m_marks = new QueueMarks(m_commands);
    // Lies where the help does, its strips as wide as its inside.
    auto* picture = new PictureView(dialogs::pixels(kOverlayWidth) -
                                        style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 4,
                                    form);
    picture->setObjectName(QStringLiteral("picture"));
    picture->hide();
    m_tokenMenu = new TokenMenu(m_controls, this);
    m_views = new TrafficViews(
        {i2cparser, control<QLineEdit>("txbufferbox"), control<QLineEdit>("rxbufferbox"),
         control<QPlainTextEdit>("txdata"), control<QPlainTextEdit>("rxdata"),
         control<QCheckBox>("logdata"), control<QPushButton>("comwait"), picture},
        this);
    LibraryWidgets library{
        m_commands, control<QComboBox>("Combo1"), control<QComboBox>("Combo2"), {}};
    for (int i = 0; i < controls::kQuickButtons; ++i)
        library.cmmd[static_cast<std::size_t>(i)] = control<QPushButton>(cmmdName(i));
    auto alertOf = [this](int style) {
        return [this, style](const QString& title, const QString& message) {
            alert(title, message, style);
        };
    };
    m_library = new ScriptLibrary(
        library,
        [this](const QString& title, const QString& message, int style) {
            alert(title, message, style);
        },
        this);
    m_portPanel = new PortPanel(m_portselect, m_keeper, alertOf(0), this);
    m_overlays = new Overlays({control("helpbox"),
                               connection,
                               picture,
                               {m_commands, i2cparser},
                               control("Command3"),
                               control("Command5")},
                              this);
    auto* files = new SessionFiles(
        i2cparser, picture, m_session, alertOf(0), [this] { return m_library->loaddirectory; },
        this);
    m_showPicture = new QAction(QStringLiteral("Show as picture"), this);
    m_showPicture->setShortcut(Qt::Key_F2);
    m_showPicture->setShortcutContext(Qt::WindowShortcut);
    addAction(m_showPicture);
    connect(m_showPicture, &QAction::triggered, this,
            [this, picture] { m_overlays->toggle(picture); });
    auto* showActivity = new QAction(QStringLiteral("Show activity"), this);
    showActivity->setShortcut(Qt::Key_Escape);
    connect(showActivity, &QAction::triggered, m_overlays, &Overlays::hide);
    i2cparser->setMenuActions(files->activityActions() << m_showPicture);
    picture->setMenuActions({files->exportAction(), showActivity});
    m_alert = [this](const QString& title, const QString& message, int style) {
        return dialogs::showalert(this, title, message, style);
    };
    m_quit = [] { QCoreApplication::exit(0); };
    connectControls();
    Form_Load();
}

MainWindow::~MainWindow() {
    // The busy pointer goes with the window.
    m_session.endAwait();
    if (std::exchange(m_busy, false)) QApplication::restoreOverrideCursor();
}

void MainWindow::connectControls() {
    for (int i = 0; i < controls::kQuickButtons + controls::kControlButtons; ++i)
        connect(control<QPushButton>(cmmdName(i)), &QPushButton::clicked, this,
                [this, i] { cmmd_Click(i); });
    connect(control<QPushButton>(cmmdName(controls::kCompileButton)), &QPushButton::clicked, this,
            [this] { cmmd_Click(controls::kCompileButton); });
    connect(m_tokenMenu, &TokenMenu::clicked, this, &MainWindow::Label2_Click);
    connect(control<QPushButton>("Command3"), &QPushButton::clicked, this,
            &MainWindow::Command3_Click);
    connect(control<QPushButton>("Command4"), &QPushButton::clicked, this,
            &MainWindow::Command4_Click);
    connect(control<QPushButton>("Command5"), &QPushButton::clicked, this,
            &MainWindow::Command5_Click);
    connect(new QShortcut(Qt::Key_F1, this), &QShortcut::activated, this,
            &MainWindow::Command3_Click);
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, m_overlays,
            &Overlays::hide);
    new QueueKeys(m_commands, m_marks, [this] { cmmd_Click(controls::kCompileButton); });
    DoubleClickAction::install(m_commands, [this] { m_library->setQueue({}); });
    for (auto* list : {control<QComboBox>("Combo1"), control<QComboBox>("Combo2")})
        ChooseOnly::install(list);
    m_views->follow(m_session);
    m_session.onGiven = [this](std::string_view frame, serial::ModuleSession::Sent outcome) {
        m_views->showGiven(frame);
        // The transmit box alone would look as if the frame went out.
        if (outcome == serial::ModuleSession::Sent::NoPort) m_portPanel->showNothingSent();
    };
    connect(&m_session, &serial::ModuleSession::sendingChanged, this, &MainWindow::showBusy);
    connect(&m_session, &serial::ModuleSession::awaitingChanged, this, &MainWindow::showBusy);
}

void MainWindow::Form_Load() {
    m_library->loaddirectory = m_settings.load();
    m_rs232.setSpeed(protocol::kLineSpeed);
    m_portselect->setCurrentIndex(0);
    portselect_Click();
    auto* combo1 = control<QComboBox>("Combo1");
    combo1->setCurrentIndex(0);
    m_library->Combo1_Click();
    control<QComboBox>("Combo2")->setCurrentIndex(0);
    m_library->Combo2_Click();
    combo1->setCurrentIndex(0);
    m_library->Combo1_Click();
    setWindowTitle(QString::fromLatin1(kCaption) + QStringLiteral(" V") +
                   qstring(util::versiontext()));
    control<QPlainTextEdit>("helpbox")->setPlainText(qstring(help::helpDocument()));
    // The start-up example is where the user's history begins.
    m_commands->document()->clearUndoRedoStacks();
    m_portselect->setFocus();
}

bool MainWindow::alert(const QString& title, const QString& message, int style) {
    return m_alert ? m_alert(title, message, style) : false;
}

void MainWindow::Command3_Click() {
    m_overlays->toggle(control("helpbox"));
}

void MainWindow::Command4_Click() {
    m_library->Command4_Click();
}

void MainWindow::Command5_Click() {
    m_overlays->toggle(control("connection"));
}

void MainWindow::portselect_Click() {
    m_portPanel->portselect_Click();
}

void MainWindow::cmmd_Click(int index) {
    if (index >= 0 && index < controls::kQuickButtons) {
        if (m_library->takeQuickBlock(index) && m_oneclick->isChecked()) compile();
        return;
    }
    if (index == controls::kCompileButton) {
        compile();
        return;
    }
    const auto button = controls::controlButton(index);
    if (!button) return;
    if (button->clearsView) m_views->clearActivity();
    m_session.comwriteAll(button->frames, protocol::kControlWait);
}

void MainWindow::Label2_Click(int index) {
    const auto* entry = controls::tokenEntry(index);
    if (!entry) return;
    std::string value;
    if (entry->valueBox >= 0) {
        auto* edit = control<QLineEdit>(QStringLiteral("tokenvalue(%1)").arg(entry->valueBox));
        value = controls::settledValueText(edit->text().toStdString());
        if (edit->text() != qstring(value)) edit->setText(qstring(value));
    }
    const std::string line = controls::tokenCommandLine(*entry, value);
    if (m_oneclicktokens->isChecked()) {
        m_library->setQueue(line);
        compile();
        return;
    }
    // Appended as the text stands: a last line without its line end is joined.
    QTextCursor end(m_commands->document());
    end.movePosition(QTextCursor::End);
    end.insertText(qstring(line));
}

void MainWindow::compile() {
    const auto result =
        compiler::compile(compiler::typedQueue(m_commands->toPlainText().toStdString()));
    if (!result.ok()) {
        alert(qstring(result.error->title), qstring(result.error->message), 0);
        return;
    }
    m_views->clearActivity();
    if (portopen())
        m_session.awaitAnswer(protocol::code::Script, compiler::scriptAnswerTime(result.frame));
    comwrite(result.frame, protocol::kScriptWait);
}

void MainWindow::comwrite(const std::string& datain, int waittime) {
    m_session.comwrite(datain, waittime);
}

void MainWindow::process(int requestCode, std::string_view arrival) {
    m_session.process(requestCode, arrival);
}

void MainWindow::showPending() {
    m_views->showPending();
}

int MainWindow::viewShowings() const {
    return m_views->showings();
}

// Busy, but still answering: the busy pointer, not the wait pointer, while
// a send pauses or the module runs what was sent.
void MainWindow::showBusy() {
    const bool busy = !m_closing && (m_session.sending() || m_session.awaiting());
    if (busy == m_busy) return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_settingsTold || m_settings.problem().isEmpty()) return;
    m_settingsTold = true;
    // Once the window stands, so the alert has something to stand over.
    QTimer::singleShot(0, this, [this] {
        alert(QStringLiteral("Settings"),
              QStringLiteral("Settings will not be kept: ") + m_settings.problem(), 0);
    });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (m_closing) return;
    m_closing = true;
    m_session.close();
    showBusy();
    QString error;
    if (!m_settings.save(m_library->loaddirectory, error))
        std::fprintf(stderr, "i2cmaster: settings not saved: %s\n",
                     error.toLocal8Bit().constData());
    m_keeper.close();
    if (m_quit) m_quit();
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // A maximised window goes back to normal: its content has one size.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized))
        setWindowState(windowState() & ~Qt::WindowMaximized);
}

} // namespace app
