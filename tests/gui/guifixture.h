#pragma once

#include "app/appstate.h"
#include "app/usermessages.h"
#include "fakes/fakeplatform.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/program.h"
#include "naming/clock.h"
#include "platform/apppaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace quillcap {

class RecordingMessages final : public UserMessages {
public:
    QStringList informed;
    QStringList warned;
    void Inform(const QString &text) override { informed << text; }
    void Warn(const QString &text) override { warned << text; }
};

// Processes events until `done` holds or the timeout passes.
template <class Done> bool waitUntil(Done done, int timeoutMs = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// A main window on fakes, with its folders in a temporary directory.
class GuiTest : public ::testing::Test {
protected:
    QTemporaryDir root;
    AppState state;
    FakeParts fakes;
    Platform platform = MakeFakePlatform(&fakes);
    RecordingMessages messages;
    FixedClock clock{QDate(2026, 3, 5)};
    AppPaths paths;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<Program> program;

    void SetUp() override {
        for (const char *dir : {"config", "program", "pictures", "other"})
            QDir(root.path()).mkpath(dir);
        paths.userAppFolder = path("config");
        paths.programFolder = path("program");
        paths.defaultSaveFolder = path("pictures");
        window = std::make_unique<MainWindow>(state, platform, messages, clock);
        program = std::make_unique<Program>(state, paths, platform, *window, messages, false);
    }
    void TearDown() override {
        // Unload quits the application; tests go on with the next window.
        QObject::disconnect(window.get(), &MainWindow::unloading, program.get(), nullptr);
    }

    QString path(const QString &name) const { return root.filePath(name); }
    void writeFile(const QString &name, const QByteArray &bytes = {}) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    template <class T = QWidget> T *control(const char *name) const {
        T *found = window->findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void start() {
        program->StartProgram();
        ASSERT_TRUE(waitUntil([&] { return window->isVisible() || window->isMinimized(); }));
    }
};

} // namespace quillcap
