// The help panels of the real program, under a window manager.
#include "e2e.h"

namespace e2e {
namespace {

using Panels = E2e;

TEST_F(Panels, ATabClickSlidesThePanelOutAtTheFramesRightEdgeAndASecondBack) {
    ASSERT_TRUE(x->startOpenbox()) << why();
    QuillCap app(*x, home.environment(*x));
    xcb_window_t window = XCB_WINDOW_NONE;
    ASSERT_TRUE(app.waitForMainWindow(&window)) << why();
    ASSERT_TRUE(waitFor([&] { return x->parent(window) != x->root(); }, "a frame")) << why();
    const QRect frame = x->geometry(x->topLevelOf(window));
    // The codes tab is the one amber card on the window; while its panel
    // slides, a faded card stands in for it.
    const auto tab = [&] { return area(x->grabRoot(), qRgb(196, 120, 24), frame); };
    const QRegularExpression title("SPECIAL FILE NAME CODES");
    ASSERT_TRUE(waitFor([&] { return !tab().isEmpty(); }, "the codes tab")) << why();
    const QPoint click = tab().center();
    xcb_window_t panel = XCB_WINDOW_NONE;
    ASSERT_TRUE(x->click(click) && x->waitForWindow(title, &panel) &&
                waitFor([&] { return tab().isEmpty(); }, "the faded stand-in") &&
                waitFor([&] { return !tab().isEmpty(); }, "the tab back, the panel open"))
        << why();
    const auto fullyOut = [&] {
        const QRect at = x->geometry(panel);
        return at.left() == frame.right() + 1 && at.size() == QSize(263, 137);
    };
    EXPECT_TRUE(waitFor(fullyOut, "the panel beside the frame, at its full size"));
    ASSERT_TRUE(x->click(click) && x->waitForNoWindow(title)) << why();
    ASSERT_TRUE(app.stop()) << why();
}

} // namespace
} // namespace e2e
