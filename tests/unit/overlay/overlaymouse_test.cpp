#include "overlay/overlaymouse.h"

#include <gtest/gtest.h>

#include <vector>

using namespace quillcap;

using P = PointerShape;

struct Mouse : ::testing::Test {
    Mouse() { setBox({100, 100, 200, 100}); }
    void setBox(const CaptureRegion &record) {
        box.setCap(record);
        box.ResetCapBox();
    }
    DebugLog log;
    CaptureBox box{log, QSize(1920, 1080)};
    OverlayMouse mouse{box};
};

TEST_F(Mouse, EdgeZonesSetTheFlagsAndPointerAndTheLeftAndTopWinInASmallBox) {
    const std::tuple<QPoint, BoxEdges, PointerShape> cases[] = {
        {{104, 150}, {EdgeX::Left, EdgeY::None}, P::WestEast},
        {{105, 150}, {}, P::Move},
        {{295, 150}, {}, P::Move},
        {{296, 150}, {EdgeX::Right, EdgeY::None}, P::WestEast},
        {{150, 100}, {EdgeX::None, EdgeY::Top}, P::NorthSouth},
        {{150, 195}, {}, P::Move},
        {{150, 196}, {EdgeX::None, EdgeY::Bottom}, P::NorthSouth},
        {{102, 102}, {EdgeX::Left, EdgeY::Top}, P::NorthwestSoutheast},
        {{297, 102}, {EdgeX::Right, EdgeY::Top}, P::NortheastSouthwest},
    };
    for (const auto &[at, edges, pointer] : cases) {
        EXPECT_EQ(mouse.move(at), pointer) << at.x() << "," << at.y();
        EXPECT_EQ(mouse.edges(), edges) << at.x() << "," << at.y();
    }
    EXPECT_EQ(mouse.move({50, 50}), P::Arrow);
    EXPECT_EQ(mouse.edges(), (BoxEdges{EdgeX::Right, EdgeY::Top})) << "outside keeps the flags";
    setBox({100, 100, 8, 8}); // in a small box the left and top zones win
    EXPECT_EQ(mouse.move({104, 104}), P::NorthwestSoutheast);
    EXPECT_EQ(mouse.move({105, 105}), P::NorthwestSoutheast);
    EXPECT_EQ(mouse.edges(), (BoxEdges{EdgeX::Right, EdgeY::Bottom}));
}

TEST_F(Mouse, DragsEndInTheAdoptedRecord) {
    // The press point is hovered first, as a real pointer gets there.
    const std::tuple<const char *, QPoint, std::vector<QPoint>, CaptureRegion> cases[] = {
        {"click outside", {50, 50}, {}, {100, 100, 200, 100}},
        {"click inside", {150, 150}, {}, {100, 100, 200, 100}},
        {"move", {150, 150}, {{160, 170}, {170, 190}}, {120, 140, 200, 100}},
        {"move half off the right edge", {150, 150}, {{1900, 150}}, {1850, 100, 70, 100}},
        {"draw up and left", {500, 400}, {{450, 380}}, {450, 380, 50, 20}},
        {"band back to the press row", {500, 400}, {{520, 420}, {530, 400}}, {500, 400, 20, 20}},
        {"left edge past the right", {101, 150}, {{350, 102}, {360, 500}}, {300, 100, 60, 100}},
        {"bottom edge above the top", {150, 198}, {{900, 40}}, {100, 40, 200, 60}},
        {"corner", {298, 198}, {{400, 250}}, {100, 100, 300, 150}},
        {"resize ends on the anchor", {101, 150}, {{300, 150}}, {300, 100, 2, 100}},
    };
    for (const auto &[name, press, moves, adopted] : cases) {
        setBox({100, 100, 200, 100});
        mouse.move(press);
        mouse.press(press);
        for (QPoint p : moves)
            mouse.move(p);
        EXPECT_EQ(box.cap(), (CaptureRegion{100, 100, 200, 100})) << name << ": record waits";
        mouse.release();
        EXPECT_EQ(box.cap(), adopted) << name;
        EXPECT_EQ(mouse.drag(), OverlayMouse::Drag::None) << name;
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
