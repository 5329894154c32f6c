#include "compiler/compiler.h"
#include "library/scriptfile.h"

#include <QtTest>

using Texts = QList<QByteArray>;
using Entries = QList<std::size_t>;

// A table as earlier loads may have left it: entry k holds "old k".
static library::BlockTable oldTable() {
    library::BlockTable table;
    for (std::size_t k = 0; k < table.size(); ++k)
        table[k] = "old " + std::to_string(k);
    return table;
}

template <class Strings> static QStringList texts(const Strings& strings) {
    QStringList out;
    for (const auto& s : strings)
        out << QString::fromStdString(s);
    return out;
}

class TestScriptFile : public QObject {
    Q_OBJECT
  private slots:
    // entries: the table from entry 0 on, as far as given; past that every
    // entry must still be the old one. names: the blocks', which the list
    // shows cut at 100 characters and the first 18 buttons at 30. cut: the
    // entries held to what the queue takes.
    void load_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Texts>("entries");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("leftOut");
        QTest::addColumn<Entries>("cut");
        // A byte-order mark some editors put first is no part of the first line.
        QTest::newRow("byte-order mark, blank lines")
            << QByteArray("\xEF\xBB\xBF;Sensor\r\nStart\r\nStop\r\n\r\n;Outputs\r\nGP0HI\r\n\r\n")
            << Texts{"", ";Sensor\r\nStart\r\nStop\r\n", ";Outputs\r\nGP0HI\r\n"}
            << QStringList{"Sensor", "Outputs"} << 0 << Entries{};
        QByteArray file;
        Texts entries{""};
        QStringList names;
        for (int k = 1; k <= 1002; ++k) {
            names << "b" + QString::number(k);
            file += ";" + names.last().toUtf8() + "\r\nStart\r\n";
            if (k <= 1000) entries += ";" + names.last().toUtf8() + "\r\nStart";
            if (k == 20)
                QTest::newRow("twenty blocks") << file << entries << names << 0 << Entries{};
        }
        QTest::newRow("1002 blocks") << file << entries << names.mid(0, 1000) << 2 << Entries{};
        const QString name = "01234567890123456789012345678" + QString(80, QChar(0xE4));
        QTest::newRow("long name, cut by characters")
            << ";" + name.toUtf8() << Texts{"", ";" + name.toUtf8()} << QStringList{name} << 0
            << Entries{};
        QTest::newRow("preamble, mixed line ends")
            << QByteArray("Heading\r\n\nby me\r;A\r\nStart\n\r\n;B\rStop\r")
            << Texts{"Heading\r\n\r\nby me", ";A\r\nStart\r\n", ";B\r\nStop"}
            << QStringList{"A", "B"} << 0 << Entries{};
        // Anything not strictly valid UTF-8 (here an encoded surrogate) is Latin-1.
        QTest::newRow("one bad sequence makes the whole file Latin-1")
            << QByteArray(";\xC3\xA4\r\n;\xED\xA0\x80")
            << Texts{"", ";\xC3\x83\xC2\xA4", ";\xC3\xAD\xC2\xA0\xC2\x80"}
            << QStringList{"\xC3\x83\xC2\xA4", "\xC3\xAD\xC2\xA0\xC2\x80"} << 0 << Entries{};
        const QByteArray start = "\r\nStart";
        const QByteArray a = ";A" + start.repeated(library::kQueueLines - 1);
        const QByteArray b = ";B" + start.repeated(library::kQueueLines - 1);
        QTest::newRow("lines: a block at the limit, one past it")
            << a + "\r\n" + b + start + "\r\n;C\r\nStop" << Texts{"", a, b, ";C\r\nStop"}
            << QStringList{"A", "B", "C"} << 0 << Entries{2};
        // Up to the byte, the line breaks counted.
        const QByteArray wide(library::kQueueBytes - 4, 'x'), d(library::kQueueBytes - 7, 'y');
        QTest::newRow("bytes: up to the byte")
            << wide + "\r\nab\r\nc\r\n;D\r\n" + d + "\r\ncd" << Texts{wide + "\r\nab", ";D\r\n" + d}
            << QStringList{"D"} << 0 << Entries{0, 1};
        const QString umlauts(library::kQueueBytes / 2, QChar(0xE4));
        QTest::newRow("bytes: a long first line cut between characters")
            << ";" + umlauts.toUtf8() + "\r\nStart"
            << Texts{"", ";" + umlauts.left(umlauts.size() - 1).toUtf8()} << QStringList{umlauts}
            << 0 << Entries{1};
    }
    void load() {
        QFETCH(QByteArray, file);
        QFETCH(Texts, entries);
        QFETCH(QStringList, names);
        QFETCH(int, leftOut);
        const auto old = oldTable();
        const auto loaded = library::loadScript(file.toStdString(), old);
        for (std::size_t k = 0; k < old.size(); ++k)
            QCOMPARE(loaded.blocks[k],
                     k < std::size_t(entries.size()) ? entries[k].toStdString() : old[k]);
        QStringList items{"Select script..."}, captions;
        for (const auto& name : names)
            items << name.left(100);
        for (qsizetype i = 0; i < 18; ++i)
            captions << names.value(i).left(30);
        QCOMPARE(texts(loaded.listItems), items);
        QCOMPARE(texts(loaded.captions), captions);
        QCOMPARE(loaded.blocksLeftOut, std::size_t(leftOut));
        QFETCH(Entries, cut);
        QCOMPARE(Entries(loaded.entriesCut.begin(), loaded.entriesCut.end()), cut);
    }

    // The scripts we ship: no text before the first block, and every block compiles.
    void shippedScripts() {
        const QDir dir(SCRIPTS_DIR);
        QVERIFY2(!dir.entryList({"*.txt"}).isEmpty(), SCRIPTS_DIR);
        for (const auto& name : dir.entryList({"*.txt"})) {
            QFile file(dir.filePath(name));
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(name));
            const auto loaded = library::loadScript(file.readAll().toStdString(), oldTable());
            QVERIFY2(loaded.blocks[0].empty() && loaded.listItems.size() > 1, qPrintable(name));
            for (std::size_t k = 1; k < loaded.listItems.size(); ++k)
                QVERIFY2(compiler::compile(loaded.blocks[k]).ok(), loaded.blocks[k].c_str());
        }
    }
};

QTEST_APPLESS_MAIN(TestScriptFile)
#include "tst_scriptfile.moc"
