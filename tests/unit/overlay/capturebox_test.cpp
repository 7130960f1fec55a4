#include "overlay/capturebox.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace quillcap {
namespace {

struct Box : ::testing::Test {
    Box() {
        log.HardLogging = true;
        log.SetViewer([this](const QString &line) { lines << line; });
    }
    DebugLog log;
    QStringList lines;
    CaptureBox box{log, QSize(1920, 1080)};
};

TEST_F(Box, NoticeShowsForTheWholeOrNearlyTheWholeDesktop) {
    const struct {
        QRect shown;
        bool visible;
        const char *text;
    } cases[] = {
        {{0, 0, 1920, 1080}, true, "The entire desktop is selected"},
        {{5, 5, 1910, 1070}, true, "Most of the desktop is selected"},
        {{19, 19, 1881, 1041}, true, "Most of the desktop is selected"},
        {{20, 0, 1900, 1080}, false, "Most of the desktop is selected"}, // text kept
        {{0, 0, 1880, 1080}, false, "Most of the desktop is selected"},
        {{0, 0, 1920, 1040}, false, "Most of the desktop is selected"},
        {{-1, 0, 1921, 1080}, true, "Most of the desktop is selected"},
    };
    for (const auto &c : cases) {
        box.DrawCapBox(c.shown.x(), c.shown.y(), c.shown.width(), c.shown.height());
        EXPECT_EQ(box.noticeVisible(), c.visible) << c.shown.x() << "," << c.shown.width();
        EXPECT_EQ(box.noticeText(), QLatin1String(c.text)) << c.shown.x() << "," << c.shown.width();
    }
    EXPECT_TRUE(lines.isEmpty()) << "showing a box logs nothing";
}

TEST_F(Box, AdoptingShrinksToTheDesktopAndNeverShifts) {
    const struct {
        QRect shown;
        CaptureRegion adopted;
    } cases[] = {
        {{100, 100, 200, 100}, {100, 100, 200, 100}},
        {{-50, 10, 200, 100}, {0, 10, 150, 100}},
        {{10, -30, 100, 100}, {10, 0, 100, 70}},
        {{1750, 10, 200, 100}, {1750, 10, 170, 100}},
        {{10, 1000, 100, 100}, {10, 1000, 100, 80}},
        {{-10, -10, 2000, 1200}, {0, 0, 1920, 1080}},
        {{1919, 1079, 2, 2}, {1919, 1079, 1, 1}},
        // Wholly off the desktop: a minimal box at the nearest edge.
        {{2000, 10, 100, 100}, {1918, 10, 2, 100}},
        {{-300, -300, 100, 100}, {0, 0, 2, 2}},
    };
    for (const auto &c : cases) {
        box.DrawCapBox(c.shown.x(), c.shown.y(), c.shown.width(), c.shown.height());
        box.SetNewCaptureSize();
        EXPECT_EQ(box.cap(), c.adopted) << c.shown.x() << "," << c.shown.y();
        EXPECT_EQ(box.shown(), QRect(c.adopted.x, c.adopted.y, c.adopted.w, c.adopted.h));
    }
    EXPECT_EQ(lines.first(), u"Setting Capturebox to (100,100) 200x100"_s);
}

TEST_F(Box, ResetShowsTheRecordAsItIsAndZeroSizesShowAsTwo) {
    box.setCap({-5, 7, 3000, 480});
    box.ResetCapBox();
    EXPECT_EQ(box.shown(), QRect(-5, 7, 3000, 480));
    EXPECT_EQ(lines, QStringList{u"Resetting Capturebox to -5,7,3000,480"_s});

    box.DrawCapBox(40, 50, 0, 0);
    EXPECT_EQ(box.shown(), QRect(40, 50, 2, 2));
    EXPECT_EQ(box.cap(), (CaptureRegion{-5, 7, 3000, 480})) << "drawing leaves the record";
}

} // namespace
} // namespace quillcap
