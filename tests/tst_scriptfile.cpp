#include "compiler/compiler.h"
#include "library/scriptfile.h"

#include <QtTest>

using Texts = QList<QByteArray>;

namespace {

// A table as earlier loads may have left it: entry k holds "old k".
library::BlockTable oldTable() {
    library::BlockTable table;
    for (std::size_t k = 0; k < table.size(); ++k)
        table[k] = "old " + std::to_string(k);
    return table;
}

QByteArray bytes(const std::string& text) {
    return QByteArray::fromStdString(text);
}

std::string_view view(const QByteArray& text) {
    return {text.constData(), static_cast<std::size_t>(text.size())};
}

// count blocks ";b1" ... each with one command line.
QByteArray numberedBlocks(int count) {
    QByteArray file;
    for (int k = 1; k <= count; ++k)
        file += ";b" + QByteArray::number(k) + "\r\nStart\r\n";
    return file;
}

// Distinct characters, so that a cut one too long or too short shows.
QByteArray digits(int length) {
    QByteArray text;
    for (int i = 0; i < length; ++i)
        text += char('0' + i % 10);
    return text;
}

QByteArray latin1ToUtf8(const QByteArray& text) {
    return QString::fromLatin1(text).toUtf8();
}

} // namespace

class TestScriptFile : public QObject {
    Q_OBJECT
  private slots:
    // entries: the table from entry 0 on, as far as given; past that every
    // entry must still be the old one. captions: the first ones, the rest empty.
    void load_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Texts>("entries");
        QTest::addColumn<Texts>("captions");
        QTest::addColumn<Texts>("items");
        QTest::addColumn<int>("leftOut");
        const QByteArray select = "Select script...";

        QTest::newRow("three blocks, blank line after each")
            << QByteArray(";Temperature\r\nStart\r\nWrite 0x91\r\nStop\r\n\r\n"
                          ";Config\r\nStart\r\n\r\n;Outputs\r\nGP0HI\r\n\r\n")
            << Texts{"", ";Temperature\r\nStart\r\nWrite 0x91\r\nStop\r\n", ";Config\r\nStart\r\n",
                     ";Outputs\r\nGP0HI\r\n"}
            << Texts{"Temperature", "Config", "Outputs"}
            << Texts{select, "Temperature", "Config", "Outputs"} << 0;

        // A byte-order mark some editors put first is no part of the first line.
        QTest::newRow("byte-order mark")
            << QByteArray("\xEF\xBB\xBF;First\r\nStart\r\n") << Texts{"", ";First\r\nStart"}
            << Texts{"First"} << Texts{select, "First"} << 0;

        Texts entries{""}, captions, items{select};
        for (int k = 1; k <= 20; ++k) {
            entries += ";b" + QByteArray::number(k) + "\r\nStart";
            if (k <= 18) captions += "b" + QByteArray::number(k);
            items += "b" + QByteArray::number(k);
        }
        QTest::newRow("twenty blocks") << numberedBlocks(20) << entries << captions << items << 0;

        entries = {""};
        items = {select};
        for (int k = 1; k <= 1000; ++k) {
            entries += ";b" + QByteArray::number(k) + "\r\nStart";
            items += "b" + QByteArray::number(k);
        }
        QTest::newRow("1002 blocks") << numberedBlocks(1002) << entries << captions << items << 2;

        const QByteArray name = digits(120);
        QTest::newRow("long name") << ";" + name + "\r\nStop" << Texts{"", ";" + name + "\r\nStop"}
                                   << Texts{name.left(30)} << Texts{select, name.left(100)} << 0;
        QTest::newRow("name of 30 and 100 characters")
            << ";" + digits(30) + "\r\n;" + digits(100)
            << Texts{"", ";" + digits(30), ";" + digits(100)} << Texts{digits(30), digits(30)}
            << Texts{select, digits(30), digits(100)} << 0;
        QTest::newRow("semicolon alone") << QByteArray(";\r\nStart\r\n") << Texts{"", ";\r\nStart"}
                                         << Texts{""} << Texts{select, ""} << 0;
        QTest::newRow("preamble") << QByteArray("Heading\r\n\r\nby me\r\n;A\r\nStop\r\n")
                                  << Texts{"Heading\r\n\r\nby me", ";A\r\nStop"} << Texts{"A"}
                                  << Texts{select, "A"} << 0;
        QTest::newRow("no comment line") << QByteArray("Start\r\nStop") << Texts{"Start\r\nStop"}
                                         << Texts{} << Texts{select} << 0;
        QTest::newRow("empty file") << QByteArray() << Texts{""} << Texts{} << Texts{select} << 0;
        QTest::newRow("one empty line")
            << QByteArray("\r\n") << Texts{""} << Texts{} << Texts{select} << 0;

