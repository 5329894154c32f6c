#include "help/document.h"

#include <QtTest>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const std::string kVersion = "2.00.06";

// Assumes the text ends with CR LF, which its own test checks.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

bool madeOf(const std::string& line, char c) {
    return !line.empty() && line.find_first_not_of(c) == std::string::npos;
}

bool isHeavyRule(const std::string& line) {
    return madeOf(line, help::kHeavyRuleChar);
}
bool isLightRule(const std::string& line) {
    return madeOf(line, '-');
}

} // namespace

class TestHelpDoc : public QObject {
    Q_OBJECT
  private slots:
    void titleCarriesTheVersion_data() {
        QTest::addColumn<QString>("version");
        QTest::newRow("this program") << "2.00.06";
        QTest::newRow("another") << "10.99.01";
    }
    void titleCarriesTheVersion() {
        QFETCH(QString, version);
        const auto lines = linesOf(help::helpDocument(version.toStdString()));
        QVERIFY(!lines.empty());
        QCOMPARE(QString::fromStdString(lines.front()),
                 "Corvi I2C control utility V" + version +
                     " (Use with Corvi Tamb/Tolk I2C Master hardware)");
    }

    void everyLineEndsWithCrLf() {
        const std::string text = help::helpDocument(kVersion);
        QVERIFY(text.ends_with("\r\n"));
        // As many CR and LF as CR LF pairs: none stands alone.
        const auto breaks = linesOf(text).size();
        QCOMPARE(std::count(text.begin(), text.end(), '\r'), qsizetype(breaks));
        QCOMPARE(std::count(text.begin(), text.end(), '\n'), qsizetype(breaks));
    }

    void endsWithTheLastTokenRow() {
        QVERIFY(help::helpDocument(kVersion).ends_with(
            "\r\n92\t9n\tRead SDA pin state, n=2=Low or n=3=High\r\n"));
    }

    void rulesAreFullLength() {
        const auto lines = linesOf(help::helpDocument(kVersion));
        std::size_t heavy = 0, light = 0;
        for (const auto& line : lines) {
            if (isHeavyRule(line) || isLightRule(line)) QCOMPARE(line.size(), help::kRuleLength);
            heavy += isHeavyRule(line);
            light += isLightRule(line);
        }
        QCOMPARE(heavy, std::size_t(5));
        QCOMPARE(light, std::size_t(5));
    }

    void heavyRulesOpenTheMainSections() {
        const auto lines = linesOf(help::helpDocument(kVersion));
        QStringList opened;
        for (std::size_t i = 0; i + 1 < lines.size(); ++i)
            if (isHeavyRule(lines[i])) opened << QString::fromStdString(lines[i + 1]);
        QCOMPARE(opened, QStringList({"REVISION HISTORY", "CONTROLS", "COMMANDS", "HARDWARE",
                                      "PROTOCOL:  COMMAND PARSING"}));
    }

    void tableHeadingsStandOverLightRules() {
        const auto lines = linesOf(help::helpDocument(kVersion));
        QStringList headed;
        for (std::size_t i = 1; i < lines.size(); ++i)
            if (isLightRule(lines[i])) headed << QString::fromStdString(lines[i - 1]);
        const QString command = "Command\t\tResponse\tDescription";
        QCOMPARE(headed, QStringList({"Date\t\tRevision\tDecscription", command, command, command,
                                      "TxToken\tRxToken\tDescription"}));
    }

    void pingParagraphEndsWithOneBlank() {
        const auto lines = linesOf(help::helpDocument(kVersion));
        const auto ping = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
            return line.starts_with("PING HARDWARE:");
        });
        QVERIFY(ping != lines.end());
        QVERIFY(ping->ends_with("on. "));
    }

    // Catches any change to the text that the checks above do not look at.
    void wholeDocumentUnchanged() {
        const std::string text = help::helpDocument(kVersion);
        QCOMPARE(text.size(), std::size_t(10296));
        const QByteArray sha =
            QCryptographicHash::hash(QByteArray::fromStdString(text), QCryptographicHash::Sha256);
        QCOMPARE(sha.toHex(),
                 QByteArray("956ba82eb193c903b3f77aed462ab1166c1b8298927b10bea4a70812fd15ce66"));
    }
};

QTEST_APPLESS_MAIN(TestHelpDoc)
#include "tst_helpdoc.moc"
