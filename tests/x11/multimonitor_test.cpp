// Several monitors on a real Xorg with the dummy driver (run by
// with-xorg-dummy), laid out by dummy-layout. Virtual-screen coordinates start
// at DUMMY1's corner, so DUMMY0 sits at x = -1280.
#include "platform/x11/x11displayenumerator.h"
#include "platform/x11/x11screencapture.h"
#include "xsession.h"

#include <gtest/gtest.h>

using namespace quillcap;
using xs::session;

namespace {

const QRect kDesktop(-1280, 0, 3200, 1848);
const QPoint kPrimaryCorner(1280, 0); // root coordinates
const QRect kShownRoot[] = {{0, 300, 1280, 1024}, {1280, 0, 1920, 1080}, {1600, 1080, 1024, 768}};

class MultiMonitorTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_laidOut = session().run(QStringLiteral(QUILLCAP_DUMMY_LAYOUT), {}) == 0;
    }
    void SetUp() override { ASSERT_TRUE(s_laidOut) << "xrandr could not set up the monitors"; }

    static inline bool s_laidOut = false;
    x11::X11ScreenCapture m_capture;
};

TEST_F(MultiMonitorTest, EnumerateDisplaysInServerOrder) {
    const struct {
        const char *name;
        bool attached, primary, mirroring;
        QRect rect;
    } expected[] = {
        {"DUMMY0", true, false, false, {-1280, 300, 1280, 1024}},
        {"DUMMY1", true, true, false, {0, 0, 1920, 1080}},
        {"DUMMY2", true, false, false, {320, 1080, 1024, 768}},
        {"DUMMY3", true, false, true, {-1280, 300, 1280, 1024}}, // shows what DUMMY0 shows
        {"DUMMY4", false, false, false, {}},                     // connected, switched off
    };
    x11::X11DisplayEnumerator enumerator;
    const std::vector<DisplayDevice> devices = enumerator.EnumerateDisplays();
    ASSERT_EQ(devices.size(), std::size(expected));
    for (std::size_t i = 0; i < devices.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(devices[i].deviceName, expected[i].name);
        EXPECT_EQ(devices[i].attached, expected[i].attached);
        EXPECT_EQ(devices[i].primary, expected[i].primary);
        EXPECT_EQ(devices[i].mirroring, expected[i].mirroring);
        EXPECT_EQ(devices[i].rect, expected[i].rect);
    }

    // Without a RandR primary the first attached output is primary.
    ASSERT_EQ(session().run("xrandr", {"--noprimary"}), 0);
    const std::vector<DisplayDevice> noPrimary = enumerator.EnumerateDisplays();
    ASSERT_EQ(session().run("xrandr", {"--output", "DUMMY1", "--primary"}), 0);
    ASSERT_EQ(noPrimary.size(), std::size(expected));
    EXPECT_TRUE(noPrimary[0].primary);
    EXPECT_FALSE(noPrimary[1].primary);
    EXPECT_EQ(noPrimary[0].rect, QRect(0, 0, 1280, 1024));
    EXPECT_EQ(noPrimary[1].rect, QRect(1280, -300, 1920, 1080));
}

TEST_F(MultiMonitorTest, GrabIsBlackWhereNoMonitorShows) {
    session().setRootPicture(xs::pattern(session().size()));
    for (const QRect area : {kDesktop, QRect(-1400, -100, 600, 600), QRect(250, 1000, 1200, 900)}) {
        SCOPED_TRACE(testing::Message() << area.x() << "," << area.y());
        const QImage image = m_capture.GrabDesktop(area);
        ASSERT_EQ(image.size(), area.size());
        EXPECT_EQ(xs::firstDifference(image,
                                      [&](QPoint p) {
                                          const QPoint root = p + area.topLeft() + kPrimaryCorner;
                                          for (const QRect &shown : kShownRoot) {
                                              if (shown.contains(root))
                                                  return xs::pattern(root);
                                          }
                                          return qRgb(0, 0, 0);
                                      }),
                  "");
        EXPECT_TRUE(m_capture.LastGrabUsedSharedMemory());
    }
}

TEST_F(MultiMonitorTest, PointerAndDesktopAreInVirtualCoordinates) {
    xcb_connection_t *c = session().connection();
    xcb_warp_pointer(c, XCB_WINDOW_NONE, session().root(), 0, 0, 0, 0, 100, 500);
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_POINTER_ROOT, XCB_INPUT_FOCUS_POINTER_ROOT,
                        XCB_CURRENT_TIME);
    session().sync();
    EXPECT_EQ(m_capture.GrabCursor().position, QPoint(-1180, 500));
    EXPECT_FALSE(m_capture.ActiveWindow()) << "nothing focused";
}

} // namespace
