#include "app/splashslide.h"

#include <array>
#include <gtest/gtest.h>

using quillcap::SplashSlide;

TEST(SplashSlide, SlidesInRestsOnceAndSlidesOutOfTheScreen) {
    const int screen = 28800;
    // Width; ticks to rest and where; ticks to leave.
    for (const auto [width, in, restLeft, out] : {std::array{3000, 8, screen - 3200, 17},
                                                  {399, 1, screen - 400, 3},
                                                  {400, 2, screen - 800, 5}}) {
        SplashSlide slide(screen, width);
        std::vector<std::pair<SplashSlide::Stage, int>> seen; // stage and interval per tick
        for (int i = 0; i < 100 && slide.CurrentStage() != SplashSlide::Stage::Done; ++i)
            seen.emplace_back(slide.CurrentStage(), slide.IntervalMs()), slide.Tick();
        std::vector<std::pair<SplashSlide::Stage, int>> expected(
            in, {SplashSlide::Stage::SlidingIn, 100});
        expected.emplace_back(SplashSlide::Stage::Resting, 1500);
        expected.insert(expected.end(), out, {SplashSlide::Stage::SlidingOut, 100});
        EXPECT_EQ(seen, expected) << width;
        EXPECT_EQ(slide.Left(), restLeft + out * 200) << width;
        EXPECT_GT(slide.Left(), screen);
    }
}
