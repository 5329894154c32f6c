#include "library/examples.h"
#include "util/system.h"

#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

class TestI2cscript : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

  private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QFile file(m_dir.filePath("w.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Write 256\n");
    }

    void run_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err"); // "*" for any non-empty text
        QTest::addColumn<int>("status");
        const QByteArray none;
        const QByteArray example = "Start\nWrite  0x91\nRead   ack\nRead   Nack\nStop\n";
        QTest::newRow("compile stdin") << QStringList{"compile"} << example
                                       << QByteArray("$001007000191020304\n") << none << 0;
        QTest::newRow("compile dash") << QStringList{"compile", "-"} << example
                                      << QByteArray("$001007000191020304\n") << none << 0;
        QTest::newRow("compile crlf") << QStringList{"compile"} << QByteArray("Start\r\nStop\r\n")
                                      << QByteArray("$0010030004\n") << none << 0;
        QTest::newRow("compile lone cr") << QStringList{"compile"} << QByteArray("Start\rStop")
                                         << QByteArray("$0010030004\n") << none << 0;
        // A lone CR ends a line, so a blank after it starts a comment line.
        QTest::newRow("compile comment after cr")
            << QStringList{"compile"} << QByteArray("Start\r Stop") << QByteArray("$00100200\n")
            << QByteArray("<stdin>:2: warning: the line starts with a blank, so it is a comment "
                          "and \"Stop\" is not sent\n")
            << 0;
        QTest::newRow("compile bare lf is a line end")
            << QStringList{"compile"} << QByteArray("Start\n;x\nStop")
            << QByteArray("$0010030004\n") << none << 0;
        QTest::newRow("compile folder")
            << QStringList{"compile", "."} << none << none << QByteArray("*") << 2;
        QTest::newRow("decode folder")
            << QStringList{"decode", "."} << none << none << QByteArray("*") << 2;
        QTest::newRow("compile error")
            << QStringList{"compile"} << QByteArray("Start\nWrte 0x90\n") << none
            << QByteArray("I2C processor error\nUnidentified element encountered: \nWrte\n"
                          "line 2: Wrte\n")
            << 1;
        QTest::newRow("compile nothing")
            << QStringList{"compile"} << QByteArray(";only\n") << none
            << QByteArray("I2C processor error\nNo data to compile!\n") << 1;
        // Warnings: on standard error, the frame and the status as without them.
        const QByteArray above255 =
            "1: warning: Write 256 is above 255: only its low 8 bits are sent, 0x00\n";
        QTest::newRow("warning") << QStringList{"compile"} << QByteArray("Write 256\n")
                                 << QByteArray("$0010030100\n") << "<stdin>:" + above255 << 0;
        QTest::newRow("warning names the file")
            << QStringList{"compile", m_dir.filePath("w.txt")} << none
            << QByteArray("$0010030100\n") << m_dir.filePath("w.txt").toUtf8() + ":" + above255
            << 0;
        QTest::newRow("quiet") << QStringList{"compile", "--quiet"} << QByteArray("Write 256\n")
                               << QByteArray("$0010030100\n") << none << 0;
        QTest::newRow("quiet after the file")
            << QStringList{"compile", "-", "-q"} << QByteArray("Write 256\n")
            << QByteArray("$0010030100\n") << none << 0;
        QTest::newRow("warning with an error")
            << QStringList{"compile"} << QByteArray(" Stop\nStart\n\nSetV 3.3\n") << none
            << QByteArray("<stdin>:1: warning: the line starts with a blank, so it is a comment "
                          "and \"Stop\" is not sent\nI2C processor error\nUnidentified element "
                          "encountered: \n3.3\nline 4: 3.3\n")
            << 1;
        QTest::newRow("run warns before it sends")
            << QStringList{"run", "--port", "/dev/ttyNOSUCH9"} << QByteArray("Write 256\n") << none
            << "<stdin>:" + above255 +
                   "i2cscript run: Cannot open /dev/ttyNOSUCH9: No such file or directory.\nThe "
                   "device is not there: check that the adapter is plugged in.\n"
            << 2;
        QTest::newRow("compile missing file")
            << QStringList{"compile", "/nonexistent/q.txt"} << none << none << QByteArray("*") << 2;
        QTest::newRow("compile two files")
            << QStringList{"compile", "a", "b"} << none << none << QByteArray("*") << 2;
        QTest::newRow("decode example")
            << QStringList{"decode"} << QByteArray("!0010SW90aR1AnP\r")
            << QByteArray("START\nWRITE\t0x90\tAck\nREAD\t0x1A\tNack\nSTOP\n") << none << 0;
        QTest::newRow("decode several")
            << QStringList{"decode"}
            << QByteArray("!000001530003\r!00192500010\rjunk!001A00\r!0010S")
            << QByteArray("[Firmware Version:]\n[0153.00.03       ]\n[Tamb master only ]\n\n"
                          "[VSlave:  2.500v  ]\n[Speed:   Slow    ]\n"
                          "[OnEdge:  On      ]\n[Edge:    Hi-to-Lo]\n"
                          "[Reset:   WDT Rset]\n\n")
            << none << 0;
        QTest::newRow("decode open line") << QStringList{"decode"} << QByteArray("!0010W90x\r")
                                          << QByteArray("WRITE\t0x90\t") << none << 0;
        QTest::newRow("decode lone cr kept") << QStringList{"decode"} << QByteArray("!0020\r")
                                             << QByteArray("[Int]\t\r\n") << none << 0;
        QTest::newRow("decode nothing")
            << QStringList{"decode"} << QByteArray("abc\r") << none << none << 0;
        QTest::newRow("version") << QStringList{"--version"} << none
                                 << QByteArray::fromStdString(util::versiontext() + "\n") << none
                                 << 0;
        // The port commands check their arguments, and run compiles, before the
        // port is opened: no device is needed to see these.
        const QString nowhere = "/dev/ttyNOSUCH9";
        auto portRow = [&](const char* name, QStringList args, const char* err, int status = 2) {
            QTest::newRow(name) << args << QByteArray("Strat\n") << none << QByteArray(err)
                                << status;
        };
        auto see = [](const char* command, const char* text) {
            return QByteArray("i2cscript ") + command + ": " + text + " (see i2cscript " + command +
                   " --help)\n";
        };
        const QByteArray noDevice = "i2cscript ping: Cannot open /dev/ttyNOSUCH9: No such file or "
                                    "directory.\nThe device is not there: check that the adapter "
                                    "is plugged in.\n";
        portRow("port required", {"ping"},
                see("ping", "--port PORT is required, or I2C_PORT in the environment"));
        portRow("port needs value", {"scan", "--port"}, see("scan", "--port needs a value"));
        portRow("bad timeout", {"ping", "--port", nowhere, "--timeout", "0"},
                see("ping", "--timeout takes seconds above 0, at most 86,400"));
        portRow("timeout past a day", {"ping", "--port", nowhere, "--timeout=86400.5"},
                see("ping", "--timeout takes seconds above 0, at most 86,400"));
        portRow("timeout of a day", {"ping", "--timeout", "86400", "--port", nowhere}, noDevice);
        portRow(
            "bad control", {"control", "reboot", "--port", nowhere},
            "i2cscript control: NAME is one of edge-hl, edge-lh, trigger-on, trigger-off, slow, "
            "fast, slave, store, replay\n");
        portRow("option before argument", {"control", "--port", nowhere, "reboot"},
                "i2cscript control: NAME is one of edge-hl, edge-lh, trigger-on, trigger-off, "
                "slow, fast, slave, store, replay\n");
        portRow("ping extra", {"ping", "x", "--port", nowhere},
                see("ping", "unexpected argument 'x'"));
        portRow("ports takes no argument", {"ports", "COM1"},
                see("ports", "unexpected argument 'COM1'"));
        portRow("monitor waits without end", {"monitor", "--port", nowhere, "--timeout", "1"},
                see("monitor", "unknown option --timeout"));
        portRow("raw only for monitor", {"ping", "--raw"}, see("ping", "unknown option --raw"));
        portRow("misspelt option", {"run", "--prot", nowhere}, see("run", "unknown option --prot"));
        portRow("single-dash option", {"compile", "-x"}, see("compile", "unknown option -x"));
        portRow("decode takes no --quiet", {"decode", "--quiet"},
                see("decode", "unknown option --quiet"));
        portRow("port option on compile", {"compile", "--port", nowhere},
                see("compile", "unknown option --port"));
        portRow("double dash ends options", {"decode", "--", "--help"},
                "i2cscript decode: cannot read --help: No such file or directory\n");
        portRow("run compile error", {"run", "--port", nowhere},
                "I2C processor error\nUnidentified element encountered: \nStrat\nline 1: Strat\n",
                1);
        portRow("missing device", {"ping", "--port", nowhere}, noDevice);
        QByteArray titles;
        for (std::size_t i = 0; i < library::kExamples.size(); ++i)
            titles += QByteArray::number(qulonglong(i + 1)) + "  " +
                      QByteArray(library::kExamples[i].title.data(),
                                 qsizetype(library::kExamples[i].title.size())) +
                      "\n";
        QTest::newRow("examples") << QStringList{"examples"} << none << titles << none << 0;
        QTest::newRow("example 2")
            << QStringList{"examples", "2"} << none
            << QByteArray(";LM75 2Byte Read, [PresetPointer]\nStart\nWrite  0x91\nRead   ack\n"
                          "Read   Nack\nStop\n")
            << none << 0;
        const QByteArray range =
            "i2cscript examples: N is a number from 1 to 8 (see i2cscript examples)\n";
        QTest::newRow("example 9") << QStringList{"examples", "9"} << none << none << range << 2;
        QTest::newRow("example 0") << QStringList{"examples", "0"} << none << none << range << 2;
        QTest::newRow("example x") << QStringList{"examples", "x"} << none << none << range << 2;
        QTest::newRow("no command") << QStringList{} << none << none << QByteArray("*") << 2;
        QTest::newRow("unknown command")
            << QStringList{"frobnicate"} << none << none
            << QByteArray("i2cscript: unknown command 'frobnicate' (see i2cscript --help)\n") << 2;
    }
    void run() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        QFETCH(int, status);
        QProcess process;
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.remove("I2C_PORT");
        process.setProcessEnvironment(environment);
        process.start(I2CSCRIPT, args);
        QVERIFY(process.waitForStarted());
        process.write(input);
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(5000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.readAllStandardOutput(), out);
        const QByteArray errors = process.readAllStandardError();
        if (err == "*")
            QVERIFY(!errors.isEmpty() && errors.endsWith('\n'));
        else
            QCOMPARE(errors, err);
        QCOMPARE(process.exitCode(), status);
    }

    // Golden files: queues/NAME.txt gives NAME.frame, or NAME.alert with
    // status 1; responses/NAME.rx gives NAME.view. The fuzzers start from them too.
    void golden_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QDir data(TEST_DATA_DIR);
        int rows = 0;
        for (const QString folder : {"queues", "responses"}) {
            QDir dir(data.filePath(folder));
            for (const auto& in : dir.entryInfoList({"*.txt", "*.rx"}, QDir::Files)) {
                const QString base = in.path() + "/" + in.completeBaseName();
                const bool queue = folder == "queues";
                const QString expected = !queue                               ? base + ".view"
                                         : QFileInfo::exists(base + ".frame") ? base + ".frame"
                                                                              : base + ".alert";
                QTest::newRow(qPrintable(folder + "/" + in.fileName()))
                    << (queue ? "compile" : "decode") << in.filePath() << expected;
                ++rows;
            }
        }
        QVERIFY(rows >= 6);
    }
    void golden() {
        QFETCH(QString, command);
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QFile file(expected);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(expected));
        const QByteArray want = file.readAll();
        QProcess process;
        process.start(I2CSCRIPT, {command, input});
        QVERIFY(process.waitForFinished(5000));
        const bool alert = expected.endsWith(".alert");
        QCOMPARE(process.exitCode(), alert ? 1 : 0);
        QCOMPARE(alert ? process.readAllStandardError() : process.readAllStandardOutput(), want);
    }

    void helpNamesEveryCommand() {
        QProcess process;
        process.start(I2CSCRIPT, {"--help"});
        QVERIFY(process.waitForFinished(5000));
        const QByteArray help = process.readAllStandardOutput();
        QCOMPARE(process.exitCode(), 0);
        for (const char* command : {"compile", "decode", "run", "ping", "control", "scan", "ports",
                                    "examples", "monitor", "--help", "--version"})
            QVERIFY2(help.contains(QByteArray("\n  ") + command + " "), command);
        QVERIFY(help.contains("Exit status"));
    }

    // I2C_PORT names the port when --port does not.
    void portFromEnvironment_data() {
        QTest::addColumn<QString>("variable");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("device"); // the one it tried to open; empty: none
        QTest::newRow("from I2C_PORT")
            << "/dev/ttyNOSUCH8" << QStringList{"ping"} << QByteArray("/dev/ttyNOSUCH8");
        QTest::newRow("--port wins")
            << "/dev/ttyNOSUCH8" << QStringList{"scan", "--port", "/dev/ttyNOSUCH7"}
            << QByteArray("/dev/ttyNOSUCH7");
        QTest::newRow("empty I2C_PORT") << "" << QStringList{"ping"} << QByteArray();
    }
    void portFromEnvironment() {
        QFETCH(QString, variable);
        QFETCH(QStringList, args);
        QFETCH(QByteArray, device);
        QProcess process;
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert("I2C_PORT", variable);
        process.setProcessEnvironment(environment);
        process.start(I2CSCRIPT, args);
        QVERIFY(process.waitForFinished(5000));
        const QByteArray err = process.readAllStandardError();
        QCOMPARE(process.exitCode(), 2);
        if (device.isEmpty())
            QVERIFY2(err.contains("--port PORT is required"), err);
        else
            QVERIFY2(err.startsWith("i2cscript " + args.front().toUtf8() + ": Cannot open " +
                                    device + ":"),
                     err);
    }

    // Each command's help: its usage line first, and the limit of --timeout
    // wherever the command waits for the module.
    void commandHelp_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("usage");
        QTest::addColumn<bool>("waits");
        QTest::newRow("compile") << QStringList{"compile", "--help"}
                                 << QByteArray("Usage: i2cscript compile [FILE]\n") << false;
        QTest::newRow("decode -h") << QStringList{"decode", "-h"}
                                   << QByteArray("Usage: i2cscript decode [FILE]\n") << false;
        QTest::newRow("run, help last")
            << QStringList{"run", "x.txt", "--port", "COM1", "--help"}
            << QByteArray(
                   "Usage: i2cscript run [FILE] --port PORT [--timeout SECONDS] [--record FILE]\n")
            << true;
        QTest::newRow("ping")
            << QStringList{"ping", "--help"}
            << QByteArray("Usage: i2cscript ping --port PORT [--timeout SECONDS] [--record FILE]\n")
            << true;
        QTest::newRow("help control") << QStringList{"help", "control"}
                                      << QByteArray("Usage: i2cscript control NAME --port PORT "
                                                    "[--timeout SECONDS] [--record FILE]\n")
                                      << true;
        QTest::newRow("monitor")
            << QStringList{"monitor", "--help"}
            << QByteArray("Usage: i2cscript monitor --port PORT [--raw] [--record FILE]\n")
            << false;
        QTest::newRow("scan") << QStringList{"scan", "--help"}
                              << QByteArray(
                                     "Usage: i2cscript scan --port PORT [--timeout SECONDS]\n")
                              << true;
    }
    void commandHelp() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, usage);
        QFETCH(bool, waits);
        QProcess process;
        process.start(I2CSCRIPT, args);
        QVERIFY(process.waitForFinished(5000));
        const QByteArray help = process.readAllStandardOutput();
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(help.left(help.indexOf('\n') + 1), usage);
        QCOMPARE(help.contains("--timeout SECONDS  how long to wait for the answer, above 0 and "
                               "at most\n                     86,400 s"),
                 waits);
    }

    // A stop signal ends the program while it waits for its input, a line
    // typed or not, with 128 + the signal: the input is never closed here.
    void stopWhileReading_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("typed");
        QTest::addColumn<int>("signal");