        QTest::newRow("CR alone") << QByteArray(";A\rStart\rStop")
                                  << Texts{"", ";A\r\nStart\r\nStop"} << Texts{"A"}
                                  << Texts{select, "A"} << 0;
        QTest::newRow("LF alone") << QByteArray(";A\nStart\n;B\nStop\n")
                                  << Texts{"", ";A\r\nStart", ";B\r\nStop"} << Texts{"A", "B"}
                                  << Texts{select, "A", "B"} << 0;
        QTest::newRow("mixed, final CR") << QByteArray(";A\r\nStart\n\r\n;B\rStop\r")
                                         << Texts{"", ";A\r\nStart\r\n", ";B\r\nStop"}
                                         << Texts{"A", "B"} << Texts{select, "A", "B"} << 0;
        QTest::newRow("LF CR is two line ends")
            << QByteArray(";A\n\rStop\r\r") << Texts{"", ";A\r\n\r\nStop\r\n"} << Texts{"A"}
            << Texts{select, "A"} << 0;

        QTest::newRow("Latin-1 byte")
            << QByteArray(";\xB5s\r\nDelayu 0x10") << Texts{"", ";\xC2\xB5s\r\nDelayu 0x10"}
            << Texts{"\xC2\xB5s"} << Texts{select, "\xC2\xB5s"} << 0;
        QTest::newRow("UTF-8 kept") << QByteArray(";K\xC3\xA4se") << Texts{"", ";K\xC3\xA4se"}
                                    << Texts{"K\xC3\xA4se"} << Texts{select, "K\xC3\xA4se"} << 0;
        QTest::newRow("one Latin-1 byte makes the whole file Latin-1")
            << QByteArray(";\xC3\xA4\r\n;\xB5") << Texts{"", ";\xC3\x83\xC2\xA4", ";\xC2\xB5"}
            << Texts{"\xC3\x83\xC2\xA4", "\xC2\xB5"}
            << Texts{select, "\xC3\x83\xC2\xA4", "\xC2\xB5"} << 0;
        const QByteArray umlauts = QByteArray("\xC3\xA4").repeated(101);
        QTest::newRow("cut by characters, not bytes")
            << ";" + umlauts << Texts{"", ";" + umlauts}
            << Texts{QByteArray("\xC3\xA4").repeated(30)}
            << Texts{select, QByteArray("\xC3\xA4").repeated(100)} << 0;
        QTest::newRow("four-byte character at the cut")
            << ";" + digits(29) + "\xF0\x9F\x98\x80" + "x"
            << Texts{"", ";" + digits(29) + "\xF0\x9F\x98\x80" + "x"}
            << Texts{digits(29) + "\xF0\x9F\x98\x80"}
            << Texts{select, digits(29) + "\xF0\x9F\x98\x80" + "x"} << 0;
    }
    void load() {
        QFETCH(QByteArray, file);
        QFETCH(Texts, entries);
        QFETCH(Texts, captions);
        QFETCH(Texts, items);
        QFETCH(int, leftOut);
        const auto old = oldTable();
        const auto loaded = library::loadScript(view(file), old);

        for (std::size_t k = 0; k < old.size(); ++k) {
            const QByteArray want = k < std::size_t(entries.size()) ? entries[k] : bytes(old[k]);
            QVERIFY2(bytes(loaded.blocks[k]) == want,
                     "entry " + QByteArray::number(qulonglong(k)) + ": " +
                         bytes(loaded.blocks[k]).toPercentEncoding());
        }
        for (std::size_t i = 0; i < loaded.captions.size(); ++i) {
            const QByteArray want = i < std::size_t(captions.size()) ? captions[i] : QByteArray();
            QCOMPARE(bytes(loaded.captions[i]), want);
        }
        Texts gotItems;
        for (const auto& item : loaded.listItems)
            gotItems += bytes(item);
        QCOMPARE(gotItems, items);
        QCOMPARE(loaded.blocksLeftOut, std::size_t(leftOut));
    }

    // The second load starts from the table the first one left.
    void loadTwice_data() {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<Texts>("entries");
        const QByteArray withPreamble = "Heading\r\n;A\r\nStop\r\n";
        QTest::newRow("preamble twice")
            << withPreamble << withPreamble << Texts{"Heading", ";A\r\nStop"};
        QTest::newRow("fewer blocks than before")
            << numberedBlocks(4) << QByteArray(";x\r\n;y\r\n")
            << Texts{"", ";x", ";y", ";b3\r\nStart", ";b4\r\nStart", "old 5"};
    }
    void loadTwice() {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QFETCH(Texts, entries);
        const auto once = library::loadScript(view(first), oldTable());
        const auto twice = library::loadScript(view(second), once.blocks);
        for (qsizetype k = 0; k < entries.size(); ++k)
            QCOMPARE(bytes(twice.blocks[k]), entries[k]);
    }

    // Anything not strictly valid UTF-8 is read as Latin-1.
    void decode_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("utf8");
        QTest::newRow("ASCII") << QByteArray("Start\r\n") << true;
        QTest::newRow("two bytes") << QByteArray("\xC3\xA4") << true;
        QTest::newRow("three bytes") << QByteArray("\xE2\x82\xAC") << true;
        QTest::newRow("four bytes") << QByteArray("\xF0\x9F\x98\x80") << true;
        QTest::newRow("smallest three-byte") << QByteArray("\xE0\xA0\x80") << true;
        QTest::newRow("last before surrogates") << QByteArray("\xED\x9F\xBF") << true;
        QTest::newRow("smallest four-byte") << QByteArray("\xF0\x90\x80\x80") << true;
        QTest::newRow("U+10FFFF") << QByteArray("\xF4\x8F\xBF\xBF") << true;
        QTest::newRow("lone B5") << QByteArray("5 \xB5s") << false;
        QTest::newRow("lone continuation") << QByteArray("\x80") << false;
        QTest::newRow("lead then ASCII") << QByteArray("\xC3"
                                                       "A")
                                         << false;
        QTest::newRow("two-byte cut at the end") << QByteArray("a\xC3") << false;
        QTest::newRow("three-byte cut short") << QByteArray("\xE2\x82") << false;
        QTest::newRow("three-byte, bad third") << QByteArray("\xE2\x82"
                                                             "A")
                                               << false;
        QTest::newRow("four-byte cut short") << QByteArray("\xF0\x9F\x98") << false;
        QTest::newRow("four-byte, bad fourth") << QByteArray("\xF0\x9F\x98"
                                                             "A")
                                               << false;
        QTest::newRow("overlong two-byte") << QByteArray("\xC0\xAF") << false;
        QTest::newRow("overlong C1") << QByteArray("\xC1\xBF") << false;
        QTest::newRow("overlong three-byte") << QByteArray("\xE0\x9F\xBF") << false;
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false;
        QTest::newRow("overlong four-byte") << QByteArray("\xF0\x8F\xBF\xBF") << false;
        QTest::newRow("past U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << false;
        QTest::newRow("F5 lead") << QByteArray("\xF5\x80\x80\x80") << false;
        QTest::newRow("FF") << QByteArray("\xFF") << false;
    }
    void decode() {
        QFETCH(QByteArray, file);
        QFETCH(bool, utf8);
        // Continuation bytes just past the end must not complete a character.
        const QByteArray padded = file + "\x80\x80\x80";
        const auto decoded = library::decodeScriptText(view(padded).substr(0, file.size()));
        QCOMPARE(bytes(decoded), utf8 ? file : latin1ToUtf8(file));
    }

    // The scripts we ship: CR LF line ends, and every block compiles.
    void shippedScripts() {
        const QDir dir(SCRIPTS_DIR);
        const auto files = dir.entryList({"*.txt"}, QDir::Files);
        QVERIFY2(!files.isEmpty(), SCRIPTS_DIR);
        for (const auto& name : files) {
            QFile file(dir.filePath(name));
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(name));
            const QByteArray text = file.readAll();
            QVERIFY2(text.count('\r') == text.count("\r\n") && text.count('\n') == text.count('\r'),
                     qPrintable(name + ": a line end other than CR LF"));
            const auto old = oldTable();
            const auto loaded = library::loadScript(view(text), old);
            QVERIFY2(loaded.blocks[0].empty(), qPrintable(name + ": text before the first block"));
            QVERIFY2(loaded.listItems.size() > 1, qPrintable(name + ": no block"));
            for (std::size_t k = 1; k < loaded.listItems.size(); ++k) {
                const auto result = compiler::compile(loaded.blocks[k]);
                const QString where = name + ": " + QString::fromStdString(loaded.listItems[k]);
                QVERIFY2(result.ok(),
                         qPrintable(where + ": " + QString::fromStdString(result.error->message)));
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestScriptFile)
#include "tst_scriptfile.moc"
