// i2cscript against the module simulator over a real pseudo-terminal (POSIX).
#include "bus/picture.h"
#include "simprocess.h"

#include <QImageReader>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

struct Outcome {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// Runs i2cscript with "{port}" in the arguments standing for the device.
// QProcess would pass the arguments as UTF-8; they go byte for byte through
// the environment and a shell instead.
static Outcome i2cscriptBytes(const SimProcess& sim, QByteArrayList args,
                              const QByteArray& input = {}) {
    QString script = "exec \"$0\"";
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QByteArray name = "I2C_ARG" + QByteArray::number(i);
        qputenv(name, args[i].replace("{port}", sim.device.toUtf8()));
        script += " \"$" + name + "\"";
    }
    QProcess p;
    p.start("/bin/sh", {"-c", script, I2CSCRIPT});
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(5000)) p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

static Outcome i2cscript(const SimProcess& sim, const QStringList& args,
                         const QByteArray& input = {}) {
    QByteArrayList bytes;
    for (const auto& a : args)
        bytes << a.toUtf8();
    return i2cscriptBytes(sim, bytes, input);
}

// A record without its times.
static QByteArray untimed(const QByteArray& record) {
    static const QRegularExpression stamp("^\\d{4}-\\d\\d-\\d\\dT[\\d:.]{12} ",
                                          QRegularExpression::MultilineOption);
    return QString(record).remove(stamp).toUtf8();
}

// Whether the process has the file open (Linux; elsewhere after a while).
static bool holdsOpen(qint64 pid, const QString& path) {
    if (!QDir("/proc/self/fd").exists()) {
        QTest::qWait(500);
        return true;
    }
    const QDir fds(QString("/proc/%1/fd").arg(pid));
    for (const auto& fd : fds.entryInfoList(QDir::System | QDir::NoDotAndDotDot))
        if (fd.symLinkTarget() == path) return true;
    return false;
}

// Each line of --json output as an object; nothing when a line is not one.
static std::optional<QList<QJsonObject>> objects(const QByteArray& out) {
    QList<QJsonObject> list;
    if (!out.endsWith('\n')) return std::nullopt;
    for (const auto& line : out.chopped(1).split('\n')) {
        QJsonParseError error;
        const auto document = QJsonDocument::fromJson(line, &error);
        if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
        list << document.object();
    }
    return list;
}

// The picture the received frames of --json output make.
static void draw(bus::Picture& picture, const QList<QJsonObject>& frames) {
    for (const auto& o : frames)
        if (o["direction"] == "received")
            picture.addFrame(o["frame"].toString().toStdString() + "\r");
}

// Reads the sensor's temperature: pointer 0, then two bytes.
static const QByteArray kTemperature =
    "Start\nWrite 0x90\nWrite 0x00\nStart\nWrite 0x91\nRead ack\nRead nack\nStop\n";

// Its answer comes after 1.28 s, past the 1 s allowed for any answer.
static const QByteArray kLongScript = QByteArray("Delaym 255\n").repeated(5);

// Gives a started "run" the long script; true once it holds the terminal.
[[nodiscard]] static bool runLongScript(QProcess& run, const QString& device) {
    run.write(kLongScript);
    run.closeWriteChannel();
    return QTest::qWaitFor([&] { return holdsOpen(run.processId(), device); }, 5000);
}

