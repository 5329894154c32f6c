// i2cmaster: the window that talks to the module.
#include "app/mainwindow.h"
#include "link/portcontroller.h"
#include "util/system.h"

#include <QApplication>
#include <QScreen>
#include <QStandardPaths>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("i2cmaster"));
    serial::PortController rs232;
    app::MainWindow window(
        rs232, app::Settings(QString::fromStdString(util::programdirectory()),
                             QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)));
    if (const QScreen* screen = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    window.show();
    return QApplication::exec();
}
