// The file selection dialog, driven as a user would.
#include "dialogs/selectfile.h"
#include "util/system.h"

#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include <functional>

namespace {

// Runs choosefile; `answer` acts on the shown dialog, then OK is pressed
// unless it closed the dialog itself.
QString choose(const QString& start, const std::function<void(dialogs::SelectFile&)>& answer,
               const QString& mask = "*.txt") {
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<dialogs::SelectFile*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        answer(*dialog);
        if (dialog->isVisible())
            QTest::mouseClick(dialog->controls.value("okbutton"), Qt::LeftButton);
    });
    return dialogs::choosefile(nullptr, QString(), mask, start, "Select command list");
}

QStringList shownFiles(dialogs::SelectFile& dialog) {
    auto* list = static_cast<QListView*>(dialog.controls.value("filelist"));
    QStringList names;
    const QModelIndex root = list->rootIndex();
    for (int row = 0; row < list->model()->rowCount(root); ++row)
        names << list->model()->index(row, 0, root).data().toString();
    names.sort();
    return names;
}

QString typed(dialogs::SelectFile& dialog, const char* control) {
    if (auto* box = qobject_cast<QPlainTextEdit*>(dialog.controls.value(control)))
        return box->toPlainText();
    return static_cast<QLineEdit*>(dialog.controls.value(control))->text();
}

} // namespace

