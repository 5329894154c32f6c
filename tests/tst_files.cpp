// Reading a file the user picked. The window's load pins the other refusals.
#include "platform/files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestFiles : public QObject {
    Q_OBJECT
  private slots:
    // A folder reaches the loader only by a race with the file dialog.
    void folderIsRefused() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        const auto folder = platform::readRegularFile(dir.path().toStdString() + "/sub", 100);
        QVERIFY(!folder.bytes && folder.error == "it is a folder");
    }
};

QTEST_APPLESS_MAIN(TestFiles)
#include "tst_files.moc"
