#pragma once

#include "app/appstate.h"
#include "app/usermessages.h"
#include "fakes/fakeplatform.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/program.h"
#include "mainwindow/snapshotflow.h"
#include "naming/clock.h"
#include "overlay/captureoverlay.h"
#include "platform/apppaths.h"
#include "support/files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace quillcap {

// Records each message while its "box" is up, stepping aside first as the
// real boxes do; `whileShown` runs then.
struct RecordingMessages final : UserMessages {
    QStringList informed, warned, asked; // asked: title, then text
    bool answer = true;                  // OK
    std::function<void()> whileShown = [] {};

    void Inform(const QString &text) override { show(informed << text); }
    void Warn(const QString &text) override { show(warned << text); }
    bool Confirm(const QString &title, const QString &text) override {
        return show(asked << title << text), answer;
    }
    void show(QStringList &) {
        StepAside(true);
        whileShown();
        StepAside(false);
    }
};

// A main window on fakes, with its folders in a temporary directory.
class GuiTest : public ::testing::Test {
protected:
    QTemporaryDir root;
    AppState state;
    FakePlatform fakes;
    RecordingMessages messages;
    FixedClock clock{QDate(2026, 3, 5)};
    AppPaths paths{path("config"), path("program"), {}, {}, path("pictures"), {}, path("autostart")};
    MainWindow window{state, fakes.platform, messages, clock};
    Program program{state, paths, fakes.platform, window, messages, false};

    void SetUp() override {
        for (const char *dir : {"config", "program", "pictures", "other"})
            QDir(root.path()).mkpath(dir);
    }
    // Unload quits the application; tests go on with the next window.
    void TearDown() override { QObject::disconnect(&window, nullptr, &program, nullptr); }
    // Generous: CI is a busy machine.
    static bool waitFor(const std::function<bool()> &done) { return QTest::qWaitFor(done, 20000); }
    QString path(const QString &name) const { return root.filePath(name); }
    void writeFile(const QString &name, const QByteArray &bytes = {}) {
        ASSERT_TRUE(::writeFile(path(name), bytes));
    }
    QByteArray read(const QString &name) const { return readFile(path(name)); }
    // A named child of the main window, or of `in`.
    template <class T = QWidget> T *control(const char *name, const QObject *in = nullptr) const {
        T *found = (in ? in : &window)->findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void start() {
        program.StartProgram();
        ASSERT_TRUE(waitFor([&] { return window.isVisible() || window.isMinimized(); }));
    }
    SnapshotFlow &flow() { return program.snapshots(); }
    // Presses the hot key; the overlay once it shows, else null.
    CaptureOverlay *openOverlay() {
        fakes.hotKey->Press();
        const auto shown = [&] { return flow().overlay() && flow().overlay()->isVisible(); };
        return waitFor(shown) ? flow().overlay() : nullptr;
    }
    bool waitForReturn() {
        return waitFor([&] { return !flow().CaptureRunning(); });
    }
};

} // namespace quillcap
