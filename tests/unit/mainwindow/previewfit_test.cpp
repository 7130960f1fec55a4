#include "mainwindow/previewfit.h"

#include <gtest/gtest.h>

using namespace quillcap;

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
