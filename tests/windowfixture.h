#pragma once
// A main window over a FakePort, with its settings in a temporary folder, its
// alerts recorded instead of shown (answered OK) and its end counted.
#include "app/activityview.h"
#include "app/mainwindow.h"
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

struct Shown {
    QString title;
    QString message;
    int style = -1;
};

struct WindowFixture {
    explicit WindowFixture(const QString& programFolder = {}) {
        const QString folder = programFolder.isNull() ? dir.path() : programFolder;
        window = std::make_unique<app::MainWindow>(
            port, app::Settings(folder, dir.filePath(QStringLiteral("config"))));
        window->setAlert([this](const QString& title, const QString& message, int style) {
            alerts.append({title, message, style});
            return true;
        });
        window->setQuit([this] { ++quits; });
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
    // The window's action of that text ("Save activity as…"), or null.
    QAction* action(const QString& text) const {
        for (auto* a : window->findChildren<QAction*>())
            if (a->text() == text) return a;
        return nullptr;
    }

    void load(const QString& name) {
        answerFileDialog(name);
        QTest::mouseClick((*this)[QStringLiteral("Command4")], Qt::LeftButton);
    }

    ModalGuard guard;
    QTemporaryDir dir;
    serial::FakePort port;
    std::unique_ptr<app::MainWindow> window;
    QList<Shown> alerts;
    int quits = 0;
};
