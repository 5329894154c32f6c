// The window where users have it: any screen at any scale, any palette.
// Run on several screens (see CMakeLists.txt): each answers for its own.
#include "app/layout.h"
#include "app/queuemarks.h"
#include "darkpalette.h"
#include "dialogs/form.h"
#include "windowfixture.h"

#include <QAbstractScrollArea>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleFactory>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

namespace {

QScrollArea* areaOf(const WindowFixture& f) {
    return f.window->findChild<QScrollArea*>();
}

// The part of w a user sees in the window, in the window's coordinates.
QRect seen(const WindowFixture& f, QWidget* w) {
    QWidget* viewport = areaOf(f)->viewport();
    const QRect sight(viewport->mapTo(f.window.get(), QPoint()), viewport->size());
    return sight.intersected(QRect(w->mapTo(f.window.get(), QPoint()), w->size()));
}

// Every command group, a comment, a warning and an error, one a line.
const char* const kEveryColour = "Start\r\nSpeed\r\nDelayu 05\r\nGP0LO\r\nSetV 2.5\r\nSCL0\r\n"
                                 "; a comment\r\nWrite 0x1FF\r\nNonsense\r\n";

} // namespace

class TestScreens : public QObject {
    Q_OBJECT
  private slots:
    // Never off the free area: the layout's size where it fits, fixed;
    // else a window that fits and scrolls, and grows back no further.
    void windowFitsTheScreen() {
        WindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        const QRect free = f.window->screen()->availableGeometry();
        const QSize layout(822, 606);
        QVERIFY2(free.contains(f.window->frameGeometry()),
                 qPrintable(QStringLiteral("%1x%2 on %3x%4")
                                .arg(f.window->width())
                                .arg(f.window->height())
                                .arg(free.width())
                                .arg(free.height())));
        const QSize frame = f.window->frameGeometry().size() - f.window->size();
        const QSize room = free.size() - frame;
        const int bar = QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        const QSize fits = room.boundedTo(layout + QSize(room.height() < layout.height() ? bar : 0,
                                                         room.width() < layout.width() ? bar : 0));
        QCOMPARE(f.window->size(), fits);
        QCOMPARE(f.window->minimumSize(), fits);
        // A bar only where the content does not fit across the window.
        auto* area = areaOf(f);
        QCOMPARE(area->horizontalScrollBar()->isVisible(),
                 area->viewport()->width() < layout.width());
        QCOMPARE(area->verticalScrollBar()->isVisible(),
                 area->viewport()->height() < layout.height());
        QCOMPARE(area->viewport()->width() < layout.width(), room.width() < layout.width());
        // Made larger than the screen holds, it fits again when the screen
        // changes.
        f.window->resize(f.window->maximumSize());
        emit f.window->screen()->availableGeometryChanged(free);
        QCOMPARE(f.window->size(), fits);
    }

    // Tab brings each control into sight, and every control can be scrolled
    // to and takes a click where it shows, nothing over it.
    void everyControlCanBeReachedAndClicked() {
        WindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f["portselect"]->setFocus();
        QStringList tabbed;
        for (int i = 0; i < 100; ++i) {
            QWidget* w = QApplication::focusWidget();
            QCOMPARE(seen(f, w).size(), w->size().boundedTo(areaOf(f)->viewport()->size()));
            tabbed << w->objectName();
            const bool inQueue = w == f["commands"];
            QTest::keyClick(w, Qt::Key_Tab, inQueue ? Qt::ControlModifier : Qt::NoModifier);
            if (QApplication::focusWidget() == f["portselect"]) break;
        }
        QVERIFY2(tabbed.contains("cmmd(0)") && tabbed.contains("cmmd(26)"),
                 qPrintable(tabbed.join(' ')));
        // The token menu's entries are stepped through with the arrows.
        f["Label2(0)"]->setFocus();
        for (int i = 0; i < 28; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), f["Label2(27)"]);
        QCOMPARE(seen(f, f["Label2(27)"]).size(), f["Label2(27)"]->size());
        for (const auto& row : app::mainRows()) {
            QWidget* w = f[row.name];
            if (!w || !w->isVisible() || w->testAttribute(Qt::WA_TransparentForMouseEvents))
                continue;
            areaOf(f)->ensureWidgetVisible(w, 0, 0);
            const QRect sight = seen(f, w);
            QVERIFY2(!sight.isEmpty(), qPrintable(row.name));
            QWidget* hit = f.window->childAt(sight.center());
            QVERIFY2(hit == w || w->isAncestorOf(hit), qPrintable(row.name));
        }
        QWidget* ping = f["cmmd(18)"];
        areaOf(f)->ensureWidgetVisible(ping, 0, 0);
        QWidget* target = f.window->childAt(seen(f, ping).center());
        QTest::mouseClick(target, Qt::LeftButton, {},
                          target->mapFrom(f.window.get(), seen(f, ping).center()));
        QCOMPARE(f.text("txbufferbox"), "$0019[cr]"); // Ping's last frame
    }

    // On a dark page every text of a fixed colour reads at 4.5:1 at least:
    // the token menu, the queue's marks, the no-port mark. On a light page
    // the colours stand as designed.
    void coloursReadOnAnyPage() {
        const QPalette theme = QApplication::palette();
        const QString style = QApplication::style()->name();
        auto restore = qScopeGuard([&] {
            QApplication::setPalette(theme);
            QApplication::setStyle(style);
        });
        for (bool dark : {true, false}) {
            QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
            QApplication::setPalette(dark ? darkPalette()
                                          : QApplication::style()->standardPalette());
            WindowFixture f;
            QStringList poor;
            auto check = [&](const QString& what, const QColor& ink, const QColor& page) {
                const double c = dialogs::contrast(ink, page);
                if (c < dialogs::kReadableContrast)
                    poor << QStringLiteral("%1 %2 on %3: %4")
                                .arg(what, ink.name(), page.name())
                                .arg(c, 0, 'f', 2);
            };
            int coloured = 0;
            for (const auto& row : app::mainRows()) {
                if (!row.color) continue;
                QWidget* w = f[row.name];
                const QPalette& p = w->palette();
                if (!dark) {
                    QCOMPARE(p.color(QPalette::WindowText), *row.color);
                    continue;
                }
                ++coloured;
                check(row.name, p.color(QPalette::WindowText), p.color(w->backgroundRole()));
            }
            QCOMPARE(coloured, dark ? 20 : 0);
            f.queueBox()->setPlainText(QString::fromLatin1(kEveryColour));
            f.window->queueMarks()->refresh();
            const QColor page = f.queueBox()->palette().color(QPalette::Base);
            int spans = 0;
            for (QTextBlock b = f.queueBox()->document()->begin(); b.isValid(); b = b.next())
                for (const auto& range : b.layout()->formats()) {
                    const QTextCharFormat& format = range.format;
                    if (format.hasProperty(QTextFormat::ForegroundBrush)) {
                        ++spans;
                        if (dark) check(b.text(), format.foreground().color(), page);
                    }
                    if (format.underlineStyle() != QTextCharFormat::NoUnderline && dark)
                        check(b.text() + " underline", format.underlineColor(), page);
                }
            QVERIFY2(spans >= 7, qPrintable(QString::number(spans)));
            f.window->cmmd_Click(18); // no port: the mark
            const QPalette mark = f["portselect"]->palette();
            check("no-port mark", mark.color(QPalette::ButtonText), mark.color(QPalette::Button));
            QVERIFY2(poor.isEmpty(), qPrintable(poor.join('\n')));
        }
    }
};

QTEST_MAIN(TestScreens)
#include "tst_screens.moc"