#ifdef Q_OS_UNIX
        QTest::newRow("compile, nothing typed, SIGINT")
            << QStringList{"compile"} << QByteArray() << int(SIGINT);
        QTest::newRow("compile, a line typed, SIGINT")
            << QStringList{"compile"} << QByteArray("Start\n") << int(SIGINT);
        QTest::newRow("decode, SIGTERM")
            << QStringList{"decode", "-"} << QByteArray("!0010S") << int(SIGTERM);
        QTest::newRow("run, a line typed, SIGTERM")
            << QStringList{"run", "--port", "/dev/ttyNOSUCH9"} << QByteArray("Start\n")
            << int(SIGTERM);
#endif
    }
    void stopWhileReading() {
#ifdef Q_OS_UNIX
        QFETCH(QStringList, args);
        QFETCH(QByteArray, typed);
        QFETCH(int, signal);
        if (!QFile::exists("/proc/self/wchan")) QSKIP("needs Linux's /proc");
        QProcess process;
        process.start(I2CSCRIPT, args);
        QVERIFY(process.waitForStarted());
        if (!typed.isEmpty()) {
            process.write(typed);
            QVERIFY(process.waitForBytesWritten());
        }
        // Its main thread waits for input once it sleeps in poll.
        QFile wchan(QString("/proc/%1/wchan").arg(process.processId()));
        QVERIFY(QTest::qWaitFor(
            [&] {
                if (!wchan.open(QIODevice::ReadOnly)) return false;
                const bool polling = wchan.readAll().contains("poll");
                wchan.close();
                return polling;
            },
            5000));
        ::kill(static_cast<pid_t>(process.processId()), signal);
        QVERIFY(process.waitForFinished(5000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.readAllStandardError(),
                 "i2cscript " + args.front().toUtf8() + ": stopped\n");
        QCOMPARE(process.readAllStandardOutput(), QByteArray());
        QCOMPARE(process.exitCode(), 128 + signal);
#else
        QSKIP("POSIX signals");
#endif
    }

    // Output lost on the way out is an error, not a success.
    void unwritableOutput() {
        if (!QFileInfo::exists("/dev/full")) QSKIP("needs /dev/full");
        QProcess process;
        process.setStandardOutputFile("/dev/full");
        process.start(I2CSCRIPT, {"--version"});
        QVERIFY(process.waitForFinished(5000));
        QCOMPARE(process.readAllStandardError(),
                 QByteArray("i2cscript: cannot write standard output\n"));
        QCOMPARE(process.exitCode(), 2);
    }
};

QTEST_GUILESS_MAIN(TestI2cscript)
#include "tst_i2cscript.moc"
