// Makes the README's picture of the window: COM8 chosen (the simulator),
// Ping pressed, scripts/lm75.txt loaded and one of its blocks sent at one
// click; with --help, the help view shown over it; with --queue, a queue
// marked as it is typed, one warning's tool tip shown (the screen is taken,
// tool tip and all); with --dark, the first picture in a dark colour scheme;
// with --picture, the bus picture of a sensor and EEPROM script, one box's
// tool tip shown, and its strips exported beside OUT as SVG.
// Usage: windowshot OUT.png [--help | --queue | --picture] [--dark]
#include "app/pictureview.h"
#include "app/queuemarks.h"
#include "app/scriptlibrary.h"
#include "darkpalette.h"
#include "dialogs/selectfile.h"
#include "render/picturepainter.h"
#include "simwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyleFactory>
#include <QTextCursor>
#include <QTimer>
#include <QToolTip>

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

int grabScreen(SimWindow& rig, const QString& out);

// A queue with commands of every group, a value read as decimal and a
// supply voltage the compiler refuses; the tool tip of the warning shown.
int queueShot(SimWindow& rig, const QString& out) {
    auto* commands = rig.window->control<QPlainTextEdit>("commands");
    commands->setPlainText(";LM75 temperature, pointer 0\nStart\nWrite  0x90\nWrite  00\n"
                           "Start\nWrite  0x91\nRead   ack\nRead   nack\nStop\n\n"
                           ";Blink GP0, then read the bus lines\nGP0hi\nDelaym 10\nGP0lo\n"
                           "Speed\nSCL?\nSDA?\nSetV 3.3\nWrite 91\n");
    rig.window->queueMarks()->refresh();
    const int at = commands->toPlainText().indexOf(QStringLiteral("Write 91")) + 6;
    QTextCursor cursor(commands->document());
    cursor.setPosition(at);
    const QPoint word = commands->viewport()->mapToGlobal(commands->cursorRect(cursor).center());
    QToolTip::showText(word, rig.window->queueMarks()->messageAt(at), commands->viewport());
    return grabScreen(rig, out);
}

int grabScreen(SimWindow& rig, const QString& out) {
    QTest::qWait(400);
    const QRect area = rig.window->frameGeometry();
    if (!rig.window->screen()
             ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
             .save(out)) {
        std::fprintf(stderr, "windowshot: cannot write %s\n", qPrintable(out));
        return 1;
    }
    return 0;
}

// The sensor's temperature, an EEPROM page written and read back, a delay
// and an output: the picture over the queue, a data byte's tool tip shown.
int pictureShot(SimWindow& rig, const QString& out) {
    rig.choose("portselect", 8);
    auto* commands = rig.window->control<QPlainTextEdit>("commands");
    commands->setPlainText("Start\nWrite 0x90\nWrite 0\nStart\nWrite 0x91\nRead ack\n"
                           "Read nack\nStop\nStart\nWrite 0xA0\nWrite 0x10\nWrite 0x12\n"
                           "Write 0x34\nWrite 0x56\nStop\nDelaym 5\nStart\nWrite 0xA0\n"
                           "Write 0x10\nStart\nWrite 0xA1\nRead ack\nRead ack\nRead nack\n"
                           "Stop\nGP0hi\nStart\nWrite 0x22\nStop\n");
    rig.click("cmmd(255)");
    if (!waitFor([&] { return rig.view().endsWith("STOP\n"); })) {
        std::fprintf(stderr, "windowshot: no answer: %s\n", qPrintable(rig.alerts.join('\n')));
        return 1;
    }
    rig.trigger(QStringLiteral("Show as picture"));
    auto* picture = rig.window->findChild<app::PictureView*>(QStringLiteral("picture"));
    QTest::qWait(200);
    picture->setFocus();
    QTest::keyClick(picture, Qt::Key_Home, Qt::ControlModifier);
    for (int i = 0; i < 6; ++i)
        QTest::keyClick(picture, Qt::Key_Right);
    const auto [first, last] = picture->rowsInSight();
    const auto svg = render::pictureFile(picture->picture(), first, last, "svg");
    QFile file(QFileInfo(out).path() + QStringLiteral("/picture.svg"));
    if (!svg || !file.open(QIODevice::WriteOnly) || file.write(*svg) != svg->size()) return 1;
    return grabScreen(rig, out);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    auto given = [&](const char* flag) {
        for (int i = 2; i < argc; ++i)
            if (QByteArray(argv[i]) == flag) return true;
        return false;
    };
    const bool help = given("--help"), queue = given("--queue"), dark = given("--dark"),
               picture = given("--picture");
    // --dark goes with any of the others.
    if (argc < 2 || argc - 2 != int(help) + int(queue) + int(dark) + int(picture) ||
        int(help) + int(queue) + int(picture) > 1) {
        std::fprintf(stderr, "usage: windowshot OUT.png [--help | --queue | --picture] [--dark]\n");
        return 2;
    }
    if (dark) {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(darkPalette());
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
    if (queue) return queueShot(rig, out);
    if (picture) return pictureShot(rig, out);
    rig.choose("portselect", 8);
    rig.click("cmmd(18)");
    rig.window->library().loaddirectory = QStringLiteral(SCRIPTS_DIR);
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
