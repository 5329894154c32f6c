#include "compiler/compiler.h"
#include "library/blockwriter.h"
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

    // A queue kept as a block: the file's bytes after it (empty when
    // refused, with the reason). Loaded again, every other entry is the
    // same, and the block, put in the queue, compiles as the queue did.
    void saveBlock_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("queue");
        QTest::addColumn<bool>("replace");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("refusal");
        auto row = [](const char* what, const QByteArray& file, const QString& name,
                      const QString& queue, const QByteArray& after, const QString& refusal = {},
                      bool replace = false) {
            QTest::newRow(what) << file << name << queue << replace << after << refusal;
        };
        const QString queue = "Start\nStop";
        const QByteArray block = ";New\r\nStart\r\nStop\r\n\r\n";
        row("CR LF, a blank line last", ";A\r\nStart\r\n\r\n", "New", queue,
            ";A\r\nStart\r\n\r\n" + block);
        row("LF", ";A\nStart\n", "New", queue, ";A\nStart\n;New\nStart\nStop\n\n");
        row("CR", ";A\rStart\r", "New", queue, ";A\rStart\r;New\rStart\rStop\r\r");
        row("no final line end", ";A\r\nStart", "New", queue, ";A\r\nStart\r\n" + block);
        row("mixed: the last line end's style", "Note\r\n;A\nStart", "New", queue,
            "Note\r\n;A\nStart\n;New\nStart\nStop\n\n");
        row("empty file", "", "New", queue, block);
        row("a byte-order mark alone", "\xEF\xBB\xBF", "New", queue, "\xEF\xBB\xBF\r\n" + block);
        row("a queue line starting with ;", "", "New", "Start\n;Write 0x90\n ;x\nStop",
            ";New\r\nStart\r\n ;Write 0x90\r\n ;x\r\nStop\r\n\r\n");
        row("a queue headed by the name, as Load puts a block", "", "New", ";New\nStart\nStop",
            block);
        row("a queue headed by another name", "", "New", ";Old\nStart",
            ";New\r\n ;Old\r\nStart\r\n\r\n");
        row("the editor's line breaks, a final one", "", "New", "Start\u2028Stop\n", block);
        row("empty queue", "", "New", "", ";New\r\n\r\n");
        row("blank queue lines", "", "New", "\n\n", ";New\r\n\r\n\r\n\r\n");
        row("Latin-1 file", ";Caf\xE9\r\n", "Th\u00E9", " ;\u00E0",
            ";Caf\xE9\r\n;Th\xE9\r\n ;\xE0\r\n\r\n");
        row("Latin-1 lacks the name's €", ";Caf\xE9\r\n", "5\u20AC", queue, {},
            "it is Latin-1 text, which has no \"\u20AC\" (in the name)");
        row("Latin-1 lacks the queue's €", ";Caf\xE9\r\n", "New", ";New\nStart\n;5\u20AC", {},
            "it is Latin-1 text, which has no \"\u20AC\" (on line 3 of the queue)");
        row("UTF-8 file", ";Caf\xC3\xA9\r\n", "5\u20AC", "",
            ";Caf\xC3\xA9\r\n;5\xE2\x82\xAC\r\n\r\n");
        row("names that only begin alike", ";Ne\r\n;New2\r\n;NEW\r\n", "New", queue,
            ";Ne\r\n;New2\r\n;NEW\r\n" + block);
        const QByteArray three = ";Ne\r\nx\r\n;New\r\nold\r\n\r\n;New\r\nsecond\r\n;B\r\ny";
        row("a name the file has", three, "New", queue, {}, "it already has a block \"New\"");
        row("a name the file has, replaced", three, "New", queue,
            ";Ne\r\nx\r\n" + block + ";New\r\nsecond\r\n;B\r\ny", {}, true);
        row("the last block replaced", ";A\r\nx\r\n;New\r\nold", "New", queue,
            ";A\r\nx\r\n" + block, {}, true);
        row("a new name with replace", ";A\r\n", "New", queue, ";A\r\n" + block, {}, true);
        row("the first block, after a byte-order mark", "\xEF\xBB\xBF;New\nold\n", "New", queue, {},
            "it already has a block \"New\"");
        row("Latin-1: what looks like a byte-order mark is text", "\xEF\xBB\xBF;New\r\n\xE9", "New",
            queue, "\xEF\xBB\xBF;New\r\n\xE9\r\n" + block);
        row("Latin-1 only in the block replaced", ";A\r\n\xC3\xA9\r\n;New\r\n\xE9\r\n", "New",
            queue, {}, "it is Latin-1 text that would read as UTF-8 without the block replaced",
            true);
        row("empty name", "", "", queue, {}, "a block needs a name for its button to show");
        row("a line break in the name", "", "A\nB", queue, {}, "a block's name is one line");
        row("the editor's line break in the name", "", "A\u2028B", queue, {},
            "a block's name is one line");
        const QByteArray full = QByteArray(";B\r\n").repeated(int(library::kMaxBlocks));
        row("blocks: one past what Load takes", full, "New", queue, {},
            "it holds 1000 blocks, and Load takes the first 1000");
        row("blocks: the last Load takes", full.mid(4), "New", queue, full.mid(4) + block);
        row("blocks: one Load does not take, replaced", full + ";New\r\n", "New", queue, {},
            "it holds 1001 blocks, and Load takes the first 1000", true);
        const QString lines = QString("Start\n").repeated(int(library::kQueueLines) - 2);
        const QString tooLong =
            "the queue is longer than a block Load takes (10000 lines, 256 KiB)";
        row("lines: as many as Load takes", "", "New", lines,
            ";New\r\n" + lines.toUtf8().replace("\n", "\r\n") + "\r\n");
        row("lines: one more", "", "New", lines + "Stop", {}, tooLong);
        const QString wide(int(library::kQueueBytes) - 8, 'x'); // ";New", two line ends
        row("bytes: as many as Load takes", "", "New", wide,
            ";New\r\n" + wide.toUtf8() + "\r\n\r\n");
        row("bytes: one more", "", "New", wide + "x", {}, tooLong);
        row("a file Load would no longer read",
            QByteArray(int(library::kMaxScriptFileBytes) - 10, 'x'), "New", queue, {},
            "it would grow past 16 MiB, more than Load reads");
    }
    void saveBlock() {
        QFETCH(QByteArray, file);
        QFETCH(QString, name);
        QFETCH(QString, queue);
        QFETCH(bool, replace);
        QFETCH(QByteArray, after);
        QFETCH(QString, refusal);
        const auto saved =
            library::saveBlock(file.toStdString(), name.toStdString(), queue.toStdString(),
                               replace ? library::SameName::Replace : library::SameName::Refuse);
        QCOMPARE(QByteArray::fromStdString(saved.bytes), after);
        QCOMPARE(QString::fromStdString(saved.refusal), refusal);
        QCOMPARE(saved.nameTaken, refusal.startsWith("it already has"));
        if (after.isEmpty()) return;
        const auto before = library::loadScript(file.toStdString(), oldTable());
        const auto loaded = library::loadScript(after.toStdString(), oldTable());
        QVERIFY(loaded.entriesCut.empty());
        const auto items = texts(loaded.listItems);
        const auto count = qsizetype(before.listItems.size());
        const bool replaced = texts(before.listItems).contains(name);
        const qsizetype at = replaced ? items.indexOf(name) : count;
        QCOMPARE(items.size(), replaced ? count : count + 1);
        QCOMPARE(items.value(at), name);
        for (qsizetype k = 0; k < items.size(); ++k)
            if (k != at) QCOMPARE(loaded.blocks[std::size_t(k)], before.blocks[std::size_t(k)]);
        const auto compiled = [](const std::string& text) {
            const auto result = compiler::compile(compiler::typedQueue(text));
            return std::pair(result.frame, result.error);
        };
        QVERIFY(compiled(loaded.blocks[std::size_t(at)]) == compiled(queue.toStdString()));
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
