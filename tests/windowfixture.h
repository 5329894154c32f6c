#pragma once
// A main window over a FakePort, with its settings in a temporary folder and
// its alerts and its end recorded instead of shown.
#include "app/activityview.h"
#include "app/mainwindow.h"
#include "fakeport.h"
#include "modalguard.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

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

    template <class T = QWidget> T* operator[](const QString& name) const {
        return window->control<T>(name);
    }
    QString queue() const { return (*this).operator[]<QPlainTextEdit>("commands")->toPlainText(); }
    QString view() const {
        window->showPending();
        return (*this).operator[]<app::ActivityView>("i2cparser")->toPlainText();
    }
    QString text(const QString& name) const {
        window->showPending();
        if (auto* edit = (*this).operator[]<QLineEdit>(name)) return edit->text();
        if (auto* area = (*this).operator[]<QPlainTextEdit>(name)) return area->toPlainText();
        if (auto* button = (*this).operator[]<QPushButton>(name)) return button->text();
        return {};
    }
    void choose(const QString& list, int index) {
        auto* combo = (*this).operator[]<QComboBox>(list);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    void choosePort(int index) { choose(QStringLiteral("portselect"), index); }

    ModalGuard guard;
    QTemporaryDir dir;
    serial::FakePort port;
    std::unique_ptr<app::MainWindow> window;
    QList<Shown> alerts;
    int quits = 0;
};
