// The file selection dialog, driven as a user would.
#include "accessiblenames.h"
#include "dialogs/alert.h"
#include "dialogs/filenames.h"
#include "dialogs/selectfile.h"
#include "modalguard.h"
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
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>
#endif

namespace {

using Answer = std::function<void(dialogs::SelectFile&)>;

// Runs choosefile; `answer` acts on the shown dialog, then OK is pressed
// unless it closed the dialog itself.
QString choose(const QString& start, const Answer& answer, const QString& mask = "*.txt",
               dialogs::Purpose purpose = dialogs::Purpose::Open,
               const QString& initial = QString()) {
    ModalGuard guard; // a check that fails inside leaves the dialog to it
    QObject scope;    // a dialog that never shows: the answer goes with this call
    QTimer::singleShot(0, &scope, [&] {
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

// The directory list's model, and where it shows a path (invalid: not shown).
QFileSystemModel* filesOf(QAbstractItemView* list) {
    return static_cast<QFileSystemModel*>(
        static_cast<QSortFilterProxyModel*>(list->model())->sourceModel());
}
QModelIndex shownIndex(QAbstractItemView* list, const QString& path) {
    return static_cast<QSortFilterProxyModel*>(list->model())
        ->mapFromSource(filesOf(list)->index(path));
}

// The file list's entry that shows name.
QModelIndex listed(dialogs::SelectFile& dialog, const QString& name) {
    auto* model = static_cast<QListView*>(dialog.controls.value("filelist"))->model();
    const auto found = model->match(model->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly);
    return found.isEmpty() ? QModelIndex() : found.front();
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

    // A screen reader finds every control named; what shows text gives it
    // as text.
    void namesForScreenReaders() {
        dialogs::SelectFile dialog;
        verifyNamedControls(&dialog);
    }

    // Only files stand in the list, those the mask takes: no folder, even
    // one whose name the mask takes or one the way here went through.
    void choosesAFileInTheStartFolder() {
        const QString path = choose(m_dir.path() + "/", [&](dialogs::SelectFile& d) {
            QTRY_COMPARE(shownFiles(d), QStringList({"a.txt", "b.txt", "c.txt"}));
            QCOMPARE(d.windowTitle(), "Select command list");
            // A screen reader names the lists by their labels.
            QCOMPARE(d.controls.value("dirlist")->accessibleName() + "|" +
                         d.controls.value("filecount")->accessibleName(),
                     "Directories:|Files: ");
            QCOMPARE(typed(d, "filemask"), "*.txt");
            QCOMPARE(d.focusWidget(), d.controls.value("filename")); // ready for a name
            QTest::keyClicks(d.controls.value("filename"), "a.txt");
        });
        QCOMPARE(path, m_dir.filePath("a.txt"));
        QCOMPARE(QDir::currentPath(), m_dir.path());
#ifdef Q_OS_UNIX
        choose(m_dir.path(), [&](dialogs::SelectFile& d) {
            d.setDirFolder("/");
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

    // A name is taken as written: absolute, from a home folder, or with
    // folders below the shown one; Return in the name box is OK.
    void typedNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path"); // "{dir}" the shown folder, "{home}" the user's
        auto row = [](const char* name, const QString& typed, const QString& path) {
            QTest::newRow(name) << typed << path;
        };
        row("absolute, elsewhere", "/nowhere/r.txt", "/nowhere/r.txt");
        row("up and back", "./sub/../b.txt", "{dir}/b.txt");
        row("home", "~/new.txt", "{home}/new.txt");
#ifdef Q_OS_UNIX
        row("a user's home", "~root/x.txt",
            QFile::decodeName(::getpwnam("root")->pw_dir) + "/x.txt");
#endif
        row("not a user", "~nosuchuser9/x.txt", "{dir}/~nosuchuser9/x.txt");
        row("line breaks after it", "c.txt\n\n", "{dir}/c.txt");
    }
    void typedNames() {
        QFETCH(QString, name);
        QFETCH(QString, path);
        path.replace("{dir}", m_dir.path()).replace("{home}", QDir::homePath());
        const QString chosen = choose(m_dir.path(), [&](dialogs::SelectFile& d) {
            d.setFileName(name);
            QTest::keyClick(d.controls.value("filename"), Qt::Key_Return);
            QVERIFY(!d.isVisible());
        });
        QCOMPARE(chosen, path);
    }

    // A folder chosen in the folder list moves the dialog there and empties
    // the name; the list shows the path down to it and its subfolders, no
    // siblings. A typed folder moves it too, and a typed pattern becomes the
    // mask; neither ends it.
    void changingFolder() {
        const QString path = choose(m_dir.path(), [&](dialogs::SelectFile& d) {
            d.setFileName("a.txt");
            auto* dirs = static_cast<QTreeView*>(d.controls.value("dirlist"));
            QModelIndex sub;
            QTRY_VERIFY((sub = shownIndex(dirs, m_dir.filePath("sub"))).isValid());
            emit dirs->activated(sub);
            QCOMPARE(d.dirFolder() + "|" + typed(d, "filename"), m_dir.filePath("sub") + "|");
            QTRY_COMPARE(shownFiles(d), QStringList{"e.txt"});
            QTRY_COMPARE(dirs->model()->rowCount(dirs->currentIndex()), 1);
            type(d, "..");
            QTest::keyClick(d.controls.value("filename"), Qt::Key_Return);
            QVERIFY(d.isVisible());
            QCOMPARE(d.dirFolder(), m_dir.path());
            QTRY_COMPARE(shownFiles(d), QStringList({"a.txt", "b.txt", "c.txt"}));
            type(d, "*.log");
            QTest::keyClick(d.controls.value("filename"), Qt::Key_Enter, Qt::KeypadModifier);
            QVERIFY(d.isVisible());
            QCOMPARE(typed(d, "filemask") + "|" + typed(d, "filename"), "*.log|");
            type(d, "sub/e.txt");
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
            const QModelIndex c = listed(d, "c.txt");
            list->selectionModel()->select(c, QItemSelectionModel::Select);
            list->selectionModel()->select(listed(d, "b.txt"), QItemSelectionModel::Select);
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
        auto refuse = [&](dialogs::SelectFile& d, const QString& name, const QString& reason) {
            d.setFileName(name);
            QString message;
            QObject scope; // no alert shown: the look goes with this call
            QTimer::singleShot(0, &scope, [&] {
                auto* alert = qobject_cast<dialogs::Alert*>(QApplication::activeModalWidget());
                QVERIFY(alert);
                message = alert->findChild<QPlainTextEdit*>("message")->toPlainText();
                QTest::keyClick(alert, Qt::Key_Escape);
            });
            QTest::mouseClick(d.controls.value("okbutton"), Qt::LeftButton);
            QVERIFY2(d.isVisible(), qPrintable(name));
            QCOMPARE(message, reason);
        };
        const QString path = choose(
            m_dir.path(),
            [&](dialogs::SelectFile& d) {
                d.setDirFolder(m_dir.filePath("sub"));
                QCOMPARE(typed(d, "filename"), "session.txt");
                const QString missing = m_dir.filePath("missing"), file = m_dir.filePath("a.txt");
                refuse(d, missing + "/r.txt",
                       missing + "/r.txt cannot be saved: the folder " + missing +
                           " does not exist.");
                refuse(d, file + "/r.txt",
                       file + "/r.txt cannot be saved: " + file + " is not a folder.");
                refuse(d, "r.txt\ns.txt", "Give one file name.");
#ifdef Q_OS_LINUX
                refuse(d, "/dev/null", "/dev/null is not a plain file (a device, pipe or socket).");
                // A file there, but no new one can take its place.
                refuse(d, "/proc/sys/kernel/ostype",
                       "/proc/sys/kernel/ostype cannot be saved: the folder /proc/sys/kernel "
                       "cannot be written (no permission, or a read-only disk).");
#endif
                type(d, "../folder.txt");
                QTest::keyClick(d.controls.value("filename"), Qt::Key_Return);
                QCOMPARE(d.dirFolder(), m_dir.filePath("folder.txt"));
                QCOMPARE(typed(d, "filename"), "session.txt");
                type(d, "../sub/r.txt");
            },
            "*.txt", dialogs::Purpose::Save, "session.txt");
        QCOMPARE(path, m_dir.filePath("sub/r.txt"));
    }

    // A start folder that does not exist gives the program's folder; one
    // that goes away while shown lists nothing and stops nothing.
    void missingFolders() {
        QString shown;
        choose(m_dir.filePath("nowhere"), [&](dialogs::SelectFile& d) { shown = d.dirFolder(); });
        QCOMPARE(shown, QString::fromStdString(util::programdirectory()));
        QCOMPARE(QDir::currentPath(), shown);
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

    // A name's bytes come back whole through the QString it is carried in;
    // each byte that is not UTF-8 shows as U+FFFD.
    void namesAsBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("ascii") << QByteArray("a.txt") << "a.txt";
        QTest::newRow("utf-8") << QByteArray("caf\xc3\xa9 \xf0\x9f\x94\x8c") << "café 🔌";
        QTest::newRow("latin-1") << QByteArray("caf\xe9.txt") << "caf\uFFFD.txt";
        QTest::newRow("past unicode")
            << QByteArray("\xf4\x90\x80\x80") << QString(4, QChar(0xFFFD));
    }
    void namesAsBytes() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        const QString name = dialogs::nameFromBytes(bytes);
        QCOMPARE(dialogs::bytesOfName(name), bytes);
        QCOMPARE(dialogs::shownName(name), shown);
        QCOMPARE(dialogs::hasUndecodedBytes(name), shown.contains(QChar(0xFFFD)));
    }

#ifdef Q_OS_UNIX
    // Such a name is listed and chosen byte for byte (typed as it shows, in
    // tst_windowfiles); a save under it is refused, with the reason.
    void namesThatAreNotText() {
        const QByteArray bytes = QFile::encodeName(m_dir.path()) + "/caf\xe9.txt";
        const int fd = ::open(bytes.constData(), O_CREAT | O_WRONLY, 0600);
        QVERIFY(fd >= 0);
        ::close(fd);
        auto remove = qScopeGuard([&] { ::unlink(bytes.constData()); });
        const QString shown = QStringLiteral("caf\uFFFD.txt");
        const QString path = choose(m_dir.path(), [&](dialogs::SelectFile& d) {
            QCOMPARE(shownFiles(d), QStringList({"a.txt", "b.txt", "c.txt", shown}));
            auto* list = fileList(d);
            list->selectionModel()->select(listed(d, shown), QItemSelectionModel::Select);
            emit list->doubleClicked(listed(d, shown));
        });
        QCOMPARE(dialogs::bytesOfName(path), bytes);
        QCOMPARE(dialogs::writeRefusal(path),
                 m_dir.path() + "/" + shown +
                     " cannot be saved here: its name is not valid UTF-8. Give another name.");
    }
#endif

  private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestSelectFile)
#include "tst_selectfile.moc"
