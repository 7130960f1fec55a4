// The capture overlay on the real program: Print Screen from anywhere opens
// it over the whole screen, mouse and keys frame the box, Esc and X return.
#include "e2e_support.h"

namespace e2e {
namespace {

QStringList logLines(const TestHome &home) {
    QStringList lines = QString::fromUtf8(readFile(home.logFile())).split(QStringLiteral("\r\n"));
    lines.removeLast();
    return lines;
}

bool logHas(const TestHome &home, const QString &line) {
    return logLines(home).contains(line);
}

// `expected` appear in this order, other lines may lie between them.
testing::AssertionResult inOrder(const QStringList &lines, const QStringList &expected) {
    qsizetype at = 0;
    for (const QString &line : expected) {
        at = lines.indexOf(line, at);
        if (at < 0)
            return testing::AssertionFailure()
                   << "missing or out of order: \"" << line.toStdString() << "\"\nlog:\n"
                   << lines.join('\n').toStdString();
        ++at;
    }
    return testing::AssertionSuccess();
}

class Overlay : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        ASSERT_TRUE(writeFile(home.settingsFile(), crlf({"DEBUGLOG", "True"})));
    }
    std::unique_ptr<QuillCapRun> start(const QProcessEnvironment &env) {
        auto app = std::make_unique<QuillCapRun>(env);
        EXPECT_TRUE(waitForWindow(x, kMainCaption)) << app->stderrText().toStdString();
        return app;
    }
    // Presses `keys` and waits until the overlay is mapped and focused.
    testing::AssertionResult open(const QString &keys, QString *id) {
        if (auto shown = pressUntilWindow(x, keys, kOverlayTitle, id); !shown)
            return shown;
        return waitFor([&] { return windowGeometry(x, *id).isValid(); }, "the overlay mapped");
    }
    testing::AssertionResult closed() {
        return waitFor([&] { return !hasWindow(x, kOverlayTitle) && logHas(home, kBack); },
                       "the overlay gone");
    }
    const QString kBack = QStringLiteral("... back from frmCaptureHold (xxxx");
};

TEST_F(Overlay, PrintCoversTheScreenAndEscReturnsWithNothingCounted) {
    auto app = start(home.environment(x));
    QString id;
    ASSERT_TRUE(open("Print", &id));
    EXPECT_EQ(windowGeometry(x, id), QRect(0, 0, 1920, 1080));
    EXPECT_NE(xdotool(x, {"search", "--onlyvisible", "--name", "^QuillCap  \\("}).exitCode, 0)
        << "the main window steps aside";
    ASSERT_TRUE(focusWindow(x, id));
    xdotool(x, {"key", "Escape"});
    ASSERT_TRUE(closed());
    ASSERT_TRUE(waitForWindow(x, QStringLiteral("QuillCap  \\(0 snaps\\)")));
    app->terminate(SIGTERM);
    ASSERT_TRUE(app->waitForExit());

    EXPECT_TRUE(inOrder(
        logLines(home),
        {"Registering Hot Key ... hold on tight...", "** Pressed the PrtScrn Hot Key **", " ",
         "------------------------------", "[   Taking Snap Shot         ]",
         "------------------------------", "Welcome to CaptureHold", "Multiple monitors is enabled",
         "Desktop parameters are from  (0,0) - (1920,1080)", "W:H = 1920:1080",
         "Calling GetScreenArea", "Copying a dark version of picCaptureHold into picCaptureBack",
         "Resetting Capturebox to 768,432,384,216",
         "The current capture window (if we want it) is at 768,432  (384x216)",
         "** CaptureHold KeyDown > 27 > \x1b", "... back from frmCaptureHold (xxxx",
         "Saving Prefs ... "}));
    EXPECT_EQ(settingValue(readFile(home.settingsFile()), "NUMBEROFSNAPS"), " 0 ");
}

TEST_F(Overlay, EveryPrintCombinationOpensItAndXCloses) {
    auto app = start(home.environment(x));
    for (const char *keys : {"ctrl+Print", "shift+Print", "Print"}) {
        SCOPED_TRACE(keys);
        QString id;
        ASSERT_TRUE(open(keys, &id));
        ASSERT_TRUE(focusWindow(x, id));
        xdotool(x, {"key", "x"});
        ASSERT_TRUE(closed());
        ASSERT_TRUE(waitForWindow(x, kMainCaption));
        ASSERT_TRUE(writeFile(home.logFile(), {}));
    }
}

TEST_F(Overlay, KeysAndMouseFrameTheBox) {
    auto app = start(home.environment(x));
    QString id;
    ASSERT_TRUE(open("Print", &id));
    ASSERT_TRUE(focusWindow(x, id));
    xdotool(x, {"key", "d"});
    ASSERT_TRUE(waitFor([&] { return logHas(home, "Resetting Capturebox to 0,0,1920,1080"); },
                        "D selects the desktop"));
    xdotool(x, {"key", "r"});
    ASSERT_TRUE(waitFor([&] { return logHas(home, "Resetting Capturebox to 768,432,384,216"); },
                        "R resets the box"));
    // Outside the box: a new one from (100, 100) to (300, 200).
    xdotool(x, {"mousemove", "100", "100", "mousedown", "1", "mousemove", "200", "150", "mousemove",
                "300", "200", "mouseup", "1"});
    ASSERT_TRUE(waitFor([&] { return logHas(home, "Setting Capturebox to (100,100) 200x100"); },
                        "the drawn box adopted"));
    // Inside it: moved by (-150, 0), half off the left edge, clamped there.
    xdotool(x, {"mousemove", "200", "150", "mousedown", "3", "mousemove", "100", "150", "mousemove",
                "50", "150", "mouseup", "3"});
    ASSERT_TRUE(waitFor([&] { return logHas(home, "Setting Capturebox to (0,100) 150x100"); },
                        "the moved box shrunk, not shifted"));
    xdotool(x, {"key", "Escape"});
    ASSERT_TRUE(closed());
}

TEST_F(Overlay, ScaledDesktopStillWorksInDevicePixels) {
    QProcessEnvironment env = home.environment(x);
    env.insert("QT_SCALE_FACTOR", "2");
    auto app = start(env);
    QString id;
    ASSERT_TRUE(open("Print", &id));
    EXPECT_EQ(windowGeometry(x, id), QRect(0, 0, 1920, 1080));
    ASSERT_TRUE(focusWindow(x, id));
    xdotool(x, {"mousemove", "100", "100", "mousedown", "1", "mousemove", "200", "150", "mousemove",
                "300", "200", "mouseup", "1"});
    ASSERT_TRUE(waitFor([&] { return logHas(home, "Setting Capturebox to (100,100) 200x100"); },
                        "a 200x100 box in device pixels"));
    xdotool(x, {"key", "Escape"});
    ASSERT_TRUE(closed());
}

} // namespace
} // namespace e2e
