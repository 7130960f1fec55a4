#include "overlay/overlaymouse.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillcap {
namespace {

using P = PointerShape;

struct Mouse : ::testing::Test {
    explicit Mouse(QRect record = QRect(100, 100, 200, 100)) {
        box.setCap({record.x(), record.y(), record.width(), record.height()});
        box.ResetCapBox();
    }
    DebugLog log;
    CaptureBox box{log, QSize(1920, 1080)};
    OverlayMouse mouse{box};
};

TEST_F(Mouse, EdgeZonesSetTheFlagsAndPointer) {
    const struct {
        QPoint at;
        BoxEdges edges;
        PointerShape pointer;
    } cases[] = {
        {{100, 150}, {EdgeX::Left, EdgeY::None}, P::WestEast},
        {{104, 150}, {EdgeX::Left, EdgeY::None}, P::WestEast},
        {{105, 150}, {}, P::Move},
        {{295, 150}, {}, P::Move},
        {{296, 150}, {EdgeX::Right, EdgeY::None}, P::WestEast},
        {{299, 150}, {EdgeX::Right, EdgeY::None}, P::WestEast},
        {{150, 100}, {EdgeX::None, EdgeY::Top}, P::NorthSouth},
        {{150, 195}, {}, P::Move},
        {{150, 196}, {EdgeX::None, EdgeY::Bottom}, P::NorthSouth},
        {{102, 102}, {EdgeX::Left, EdgeY::Top}, P::NorthwestSoutheast},
        {{297, 197}, {EdgeX::Right, EdgeY::Bottom}, P::NorthwestSoutheast},
        {{297, 102}, {EdgeX::Right, EdgeY::Top}, P::NortheastSouthwest},
        {{102, 197}, {EdgeX::Left, EdgeY::Bottom}, P::NortheastSouthwest},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(mouse.move(c.at), c.pointer) << c.at.x() << "," << c.at.y();
        EXPECT_EQ(mouse.edges(), c.edges) << c.at.x() << "," << c.at.y();
    }
    EXPECT_EQ(mouse.move({50, 50}), P::Arrow);
    EXPECT_EQ(mouse.edges(), (BoxEdges{EdgeX::Left, EdgeY::Bottom})) << "outside keeps the flags";
}

struct NarrowMouse : Mouse {
    NarrowMouse() : Mouse(QRect(100, 100, 8, 8)) {}
};

TEST_F(NarrowMouse, LeftAndTopZonesWinInASmallBox) {
    EXPECT_EQ(mouse.move({104, 104}), P::NorthwestSoutheast);
    EXPECT_EQ(mouse.move({105, 105}), P::NorthwestSoutheast);
    EXPECT_EQ(mouse.edges(), (BoxEdges{EdgeX::Right, EdgeY::Bottom}));
}

TEST_F(Mouse, PressingNearACornerAnchorsTheOppositeEdges) {
    EXPECT_EQ(mouse.move({103, 103}), P::NorthwestSoutheast);
    mouse.press({103, 103});
    EXPECT_EQ(mouse.drag(), OverlayMouse::Drag::Resizing);
    EXPECT_EQ(mouse.anchor(), QPoint(300, 200));
}

TEST_F(Mouse, DragsEndInTheAdoptedRecord) {
    const struct {
        const char *name;
        QPoint press; // hovered first, as a real pointer gets there
        std::vector<QPoint> moves;
        CaptureRegion adopted;
    } cases[] = {
        {"click outside", {50, 50}, {}, {100, 100, 200, 100}},
        {"click inside", {150, 150}, {}, {100, 100, 200, 100}},
        {"move", {150, 150}, {{160, 170}, {170, 190}}, {120, 140, 200, 100}},
        {"move half off the right edge", {150, 150}, {{1900, 150}}, {1850, 100, 70, 100}},
        {"draw up and left", {500, 400}, {{450, 380}}, {450, 380, 50, 20}},
        {"band back on the press row stays",
         {500, 400},
         {{520, 420}, {530, 400}},
         {500, 400, 20, 20}},
        {"left edge flipped past the right",
         {101, 150},
         {{350, 102}, {360, 500}},
         {300, 100, 60, 100}},
        {"bottom edge above the top", {150, 198}, {{900, 40}}, {100, 40, 200, 60}},
        {"corner", {298, 198}, {{400, 250}}, {100, 100, 300, 150}},
        {"resize ends on the anchor", {101, 150}, {{300, 150}}, {300, 100, 2, 100}},
    };
    for (const auto &c : cases) {
        box.setCap({100, 100, 200, 100});
        box.ResetCapBox();
        mouse.move(c.press);
        mouse.press(c.press);
        for (QPoint p : c.moves)
            mouse.move(p);
        EXPECT_EQ(box.cap(), (CaptureRegion{100, 100, 200, 100})) << c.name << ": record waits";
        mouse.release();
        EXPECT_EQ(box.cap(), c.adopted) << c.name;
        EXPECT_EQ(mouse.drag(), OverlayMouse::Drag::None) << c.name;
    }
}

TEST_F(Mouse, TheFirstPressedSurfaceKeepsTheDragUntilTheLastButtonIsUp) {
    mouse.move({150, 150});
    mouse.press({150, 150});
    mouse.release(Qt::RightButton); // another button is still down
    EXPECT_EQ(mouse.move({600, 600}), P::NorthwestSoutheast) << "still the inside surface";
    mouse.release();
    EXPECT_EQ(mouse.move({600, 600}), P::Arrow);
}

} // namespace
} // namespace quillcap
