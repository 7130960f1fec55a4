#include "mainwindow/panelslide.h"

#include <gtest/gtest.h>
#include <vector>

using namespace quillcap;

namespace {

// The widths a slide passes through, tick by tick, until it ends; the
// content's right edge must ride on the panel's all the way.
std::vector<int> run(PanelSlide &slide) {
    std::vector<int> widths;
    slide.OpenCloseBox();
    const int edge = slide.pictureLeft() - slide.width();
    while (widths.size() < 100 && !slide.Tick()) {
        widths.push_back(slide.width());
        EXPECT_EQ(slide.pictureLeft() - slide.width(), edge);
    }
    widths.push_back(slide.width());
    return widths;
}

} // namespace

TEST(PanelSlide, EachTickCoversAThirdOfWhatIsLeft) {
    PanelSlide slide(4800, 0);
    slide.OpenCloseBox();
    slide.Tick(); // started again below: from 2 twips
    EXPECT_EQ(run(slide), (std::vector<int>{1601, 2667, 3378, 3852, 4168, 4379, 4519, 4613, 4675,
                                            4717, 4745, 4763, 4775, 4783, 4789, 4793, 4795, 4797}))
        << "18 ticks, ending 3 twips short";
    EXPECT_TRUE(slide.open());
    EXPECT_FALSE(slide.running());
    EXPECT_EQ(run(slide), (std::vector<int>{3200, 2133, 1422, 948, 632, 421, 281, 187, 125}))
        << "9 ticks, ending when narrower than 130";
    EXPECT_FALSE(slide.open());
}
