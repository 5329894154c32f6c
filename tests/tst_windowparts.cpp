// The window's parts on widgets of their own: the port list's note, the
// script library's load notes, the overlays' focus, the lists' keys.
#include "app/inputfilters.h"
#include "app/overlays.h"
#include "app/portpanel.h"
#include "app/scriptlibrary.h"
#include "fakeport.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class TestWindowParts : public QObject {
    Q_OBJECT
  private slots:
    // Given something to send with no port open, the list is marked and
    // the note stands for a few seconds; a port that opens clears both.
    void nothingSentNote() {
        QWidget window;
        auto* list = new QComboBox(&window);
        list->addItems({"Select", "COM1"});
        serial::FakePort port;
        serial::ModuleSession session(port);
        serial::PortKeeper keeper(port, session);
        QStringList alerts;
        app::PortPanel panel(list, keeper, [&](const QString& t, const QString&) { alerts << t; });
        window.show();
        const QColor plain = list->palette().color(QPalette::Button);
        panel.showNothingSent();
        QVERIFY(panel.notice()->isVisible());
        QVERIFY(list->palette().color(QPalette::Button) != plain);
        QVERIFY(list->accessibleDescription().startsWith("No port is open"));
        QTRY_VERIFY_WITH_TIMEOUT(!panel.notice()->isVisible(), 8000);
        QVERIFY(keeper.nothingSent()); // the mark stays until a port opens
        panel.showNothingSent();
        list->setCurrentIndex(1);
        panel.portselect_Click();
        QVERIFY(!panel.notice()->isVisible());
        QCOMPARE(list->palette().color(QPalette::Button), plain);
        QCOMPARE(list->accessibleDescription(), "");
        QVERIFY(alerts.isEmpty());
    }

    // Blocks cut at the queue's limit are named, five at most.
    void loadNotesNameFiveCutBlocks() {
        QWidget window;
        app::LibraryWidgets w{
            new QPlainTextEdit(&window), new QComboBox(&window), new QComboBox(&window), {}};
        for (auto& button : w.cmmd)
            button = new QPushButton(&window);
        QStringList alerts;
        app::ScriptLibrary library(
            w, [&](const QString&, const QString& message, int) { alerts << message; }, &window);
        QTemporaryDir dir;
        QFile file(dir.filePath("cut.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        for (int k = 1; k <= 7; ++k)
            file.write(";B" + QByteArray::number(k) + "\r\n" +
                       QByteArray("Stop\r\n").repeated(library::kQueueLines + 1));
        file.close();
        library.loadScriptFile(file.fileName());
        QCOMPARE(alerts.size(), 1);
        QVERIFY2(alerts[0].endsWith(R"(of "B1", "B2", "B3", "B4", "B5", 2 more.)"),
                 qPrintable(alerts[0]));
        QCOMPARE(w.cmmd[6]->text(), "B7");
    }

    // What the help or the picture covers takes no focus while it stands,
    // and takes Tab and clicks again once it goes; one stands at a time.
    void coveredBoxesComeBack() {
        QWidget window;
        auto* help = new QPlainTextEdit(&window);
        auto* connector = new QWidget(&window);
        auto* picture = new QPlainTextEdit(&window);
        auto* queue = new QPlainTextEdit(&window);
        auto* view = new QPlainTextEdit(&window);
        auto* helpButton = new QPushButton(&window);
        app::Overlays overlays(
            {help, connector, picture, {queue, view}, helpButton, new QPushButton(&window)});
        for (QWidget* overlay :
             {static_cast<QWidget*>(help), connector, static_cast<QWidget*>(picture)})
            overlay->hide();
        window.show();
        queue->setFocus();
        overlays.toggle(help);
        QCOMPARE(queue->focusPolicy(), Qt::NoFocus);
        QCOMPARE(window.focusWidget(), help);
        overlays.toggle(picture);
        QVERIFY(help->isHidden());
        QCOMPARE(window.focusWidget(), picture);
        overlays.toggle(connector);
        QVERIFY(picture->isHidden());
        overlays.toggle(picture);
        QVERIFY(connector->isHidden());
        overlays.toggle(picture);
        QVERIFY(picture->isHidden());
        QCOMPARE(queue->focusPolicy(), Qt::StrongFocus);
        QCOMPARE(view->focusPolicy(), Qt::StrongFocus);
        QCOMPARE(window.focusWidget(), queue);
    }

    // A list is chosen from, never typed into; Space opens it.
    void listsAreChosenFrom() {
        QComboBox list;
        list.addItems({"a", "b"});
        app::ChooseOnly::install(&list);
        list.show();
        QTest::keyClick(&list, Qt::Key_B);
        QCOMPARE(list.currentIndex(), 0);
        QTest::keyClick(&list, Qt::Key_Space);
        QTRY_VERIFY(list.view()->isVisible());
        list.hidePopup();
    }
};

QTEST_MAIN(TestWindowParts)
#include "tst_windowparts.moc"
