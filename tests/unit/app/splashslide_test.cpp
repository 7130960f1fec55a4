#include "app/splashslide.h"

#include <gtest/gtest.h>
#include <utility>

using quillcap::SplashSlide;
using Stage = SplashSlide::Stage;

// Ticks until the stage changes, and where the splash then stands.
static std::pair<int, int> ticksOf(SplashSlide &slide, Stage stage) {
    int ticks = 0;
    while (slide.CurrentStage() == stage && ticks < 1000)
        ++ticks, slide.Tick();
    return {ticks, slide.Left()};
}

TEST(SplashSlide, SlidesInRestsOnceAndSlidesOutOfTheScreen) {
    const int screen = 28800; // 1920 pixels
    struct Case {
        int width, inTicks, restLeft, outTicks;
    } cases[] = {
        {3000, 8, screen - 3200, 17},
        {399, 1, screen - 400, 3},
        {400, 2, screen - 800, 5},
    };
    for (const Case &c : cases) {
        SplashSlide slide(screen, c.width);
        EXPECT_EQ(slide.Left(), screen);
        EXPECT_EQ(slide.IntervalMs(), 100);
        EXPECT_EQ(ticksOf(slide, Stage::SlidingIn), std::pair(c.inTicks, c.restLeft)) << c.width;
        EXPECT_EQ(slide.IntervalMs(), 1500);
        EXPECT_EQ(ticksOf(slide, Stage::Resting), std::pair(1, c.restLeft));
        EXPECT_EQ(ticksOf(slide, Stage::SlidingOut).first, c.outTicks) << c.width;
        EXPECT_GT(slide.Left(), screen);
        EXPECT_EQ(slide.IntervalMs(), 0);
    }
}
