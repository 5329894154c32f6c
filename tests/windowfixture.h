#pragma once
// A main window over a FakePort, with its settings (and, unless a program
// folder is given, its load folder) in a temporary folder, its alerts
// recorded as "title: message" instead of shown (answered OK) and its end
// counted.
#include "app/activityview.h"
#include "app/mainwindow.h"
#include "app/scriptlibrary.h"
#include "fakeport.h"
#include "modalguard.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

inline QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
}

struct WindowFixture {
    explicit WindowFixture(const QString& programFolder = {}, const QString& configFolder = {}) {
        const QString folder = programFolder.isNull() ? dir.path() : programFolder;
        window = std::make_unique<app::MainWindow>(
            port,
            app::Settings(folder, configFolder.isNull() ? dir.filePath(QStringLiteral("config"))
                                                        : configFolder));
        window->setAlert([this](const QString& title, const QString& message, int) {
            alerts << title + ": " + message;
            return true;
        });
        window->setQuit([this] { ++quits; });
        if (programFolder.isNull()) window->library().loaddirectory = dir.path();
    }

    QWidget* operator[](const QString& name) const { return window->control(name); }
    template <class T> T* get(const QString& name) const { return window->control<T>(name); }
    QPlainTextEdit* queueBox() const { return get<QPlainTextEdit>(QStringLiteral("commands")); }
    QString queue() const { return queueBox()->toPlainText(); }
    QString view() const {
        window->showPending();
        return get<app::ActivityView>(QStringLiteral("i2cparser"))->toPlainText();
    }
    QString text(const QString& name) const {
        window->showPending();
        if (auto* edit = get<QLineEdit>(name)) return edit->text();
        if (auto* area = get<QPlainTextEdit>(name)) return area->toPlainText();
        if (auto* button = get<QPushButton>(name)) return button->text();
        if (auto* list = get<QComboBox>(name)) return list->currentText();
        return {};
    }
    void choose(const QString& list, int index) {
        auto* combo = get<QComboBox>(list);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    void choosePort(int index) { choose(QStringLiteral("portselect"), index); }
    void click(const QString& name) { QTest::mouseClick((*this)[name], Qt::LeftButton); }
    // On a text box, where it takes the mouse.
    void doubleClick(const QString& name) {
        auto* area = get<QAbstractScrollArea>(name);
        QTest::mouseDClick(area ? area->viewport() : (*this)[name], Qt::LeftButton);
    }
    void show() {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QApplication::setActiveWindow(window.get());
    }
    static bool busy() {
        const QCursor* cursor = QApplication::overrideCursor();
        return cursor && cursor->shape() == Qt::BusyCursor;
    }
    // The window's action of that text ("Save activity as…"), or null.
    QAction* action(const QString& text) const {
        for (auto* a : window->findChildren<QAction*>())
            if (a->text() == text) return a;
        return nullptr;
    }

    void load(const QString& name) {
        answerFileDialog(name);
        click(QStringLiteral("Command4"));
    }
    // A file of these bytes written in the temporary folder, then loaded.
    void load(const QString& name, const QByteArray& bytes) {
        writeFile(dir.filePath(name), bytes);
        load(name);
    }

    ModalGuard guard;
    QTemporaryDir dir;
    serial::FakePort port;
    std::unique_ptr<app::MainWindow> window;
    QStringList alerts;
    int quits = 0;
};
