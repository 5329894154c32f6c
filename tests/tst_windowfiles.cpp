// What the window writes: the save and record dialogs, the files they make,
// a queue kept as a block of a script file, and i2c.ini. Nothing is written
// that the user did not choose, and a write that fails leaves the old file
// whole.
#include "accessiblenames.h"
#include "dialogs/alert.h"
#include "library/scriptfile.h"
#include "windowfixture.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QMenu>
#include <QtTest>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

const QString kSave = QStringLiteral("Save activity as\u2026");
const QString kRecord = QStringLiteral("Record session to file\u2026");
const QString kTime = R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3})";

#ifdef Q_OS_UNIX
// While the guard it returns lives, a file cannot grow past `bytes`: a write
// beyond fails as on a full disk (EFBIG; the signal that would end the
// process is ignored).
auto limitFileSize(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const rlimit limit{bytes, old.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    return qScopeGuard([old] { ::setrlimit(RLIMIT_FSIZE, &old); });
}
#endif

// The window's Save or Record, its file dialog ended as `how` says (after
// typing the name), and the replace question, should it come, answered as
// `replace` says; only a record may be added to.
void trigger(WindowFixture& f, const QString& which, const QString& how, const QString& name,
             const QString& replace = "cancel") {
    whenShown<dialogs::SelectFile>([=](dialogs::SelectFile& d) {
        d.setFileName(name);
        endDialog(d, how, d.controls.value("okbutton"), d.controls.value("cancelbutton"));
    });
    const QString path = f.dir.filePath(name), title = which == "save" ? kSave : kRecord;
    if (how == "ok" && QFileInfo::exists(path))
        whenShown<dialogs::Alert>([=](dialogs::Alert& alert) {
            QCOMPARE(alert.windowTitle() + ": " +
                         alert.findChild<QPlainTextEdit*>("message")->toPlainText(),
                     title + ": " + path + " exists. Replace it?");
            auto* third = alert.findChild<QWidget*>("Command1(2)");
            QCOMPARE(third != nullptr, which == "record");
            if (third)
                QCOMPARE(alert.findChild<QWidget*>("Command1(0)")->nextInFocusChain(), third);
            if (replace == "append")
                QTest::mouseClick(third, Qt::LeftButton);
            else
                endDialog(alert, replace, alert.findChild<QWidget*>("Command1(0)"),
                          alert.findChild<QWidget*>("Command1(1)"));
        });
    f.action(title)->trigger();
}

const QString kSaveBlock = QStringLiteral("Save queue as block\u2026");
const QByteArray kThreeBlocks = ";A\r\nStart\r\n\r\n;B\r\nStop\r\n\r\n;C\r\nStart";

// The block's name prompts, as they show one after another, each ended as
// `answers` says in turn ("escape", "close box", else the name typed and
// Return); the names they offered go to `offered`.
void answerNames(QStringList answers, QStringList& offered) {
    if (answers.isEmpty()) return;
    whenShown<QInputDialog>([answers, &offered](QInputDialog& prompt) {
        offered << prompt.textValue();
        answerNames(answers.mid(1), offered);
        const QString& answer = answers.front();
        if (answer == "escape" || answer == "close box") return endDialog(prompt, answer, {}, {});
        auto* edit = prompt.findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClicks(edit, answer);
        QTest::keyClick(edit, Qt::Key_Return);
    });
}

// A record without its times.
QByteArray untimed(const QByteArray& record) {
    return QString(record)
        .remove(QRegularExpression("^" + kTime + " ", QRegularExpression::MultilineOption))
        .toUtf8();
}

} // namespace

