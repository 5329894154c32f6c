// i2cmaster: the window that talks to the module.
#include "app/mainwindow.h"
#include "link/portcontroller.h"
#include "platform/stopsignals.h"
#include "util/system.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("i2cmaster"));
    // A logout, kill or Ctrl+C closes the window as its close button does, so
    // the settings are saved and the port is released.
    platform::StopSignals stops;
    QString programFolder = QString::fromStdString(util::programdirectory());
    if (app::Settings::installed(programFolder)) programFolder.clear();
    serial::PortController rs232;
    app::MainWindow window(
        rs232, app::Settings(programFolder,
                             QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)));
    QObject::connect(&stops, &platform::StopSignals::stopped, &window, &QWidget::close);
    window.show();
    return QApplication::exec();
}
