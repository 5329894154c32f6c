// Where the settings file is kept, and what its first line gives.
#include "app/settings.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestSettings : public QObject {
    Q_OBJECT
  private slots:
    // Only the package's layout, bin beside share/i2cmaster, keeps the file
    // out of the program's folder.
    void installed() {
        QTemporaryDir root;
        for (const char* folder :
             {"usr/bin", "usr/share/i2cmaster", "build/bin", "opt/tools", "opt/share/i2cmaster"})
            QVERIFY(QDir(root.path()).mkpath(folder));
        for (const auto& [folder, installed] : {std::pair{"usr/bin", true},
                                                {"build/bin", false},
                                                {"opt/tools", false},
                                                {"", false}}) {
            const QString path = *folder ? root.filePath(folder) : QString();
            QVERIFY2(app::Settings::installed(path) == installed, folder);
        }
    }

    // A first line past 4,096 bytes is no folder, though its start would be.
    void longFirstLine() {
        QTemporaryDir dir;
        QFile file(dir.filePath("i2c.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(5000, 'a') + "\r\n");
        file.close();
        app::Settings settings(dir.path(), dir.filePath("config"));
        QCOMPARE(settings.load(), app::Settings::defaultDirectory());
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
