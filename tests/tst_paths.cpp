#include "util/paths.h"

#include <QTemporaryDir>
#include <QtTest>

class TestPaths : public QObject {
    Q_OBJECT
  private slots:
    void chosenPath_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<char>("separator");
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("path");
        QTest::newRow("one name") << "C:\\scripts" << '\\' << "a.txt"
                                  << "C:\\scripts\\a.txt";
        QTest::newRow("drive root") << "C:\\" << '\\' << "a.txt"
                                    << "C:\\a.txt";
        QTest::newRow("posix") << "/home/ann" << '/' << "a.txt"
                               << "/home/ann/a.txt";
        QTest::newRow("posix root") << "/" << '/' << "a.txt"
                                    << "/a.txt";
        QTest::newRow("no name") << "/home" << '/' << ""
                                 << "";
        QTest::newRow("two names") << "/s" << '/' << "b.txt\r\nc.txt"
                                   << "/s/b.txt ,c.txt";
        QTest::newRow("three names at the root") << "/" << '/' << "a\r\nb\r\nc"
                                                 << "/a ,b ,c";
    }
    void chosenPath() {
        QFETCH(QString, folder);
        QFETCH(char, separator);
        QFETCH(QString, names);
        QFETCH(QString, path);
        QCOMPARE(QString::fromStdString(
                     util::chosenPath(folder.toStdString(), names.toStdString(), separator)),
                 path);
    }

    void pathpart_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<char>("separator");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("part");
        const char win = '\\', posix = '/';
        const QString temp = "C:\\scripts\\temp.txt";
        QTest::newRow("win name.ext") << temp << win << 0 << "temp.txt";
        QTest::newRow("win name") << temp << win << 1 << "temp";
        QTest::newRow("win ext") << temp << win << 2 << "txt";
        QTest::newRow("win folder") << temp << win << 3 << "C:\\scripts";
        QTest::newRow("win whole") << temp << win << 4 << temp;
        QTest::newRow("win no ext") << temp << win << 5 << "C:\\scripts\\temp";
        QTest::newRow("win code 6") << temp << win << 6 << "";
        QTest::newRow("win code -1") << temp << win << -1 << "";
        QTest::newRow("dotted folder") << "C:\\my.dir\\x.txt" << win << 3 << "C:\\my.dir";
        QTest::newRow("dotted folder name") << "C:\\my.dir\\x.txt" << win << 1 << "x";
        QTest::newRow("dotted folder ext") << "C:\\my.dir\\x.txt" << win << 2 << "txt";
        QTest::newRow("second dot name") << "C:\\d\\a.b.txt" << win << 1 << "a";
        QTest::newRow("second dot ext") << "C:\\d\\a.b.txt" << win << 2 << "b";
        QTest::newRow("second dot whole") << "C:\\d\\a.b.txt" << win << 4 << "C:\\d\\a.b";
        QTest::newRow("bare folder") << "a.txt" << win << 3 << "";
        QTest::newRow("bare whole") << "a.txt" << win << 4 << "\\a.txt";
        QTest::newRow("no extension") << "C:\\x\\make" << win << 0 << "make";
        QTest::newRow("blanks trimmed") << "  C:\\x\\y.txt  " << win << 3 << "C:\\x";
        QTest::newRow("bar dropped") << "C:\\x\\a|b.txt" << win << 4 << "C:\\x\\ab.txt";
        QTest::newRow("slash dropped on windows") << "C:\\x/y\\a.txt" << win << 3 << "C:\\xy";
        QTest::newRow("empty") << "" << win << 4 << "";
        QTest::newRow("blanks only") << "   " << win << 0 << "   ";
        QTest::newRow("posix folder") << "/home/u/s.txt" << posix << 3 << "/home/u";
        QTest::newRow("posix name.ext") << "/home/u/s.txt" << posix << 0 << "s.txt";
        QTest::newRow("posix whole") << "/home/u/s.txt" << posix << 4 << "/home/u/s.txt";
        QTest::newRow("posix no ext") << "/home/u/s.txt" << posix << 5 << "/home/u/s";
        QTest::newRow("posix dotted folder") << "/a.b/c.d.e" << posix << 4 << "/a.b/c.d";
        QTest::newRow("posix wildcards dropped") << "/x/*a?<b>|.txt" << posix << 0 << "ab.txt";
        QTest::newRow("posix keeps backslash") << "/x/a\\b.txt" << posix << 1 << "a\\b";
        QTest::newRow("posix root file") << "/s.txt" << posix << 3 << "";
    }
    void pathpart() {
        QFETCH(QString, path);
        QFETCH(char, separator);
        QFETCH(int, code);
        QFETCH(QString, part);
        std::string text = path.toStdString();
        QCOMPARE(QString::fromStdString(util::pathpart(text, code, separator)), part);
    }

    void pathpartTrimsCallersText() {
        std::string text = "  C:\\x\\y.txt  ";
        util::pathpart(text, 3, '\\');
        QCOMPARE(text, std::string("C:\\x\\y.txt"));
        std::string blanks = "   ";
        util::pathpart(blanks, 3, '\\');
        QCOMPARE(blanks, std::string("   "));
    }

    void existence() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::string root = dir.path().toStdString();
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        for (const char* name : {"a.txt", ".hidden"}) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        struct Row {
            std::string path;
            bool path_exists;
            bool file_exists;
        };
        const Row rows[] = {
            {"", false, false},
            {root, true, false},
            {root + "/sub", true, false},
            {root + "/missing", false, false},
            {root + "/missing/a.txt", false, false},
            {root + "/a.txt", true, true},
            {root + "/.hidden", true, false},
            {root + "/*.txt", true, true},
            {root + "/?.txt", true, true},
            {root + "/*.doc", false, false},
            {root + "/s*", true, false},
            {root + "/missing/*", false, false},
            {root + std::string("/a.txt\0zz", 9), false, false},
            {root + std::string("\0", 1), false, false},
        };
        for (const auto& row : rows) {
            QVERIFY2(util::pathexists(row.path) == row.path_exists, row.path.c_str());
            QVERIFY2(util::fileexists(row.path) == row.file_exists, row.path.c_str());
        }
    }
};

QTEST_APPLESS_MAIN(TestPaths)
#include "tst_paths.moc"
