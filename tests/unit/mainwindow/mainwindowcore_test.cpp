// The main window's own logic: the help panels' slide and the preview's fit.
#include "mainwindow/panelslide.h"
#include "mainwindow/previewfit.h"

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

TEST(FitPreview, ShrinksTheRelativelyLongerSideNeverEnlargesAndCentres) {
    const struct {
        QSize picture, viewer;
        QRect shown;
    } cases[] = {
        {{2000, 500}, {400, 300}, {0, 100, 400, 100}}, // wider: width decides
        {{100, 50}, {400, 300}, {150, 125, 100, 50}},  // smaller: own size
        {{300, 900}, {400, 300}, {150, 0, 100, 300}},  // taller: height decides
        {{400, 300}, {400, 300}, {0, 0, 400, 300}},    // same ratio, same size
        {{4000, 1}, {400, 300}, {0, 149, 400, 1}},     // a line stays visible
        {{0, 0}, {400, 300}, {200, 150, 0, 0}},        // nothing to show
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.picture.width() << "x" << c.picture.height());
        EXPECT_EQ(CentredIn(FitPreview(c.picture, c.viewer), c.viewer), c.shown);
    }
}
