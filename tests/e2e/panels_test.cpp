// The help panels of the real program, under a window manager.
#include "e2e.h"

namespace e2e {
namespace {

using Panels = E2e;

// Where the screen shows `colour` inside `area`: the middle of its extent.
std::optional<QPoint> find(const QImage &screen, QRect area, QRgb colour) {
    QRect found;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (screen.pixel(x, y) == colour)
                found |= QRect(x, y, 1, 1);
    return found.isEmpty() ? std::nullopt : std::optional(found.center());
}

TEST_F(Panels, ATabClickSlidesThePanelOutAtTheFramesRightEdgeAndASecondBack) {
    ASSERT_TRUE(x->startOpenbox()) << why();
    QuillCap app(*x, home.environment(*x));
    xcb_window_t window = XCB_WINDOW_NONE;
    ASSERT_TRUE(app.waitForMainWindow(&window)) << why();
    ASSERT_TRUE(waitFor([&] { return x->parent(window) != x->root(); }, "a frame")) << why();
    const QRect frame = x->geometry(x->topLevelOf(window));
    // The codes tab is the one amber card on the window; while its panel
    // slides, a faded card stands in for it.
    std::optional<QPoint> tab;
    const auto tabShown = [&] {
        return (tab = find(x->grabRoot(), frame, qRgb(196, 120, 24))).has_value();
    };
    const QRegularExpression title("SPECIAL FILE NAME CODES");
    ASSERT_TRUE(waitFor(tabShown, "the codes tab")) << why();
    const QString click = QString("mousemove %1 %2 click 1").arg(tab->x()).arg(tab->y());
    xcb_window_t panel = XCB_WINDOW_NONE;
    ASSERT_TRUE(x->xdotool(click) && x->waitForWindow(title, &panel) &&
                waitFor([&] { return !tabShown(); }, "the faded stand-in") &&
                waitFor(tabShown, "the tab back, the panel open"))
        << why();
    const auto fullyOut = [&] {
        const QRect at = x->geometry(panel);
        return at.left() == frame.right() + 1 && at.size() == QSize(263, 137);
    };
    EXPECT_TRUE(waitFor(fullyOut, "the panel beside the frame, at its full size"));
    ASSERT_TRUE(x->xdotool(click) && x->waitForNoWindow(title)) << why();
    ASSERT_TRUE(app.stop()) << why();
}

} // namespace
} // namespace e2e
