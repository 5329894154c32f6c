#pragma once
// The main window: a shell that builds the form from the layout table, holds
// its parts and wires them in one place. The form's names, and the part each
// belongs to:
//
//   name on the form                          part
//   Form_Load, the close button               MainWindow
//   rs232, rs232_DataArrived, comwrite,       serial::ModuleSession (link/), the one
//     pausehundredths, process                  send engine, shared with i2cscript
//   portselect, portselect_Click              PortPanel, over serial::PortKeeper: the
//                                               port's life (open, lost, watch)
//   commands, Combo1(_Click), Combo2(_Click), ScriptLibrary: the queue and the
//     cmmd(0)..cmmd(17), Command4_Click,        loaded blocks
//     scriptblocks, loaddirectory
//   cmmd(18)..cmmd(27), cmmd(255),            MainWindow: control frames and compile,
//     cmmd_Click, compile                       sent through the engine
//   Label2(n), tokenvalue(0..2), Label2_Click TokenMenu: clickable entries, value boxes
//   i2cparser, txbufferbox, rxbufferbox,      TrafficViews: the paced traffic views
//     txdata, rxdata, logdata, comwait
//   helpbox, connection, Command3_Click,      Overlays: help and connector
//     Command5_Click
//   the queue's keys, marks and tool tips     QueueKeys, QueueMarks
//   oneclick, oneclicktokens                  read by the clicks they govern
//   the window's fixed size                   ScreenFit: that size where the screen
//                                               holds it, else scrolled inside
//
// Indexes and request codes by number: controls/formcodes.h.
//
// Everything runs on the GUI thread. comwrite pauses in a nested event loop,
// so a handler may run inside another's pause; after the close request
// nothing more is sent and every pause ends at once.
#include "app/settings.h"
#include "dialogs/form.h"
#include "link/modulesession.h"
#include "link/port.h"
#include "link/portkeeper.h"

#include <QSize>
#include <QWidget>

#include <functional>
#include <string>
#include <string_view>

class QAction;
class QCheckBox;
class QComboBox;
class QPlainTextEdit;

namespace app {

class Overlays;
class PortPanel;
class QueueMarks;
class ScreenFit;
class ScriptLibrary;
class TokenMenu;
class TrafficViews;

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
    template <class T> T* control(const QString& name) const {
        return qobject_cast<T*>(control(name));
    }
    QueueMarks* queueMarks() const { return m_marks; }
    ScriptLibrary& library() const { return *m_library; }
    serial::ModuleSession& session() { return m_session; }
    serial::PortKeeper& keeper() { return m_keeper; }

    void Form_Load();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void cmmd_Click(int index);
    void Label2_Click(int index);
    void portselect_Click();
    void compile();
    void comwrite(const std::string& datain, int waittime);
    void process(int requestCode, std::string_view arrival);
    // The views show what waits now, without their pacing.
    void showPending();
    int viewShowings() const;

    bool portopen() const { return m_keeper.portopen(); }
    const Settings& settings() const { return m_settings; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void connectControls();
    void showBusy();
    bool alert(const QString& title, const QString& message, int style);

    serial::Port& m_rs232;
    serial::ModuleSession m_session;
    serial::PortKeeper m_keeper;
    Settings m_settings;
    dialogs::Controls m_controls;
    QPlainTextEdit* m_commands;
    QComboBox* m_portselect;
    QCheckBox* m_oneclick;
    QCheckBox* m_oneclicktokens;
    TokenMenu* m_tokenMenu;
    QueueMarks* m_marks;
    TrafficViews* m_views;
    PortPanel* m_portPanel;
    ScriptLibrary* m_library;
    Overlays* m_overlays;
    QAction* m_showPicture;
    ScreenFit* m_fit;
    bool m_busy = false; // the busy pointer is shown
    bool m_closing = false;
    bool m_settingsTold = false;
    AlertFunction m_alert;
    std::function<void()> m_quit;
};

} // namespace app
