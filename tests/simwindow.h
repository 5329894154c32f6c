#pragma once
// The real window and port against the module simulator, linked as COM8 in a
// folder of its own. Alerts are recorded, not shown; closing ends nothing.
#include "app/activityview.h"
#include "app/mainwindow.h"
#include "link/portcontroller.h"
#include "modalguard.h"
#include "simprocess.h"

#include <QAction>
#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

struct SimWindow {
    SimWindow() : port(nullptr, dir.path()) {
        window = std::make_unique<app::MainWindow>(port, app::Settings(dir.path(), dir.path()));
        window->setAlert([this](const QString& title, const QString& message, int) {
            alerts << title + ": " + message;
            return true;
        });
        window->setQuit([] {});
    }
    bool start(QStringList args = {}) {
        return sim.start(args << "--link" << dir.filePath("COM8"));
    }
    void choose(const char* list, int index) {
        auto* combo = window->control<QComboBox>(QString::fromLatin1(list));
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    void click(const QString& name) { QTest::mouseClick(window->control(name), Qt::LeftButton); }
    // The window's action of that text ("Show as picture").
    void trigger(const QString& text) {
        for (auto* action : window->findChildren<QAction*>())
            if (action->text() == text) action->trigger();
    }
    QString view() const {
        window->showPending();
        return window->control<app::ActivityView>("i2cparser")->toPlainText();
    }

    ModalGuard guard;
    QTemporaryDir dir;
    SimProcess sim;
    serial::PortController port;
    std::unique_ptr<app::MainWindow> window;
    QStringList alerts;
};
