// The bash completion script, run by bash for the words typed so far.
#include <QtTest>

class TestCompletion : public QObject {
    Q_OBJECT
  private slots:
    void complete_data() {
        QTest::addColumn<QStringList>("words"); // the last is the word being typed
        QTest::addColumn<QString>("offered");   // sorted, blank-separated
        auto row = [](const char* name, QStringList words, const char* offered) {
            QTest::newRow(name) << words << QString(offered);
        };
        row("commands", {"i2cscript", "c"}, "compile control");
        row("global options", {"i2cscript", "--"}, "--help --version");
        row("run options", {"i2cscript", "run", "--"},
            "--help --port --quiet --record --timeout --verbose");
        row("monitor options", {"i2cscript", "monitor", "--r"}, "--raw --record");
        row("ports options", {"i2cscript", "ports", "-"}, "--help");
        row("COM names", {"i2cscript", "ping", "--port", "COM"},
            "COM1 COM2 COM3 COM4 COM5 COM6 COM7 COM8");
        row("device path", {"i2cscript", "ping", "--port", "/dev/nul"}, "/dev/null");
        row("control names", {"i2cscript", "control", "--port", "COM1", "s"}, "slave slow store");
        row("examples", {"i2cscript", "examples", ""}, "1 2 3 4 5 6 7 8");
        row("help topics", {"i2cscript", "help", "mon"}, "monitor");
        row("no value after --timeout", {"i2cscript", "run", "--timeout", ""}, "");
        row("i2csim options", {"i2csim", "--l"}, "--line-rate --link");
        row("i2csim models", {"i2csim", "--model", "t"}, "tamb tolk");
    }
    void complete() {
        QFETCH(QStringList, words);
        QFETCH(QString, offered);
        QStringList quoted;
        for (const auto& w : words)
            quoted << "'" + w + "'";
        const QString function = words.front() == "i2csim" ? "_i2csim" : "_i2cscript";
        const QString script = QString("source '%1'; COMP_WORDS=(%2); COMP_CWORD=%3; %4; "
                                       "printf '%s\\n' \"${COMPREPLY[@]}\" | sort")
                                   .arg(COMPLETION, quoted.join(' '))
                                   .arg(words.size() - 1)
                                   .arg(function);
        QProcess bash;
        bash.start(BASH, {"--norc", "-c", script});
        QVERIFY(bash.waitForFinished(5000));
        QCOMPARE(bash.exitCode(), 0);
        QCOMPARE(QString(bash.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts).join(' '),
                 offered);
    }
};

QTEST_GUILESS_MAIN(TestCompletion)
#include "tst_completion.moc"
