// The program's place, its version and help, and the file-name helpers.
#include "help/document.h"
#include "util/paths.h"
#include "util/system.h"

#include <QTemporaryDir>
#include <QtTest>

class TestSystem : public QObject {
    Q_OBJECT
  private slots:
    void programdirectoryHoldsThisProgram() {
        const QString folder = QString::fromStdString(util::programdirectory());
        QVERIFY(!folder.endsWith('/'));
        QVERIFY2(QFileInfo::exists(folder + "/tst_system"), qPrintable(folder));
    }

    // Every character of the help document, rules and line ends included.
    void helpDocument() {
        QCOMPARE(util::versiontext(2, 5, 123), std::string("2.05.23"));
        QVERIFY(help::helpDocument("10.99.01")
                    .starts_with("Corvi I2C control utility V10.99.01 (Use with Corvi Tamb/Tolk "
                                 "I2C Master hardware)\r\n"));
        const auto text = QByteArray::fromStdString(help::helpDocument("2.00.06"));
        QCOMPARE(QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex(),
                 QByteArray("956ba82eb193c903b3f77aed462ab1166c1b8298927b10bea4a70812fd15ce66"));
    }

    // parts: what codes 0 to 5 give (name.ext, name, ext, folder,
    // folder+sep+name.ext, folder+sep+name), joined by "|".
    void pathpart_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<char>("separator");
        QTest::addColumn<QString>("parts");
        QTest::newRow("trimmed") << " C:\\d.x\\t.txt " << '\\'
                                 << "t.txt|t|txt|C:\\d.x|C:\\d.x\\t.txt|C:\\d.x\\t";
        QTest::newRow("second dot") << "d\\a.b.txt" << '\\' << "a.b|a|b|d|d\\a.b|d\\a";
        QTest::newRow("slash, bar dropped")
            << "C:\\x/y\\a|b" << '\\' << "ab|ab||C:\\xy|C:\\xy\\ab|C:\\xy\\ab";
        QTest::newRow("blanks only") << "   " << '\\' << "   |   |||\\   |\\   ";
        QTest::newRow("posix") << "/x/a\\b?.t" << '/' << "a\\b.t|a\\b|t|/x|/x/a\\b.t|/x/a\\b";
    }
    void pathpart() {
        QFETCH(QString, path);
        QFETCH(char, separator);
        QFETCH(QString, parts);
        for (int code = 0; code <= 6; ++code) {
            std::string text = path.toStdString();
            QCOMPARE(QString::fromStdString(util::pathpart(text, code, separator)),
                     parts.section('|', code, code));
            // The caller's text is trimmed too, unless it is all blanks.
            QCOMPARE(QString::fromStdString(text),
                     path.trimmed().isEmpty() ? path : path.trimmed());
        }
    }

    // A typed absolute path stands as it is; other names go below the folder,
    // with one separator; several names keep the list's form.
    void chosenPaths() {
        const std::tuple<const char*, const char*, char, const char*> rows[] = {
            {"/", "a.txt", '/', "/a.txt"},
            {"/x", "sub/a.txt", '/', "/x/sub/a.txt"},
            {"/x", "/y/a.txt", '/', "/y/a.txt"},
            {"/x", "a.txt\r\n", '/', "/x/a.txt"},
            {"/x", "\r\n", '/', ""},
            {"/x", "b.txt\r\nc.txt", '/', "/x/b.txt ,c.txt"},
            {"/x", "/b.txt\r\n/c.txt", '/', "/x//b.txt ,/c.txt"},
            {"c:\\x", "d:\\y.txt", '\\', "d:\\y.txt"},
            {"c:\\x", "d:/y.txt", '\\', "d:/y.txt"},
            {"c:\\x", "\\\\srv\\y.txt", '\\', "\\\\srv\\y.txt"},
            {"c:\\x", "d:y.txt", '\\', "c:\\x\\d:y.txt"},
            {"c:\\", "y.txt", '\\', "c:\\y.txt"},
        };
        for (const auto& [folder, names, separator, path] : rows)
            QCOMPARE(util::chosenPath(folder, names, separator), std::string(path));
    }

    // A name that is not UTF-8, or that holds a control character, shows its
    // bytes as \xHH; valid text stays as it is.
    void printableNames() {
        const std::pair<const char*, const char*> rows[] = {
            {"caf\xe9.txt", "caf\\xe9.txt"},
            {"caf\xc3\xa9 \xe2\x82\xac.txt", "caf\xc3\xa9 \xe2\x82\xac.txt"},
            {"\xc3(", "\\xc3("},
            {"end\xe2\x82", "end\\xe2\\x82"},
            {"\xed\xa0\x80\xc0\xaf", "\\xed\\xa0\\x80\\xc0\\xaf"},
            {"a\nb\x7f\xc2\x9b", "a\\x0ab\\x7f\\xc2\\x9b"},
        };
        for (const auto& [name, shown] : rows)
            QCOMPARE(util::printableName(name), std::string(shown));
    }

    void existence() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        for (const char* name : {"a.txt", ".hidden"})
            QVERIFY(QFile(dir.filePath(name)).open(QIODevice::WriteOnly));
        const std::string root = dir.path().toStdString();
        const std::tuple<std::string, bool, bool> rows[] = {
            {root + "/sub", true, false},       {root + "/a.txt", true, true},
            {root + "/no/a.txt", false, false}, {root + "/.hidden", true, false},
            {root + "/?.txt", true, true},      {root + "/s*", true, false},
            {root + '\0', false, false}};
        for (const auto& [path, exists, isFile] : rows) {
            QVERIFY2(util::pathexists(path) == exists, path.c_str());
            QVERIFY2(util::fileexists(path) == isFile, path.c_str());
        }
    }
};

QTEST_APPLESS_MAIN(TestSystem)
#include "tst_system.moc"
