#include "util/system.h"

#include <QtTest>

class TestSystem : public QObject {
    Q_OBJECT
  private slots:
    void versiontext_data() {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("text");
        QTest::newRow("two digits") << 2 << 5 << 12 << "2.05.12";
        QTest::newRow("last two digits") << 2 << 5 << 123 << "2.05.23";
        QTest::newRow("major unpadded") << 10 << 0 << 0 << "10.00.00";
    }
    void versiontext() {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, revision);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(util::versiontext(major, minor, revision)), text);
    }

    void programdirectoryHoldsThisProgram() {
        const QString folder = QString::fromStdString(util::programdirectory());
        QVERIFY(!folder.endsWith('/'));
        QVERIFY2(QFileInfo::exists(folder + "/tst_system"), qPrintable(folder));
    }
};

QTEST_APPLESS_MAIN(TestSystem)
#include "tst_system.moc"
