// The file selection dialog, driven as a user would.
#include "dialogs/alert.h"
#include "dialogs/selectfile.h"
#include "util/system.h"

#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include <functional>

#ifdef Q_OS_UNIX
#include <pwd.h>
#endif

namespace {

using Answer = std::function<void(dialogs::SelectFile&)>;

// Runs choosefile; `answer` acts on the shown dialog, then OK is pressed
// unless it closed the dialog itself.
QString choose(const QString& start, const Answer& answer, const QString& mask = "*.txt",
               dialogs::Purpose purpose = dialogs::Purpose::Open,
               const QString& initial = QString()) {
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<dialogs::SelectFile*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        answer(*dialog);
        if (dialog->isVisible())
            QTest::mouseClick(dialog->controls.value("okbutton"), Qt::LeftButton);
    });
    return dialogs::choosefile(nullptr, initial, mask, start, "Select command list", purpose);
}

QListView* fileList(dialogs::SelectFile& dialog) {
    return static_cast<QListView*>(dialog.controls.value("filelist"));
}

QStringList shownFiles(dialogs::SelectFile& dialog) {
    auto* list = fileList(dialog);
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

void type(dialogs::SelectFile& dialog, const QString& text) {
    auto* box = dialog.controls.value("filename");
    static_cast<QPlainTextEdit*>(box)->clear();
    QTest::keyClicks(box, text);
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
        QVERIFY(QDir(m_dir.path()).mkpath("folder.txt"));
        QFile inSub(m_dir.filePath("sub/e.txt"));
        QVERIFY(inSub.open(QIODevice::WriteOnly));
    }

    // Only files stand in the list, those the mask takes: no folder, even
    // one whose name the mask takes.
    void choosesAFileInTheStartFolder() {
        const QString path = choose(m_dir.path() + "/", [&](dialogs::SelectFile& d) {
            QTRY_COMPARE(shownFiles(d), QStringList({"a.txt", "b.txt", "c.txt"}));
            QCOMPARE(d.windowTitle(), "Select command list");
            QCOMPARE(typed(d, "filemask"), "*.txt");
            QCOMPARE(d.focusWidget(), d.controls.value("filename")); // ready for a name
            QTest::keyClicks(d.controls.value("filename"), "a.txt");
        });
        QCOMPARE(path, m_dir.filePath("a.txt"));
        QCOMPARE(QDir::currentPath(), m_dir.path());
#ifdef Q_OS_UNIX
        choose("/", [&](dialogs::SelectFile& d) {
            QTest::qWait(200);
            for (const QString& name : shownFiles(d))
                QVERIFY2(!QFileInfo("/" + name).isDir(), qPrintable(name));
        });
#endif
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
                QTest::keyClick(mask, Qt::Key_Return);
                QVERIFY(d.isVisible()); // Return in the mask chooses nothing
            },
            "");
    }

    // A start folder that does not exist gives the program's folder.
    void startFolders() {
        QString shown;
        choose(m_dir.filePath("nowhere"), [&](dialogs::SelectFile& d) { shown = d.dirFolder(); });
        QCOMPARE(shown, QString::fromStdString(util::programdirectory()));
        QCOMPARE(QDir::currentPath(), shown);
    }

    // A name is taken as written: absolute, from a home folder, or with
    // folders below the shown one; Return in the name box is OK.
    void typedNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path"); // "{dir}" the shown folder, "{home}" the user's
        QTest::newRow("plain") << "a.txt"
                               << "{dir}/a.txt";
        QTest::newRow("absolute") << "{dir}/sub/e.txt"
                                  << "{dir}/sub/e.txt";
        QTest::newRow("absolute, elsewhere") << "/nowhere/r.txt"
                                             << "/nowhere/r.txt";
        QTest::newRow("relative with folders") << "sub/inner/n.txt"
                                               << "{dir}/sub/inner/n.txt";
        QTest::newRow("up and back") << "./sub/../b.txt"
                                     << "{dir}/b.txt";
        QTest::newRow("home") << "~/new.txt"
                              << "{home}/new.txt";
#ifdef Q_OS_UNIX
        QTest::newRow("a user's home")
            << "~root/x.txt" << QFile::decodeName(::getpwnam("root")->pw_dir) + "/x.txt";
