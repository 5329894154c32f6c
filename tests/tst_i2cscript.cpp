#include "cli/options.h"

#include <QtTest>

// The command line as parsed ("port=P timeout=MS ..."), or "exit N".
static QString parsed(const QStringList& args) {
    cli::Arguments list;
    for (const auto& a : args)
        list.push_back(a.toStdString());
    const auto result = cli::parseCommandLine(list);
    if (const int* status = std::get_if<int>(&result)) return QString("exit %1").arg(*status);
    const auto& line = std::get<cli::CommandLine>(result);
    QStringList parts;
    if (!line.port.empty()) parts << "port=" + QString::fromStdString(line.port);
    if (line.timeout) parts << QString("timeout=%1").arg(line.timeout->count());
    if (!line.record.empty()) parts << "record=" + QString::fromStdString(line.record);
    if (line.append) parts << "append";
    if (line.raw) parts << "raw";
    if (line.json) parts << "json";
    if (!line.picture.empty())
        parts << "picture=" + QString::fromStdString(line.picture + " " + line.pictureFormat);
    if (line.block) parts << "block=" + QString::fromStdString(*line.block);
    return parts.join(' ');
}

// A script file as editors leave them: a byte-order mark before the first
// block, an empty line, and line ends of every kind.
static QString scriptFile() {
    static QTemporaryDir dir;
    const QString path = dir.filePath("s.txt");
    QFile file(path);
    if (!file.exists() && file.open(QIODevice::WriteOnly))
        file.write("\xEF\xBB\xBF;First\r\nStart\r\n\r\nStop\n;Zweite Bl\xC3\xB6"
                   "cke\rStart\r Write 0x90\rWrite 91\rStop\r");
    return path;
}

class TestI2cscript : public QObject {
    Q_OBJECT

