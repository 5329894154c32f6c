// The bus picture in the window: shown over the queue and the activity view
// one overlay at a time, fed as the view is, read by mouse, keys and screen
// reader, and exported as the files say.
#include "app/pictureview.h"
#include "dialogs/selectfile.h"
#include "render/picturepainter.h"
#include "windowfixture.h"

#include <QAccessibleTextInterface>
#include <QImage>
#include <QScrollBar>
#include <QtTest>

namespace {

const QByteArray kKnown = "!0010SW90aW01aW00aPd0ASW90aW00aSW91aR19aR80nP21\r";

app::PictureView* pictureOf(WindowFixture& f) {
    return f.window->findChild<app::PictureView*>(QStringLiteral("picture"));
}

// The known answer arrived and the picture shown with F2.
app::PictureView* showKnownAnswer(WindowFixture& f) {
    f.show();
    f.choosePort(7);
    f.port.deliver(kKnown);
    QTest::keyClick(f.window.get(), Qt::Key_F2);
    return pictureOf(f);
}

QString lineAt(app::PictureView* view, int offset) {
    auto* text = QAccessible::queryAccessibleInterface(view)->textInterface();
    int start = 0, end = 0;
    return text->textAtOffset(offset, QAccessible::LineBoundary, &start, &end);
}

} // namespace

class TestPicture : public QObject {
    Q_OBJECT
  private slots:
    // F2 and the view's menu show it in place of the help; Escape returns.
    void oneOverlayAtATime() {
        WindowFixture f;
        f.show();
        auto* picture = pictureOf(f);
        QVERIFY(picture->isHidden());
        f.click("Command3");
        QTest::keyClick(f.window.get(), Qt::Key_F2);
        QVERIFY(picture->isVisible());
        QCOMPARE(picture->geometry(), f["helpbox"]->geometry());
        QCOMPARE(QApplication::focusWidget(), picture);
        QTest::keyClick(picture, Qt::Key_Escape);
        QVERIFY(picture->isHidden());
        QCOMPARE(QApplication::focusWidget(), f["Command3"]);
        f.action("Show as picture")->trigger();
        QVERIFY(picture->isVisible());
        QTest::keyClick(f.window.get(), Qt::Key_F2);
        QVERIFY(picture->isHidden());
    }

    // What arrives is drawn when shown, at the views' pace; a script answer
    // starts afresh as the view does, and so does the view's double-click.
    void fedAsTheViewIs() {
        WindowFixture f;
        f.show();
        f.choosePort(7);
        auto* picture = pictureOf(f);
        f.port.deliver("!0020H\r");
        f.port.deliver(kKnown);
        f.window->showPending();
        QCOMPARE(picture->picture().rows().size(), std::size_t(4));
        f.port.deliver("!0020L\r");
        QTest::keyClick(f.window.get(), Qt::Key_F2);
        QCOMPARE(picture->rowsInSight(), std::make_pair(std::size_t(0), std::size_t(5)));
        QCOMPARE(lineAt(picture, 0),
                 "S 0x48 W A 0x01 A 0x00 A P - 0x48 configuration written: 0x00\n");
        QTest::keyClick(picture, Qt::Key_Escape);
        f.doubleClick("i2cparser");
        QVERIFY(picture->picture().rows().empty());
    }