#endif
        QTest::newRow("not a user") << "~nosuchuser9/x.txt"
                                    << "{dir}/~nosuchuser9/x.txt";
        QTest::newRow("line breaks after it") << "c.txt\n\n"
                                              << "{dir}/c.txt";
    }
    void typedNames() {
        QFETCH(QString, name);
        QFETCH(QString, path);
        name.replace("{dir}", m_dir.path());
        path.replace("{dir}", m_dir.path()).replace("{home}", QDir::homePath());
        const QString chosen = choose(m_dir.path(), [&](dialogs::SelectFile& d) {
            d.setFileName(name);
            QTest::keyClick(d.controls.value("filename"), Qt::Key_Return);
            QVERIFY(!d.isVisible());
        });
        QCOMPARE(chosen, path);
    }

    // A typed folder moves the dialog there and a typed pattern becomes the
    // mask; neither ends it.
    void typedFolderOrPattern() {
        const QString path = choose(m_dir.path(), [&](dialogs::SelectFile& d) {
            type(d, "sub");
            QTest::keyClick(d.controls.value("filename"), Qt::Key_Return);
            QVERIFY(d.isVisible());
            QCOMPARE(d.dirFolder(), m_dir.filePath("sub"));
            QTRY_COMPARE(shownFiles(d), QStringList{"e.txt"});
            type(d, "*.log");
            QTest::keyClick(d.controls.value("filename"), Qt::Key_Enter, Qt::KeypadModifier);
            QCOMPARE(typed(d, "filemask"), "*.log");
            QVERIFY(d.isVisible());
            type(d, "e.txt");
        });
        QCOMPARE(path, m_dir.filePath("sub/e.txt"));
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

    // Names from the list, by a double click or by Return there (which also
    // chooses), or typed one a line with Shift+Return.
    void severalNames_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("double click") << "double click";
        QTest::newRow("return in the list") << "return";
        QTest::newRow("typed") << "typed";
    }
    void severalNames() {
        QFETCH(QString, how);
        const QString path = choose(m_dir.path(), [&](dialogs::SelectFile& d) {
            if (how == "typed") {
                QTest::keyClicks(d.controls.value("filename"), "b.txt");
                QTest::keyClick(d.controls.value("filename"), Qt::Key_Return, Qt::ShiftModifier);
                QTest::keyClicks(d.controls.value("filename"), "c.txt");
                QVERIFY(d.isVisible());
                return;
            }
            QTRY_COMPARE(shownFiles(d).size(), 3);
            auto* list = fileList(d);
            auto* view = static_cast<QSortFilterProxyModel*>(list->model());
            auto* files = static_cast<QFileSystemModel*>(view->sourceModel());
            const QModelIndex b = view->mapFromSource(files->index(m_dir.filePath("b.txt")));
            const QModelIndex c = view->mapFromSource(files->index(m_dir.filePath("c.txt")));
            list->selectionModel()->select(c, QItemSelectionModel::Select);
            list->selectionModel()->select(b, QItemSelectionModel::Select);
            if (how == "return") {
                QTest::keyClick(list, Qt::Key_Return);
                QVERIFY(!d.isVisible());
                return;
            }
            emit list->doubleClicked(c);
            QCOMPARE(typed(d, "filename"), "b.txt\nc.txt");
            QCOMPARE(typed(d, "filecount"), "2");
        });
        QCOMPARE(path, m_dir.filePath("b.txt ,c.txt"));
    }

    // Cancel, Escape, the close box, and OK without a name all give nothing,
    // whatever the name box holds.
    void noName_data() {
        QTest::addColumn<QString>("how");
        for (const char* how : {"cancel", "escape", "close box", "ok without a name"})
            QTest::newRow(how) << QString(how);
    }
    void noName() {
        QFETCH(QString, how);
        int result = -1;
        const QString path = choose(m_dir.path(), [&](dialogs::SelectFile& d) {
            d.setFileName(how == "ok without a name" ? "" : "a.txt");
            connect(&d, &QDialog::finished, [&](int r) { result = r; });
            if (how == "cancel")
                QTest::mouseClick(d.controls.value("cancelbutton"), Qt::LeftButton);
            if (how == "escape") QTest::keyClick(d.controls.value("filename"), Qt::Key_Escape);
            if (how == "close box") d.close();
        });
        QCOMPARE(path, QString());
        QCOMPARE(result, how == "ok without a name" ? QDialog::Accepted : QDialog::Rejected);
    }

    // Saving keeps its name when the folder changes and refuses, saying why,
    // a name that cannot be written; the dialog stays open for another.
    void saveNames() {
        QStringList refusals;
        auto refuse = [&](dialogs::SelectFile& d, const QString& name) {
            d.setFileName(name);
            QString message;
            QTimer::singleShot(0, [&] {
                auto* alert = qobject_cast<dialogs::Alert*>(QApplication::activeModalWidget());
                QVERIFY(alert);
                message = alert->findChild<QPlainTextEdit*>("message")->toPlainText();
                QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(alert, &escape);
            });
            QTest::mouseClick(d.controls.value("okbutton"), Qt::LeftButton);
            QVERIFY2(d.isVisible(), qPrintable(name));
            refusals << message;
        };
        const QString path = choose(
            m_dir.path(),
            [&](dialogs::SelectFile& d) {
                d.setDirFolder(m_dir.filePath("sub"));
                QCOMPARE(typed(d, "filename"), "session.txt");
                refuse(d, m_dir.filePath("missing/r.txt"));
                refuse(d, m_dir.filePath("a.txt/r.txt"));
                refuse(d, "r.txt\ns.txt");
#ifdef Q_OS_LINUX
                refuse(d, "/dev/null");
#endif
                type(d, "../folder.txt");
                QTest::keyClick(d.controls.value("filename"), Qt::Key_Return);
                QCOMPARE(d.dirFolder(), m_dir.filePath("folder.txt"));
                QCOMPARE(typed(d, "filename"), "session.txt");
                type(d, "../sub/r.txt");
            },
            "*.txt", dialogs::Purpose::Save, "session.txt");
        QCOMPARE(path, m_dir.filePath("sub/r.txt"));
        QCOMPARE(refusals.value(0), m_dir.filePath("missing/r.txt") +
                                        " cannot be saved: the folder " +
                                        m_dir.filePath("missing") + " does not exist.");
        QCOMPARE(refusals.value(1), m_dir.filePath("a.txt/r.txt") + " cannot be saved: " +
                                        m_dir.filePath("a.txt") + " is not a folder.");
        QCOMPARE(refusals.value(2), "Give one file name.");
#ifdef Q_OS_LINUX
        QCOMPARE(refusals.value(3), "/dev/null is not a plain file (a device, pipe or socket).");
#endif
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
