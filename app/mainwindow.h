#pragma once
// The main window: the handlers under their established names. Each reads
// widgets, asks core, and writes widgets; the port is behind serial::Port.
//
// Everything runs on the GUI thread. comwrite pauses in a nested event loop,
// so a handler may run inside another's pause; after the close request
// nothing more is sent and every pause ends at once.
#include "app/pacer.h"
#include "app/settings.h"
#include "controls/tokenmenu.h"
#include "dialogs/form.h"
#include "library/scriptfile.h"
#include "link/port.h"
#include "link/recorder.h"
#include "protocol/receiver.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QSize>
#include <QTimer>
#include <QWidget>

#include <array>
#include <chrono>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

class QAction;
class QCheckBox;
class QLabel;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace app {

class ActivityView;
class QueueMarks;
class TokenMenu;

inline constexpr int kScriptBlocks = static_cast<int>(library::kMaxBlocks) + 1;
inline constexpr int kMaxLoggedFrames = 1000;

class MainWindow : public QWidget {
    Q_OBJECT
  public:
    using AlertFunction =
        std::function<bool(const QString& title, const QString& message, int style)>;

    // settings: where i2c.ini is looked for. The window does not own the port.
    MainWindow(serial::Port& rs232, Settings settings, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Seams for tests: how alerts are shown and how the program ends.
    void setAlert(AlertFunction alert) { m_alert = std::move(alert); }
    void setQuit(std::function<void()> quit) { m_quit = std::move(quit); }

    // The control of that name ("cmmd(18)", "commands"), or null.
    QWidget* control(const QString& name) const { return m_controls.value(name); }
    QueueMarks* queueMarks() const { return m_marks; }
    template <class T> T* control(const QString& name) const {
        return qobject_cast<T*>(control(name));
    }

    void Form_Load();
    void Command3_Click();
    void Command4_Click();
    // Load without the dialog: path as chosen.
    void loadScriptFile(const QString& path);
    void Command5_Click();
    void cmmd_Click(int index);
    void Label2_Click(int index);
    void Combo1_Click();
    void Combo2_Click();
    void portselect_Click();
    void rs232_DataArrived();
    void compile();
    void comwrite(const std::string& datain, int waittime);
    void pausehundredths(int hundredths);
    void process(int requestCode, std::string_view arrival);
    // The views show what is decoded and sent at most ten times a second
    // while a stream lasts; this shows what waits now.
    void showPending();
    int viewShowings() const { return m_pacer.showings(); }

    library::BlockTable scriptblocks;
    QString loaddirectory;
    bool portopen() const { return m_portopen; }
    const Settings& settings() const { return m_settings; }

  signals:
    void closing();
    // A port was chosen (or "Select"), by the user or after a failure.
    void portChanged();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    struct NewFile {
        QString path;
        bool append = false;
    };

    void connectControls();
    void rs232_Error(const QString& description);
    void showOverCentre(QWidget* view);
    void hideOverCentre();
    bool connectorEvent(QObject* watched, QEvent* event);
    bool doubleClicked(QObject* watched);
    void setQueue(const std::string& text);
    void setQuickCaption(int index, std::string_view caption, std::string_view name);
    std::optional<NewFile> chooseNewFile(const QString& name, const QString& title, bool mayAppend);
    void saveActivity();
    void recordSession();
    void checkRecording();
    bool openSelected(bool quietly);
    void watchPort();
    void stopWatchingPort();
    QString watchText() const;
    QString portText() const;
    void refreshPortDescription();
    // The busy pointer while the module runs what was sent, until an answer
    // with the code has come for each, or the time has passed.
    void awaitAnswer(std::string_view commandCode, std::chrono::milliseconds limit);
    void answerCame(std::string_view frame);
    void endAwait();
    void markNothingSent(bool marked);
    void logFrames(const QString& entries);
    void showViews();
    void refreshPortTips();
    bool alert(const QString& title, const QString& message, int style);

    serial::Port& m_rs232;
    Settings m_settings;
    dialogs::Controls m_controls;
    QPlainTextEdit* m_commands;
    QPlainTextEdit* m_helpbox;
    QWidget* m_connection;
    ActivityView* m_i2cparser;
    QLineEdit* m_txbufferbox;
    QLineEdit* m_rxbufferbox;
    QPlainTextEdit* m_txdata;
    QPlainTextEdit* m_rxdata;
    QComboBox* m_portselect;
    QComboBox* m_combo1;
    QComboBox* m_combo2;
    QCheckBox* m_oneclick;
    QCheckBox* m_oneclicktokens;
    QCheckBox* m_logdata;
    QPushButton* m_comwait;
    std::array<QLineEdit*, 3> m_tokenvalue{};
    std::array<QPushButton*, library::kQuickButtons> m_quick{};
    TokenMenu* m_tokenMenu;
    QPointer<QWidget> m_uncovered; // had the focus before the help covered it
    QLabel* m_notice;
    QueueMarks* m_marks;
    serial::Recorder m_recorder;
    QAction* m_recordAction;
    bool m_recordFailureShown = false;
    QString m_saveFolder; // of the last save or record
    QTimer m_portWatch;
    QElapsedTimer m_watchingSince;
    QString m_watchedName;
    int m_watchedIndex = 0;
    QTimer m_noticeTimer;

    protocol::Receiver m_receiver;
    Pacer m_pacer;
    std::optional<QString> m_rxPending;
    std::optional<QString> m_txPending;
    QString m_logPending;
    bool m_portopen = false;
    int m_sending = 0; // comwrites pausing, nested ones too
    std::multiset<std::string> m_awaited;
    bool m_busy = false; // the busy pointer is shown for m_awaited
    QTimer m_awaitLimit;
    unsigned m_portChanges = 0;
    bool m_closing = false;
    QSize m_recorded;
    AlertFunction m_alert;
    std::function<void()> m_quit;
};

} // namespace app