class TestWindowFiles : public QObject {
    Q_OBJECT
  private slots:
    // A file past what the queue and the table take loads what fits, and
    // one alert names each limit and what it cut.
    void loadPastTheLimits() {
        WindowFixture f;
        QByteArray file = QByteArray("Start\r\n").repeated(library::kQueueLines + 1);
        for (std::size_t k = 1; k <= library::kMaxBlocks + 1; ++k)
            file += ";B" + QByteArray::number(qulonglong(k)) + "\r\n";
        f.load("big.txt", file);
        QCOMPARE(f.queueBox()->blockCount(), int(library::kQueueLines));
        QCOMPARE(f.alerts.join('\n'),
                 "Script load: " + f.dir.filePath("big.txt") +
                     " holds more than 1000 blocks: the first 1000 are loaded, the other 1 were "
                     "left out.\r\nThe queue takes at most 10000 lines (256 KiB) of a block: of " +
                     f.dir.filePath("big.txt") +
                     ", only that much was loaded of the lines before the first block.");
        // Cut alone, it is said alone.
        f.load("long.txt", ";Long\r\n" + QByteArray("Stop\r\n").repeated(library::kQueueLines));
        QCOMPARE(f.alerts.size(), 2);
        QCOMPARE(f.alerts[1],
                 "Script load: The queue takes at most 10000 lines (256 KiB) of a block: of " +
                     f.dir.filePath("long.txt") + ", only that much was loaded of \"Long\".");
    }
    // An existing file is kept when the file dialog is not accepted, and
    // replaced whole, added to or kept as the user answers "Replace it?"
    // (tst_selectfile and tst_alert try the dialogs' other ways to end).
    void existingFile_data() {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("replace");
        QTest::addColumn<QByteArray>("after"); // without times; "old" stands for the old text
        const QByteArray frame = "> $0013[cr]\r\n", old = "old";
        auto row = [](const char* name, const char* which, const char* dialog, const char* replace,
                      const QByteArray& after) {
            QTest::newRow(name) << QString(which) << QString(dialog) << QString(replace) << after;
        };
        row("save, ok", "save", "ok", "ok", "[Int]\t1\r\n");
        row("save, file dialog escaped", "save", "escape", "", old);
        row("save, cancel", "save", "ok", "cancel", old);
        row("record, file dialog cancelled", "record", "cancel", "", old);
        row("record, ok", "record", "ok", "ok", frame);
        row("record, append", "record", "ok", "append", old + frame);
        row("record, escape", "record", "ok", "escape", old);
    }
    void existingFile() {
        QFETCH(QString, which);
        QFETCH(QString, dialog);
        QFETCH(QString, replace);
        QFETCH(QByteArray, after);
        const QByteArray old = "2026-12-01T10:00:00.000 > $0000[cr]\r\n";
        WindowFixture f;
        f.choosePort(1);
        f.port.deliver("!00201\r");
        writeFile(f.dir.filePath("out.txt"), old);
        trigger(f, which, dialog, "out.txt", replace);
        f.window->cmmd_Click(19);
        QCOMPARE(untimed(contents(f.dir.filePath("out.txt"))), after.replace("old", untimed(old)));
        QCOMPARE(f.action("Stop recording") != nullptr, after.endsWith("> $0013[cr]\r\n"));
        QVERIFY(f.alerts.isEmpty());
    }

    // A line a frame as it passes, and a lost port; Stop ends the record.
    void recordLines() {
        WindowFixture f;
        f.choosePort(8);
        trigger(f, "record", "ok", "session.txt");
        f.window->cmmd_Click(18);
        f.port.deliver("!000001530003\r!00201\r");
        f.port.fail("COM8 stopped working");
        f.choosePort(8);
        f.action("Stop recording")->trigger();
        f.window->cmmd_Click(19);
        QCOMPARE(untimed(contents(f.dir.filePath("session.txt"))),
                 QByteArray("> $0000[cr]\r\n> $0019[cr]\r\n< !000001530003[cr]\t[Firmware "
                            "Version:] | [0153.00.03       ] | [Tamb master only ]\r\n"
                            "< !00201[cr]\t[Int]\t1\r\n* COM8 stopped working\r\n"));
        QVERIFY(QRegularExpression("^" + kTime + " > ")
                    .match(contents(f.dir.filePath("session.txt")))
                    .hasMatch());
    }

