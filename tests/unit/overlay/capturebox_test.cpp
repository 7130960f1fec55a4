#include "overlay/capturebox.h"

#include <gtest/gtest.h>

using namespace quillcap;

struct Box : ::testing::Test {
    DebugLog log;
    CaptureBox box{log, QSize(1920, 1080)};
    void draw(QRect r) { box.DrawCapBox(r.x(), r.y(), r.width(), r.height()); }
};

TEST_F(Box, NoticeShowsForTheWholeOrNearlyTheWholeDesktop) {
    // Shown box, notice visible, saying "entire".
    const std::tuple<QRect, bool, bool> cases[] = {
        {{0, 0, 1920, 1080}, true, true},    {{19, 19, 1881, 1041}, true, false},
        {{20, 0, 1900, 1080}, false, false}, {{0, 0, 1880, 1080}, false, false},
        {{0, 0, 1920, 1040}, false, false},  {{-1, 0, 1921, 1080}, true, false},
    };
    for (const auto &[shown, visible, entire] : cases) {
        draw(shown);
        EXPECT_EQ(box.noticeVisible(), visible) << shown.x() << "," << shown.width();
        EXPECT_EQ(box.noticeText().contains("entire"), entire) << shown.x();
    }
}

TEST_F(Box, AdoptingShrinksToTheDesktopAndNeverShifts) {
    const std::pair<QRect, CaptureRegion> cases[] = {
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
    for (const auto &[shown, adopted] : cases) {
        draw(shown);
        box.SetNewCaptureSize();
        EXPECT_EQ(box.cap(), adopted) << shown.x() << "," << shown.y();
        EXPECT_EQ(box.shown(), QRect(adopted.x, adopted.y, adopted.w, adopted.h));
    }
}

TEST_F(Box, ResetShowsTheRecordAsItIsAndZeroSizesShowAsTwo) {
    box.setCap({-5, 7, 3000, 480});
    box.ResetCapBox();
    EXPECT_EQ(box.shown(), QRect(-5, 7, 3000, 480));
    draw({40, 50, 0, 0});
    EXPECT_EQ(box.shown(), QRect(40, 50, 2, 2));
    EXPECT_EQ(box.cap(), (CaptureRegion{-5, 7, 3000, 480})) << "drawing leaves the record";
}