    // The keys walk the boxes; each says its byte and meaning to the tip,
    // the accessible description and the caret.
    void keysReadTheBoxes() {
        WindowFixture f;
        auto* picture = showKnownAnswer(f);
        QTest::keyClick(picture, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(picture->current(), std::make_pair(0, 0));
        QTest::keyClick(picture, Qt::Key_Down);
        QTest::keyClick(picture, Qt::Key_Down);
        QTest::keyClick(picture, Qt::Key_Home);
        QCOMPARE(picture->current(), std::make_pair(2, 0));
        QTest::keyClick(picture, Qt::Key_Up);
        QCOMPARE(picture->current(), std::make_pair(1, 0));
        QTest::keyClick(picture, Qt::Key_Down);
        QTest::keyClick(picture, Qt::Key_Home);
        for (int i = 0; i < 6; ++i)
            QTest::keyClick(picture, Qt::Key_Right);
        const QString tip = QString::fromUtf8(
            "0x91 = 145 = 0b10010001\naddress 0x48, read\nAck: the slave took it\n"
            "0x48 temperature: 25.5 \u00B0C");
        QCOMPARE(picture->currentTip(), tip);
        QCOMPARE(picture->accessibleDescription(), tip);
        auto* text = QAccessible::queryAccessibleInterface(picture)->textInterface();
        QCOMPARE(text->text(text->cursorPosition(), text->cursorPosition() + 6),
                 QStringLiteral("0x48 R"));
        // Left past a strip's first box goes to the end of the one before.
        QTest::keyClick(picture, Qt::Key_Home);
        QTest::keyClick(picture, Qt::Key_Left);
        QCOMPARE(picture->current(), std::make_pair(1, 0));
        // Right past a strip's last box goes to the next one.
        QTest::keyClick(picture, Qt::Key_Right);
        QCOMPARE(picture->current(), std::make_pair(2, 0));
        QTest::keyClick(picture, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(picture->current(), std::make_pair(3, 0));
        QTest::keyClick(picture, Qt::Key_Right);
        QCOMPARE(picture->current(), std::make_pair(3, 0));
        // A new answer takes the strips the keys were on; the keys start
        // again from the newest.
        f.port.deliver(kKnown);
        picture->repaint();
        QCOMPARE(picture->currentTip(), QString());
        QTest::keyClick(picture, Qt::Key_Right);
        QCOMPARE(picture->current(), std::make_pair(7, 0));
    }

    // A reader scrolled back keeps the strips in sight while more come and
    // old ones go; at the end, the newest follow.
    void scrolledBackStays() {
        app::PictureView view(400);
        view.resize(420, 300);
        view.show();
        view.hide();
        for (int i = 0; i < 200; ++i)
            view.addFrame("!0020H\r");
        // What came while hidden is there when shown.
        view.show();
        QScrollBar* bar = view.verticalScrollBar();
        QCOMPARE(bar->value(), bar->maximum());
        bar->setValue(bar->maximum() / 2);
        const auto rows = view.picture().rows();
        const std::size_t firstShown = view.rowsInSight().first;
        const double top = rows[firstShown].top;
        // Enough to drop the oldest strips, not those in sight.
        for (std::size_t i = 0; i < bus::kMaxBoxes - 170; ++i)
            view.addFrame("!0020L\r");
        view.flush();
        QVERIFY(view.picture().firstRowNumber() > 0);
        const auto [first, last] = view.rowsInSight();
        QVERIFY(first < last);
        QCOMPARE(view.picture().rows()[first].top, top);
        bar->setValue(bar->maximum());
        view.addFrame("!0020H\r");
        view.flush();
        QCOMPARE(view.rowsInSight().second, view.picture().rows().size());
    }

    // A slave's refusal is drawn as one, where the file's page puts it,
    // beside a master's Nack that is not.
    void pngShowsTheRefusal() {
        bus::Picture picture;
        picture.addFrame("!0010SW91aR19nPSW22nP\r");
        for (const std::size_t first : {0, 1}) {
            const auto png = render::pictureFile(picture, first, 2, "png");
            QVERIFY(png);
            const QImage image = QImage::fromData(*png, "PNG");
            const double dy = bus::kMargin - picture.rows()[first].top;
            auto inside = [&](const bus::Box& box) {
                return image.pixelColor(int(box.x + 3), int(box.y + dy + 3));
            };
            const bus::Box& refusal = picture.rows()[1].boxes[2];
            QCOMPARE(refusal.label, std::string("N"));
            QCOMPARE(inside(refusal), render::PictureStyle().alarm);
            const bus::Box& lastRead = picture.rows()[0].boxes[4];
            QCOMPARE(lastRead.label, std::string("N"));
            if (first == 0) QCOMPARE(inside(lastRead), QColor(Qt::white));
        }
    }

    // Export writes the strips in sight, by the name's format.
    void exportsWhatIsInSight_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("svg") << "bus.svg";
        QTest::newRow("png") << "bus.PNG";
    }
    void exportsWhatIsInSight() {
        QFETCH(QString, name);
        WindowFixture f;
        auto* picture = showKnownAnswer(f);
        // More than the view holds: the newest are in sight, the oldest not.
        for (int i = 0; i < 300; ++i)
            f.port.deliver("!0020H\r");
        f.window->showPending();
        whenShown<dialogs::SelectFile>([=](dialogs::SelectFile& d) {
            d.setFileName(name);
            d.okbutton_Click();
        });
        f.action(QString::fromUtf8("Export picture\u2026"))->trigger();
        const QByteArray bytes = contents(f.dir.filePath(name));
        const auto [first, last] = picture->rowsInSight();
        QVERIFY(first > 0);
        QCOMPARE(last, picture->picture().rows().size());
        if (name.endsWith(".svg")) {
            QCOMPARE(bytes.toStdString(), bus::svgOf(picture->picture(), first, last));
        } else {
            const QImage image = QImage::fromData(bytes, "PNG");
            QCOMPARE(image.size(), render::pictureSize(picture->picture(), first, last));
            const auto page = bus::pageSize(picture->picture(), first, last);
            QCOMPARE(image.size(), QSize(int(page.width), int(page.height)));
        }
        QVERIFY(f.alerts.isEmpty());
    }
};

QTEST_MAIN(TestPicture)
#include "tst_picture.moc"