class TestI2cModule : public QObject {
    Q_OBJECT
  private slots:
    // Each command opens the line anew and meets the same module.
    void oneModuleAcrossConnections() {
        SimProcess sim;
        QVERIFY(sim.start({"--model", "tolk"}));
        for (const char* name : {"fast", "trigger-on", "edge-lh"})
            QCOMPARE(i2cscript(sim, {"control", name, "--port", "{port}"}).status, 0);
        QCOMPARE(i2cscript(sim, {"run", "--port", "{port}"}, "SetV 4.0\n").status, 0);
        const Outcome ping = i2cscript(sim, {"ping", "--port", "{port}"});
        QCOMPARE(ping.out, QByteArray("[Firmware Version:]\n[0153.01.03       ]\n"
                                      "[Tolk master+slave]\n\n[VSlave:  4.000v  ]\n"
                                      "[Speed:   Fast    ]\n[OnEdge:  On      ]\n"
                                      "[Edge:    Lo-to-Hi]\n"));
        QCOMPARE(ping.status, 0);
        const Outcome nobody = i2cscript(sim, {"run", "--port", "{port}"}, "Start\nWrite 0x92\n");
        QCOMPARE(nobody.err, QByteArray("i2cscript run: WRITE 0x92 was not acknowledged\n"));
        QCOMPARE(nobody.status, 3);
        // A script's delays hold its answer back, and the limits that run and
        // replay allow by default cover them.
        const QByteArray view = "START\nSTOP\n" + QByteArray("Delay\t0xFF mS\n").repeated(5);
        const Outcome run =
            i2cscript(sim, {"run", "-v", "--port", "{port}"}, "Start\nStop\n" + kLongScript);
        QCOMPARE(run.out, view);
        QCOMPARE(run.status, 0);
        // --verbose: the frames on standard error, after the time of day.
        QVERIFY2(QString(run.err).contains(QRegularExpression(
                     "(^|\n)\\d\\d:\\d\\d:\\d\\d\\.\\d{3} > \\$00100D0004(06FF){5}\n")),
                 run.err);
        QCOMPARE(i2cscript(sim, {"control", "store", "--port", "{port}"}).status, 0);
        const Outcome replay = i2cscript(sim, {"control", "replay", "--port", "{port}"});
        QCOMPARE(replay.out, view + "[Replay Successful  ]\n");
        QCOMPARE(replay.status, 0);
        // In slave mode the module falls silent.
        QCOMPARE(i2cscript(sim, {"control", "slave", "--port", "{port}"}).status, 0);
        const Outcome silent = i2cscript(sim, {"ping", "--port", "{port}", "--timeout", "0.3"});
        QCOMPARE(silent.err,
                 "i2cscript ping: no answer from " + sim.device.toUtf8() + " within 0.3 s\n");
        QCOMPARE(silent.status, 4);
    }

