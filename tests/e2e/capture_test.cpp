// A real capture: a pattern whose every pixel tells where it is lies on the
// screen; Print, a box, Enter must save exactly that part of it.
#include "e2e_support.h"
#include "screenpattern.h"
#include "xprobe.h"

#include <QDate>
#include <QImage>

namespace e2e {
namespace {

class Capture : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        ASSERT_TRUE(makeFolder(home.home() + "/Pictures"));
        qputenv("DISPLAY", x.display().toLatin1());
        m_probe = std::make_unique<XProbe>();
        ShowPatternOnRoot(*m_probe);
    }
    testing::AssertionResult openOverlay() {
        QString id;
        if (auto shown = pressUntilWindow(x, "Print", kOverlayTitle, &id); !shown)
            return shown;
        return focusWindow(x, id);
    }
    testing::AssertionResult saved(const QString &name, QImage *image) {
        const QString path = home.home() + "/Pictures/" + name;
        return waitFor(
            [&] {
                *image = QImage(path);
                return !image->isNull();
            },
            path);
    }
    std::unique_ptr<XProbe> m_probe;
};

TEST_F(Capture, EnterSavesTheBoxPixelForPixelUnderTheNextName) {
    QuillCapRun app(home.environment(x));
    ASSERT_TRUE(waitForWindow(x, kMainCaption)) << app.stderrText().toStdString();

    ASSERT_TRUE(openOverlay());
    xdotool(x, {"key", "d"});
    xdotool(x, {"key", "Return"});
    QImage whole;
    ASSERT_TRUE(saved("Quillcap_001.png", &whole));
    EXPECT_EQ(whole.size(), QSize(1920, 1080));
    EXPECT_EQ(FirstDifference(whole.convertToFormat(QImage::Format_RGB32), PatternPixel), "");
    ASSERT_TRUE(waitForWindow(x, QStringLiteral("QuillCap  \\(1 snaps\\)")));

    // The overlay opens on the last region, the whole desktop: R makes room
    // to draw a new box outside it.
    ASSERT_TRUE(openOverlay());
    xdotool(x, {"key", "r"});
    xdotool(x, {"mousemove", "37", "53", "mousedown", "1", "mousemove", "200", "100", "mousemove",
                "337", "253", "mouseup", "1", "key", "space"});
    QImage box;
    ASSERT_TRUE(saved("Quillcap_002.png", &box));
    EXPECT_EQ(box.size(), QSize(300, 200));
    EXPECT_EQ(FirstDifference(box.convertToFormat(QImage::Format_RGB32),
                              [](QPoint p) { return PatternPixel(p + QPoint(37, 53)); }),
              "");
    ASSERT_TRUE(waitForWindow(x, QStringLiteral("QuillCap  \\(2 snaps\\)")));
    app.terminate(SIGTERM);
    ASSERT_TRUE(app.waitForExit());
    EXPECT_EQ(settingValue(readFile(home.settingsFile()), "NUMBEROFSNAPS"), " 2 ");
}

TEST_F(Capture, AOneOffNameAndTheClipboard) {
    QuillCapRun app(home.environment(x));
    ASSERT_TRUE(waitForWindow(x, kMainCaption)) << app.stderrText().toStdString();

    // F, a name with a date code, Enter closes the panel, Enter captures.
    ASSERT_TRUE(openOverlay());
    xdotool(x, {"key", "shift+e"});
    xdotool(x, {"key", "f"});
    xdotool(x, {"type", "--delay", "20", "shot_$yyyy"});
    xdotool(x, {"key", "Return"});
    xdotool(x, {"key", "Return"});
    QImage named;
    ASSERT_TRUE(saved(QStringLiteral("shot_%1.png").arg(QDate::currentDate().year()), &named));
    EXPECT_EQ(named.size(), QSize(640, 480)) << "Shift+E, the 640x480 preset";

    // C saves under the next name and puts the same picture on the clipboard.
    ASSERT_TRUE(openOverlay());
    xdotool(x, {"key", "c"});
    QImage file;
    ASSERT_TRUE(saved("Quillcap_001.png", &file));
    ToolResult clip =
        runTool("xclip", {"-selection", "clipboard", "-t", "image/png", "-o"}, x.environment());
    ASSERT_EQ(clip.exitCode, 0) << clip.err.toStdString();
    const QImage pasted = QImage::fromData(clip.out, "PNG");
    EXPECT_EQ(pasted.convertToFormat(QImage::Format_RGB32),
              file.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(settingValue(readFile(home.settingsFile()), "LASTOVERRIDENAME"), "shot_$yyyy");
    app.terminate(SIGTERM);
    ASSERT_TRUE(app.waitForExit());
}

} // namespace
} // namespace e2e
