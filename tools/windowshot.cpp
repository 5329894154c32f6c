// Makes the README's picture of the window: COM8 chosen (the simulator),
// Ping pressed, scripts/lm75.txt loaded and one of its blocks sent at one
// click; with --help, the help view shown over it. Usage: windowshot OUT.png [--help]
#include "dialogs/selectfile.h"
#include "simwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

namespace {

bool waitFor(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > 20000) return false;
        QTest::qWait(50);
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const bool help = argc == 3 && QByteArray(argv[2]) == "--help";
    if (argc != 2 && !help) {
        std::fprintf(stderr, "usage: windowshot OUT.png [--help]\n");
        return 2;
    }
    // Loading a script moves the current folder.
    const QString out = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    SimWindow rig;
    if (!rig.start()) {
        std::fprintf(stderr, "windowshot: the simulator did not start\n");
        return 1;
    }
    rig.window->show();
    if (!QTest::qWaitForWindowExposed(rig.window.get())) return 1;
    rig.choose("portselect", 8);
    rig.click("cmmd(18)");
    rig.window->loaddirectory = QStringLiteral(SCRIPTS_DIR);
    QTimer::singleShot(300, [] {
        if (auto* dialog = qobject_cast<dialogs::SelectFile*>(QApplication::activeModalWidget())) {
            dialog->setFileName(QStringLiteral("lm75.txt"));
            dialog->okbutton_Click();
        }
    });
    rig.click("Command4");
    rig.click("oneclick");
    rig.click("cmmd(1)");
    if (!waitFor([&] { return rig.view().endsWith("STOP\n"); })) {
        std::fprintf(stderr, "windowshot: no answer: %s\n", qPrintable(rig.alerts.join('\n')));
        return 1;
    }
    if (help) rig.click("Command3");
    QTest::qWait(200);
    if (!rig.window->grab().save(out)) {
        std::fprintf(stderr, "windowshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
