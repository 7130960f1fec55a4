// The overlay over several monitors of different sizes, on the real Xorg
// with the dummy driver that with-xorg-dummy starts, laid out by
// dummy-layout: a monitor left of the primary makes the desktop start at
// x = -1280, and no monitor shows some parts of the root.
#include "e2e.h"

#include <algorithm>

namespace e2e {
namespace {

TEST(MultiMonitor, OverlayCoversEveryMonitorAndKeysAndMousePickTheBox) {
    const auto x = XSession::attach();
    ASSERT_TRUE(x) << why();
    ASSERT_EQ(x->run(QUILLCAP_DUMMY_LAYOUT, {}), 0) << why();
    x->setRootPicture(pattern(x->size()));
    const QRect shown[] = {{0, 300, 1280, 1024}, {1280, 0, 1920, 1080}, {1600, 1080, 1024, 768}};
    // Where no monitor shows, the frozen desktop is black.
    const auto frozen = [&](QPoint p) {
        return std::any_of(std::begin(shown), std::end(shown),
                           [&](const QRect &r) { return r.contains(p); })
                   ? pattern(p)
                   : qRgb(0, 0, 0);
    };
    const Home home;
    QuillCap app(*x, home.environment(*x));
    xcb_window_t overlay = XCB_WINDOW_NONE;
    ASSERT_TRUE(app.openOverlay("Print", &overlay)) << why();
    EXPECT_EQ(x->geometry(overlay), QRect(0, 0, 3200, 1848)) << "the whole root";
    for (const int monitor : {1, 2, 3}) {
        SCOPED_TRACE(monitor);
        ASSERT_TRUE(x->key(QString::number(monitor))) << why();
        EXPECT_TRUE(showsBox(*x, shown[monitor - 1], frozen));
    }
    // Across the left monitor's edge into the primary one.
    ASSERT_TRUE(x->drag({1000, 500}, {1500, 700})) << why();
    EXPECT_TRUE(showsBox(*x, {1000, 500, 500, 200}, frozen));
    ASSERT_TRUE(x->key("Escape") && x->waitForNoWindow(kOverlay)) << why();
    ASSERT_TRUE(app.stop()) << why();
}

} // namespace
} // namespace e2e
