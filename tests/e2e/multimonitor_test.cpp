// The overlay over several monitors of different sizes, on the real Xorg with
// the dummy driver that with-xorg-dummy starts (laid out by dummy-layout): a
// monitor left of the primary makes the desktop start at x = -1280.
#include "e2e_support.h"

namespace e2e {
namespace {

class MultiMonitor : public testing::Test {
protected:
    static void SetUpTestSuite() {
        const XServer x(XServer::Existing::Display, qEnvironmentVariable("DISPLAY"));
        s_laidOut =
            runTool(QStringLiteral(QUILLCAP_DUMMY_LAYOUT), {}, x.environment()).exitCode == 0;
    }
    void SetUp() override {
        ASSERT_TRUE(s_laidOut) << "the monitors could not be laid out";
        ASSERT_TRUE(writeFile(home.settingsFile(), crlf({"DEBUGLOG", "True"})));
    }
    QStringList log() const {
        return QString::fromUtf8(readFile(home.logFile())).split(QStringLiteral("\r\n"));
    }
    testing::AssertionResult logged(const QString &line) {
        return waitFor([&] { return log().contains(line); }, line);
    }

    static inline bool s_laidOut = false;
    XServer x{XServer::Existing::Display, qEnvironmentVariable("DISPLAY")};
    TestHome home;
};

TEST_F(MultiMonitor, OverlayCoversEveryMonitorAndKeysPickThem) {
    QuillCapRun app(home.environment(x));
    ASSERT_TRUE(waitForWindow(x, kMainCaption)) << app.stderrText().toStdString();
    QString id;
    ASSERT_TRUE(pressUntilWindow(x, "Print", kOverlayTitle, &id));
    ASSERT_TRUE(waitFor([&] { return windowGeometry(x, id) == QRect(0, 0, 3200, 1848); },
                        "the overlay over the whole root"));
    for (const char *line : {"Desktop parameters are from  (-1280,0) - (1920,1848)",
                             "W:H = 3200:1848", "1: (-1280,300)  1280x1024", "2: (0,0)  1920x1080",
                             "3: (320,1080)  1024x768", "4: (0,0)  0x0"})
        EXPECT_TRUE(logged(line));

    ASSERT_TRUE(focusWindow(x, id));
    const struct {
        const char *key;
        const char *box;
    } monitors[] = {
        {"1", "0,300,1280,1024"}, {"2", "1280,0,1920,1080"}, {"3", "1600,1080,1024,768"}};
    for (const auto &m : monitors) {
        xdotool(x, {"key", m.key});
        EXPECT_TRUE(logged(QStringLiteral("Resetting Capturebox to ") + m.box)) << m.key;
    }
    // Across the left monitor's edge into the primary one.
    xdotool(x, {"mousemove", "1000", "500", "mousedown", "1", "mousemove", "1200", "600",
                "mousemove", "1500", "700", "mouseup", "1"});
    EXPECT_TRUE(logged("Setting Capturebox to (1000,500) 500x200"));
    xdotool(x, {"key", "Escape"});
    EXPECT_TRUE(logged("... back from frmCaptureHold (xxxx"));
    app.terminate(SIGTERM);
    EXPECT_TRUE(app.waitForExit());
}

} // namespace
} // namespace e2e
