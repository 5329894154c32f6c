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

    // An empty mask stands for "*.*": every file, a name without a dot too.
    // The list follows the mask as it is typed.
    void maskFiltersWhileTyping() {
        choose(
            m_dir.path(),
            [&](dialogs::SelectFile& d) {
                QTRY_COMPARE(shownFiles(d),
                             QStringList({"README", "a.txt", "b.txt", "c.txt", "d.log"}));
                auto* mask = d.controls.value("filemask");
                QTest::keyClick(mask, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(mask, "*.l");
                QTRY_COMPARE(shownFiles(d), QStringList());
                QTest::keyClicks(mask, "og");
                QTRY_COMPARE(shownFiles(d), QStringList{"d.log"});
                QTest::keyClicks(mask, ";a*");
                QTRY_COMPARE(shownFiles(d), QStringList({"a.txt", "d.log"}));
            },
            "");
    }

    // A start folder that does not exist gives the program's folder; in a
    // root no second separator is put between folder and name.
    void startFolders() {
        QString shown;
        choose(m_dir.filePath("nowhere"), [&](dialogs::SelectFile& d) { shown = d.dirFolder(); });
        QCOMPARE(shown, QString::fromStdString(util::programdirectory()));
        QCOMPARE(QDir::currentPath(), shown);
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
            auto* files = static_cast<QFileSystemModel*>(list->model());
            const QModelIndex b = files->index(m_dir.filePath("b.txt"));
            const QModelIndex c = files->index(m_dir.filePath("c.txt"));
            list->selectionModel()->select(c, QItemSelectionModel::Select);
            list->selectionModel()->select(b, QItemSelectionModel::Select);
            emit list->doubleClicked(c);
            QCOMPARE(typed(d, "filename"), "b.txt\nc.txt");
            QCOMPARE(typed(d, "filecount"), "2");
        });
        QCOMPARE(path, m_dir.filePath("b.txt ,c.txt"));
    }

    // Cancel, the close box, and OK without a name all give nothing.
    void noName() {
        const std::function<void(dialogs::SelectFile&)> ways[] = {
            [](dialogs::SelectFile& d) {
                d.setFileName("a.txt");
                QTest::mouseClick(d.controls.value("cancelbutton"), Qt::LeftButton);
            },
            [](dialogs::SelectFile& d) {
                d.setFileName("a.txt");
                d.close();
            },
            [](dialogs::SelectFile&) {}};
        for (const auto& way : ways)
            QCOMPARE(choose(m_dir.path(), way), QString());
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

  private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestSelectFile)
#include "tst_selectfile.moc"