    // --json: one object a line for every frame sent and received but the
    // greeting, in order, with the lines the view shows and a script
    // answer's transactions; scan ends with what answered.
    void json_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("sent"); // how each frame sent starts
        QTest::addColumn<QStringList>("received");
        QTest::addColumn<QStringList>("lines"); // how the last frame's lines start
        QTest::addColumn<QString>("meaning");   // its last transaction's; empty: no transactions
        QTest::addColumn<QByteArray>("last");   // a last object after the frames'
        const QStringList temperatureLines{"START",
                                           "WRITE\t0x90\tAck",
                                           "WRITE\t0x00\tAck",
                                           "START",
                                           "WRITE\t0x91\tAck",
                                           "READ\t0x19\tAck",
                                           "READ\t0x80\tNack",
                                           "STOP"};
        const QString celsius = QString::fromUtf8("0x48 temperature: 25.5 \xC2\xB0"
                                                  "C");
        QTest::newRow("run") << QStringList{"run", "--json", "--port", "{port}"} << kTemperature
                             << QStringList{"$00100C0001900100000191020304"}
                             << QStringList{"!0010SW90aW00aSW91aR19aR80nP"} << temperatureLines
                             << celsius << QByteArray();
        QTest::newRow("run --block")
            << QStringList{"run",     SCRIPTS_DIR "/lm75.txt",
                           "--block", "LM75 temperature (pointer 0)",
                           "--json",  "--port",
                           "{port}"}
            << QByteArray() << QStringList{"$00100C"} << QStringList{"!0010SW90aW00aSW91aR19aR80nP"}
            << temperatureLines << celsius << QByteArray();
        QTest::newRow("ping") << QStringList{"ping", "--port", "{port}", "--json"} << QByteArray()
                              << QStringList{"$0000", "$0019"}
                              << QStringList{"!000001530003", "!0019"}
                              << QStringList{"[VSlave:  3.300v  ]"} << QString() << QByteArray();
        QTest::newRow("control") << QStringList{"control", "fast", "--json", "--port", "{port}"}
                                 << QByteArray() << QStringList{"$0018"} << QStringList{"!0018a"}
                                 << QStringList{"[Speed set Fast=400k]"} << QString()
                                 << QByteArray();
        QTest::newRow("scan") << QStringList{"scan", "--json", "--port", "{port}"} << QByteArray()
                              << QStringList(4, "$0010") << QStringList(4, "!0010SW")
                              << QStringList{"START", "WRITE\t0xCA\tNack"}
                              << "0x77 write: no answer" << QByteArray(R"({"scan":[72,80]})");
    }
    void json() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QFETCH(QStringList, sent);
        QFETCH(QStringList, received);
        QFETCH(QStringList, lines);
        QFETCH(QString, meaning);
        QFETCH(QByteArray, last);
        SimProcess sim;
        QVERIFY(sim.start());
        const Outcome outcome = i2cscript(sim, args, input);
        QVERIFY2(outcome.status == 0, outcome.err);
        auto list = objects(outcome.out);
        QVERIFY2(list, outcome.out);
        if (!last.isEmpty())
            QCOMPARE(QJsonDocument(list->takeLast()).toJson(QJsonDocument::Compact), last);
        static const QRegularExpression time(
            "^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}$");
        QStringList sentFrames, receivedFrames, times;
        for (const auto& o : *list) {
            QVERIFY2(o["time"].toString().contains(time), qPrintable(o["time"].toString()));
            times << o["time"].toString();
            const bool isSent = o["direction"] == "sent";
            QVERIFY(isSent || o["direction"] == "received");
            (isSent ? sentFrames : receivedFrames) << o["frame"].toString();
            // A sent frame has no lines; only a script answer has transactions.
            QCOMPARE(o.contains("lines"), !isSent);
            QCOMPARE(o.contains("transactions"),
                     !isSent && o["frame"].toString().startsWith("!0010"));
        }
        QVERIFY(std::is_sorted(times.begin(), times.end()));
        QCOMPARE(sentFrames.size(), sent.size());
        for (qsizetype i = 0; i < sent.size(); ++i)
            QVERIFY2(sentFrames[i].startsWith(sent[i]), qPrintable(sentFrames[i]));
        QCOMPARE(receivedFrames.size(), received.size());
        for (qsizetype i = 0; i < received.size(); ++i)
            QVERIFY2(receivedFrames[i].startsWith(received[i]), qPrintable(receivedFrames[i]));
        QJsonObject answer;
        for (const auto& o : *list)
            if (o["direction"] == "received") answer = o;
        QStringList shown;
        for (const auto& line : answer["lines"].toArray())
            shown << line.toString();
        QCOMPARE(shown.mid(0, lines.size()), lines);
        const auto transactions = answer["transactions"].toArray();
        QCOMPARE(transactions.isEmpty() ? QString() : transactions.last()["meaning"].toString(),
                 meaning);
    }

    // --picture: the bus picture of every frame received, written whole once
    // the command ends, as SVG or PNG by the name; a picture that cannot be
    // written costs the command its success and leaves nothing behind.
    void pictures_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("why");
        QTest::newRow("svg") << "bus.svg" << 0 << QString();
        QTest::newRow("png") << "bus.PNG" << 0 << QString();
        QTest::newRow("a folder that is not there")
            << "none/bus.svg" << 2 << "No such file or directory";
        QTest::newRow("a folder in the way") << "taken.png" << 2 << "Is a directory";
    }
    void pictures() {
        QFETCH(QString, name);
        QFETCH(int, status);
        QFETCH(QString, why);
        SimProcess sim;
        QVERIFY(sim.start());
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("taken.png/inside"));
        const QString path = dir.filePath(name);
        const Outcome outcome =
            i2cscript(sim, {"run", "--json", "--port", "{port}", "--picture", path}, kTemperature);
        QCOMPARE(outcome.status, status);
        const auto list = objects(outcome.out);
        QVERIFY(list);
        if (status != 0) {
            QCOMPARE(outcome.err, "i2cscript run: cannot write the picture: " + path.toUtf8() +
                                      ": " + why.toUtf8() + "\n");
            QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                     QStringList{"taken.png"});
            return;
        }
        bus::Picture picture(960);
        draw(picture, *list);
        QVERIFY(!picture.rows().empty());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        if (name.endsWith(".svg")) {
            QCOMPARE(bytes,
                     QByteArray::fromStdString(bus::svgOf(picture, 0, picture.rows().size())));
            QXmlStreamReader xml(bytes);
            while (!xml.atEnd())
                xml.readNext();
            QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        } else {
            QBuffer buffer(const_cast<QByteArray*>(&bytes));
            QImageReader png(&buffer, "png");
            const auto page = bus::pageSize(picture, 0, picture.rows().size());
            QCOMPARE(png.size(), QSize(int(page.width), int(page.height)));
        }
    }

    // ports: every COM name and the device it opens, COM8 through the link
    // beside the program; while a name is unbound, how to bind one.
    void ports() {
        QTemporaryDir dir;
        const QString program = dir.filePath("i2cscript");
        QVERIFY(QFile::copy(I2CSCRIPT, program));
        SimProcess sim;
        QVERIFY(sim.start({"--link", dir.filePath("COM8")}));
        QProcess ports;
        ports.start(program, {"ports"});
        QVERIFY(ports.waitForFinished(5000));
        QCOMPARE(ports.exitCode(), 0);
        const QString out = ports.readAllStandardOutput();
        const QStringList lines = out.split('\n');
        QCOMPARE(lines[7], QString("COM8  %1  %2 in the program's folder")
                               .arg(sim.device.leftJustified(14), dir.filePath("COM8")));
        const bool unbound = !lines.mid(0, 7).filter(QRegularExpression("^COM\\d  -$")).isEmpty();
        QCOMPARE(out.contains("\nTo bind a name to a device: ln -s DEVICE " + dir.filePath("COMn")),
                 unbound);
    }

    // monitor prints what the module sends on its own, after the time of day,
    // until Ctrl-C, decoded, (--raw) as frames or (--json) as objects; the
    // greeting of its own connection is left out, and so from its picture,
    // written once stopped. The record holds every frame, the greeting too,
    // with the activity.
    void monitorAndItsRecord() {
        for (const QString mode : {"", "--raw", "--json"}) {
            SimProcess sim;
            QVERIFY(sim.start());
            QTemporaryDir dir;
            QProcess monitor;
            monitor.start(I2CSCRIPT,
                          QStringList{"monitor", "--port", sim.device, "--record",
                                      dir.filePath("r"), "--picture", dir.filePath("m.svg")} +
                              (mode.isEmpty() ? QStringList{} : QStringList{mode}));
            QVERIFY(
                QTest::qWaitFor([&] { return holdsOpen(monitor.processId(), sim.device); }, 5000));
            QVERIFY(sim.settle()); // it has greeted the monitor
            for (const char* line : {"int 0", "int 1", "reset"})
                QVERIFY(sim.command(line));
            QByteArray out;
            QVERIFY(QTest::qWaitFor(
                [&] { return (out += monitor.readAllStandardOutput()).count('\n') >= 3; }, 5000));
            ::kill(static_cast<pid_t>(monitor.processId()), SIGINT);
            QVERIFY(monitor.waitForFinished(5000));
            QCOMPARE(monitor.exitCode(), 128 + SIGINT);
            out += monitor.readAllStandardOutput();
            static const QRegularExpression time("^\\d\\d:\\d\\d:\\d\\d\\.\\d{3}  ",
                                                 QRegularExpression::MultilineOption);
            static const QRegularExpression stamp("(?<=\"time\":\")[^\"]+");
            const QByteArray json = R"({"time":"T","direction":"received","frame":)";
            QCOMPARE(QString(out).replace(time, "T ").replace(stamp, "T").toUtf8(),
                     mode == "--raw" ? QByteArray("T !00200\nT !00201\nT !001A08\n")
                     : mode == "--json"
                         ? json +
                               R"("!00200","lines":["[Int]\t0"]})"
                               "\n" +
                               json +
                               R"("!00201","lines":["[Int]\t1"]})"
                               "\n" +
                               json +
                               R"("!001A08","lines":["[Reset:   Power up]",""]})"
                               "\n"
                         : QByteArray("T [Int]\t0\nT [Int]\t1\nT [Reset:   Power up]\n"));
            QFile file(dir.filePath("r"));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(untimed(file.readAll()),
                     QByteArray("< !001A08[cr]\t[Reset:   Power up]\r\n< !00200[cr]\t[Int]\t0\r\n"
                                "< !00201[cr]\t[Int]\t1\r\n< !001A08[cr]\t[Reset:   Power "
                                "up]\r\n"));
            bus::Picture picture(960);
            for (const char* frame : {"!00200\r", "!00201\r", "!001A08\r"})
                picture.addFrame(frame);
            QFile svg(dir.filePath("m.svg"));
            QVERIFY(svg.open(QIODevice::ReadOnly));
            QCOMPARE(svg.readAll(),
                     QByteArray::fromStdString(bus::svgOf(picture, 0, picture.rows().size())));
        }
    }

    // --record replaces the file once the port is open, --append adds to it;
    // a record that cannot be written costs the command its success.
    void recordReplacedOrAppended() {
        SimProcess sim;
        QVERIFY(sim.start());
        QTemporaryDir dir;
        const QString path = dir.filePath("r.txt");
        const QByteArray old = "2026-12-01T10:00:00.000 > $0000[cr]\r\n";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
        file.close();
        const QByteArray ping = "> $0000[cr]\r\n";
        for (const char* how : {"--append", "--verbose"}) {
            const Outcome outcome =
                i2cscript(sim, {"control", "slow", "--port", "{port}", "--record", path, how});
            QCOMPARE(outcome.status, 0);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray record = untimed(file.readAll());
            file.close();
            const QByteArray made = "> $0017[cr]\r\n< !001A08[cr]\t[Reset:   Power up]\r\n"
                                    "< !0017a[cr]\t[Speed set Slow=100k]\r\n";
            QCOMPARE(record, QByteArray(how) == "--append" ? ping + made : made);
        }
#ifdef Q_OS_LINUX
        const Outcome full =
            i2cscript(sim, {"run", "--port", "{port}", "--record", "/dev/full"}, "Start\nStop\n");
        QVERIFY2(full.err.startsWith("i2cscript: the recording stopped: /dev/full: "), full.err);
        QCOMPARE(full.status, 2);
#endif
    }

    // A file name is the system's bytes, UTF-8 or not: read and recorded
    // under exactly those, and named in messages with \xHH for each byte that
    // is not UTF-8.
    void fileNamesAsGiven() {
        SimProcess sim;
        QVERIFY(sim.start());
        QTemporaryDir dir;
        const QByteArray at = QFile::encodeName(dir.path()) + "/";
        // QTemporaryDir cannot remove a name that a QString cannot hold.
        const auto removeNames = qScopeGuard([&] {
            for (const char* name : {"q\xe9.txt", "r\xe9.txt"})
                std::remove((at + name).constData());
        });
        std::ofstream((at + "q\xe9.txt").constData()) << "Start\n Write 0x90\nStop\n";
        const QByteArray missing = ": No such file or directory\n";
        const std::tuple<QByteArrayList, QByteArray, QByteArray, int> rows[] = {
            {{"run", at + "q\xe9.txt", "--port", "{port}", "--record", at + "r\xe9.txt"},
             "START\nSTOP\n",
             at + "q\\xe9.txt:2: warning: the line starts with a blank, so it is a comment and "
                  "\"Write 0x90\" is not sent\n",
             0},
            {{"decode", at + "none\xe9.rx"},
             "",
             "i2cscript decode: cannot read " + at + "none\\xe9.rx" + missing,
             2},
            {{"ping", "--port", "{port}", "--record=" + at + "none\xe9/r"},
             "",
             "i2cscript ping: cannot record: " + at + "none\\xe9/r" + missing,
             2},
            {{"compile", "a", "b\xff"},
             "",
             "i2cscript compile: unexpected argument 'b\\xff' (see i2cscript compile --help)\n",
             2},
        };
        for (const auto& [args, out, err, status] : rows) {
            const Outcome outcome = i2cscriptBytes(sim, args);
            QCOMPARE(outcome.out, out);
            QCOMPARE(outcome.err, err);
            QCOMPARE(outcome.status, status);
        }
        std::ifstream record((at + "r\xe9.txt").constData(), std::ios::binary);
        QVERIFY(record.is_open());
        const std::string text{std::istreambuf_iterator<char>(record), {}};
        QCOMPARE(untimed(QByteArray::fromStdString(text)),
                 QByteArray("> $0010030004[cr]\r\n< !001A08[cr]\t[Reset:   Power up]\r\n"
                            "< !0010SP[cr]\tSTART | STOP\r\n"));
    }

    // Ctrl-C ends the wait at once and closes the port on the way out: a
    // pseudo-terminal left in exclusive mode would refuse the next client
    // that is not root, as which the programs run here when they can. The
    // module vanishing mid-run is a lost port, not a silent module.
    void stopSignalAndLostPort() {
        SimProcess sim;
        QVERIFY(sim.start());
        const QString setpriv = ::geteuid() == 0 ? QStandardPaths::findExecutable("setpriv") : "";
        const QStringList nobody{"--reuid=65534", "--regid=65534", "--clear-groups", I2CSCRIPT};
        if (!setpriv.isEmpty())
            QVERIFY(::chmod(QFile::encodeName(sim.device).constData(), 0666) == 0);
        auto start = [&](QProcess& p, const QStringList& args) {
            setpriv.isEmpty() ? p.start(I2CSCRIPT, args) : p.start(setpriv, nobody + args);
        };
        QProcess stopped, ping, lost;
        start(stopped, {"run", "--port", sim.device});
        QVERIFY(runLongScript(stopped, sim.device));
        ::kill(static_cast<pid_t>(stopped.processId()), SIGINT);
        QVERIFY(stopped.waitForFinished(5000));
        QCOMPARE(stopped.readAllStandardError(), QByteArray("i2cscript run: stopped\n"));
        QCOMPARE(stopped.exitCode(), 128 + SIGINT);
        // A module that got the script runs it to its end (1.28 s) first.
        start(ping, {"ping", "--port", sim.device, "--timeout", "4"});
        QVERIFY(ping.waitForFinished(5000));
        QVERIFY2(ping.exitCode() == 0, ping.readAllStandardError());
        QTemporaryDir dir; // for anyone: the run may be nobody's
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7777)));
        start(lost, {"run", "--port", sim.device, "--record", dir.filePath("r")});
        QVERIFY(runLongScript(lost, sim.device));
        sim.kill();
        QVERIFY(lost.waitForFinished(5000));
        const QByteArray err = lost.readAllStandardError();
        const QByteArray said = sim.device.toUtf8() + " stopped working: ";
        QVERIFY2(err.startsWith("i2cscript run: " + said), err);
        QCOMPARE(lost.exitCode(), 2);
        // The record ends with the loss.
        QFile record(dir.filePath("r"));
        QVERIFY(record.open(QIODevice::ReadOnly));
        const QByteArrayList lines = record.readAll().split('\n');
        QVERIFY2(lines.size() >= 2 && lines[lines.size() - 2].contains(" * " + said),
                 lines.join('|'));
    }
};

QTEST_GUILESS_MAIN(TestI2cModule)
#include "tst_i2cmodule.moc"
