#include "app/formposition.h"

#include <gtest/gtest.h>

using namespace quillcap;

TEST(CheckFormPosition, BringsTheWindowBackInTheOrderLeftTopRightBottom) {
    // One monitor of 1280 left of a 1920x1080 primary; the window is 479 high.
    const QRect desktop(QPoint(-1280, 0), QPoint(1919, 1079));
    // what, left, top, width, and where left and top end; in pixels.
    const std::tuple<const char *, double, double, double, double, double> cases[] = {
        {"left of the leftmost monitor goes to 0", -1300, 100, 509, 0, 100},
        {"on the left monitor stays", -1000, 0, 509, -1000, 0},
        {"above goes to 0", 0, -1, 509, 0, 0},
        {"off the right ends on maxRight", 1800, 0, 509, 1920 - 509, 0},
        {"off the bottom ends on maxBottom", 0, 1000, 509, 0, 1080 - 479},
        {"wider than the desktop ends off the left edge", 0, 0, 4000, 1920 - 4000, 0},
    };
    for (const auto &[what, left, top, width, placedLeft, placedTop] : cases) {
        DebugLog log;
        const TwipsRect placed =
            CheckFormPosition({left * 15, top * 15, width * 15, 479 * 15}, desktop, 15, 15, log);
        EXPECT_DOUBLE_EQ(placed.left, placedLeft * 15) << what;
        EXPECT_DOUBLE_EQ(placed.top, placedTop * 15) << what;
    }
}