  private slots:
    void commandLine_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("variable"); // I2C_PORT
        QTest::addColumn<QString>("line");
        auto row = [](const char* name, QStringList args, const char* line, const char* env = "") {
            QTest::newRow(name) << args << QByteArray(env) << QString(line);
        };
        row("timeout in seconds", {"ping", "--port", "p", "--timeout", "2.5"},
            "port=p timeout=2500");
        row("timeout of a day", {"scan", "--timeout=86400", "-port", "p"},
            "port=p timeout=86400000");
        row("timeout past a day", {"ping", "--port", "p", "--timeout=86400.5"}, "exit 2");
        row("port from I2C_PORT", {"ping"}, "port=/dev/x", "/dev/x");
        row("no port", {"ping"}, "exit 2");
        row("monitor records", {"monitor", "--raw", "--record=r", "--port", "p"},
            "port=p record=r raw");
        row("scan does not record", {"scan", "--port", "p", "--record", "r"}, "exit 2");
        row("append to a record", {"ping", "--append", "--port", "p", "--record", "r"},
            "port=p record=r append");
        row("append to no record", {"run", "--port", "p", "--append"}, "exit 2");
        row("unknown command", {"frobnicate"}, "exit 2");
        row("decode's end view has no clearings", {"decode", "--last", "-v"}, "exit 2");
        row("scan as JSON", {"scan", "--json", "--port", "p"}, "port=p json");
        row("monitor's frames raw or as JSON", {"monitor", "--raw", "--json", "--port", "p"},
            "exit 2");
        row("picture format by extension, case ignored",
            {"monitor", "--picture", "a.b/Bus.PNG", "--port", "p"},
            "port=p picture=a.b/Bus.PNG png");
        row("picture: no extension but a folder's",
            {"ping", "--picture", "a.svg/bus", "--port", "p"}, "exit 2");
        row("scan draws no picture", {"scan", "--picture", "b.svg", "--port", "p"}, "exit 2");
        row("picture needs a value", {"ping", "--port", "p", "--picture"}, "exit 2");
        row("block of a file", {"compile", "f", "--block=Read it"}, "block=Read it");
        row("block of standard input", {"run", "-", "--port", "p", "--block", "b"}, "exit 2");
        row("blocks of no file", {"blocks"}, "exit 2");
    }
    void commandLine() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, variable);
        QFETCH(QString, line);
        qputenv("I2C_PORT", variable);
        QCOMPARE(parsed(args), line);
    }

    // The program as a whole: what it prints where, and its exit status.
    // queues/NAME.txt compiles to NAME.frame, or to NAME.alert with status 1;
    // responses/NAME.rx decodes to NAME.view, every frame's lines in order.
    // The fuzzers start from them too.
    void run_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        QTest::addColumn<int>("status");
        const QByteArray none;
        const QByteArray above255 =
            ":1: warning: Write 256 is above 255: only its low 8 bits are sent, 0x00\n";
        QTest::newRow("run warns before it sends")
            << QStringList{"run", "--port", "/dev/ttyNOSUCH9"} << QByteArray("Write 256\n") << none
            << "<stdin>" + above255 +
                   "i2cscript run: Cannot open /dev/ttyNOSUCH9: No such file or directory.\nThe "
                   "device is not there: check that the adapter is plugged in.\n"
            << 2;
        QTest::newRow("\"-\" is standard input")
            << QStringList{"compile", "-"} << QByteArray("Write 256\n")
            << QByteArray("$0010030100\n") << "<stdin>" + above255 << 0;
        // Three script answers, each emptying the window's view; the second
        // leaves its last line unfinished.
        const QByteArray scripts = "!0010SW90aR1AnP\r!0011a\r!0010SW90\r!0010SP\r";
        const QByteArray emptied = "------------------------\n";
        QTest::newRow("decode --verbose shows where the view is emptied")
            << QStringList{"decode", "-v"} << scripts
            << "START\nWRITE\t0x90\tAck\nREAD\t0x1A\tNack\nSTOP\n[Store last success!]\n" +
                   emptied + "START\nWRITE\t0x90\t\n" + emptied + "START\nSTOP\n"
            << none << 0;
        QTest::newRow("decode --last: the window's view at the end")
            << QStringList{"decode", "--last"} << scripts << QByteArray("START\nSTOP\n") << none
            << 0;
        QTest::newRow("an argument too many")
            << QStringList{"compile", "a.txt", "b.txt"} << none << none
            << QByteArray("i2cscript compile: unexpected argument 'b.txt' (see i2cscript compile "
                          "--help)\n")
            << 2;
        QTest::newRow("a picture format is known before the port opens")
            << QStringList{"run", "--port", "/dev/ttyNOSUCH9", "--picture", "bus.jpg"}
            << QByteArray("Start\n") << none
            << QByteArray("i2cscript run: --picture FILE ends in .svg or .png (see i2cscript run "
                          "--help)\n")
            << 2;
        // A record's received frames count, its sent ones and events not; a
        // read is named by the pointer an earlier answer set.
        const QByteArray record =
            "2026-12-07T13:05:42.117 > $00100F0001900100000191020203030304[cr]\r\n"
            "2026-12-07T13:05:42.120 < !001A08[cr]\t[Reset:   Power up]\r\n"
            "2026-12-07T13:05:42.131 < !0010SW90aW00aSW91aR19aR80nP[cr]\tSTART | WRITE\t0x90\t"
            "Ack | WRITE\t0x00\tAck\r\n"
            "2026-12-07T13:06:10.002 * COM8 (/dev/pts/3) stopped working: !0010SW92nP\r\n";
        QTest::newRow("explain a record")
            << QStringList{"explain"} << record
            << QByteArray("0x48 pointer: temperature\n0x48 temperature: 25.5 \xC2\xB0"
                          "C\n")
            << none << 0;
        QTest::newRow("explain frames, a line each or CR-ended")
            << QStringList{"explain", "-"}
            << QByteArray("!0010SW90aW02aP\n!0010SW91aR4BaR00nP\r!0010SW40aW01nP\r\n!00200\n")
            << QByteArray("0x48 pointer: hysteresis\n0x48 hysteresis: 75.0 \xC2\xB0"
                          "C\n0x20 write: 1 byte (byte 1 not acknowledged)\n")
            << none << 0;
        QTest::newRow("explain --json: a plain frame has no time")
            << QStringList{"explain", "--json"}
            << QByteArray("2026-12-07T13:05:42.120 < !001A08[cr]\t[Reset:   Power up]\r\n"
                          "2026-12-07T13:05:42.131 < !0010SW92nP[cr]\tSTART\r\n!00200\n")
            << QByteArray(R"({"time":"2026-12-07T13:05:42.120","direction":"received",)"
                          R"("frame":"!001A08","lines":["[Reset:   Power up]",""]})"
                          "\n"
                          R"({"time":"2026-12-07T13:05:42.131","direction":"received",)"
                          R"("frame":"!0010SW92nP","lines":["START","WRITE\t0x92\tNack","STOP"],)"
                          R"("transactions":[{"address":73,"direction":"write","ack":false,)"
                          R"("bytes":[],"meaning":"0x49 write: no answer"}]})"
                          "\n"
                          R"({"time":null,"direction":"received","frame":"!00200",)"
                          R"("lines":["[Int]\t0"]})"
                          "\n")
            << none << 0;
        QTest::newRow("explain unreadable input")
            << QStringList{"explain", "/nonexistent/s.rec"} << none << none
            << QByteArray("i2cscript explain: cannot read /nonexistent/s.rec: No such file or "
                          "directory\n")
            << 2;
        const QString script = scriptFile();
        QTest::newRow("blocks: number, TAB, name") << QStringList{"blocks", script} << none
                                                   << QByteArray("1\tFirst\n2\tZweite Bl\xC3\xB6"
                                                                 "cke\n")
                                                   << none << 0;
        QTest::newRow("compile --block: warnings name the lines of the file")
            << QStringList{"compile", script, "--block", "Zweite Bl\u00f6cke"} << none
            << QByteArray("$00100500015B04\n")
            << (script +
                ":7: warning: the line starts with a blank, so it is a comment and \"Write "
                "0x90\" is not sent\n" +
                script +
                ":8: warning: Write 91 is read as decimal, so it sends 0x5B; hex takes "
                "\"0x\" (Write 0x91)\n")
                   .toUtf8()
            << 0;
        QTest::newRow("run --block: a name matches exactly, before the port opens")
            << QStringList{"run", script, "--block", "first", "--port", "/dev/ttyNOSUCH9"} << none
            << none
            << ("i2cscript run: " + script + " has no block named \"first\" (i2cscript blocks " +
                script + " lists them)\n")
                   .toUtf8()
            << 2;
        QDirIterator files(TEST_DATA_DIR, {"*.txt", "*.rx"}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QFileInfo in(files.next());
            const QString base = in.path() + "/" + in.completeBaseName();
            const bool decode = in.suffix() == "rx", alert = QFileInfo::exists(base + ".alert");
            QFile expected(base + (alert ? ".alert" : decode ? ".view" : ".frame"));
            QVERIFY(expected.open(QIODevice::ReadOnly));
            const QByteArray text = expected.readAll();
            // Quiet, so a queue may warn (sensor_and_lines.txt does) and still match.
            QTest::newRow(qPrintable(in.fileName()))
                << (decode ? QStringList{"decode", in.filePath()}
                           : QStringList{"compile", "-q", in.filePath()})
                << none << (alert ? none : text) << (alert ? text : none) << int(alert);
        }
    }
    void run() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        QFETCH(int, status);
        qunsetenv("I2C_PORT");
        QProcess process;
        process.start(I2CSCRIPT, args);
        process.write(input);
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(5000));
        QCOMPARE(process.readAllStandardOutput(), out);
        QCOMPARE(process.readAllStandardError(), err);
        QCOMPARE(process.exitCode(), status);
    }

    // A command that cannot reach its port leaves an earlier record alone.
    void recordWithoutAPort() {
        QTemporaryDir dir;
        const QString record = dir.filePath("r.txt");
        QFile file(record);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("old\r\n") == 5);
        file.close();
        QProcess process;
        process.start(I2CSCRIPT, {"ping", "--port", "/dev/ttyNOSUCH9", "--record", record});
        QVERIFY(process.waitForFinished(5000));
        QCOMPARE(process.exitCode(), 2);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("old\r\n"));
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