    // A queue kept as a block of the file last loaded, through the queue's
    // menu and Ctrl+S: the old bytes stay, and the next Load gives a fourth
    // button that puts the queue back (a ";" line kept a comment).
    void saveQueueAsBlock() {
        WindowFixture f;
        f.load("lib.txt", kThreeBlocks);
        const QString queue = "Start\n;Write 0x90\nWrite 0x91\nStop";
        f.window->library().setQueue(queue.toStdString());
        // Read while it stands: the editor's own actions go with the menu.
        QStringList menu;
        QAction* last = nullptr;
        QTimer::singleShot(0, f.window.get(), [&] {
            if (auto* shown = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (auto* action : shown->actions())
                    menu << action->text();
                last = shown->actions().last();
                shown->close();
            }
        });
        QWidget* page = f.queueBox()->viewport();
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                page->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(page, &event);
        QVERIFY(menu.size() > 2 && menu.first().contains("Undo"));
        QCOMPARE(last, f.action(kSaveBlock));

        QString offered;
        whenShown<dialogs::SelectFile>([&](dialogs::SelectFile& d) {
            offered = d.dirFolder() + " " + d.fileName();
            QTest::mouseClick(d.controls.value("okbutton"), Qt::LeftButton);
        });
        QString typed, spoken;
        bool okWhileEmpty = true;
        whenShown<QInputDialog>([&](QInputDialog& prompt) {
            auto* edit = prompt.findChild<QLineEdit*>();
            spoken = nameOf(edit);
            QApplication::clipboard()->setText("X\nY");
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            typed = edit->text();
            okWhileEmpty =
                prompt.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled();
            QTest::keyClick(edit, Qt::Key_Return); // no name yet: nothing happens
            QTest::keyClicks(edit, "New");
            QTest::keyClick(edit, Qt::Key_Return);
        });
        f.show(); // active again, as the window manager makes it after the Load dialog
        QTest::keyClick(f.queueBox(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(offered, f.dir.path() + " lib.txt");
        QCOMPARE(typed, "");
        QVERIFY(!okWhileEmpty);
        QCOMPARE(spoken, "Name of the block in " + f.dir.filePath("lib.txt") + ":");
        QCOMPARE(f.alerts, QStringList());
        const QByteArray saved = contents(f.dir.filePath("lib.txt"));
        QCOMPARE(saved.left(kThreeBlocks.size()), kThreeBlocks);
        QCOMPARE(saved.mid(kThreeBlocks.size()),
                 "\r\n;New\r\nStart\r\n ;Write 0x90\r\nWrite 0x91\r\nStop\r\n\r\n");

        f.load("lib.txt");
        QCOMPARE(f.text("cmmd(3)"), "New");
        f.click("cmmd(3)");
        QCOMPARE(f.queue(), ";New\nStart\n ;Write 0x90\nWrite 0x91\nStop\n");
    }

    // How the dialogs end decides what is written: a cancelled prompt
    // nothing, a name the file has only after "Replace it?" (else the
    // prompt comes back with it), and a write that fails leaves the file
    // and says why.
    void saveQueueAsBlockAnswers_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("replace");
        QTest::addColumn<QStringList>("offered");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<bool>("full"); // the disk: the write fails
        const QByteArray added = kThreeBlocks + "\r\n;New\r\nWrite 0x90\r\nStop\r\n\r\n";
        auto row = [](const char* what, QStringList names, const char* replace, QStringList offered,
                      const QByteArray& after, bool full = false) {
            QTest::newRow(what) << names << QString(replace) << offered << after << full;
        };
        row("a new name", {"New"}, "", {""}, added);
        row("prompt escaped", {"escape"}, "", {""}, kThreeBlocks);
        row("prompt closed", {"close box"}, "", {""}, kThreeBlocks);
        row("a name the file has, replaced", {"B"}, "ok", {""},
            ";A\r\nStart\r\n\r\n;B\r\nWrite 0x90\r\nStop\r\n\r\n;C\r\nStart");
        row("a name the file has, then another", {"B", "New"}, "cancel", {"", "B"}, added);
        row("a name the file has, then escape", {"B", "escape"}, "escape", {"", "B"}, kThreeBlocks);
#ifdef Q_OS_UNIX
        row("the write fails", {"New"}, "", {""}, kThreeBlocks, true);
#endif
    }
    void saveQueueAsBlockAnswers() {
        QFETCH(QStringList, names);
        QFETCH(QString, replace);
        QFETCH(QStringList, offered);
        QFETCH(QByteArray, after);
        QFETCH(bool, full);
        WindowFixture f;
        const QString path = f.dir.filePath("lib.txt");
        f.load("lib.txt", kThreeBlocks);
        f.window->library().setQueue("Write 0x90\nStop");
        whenShown<dialogs::SelectFile>([](dialogs::SelectFile& d) {
            QTest::mouseClick(d.controls.value("okbutton"), Qt::LeftButton);
        });
        QStringList shown;
        answerNames(names, shown);
        if (!replace.isEmpty())
            whenShown<dialogs::Alert>([=](dialogs::Alert& alert) {
                QCOMPARE(alert.findChild<QPlainTextEdit*>("message")->toPlainText(),
                         "The block \"B\" of " + path + " exists. Replace it?");
                endDialog(alert, replace, alert.findChild<QWidget*>("Command1(0)"),
                          alert.findChild<QWidget*>("Command1(1)"));
            });
        {
#ifdef Q_OS_UNIX
            const auto limit = limitFileSize(full ? 40 : RLIM_INFINITY);
#endif
            f.action(kSaveBlock)->trigger();
        }
        QCOMPARE(shown, offered);
        QCOMPARE(contents(path), after);
        QCOMPARE(f.alerts.size(), full ? 1 : 0);
        if (full)
            QVERIFY2(f.alerts[0].startsWith("Save error: Cannot save:\r\n" + path + ": "),
                     qPrintable(f.alerts[0]));
    }

    // Save and Record open where the last of them went, else in the load
    // folder, with their own name.
    void startFolders() {
        WindowFixture f;
        QVERIFY(QDir(f.dir.path()).mkpath("a") && QDir(f.dir.path()).mkpath("b"));
        f.window->library().loaddirectory = f.dir.filePath("a") + "/";
        QStringList shown;
        int n = 0;
        for (const QString& which : QStringList{"record", "save", "record"}) {
            whenShown<dialogs::SelectFile>([&](dialogs::SelectFile& d) {
                shown << d.dirFolder() + " " + d.fileName();
                d.setFileName(f.dir.filePath(QString("b/%1.txt").arg(++n)));
                QTest::mouseClick(d.controls.value("okbutton"), Qt::LeftButton);
            });
            f.action(which == "save" ? kSave : kRecord)->trigger();
            if (auto* stop = f.action("Stop recording")) stop->trigger();
        }
        QCOMPARE(shown, QStringList({f.dir.filePath("a") + " session.txt",
                                     f.dir.filePath("b") + " activity.txt",
                                     f.dir.filePath("b") + " session.txt"}));
    }

#ifdef Q_OS_UNIX
    // A disk that fills: the saved activity keeps its old contents, the
    // recording stops with a word, and the window goes on.
    void writeFailures() {
        WindowFixture f;
        f.choosePort(1);
        f.port.deliver("!000001530003\r");
        writeFile(f.dir.filePath("activity.txt"), "old\r\n");
        trigger(f, "record", "ok", "session.txt");
        {
            const auto full = limitFileSize(40);
            trigger(f, "save", "ok", "activity.txt", "ok");
            QVERIFY2(f.alerts.value(0).startsWith("Save error: "), qPrintable(f.alerts.join('\n')));
            f.window->cmmd_Click(19);
            f.window->cmmd_Click(20);
        }
        QCOMPARE(contents(f.dir.filePath("activity.txt")), QByteArray("old\r\n"));
        QCOMPARE(f.alerts.size(), 2);
        QVERIFY2(f.alerts[1].startsWith("Recording stopped: "), qPrintable(f.alerts[1]));
        QVERIFY(f.action(kRecord));
        f.window->cmmd_Click(21);
        QCOMPARE(f.port.written.last(), "$0015\r"); // the window goes on
        // Each recording starts afresh: its own failure is told again, and
        // one that can write records.
        trigger(f, "record", "ok", "again.txt");
        {
            const auto full = limitFileSize(40);
            f.window->cmmd_Click(19);
            f.window->cmmd_Click(20);
        }
        QCOMPARE(f.alerts.size(), 3);
        trigger(f, "record", "ok", "good.txt");
        f.window->cmmd_Click(19);
        QCOMPARE(f.alerts.size(), 3);
        QCOMPARE(untimed(contents(f.dir.filePath("good.txt"))), "> $0013[cr]\r\n");
    }
#endif

#ifdef Q_OS_UNIX
    // A script whose name is not valid UTF-8 loads as any other.
    void loadsANameThatIsNotText() {
        WindowFixture f;
        const QByteArray bytes = QFile::encodeName(f.dir.path()) + "/caf\xe9.txt";
        FILE* out = std::fopen(bytes.constData(), "wb");
        QVERIFY(out);
        std::fputs(";Caf\xc3\xa9\r\nStart\r\n", out);
        std::fclose(out);
        f.load(QStringLiteral("caf\uFFFD.txt"));
        QCOMPARE(f.alerts, QStringList());
        QCOMPARE(f.text("cmmd(0)"), "Café");
    }
#endif

    // i2c.ini beside the program: created with the home folder, first line
    // read, written whole at close; where the folder (or the file) cannot be
    // written, the user's configuration folder holds it.
    void settingsFile() {
        QTemporaryDir dir;
        const QString ini = dir.filePath("i2c.ini");
        const QByteArray home = (QDir::homePath() + "/").toUtf8();
        {
            WindowFixture f(dir.path());
            QCOMPARE(contents(ini), home + "\r\n");
            f.window->library().loaddirectory = "/srv/scripts/";
            f.window->close();
            QCOMPARE(f.quits, 1);
        }
        QCOMPARE(contents(ini), QByteArray("/srv/scripts/\r\n"));
#ifdef Q_OS_UNIX
        {
            WindowFixture full(dir.path());
            full.window->library().loaddirectory = "/a/much/longer/folder/name/";
            const auto limit = limitFileSize(10);
            full.window->close();
        }
        QCOMPARE(contents(ini), QByteArray("/srv/scripts/\r\n"));
#endif
        writeFile(ini, "/a/\r\n/b/\r\n");
        WindowFixture second(dir.path());
        QCOMPARE(second.window->library().loaddirectory, "/a/");
        QVERIFY(QFile::remove(ini) && QDir().mkpath(ini)); // a folder in its place
        second.window->close();
        QCOMPARE(second.quits, 1);
#ifdef Q_OS_LINUX
        // /proc takes no new file, and this sysfs file no write, not even root's.
        WindowFixture closed(QStringLiteral("/proc"));
        QCOMPARE(closed.window->settings().path(), closed.dir.filePath("config/i2c.ini"));
        QTemporaryDir program;
        QVERIFY(QFile::link("/sys/devices/system/cpu/possible", program.filePath("i2c.ini")));
        WindowFixture readOnly(program.path());
        QCOMPARE(readOnly.window->settings().path(), readOnly.dir.filePath("config/i2c.ini"));
        readOnly.window->library().loaddirectory = "/x/";
        readOnly.window->show();
        QTest::qWait(1);
        readOnly.window->close();
        QCOMPARE(contents(readOnly.dir.filePath("config/i2c.ini")), QByteArray("/x/\r\n"));
        QCOMPARE(readOnly.alerts, QStringList());
#endif
    }

    // Where neither folder takes the file, the window says so once, with
    // the true reason, when it opens; a missing configuration folder is made.
    void settingsNotKept() {
#ifdef Q_OS_LINUX
        // /proc takes no new file.
        QTemporaryDir home;
        WindowFixture made(QStringLiteral("/proc"), home.filePath("a/b/config"));
        QVERIFY(QFileInfo(home.filePath("a/b/config/i2c.ini")).isFile());
        const QString blocked = home.filePath("file");
        writeFile(blocked, "");
        WindowFixture lost(QStringLiteral("/proc"), blocked + "/config");
        for (int shown = 0; shown < 2; ++shown) {
            lost.window->show();
            QTest::qWait(1);
            lost.window->hide();
        }
        QCOMPARE(lost.alerts, QStringList("Settings: Settings will not be kept: " + blocked +
                                          "/config: Not a directory"));
#endif
    }
};

QTEST_MAIN(TestWindowFiles)
#include "tst_windowfiles.moc"