class TestSelectFile : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        QVERIFY(m_dir.isValid());
        for (const char* name : {"a.txt", "b.txt", "c.txt", "d.log", ".hidden.txt", "README"}) {
            QFile file(m_dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(QDir(m_dir.path()).mkpath("sub/inner"));
        QFile inSub(m_dir.filePath("sub/e.txt"));
        QVERIFY(inSub.open(QIODevice::WriteOnly));
    }

    void choosesAFileInTheStartFolder() {
        QStringList files;
        const QString path = choose(m_dir.path() + "/", [&](dialogs::SelectFile& d) {
            QTRY_COMPARE(shownFiles(d), QStringList({"a.txt", "b.txt", "c.txt"}));
            QCOMPARE(d.windowTitle(), "Select command list");
            QCOMPARE(typed(d, "filemask"), "*.txt");
            QTest::keyClicks(d.controls.value("filename"), "a.txt");
        });
        QCOMPARE(path, m_dir.filePath("a.txt"));
        QCOMPARE(QDir::currentPath(), m_dir.path());
    }

    void maskFiltersWhileTyping() {
        choose(m_dir.path(), [&](dialogs::SelectFile& d) {
            auto* mask = d.controls.value("filemask");
            QTest::keyClick(mask, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(mask, "*.l");
            QTRY_COMPARE(shownFiles(d), QStringList());
            QTest::keyClicks(mask, "og");
            QTRY_COMPARE(shownFiles(d), QStringList{"d.log"});
            QTest::keyClicks(mask, ";a*");
            QTRY_COMPARE(shownFiles(d), QStringList({"a.txt", "d.log"}));
        });
    }

    // "*.*", the mask an empty one stands for, means every file: a name
    // without a dot too.
    void starDotStarTakesEveryFile() {
        choose(
            m_dir.path(),
            [&](dialogs::SelectFile& d) {
                QTRY_COMPARE(shownFiles(d),
                             QStringList({"README", "a.txt", "b.txt", "c.txt", "d.log"}));
            },
            "");
    }

    void missingStartFolderGivesTheProgramsFolder() {
        QString shown;
        const QString path = choose(m_dir.filePath("nowhere"), [&](dialogs::SelectFile& d) {
            shown = d.dirFolder();
            static_cast<QPushButton*>(d.controls.value("cancelbutton"))->click();
        });
        QCOMPARE(shown, QString::fromStdString(util::programdirectory()));
        QCOMPARE(path, QString());
        QCOMPARE(QDir::currentPath(), shown);
    }

    void theRootTakesNoSecondSeparator() {
#ifdef Q_OS_UNIX
        QCOMPARE(choose("/", [](dialogs::SelectFile& d) { d.setFileName("x.txt"); }),
                 QString("/x.txt"));
#endif
    }

    void changingFolderEmptiesTheName() {
        const QString path = choose(m_dir.path(), [&](dialogs::SelectFile& d) {
            d.setFileName("a.txt");
            auto* dirs = static_cast<QTreeView*>(d.controls.value("dirlist"));
            QModelIndex sub;
            QTRY_VERIFY(([&] {
                const QModelIndex current = dirs->currentIndex();
                for (int row = 0; row < dirs->model()->rowCount(current); ++row)
                    if (dirs->model()->index(row, 0, current).data() == "sub")
                        sub = dirs->model()->index(row, 0, current);
                return sub.isValid();
            })());
            emit dirs->activated(sub);
            QCOMPARE(d.dirFolder(), m_dir.filePath("sub"));
            QCOMPARE(typed(d, "filename"), QString());
            QTRY_COMPARE(shownFiles(d), QStringList{"e.txt"});
            // The list shows the path down to here and the subfolders, no siblings.
            QTRY_COMPARE(dirs->model()->rowCount(dirs->currentIndex()), 1);
            d.setFileName("e.txt");
        });
        QCOMPARE(path, m_dir.filePath("sub/e.txt"));
    }

    void twoNamesFromTheList() {
        const QString path = choose(m_dir.path(), [&](dialogs::SelectFile& d) {
            QTRY_COMPARE(shownFiles(d).size(), 3);
            auto* list = static_cast<QListView*>(d.controls.value("filelist"));
            QModelIndex b, c;
            for (int row = 0; row < 3; ++row) {
                const QModelIndex i = list->model()->index(row, 0, list->rootIndex());
                if (i.data() == "b.txt") b = i;
                if (i.data() == "c.txt") c = i;
            }
            list->selectionModel()->select(c, QItemSelectionModel::Select);
            list->selectionModel()->select(b, QItemSelectionModel::Select);
            emit list->doubleClicked(c);
            QCOMPARE(typed(d, "filename"), "b.txt\nc.txt");
            QCOMPARE(typed(d, "filecount"), "2");
        });
        QCOMPARE(path, m_dir.filePath("b.txt ,c.txt"));
    }

    void cancelAndCloseBoxGiveNothing() {
        QCOMPARE(choose(m_dir.path(),
                        [](dialogs::SelectFile& d) {
                            d.setFileName("a.txt");
                            QTest::mouseClick(d.controls.value("cancelbutton"), Qt::LeftButton);
                        }),
                 QString());
        QCOMPARE(choose(m_dir.path(),
                        [](dialogs::SelectFile& d) {
                            d.setFileName("a.txt");
                            d.close();
                        }),
                 QString());
        QCOMPARE(choose(m_dir.path(), [](dialogs::SelectFile&) {}), QString()); // OK, no name
    }

    // A folder that goes away while shown lists nothing and stops nothing.
    void vanishedFolder() {
        const QString gone = m_dir.filePath("sub/inner");
        const QString path = choose(gone, [&](dialogs::SelectFile& d) {
            QVERIFY(QDir(gone).removeRecursively());
            d.setDirFolder(m_dir.filePath("sub"));
            d.setDirFolder(gone);
            QTRY_COMPARE(shownFiles(d), QStringList());
            d.setFileName("x.txt");
        });
        QCOMPARE(path, gone + "/x.txt");
    }

    void drives() {
        const QStringList drives = dialogs::driveList();
#ifdef Q_OS_UNIX
        QCOMPARE(drives.value(0), "/");
        QCOMPARE(drives.value(1), QDir::homePath());
        for (const QString& d : drives)
            QVERIFY2(!d.startsWith("/proc") && !d.startsWith("/sys") && !d.startsWith("/dev"),
                     qPrintable(d));
#endif
        QVERIFY(!drives.isEmpty());
    }

  private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestSelectFile)
#include "tst_selectfile.moc"
