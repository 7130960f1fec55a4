// Several monitors on a real Xorg with the dummy driver (run by
// with-xorg-dummy), laid out by dummy-layout. Virtual-screen coordinates start
// at DUMMY1's corner, so DUMMY0 sits at x = -1280.
#include "platform/x11/x11displayenumerator.h"
#include "platform/x11/x11screencapture.h"
#include "screenpattern.h"
#include "xprobe.h"

#include <gtest/gtest.h>

using namespace quillcap;

namespace {

const QRect kDesktop(-1280, 0, 3200, 1848);
const QPoint kPrimaryCorner(1280, 0); // root coordinates
const QRect kShownRoot[] = {{0, 300, 1280, 1024}, {1280, 0, 1920, 1080}, {1600, 1080, 1024, 768}};

class MultiMonitorTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_laidOut = RunProgram(QStringLiteral(QUILLCAP_DUMMY_LAYOUT), {}) == 0;
    }

    void SetUp() override {
        ASSERT_TRUE(m_probe.ok()) << "no X display";
        ASSERT_TRUE(s_laidOut) << "xrandr could not set up the monitors";
    }

    static inline bool s_laidOut = false;
    XProbe m_probe;
    x11::X11ScreenCapture m_capture;
};

struct DeviceRow {
    const char *name;
    bool attached, primary, mirroring;
    QRect rect;
    int refreshHz;
    QRect workArea;
};

// With a work area of root 0,40 3200x1778: a panel above the primary, one
// over the bottom of DUMMY2.
const DeviceRow kDevices[] = {
    {"DUMMY0", true, false, false, {-1280, 300, 1280, 1024}, 50, {-1280, 300, 1280, 1024}},
    {"DUMMY1", true, true, false, {0, 0, 1920, 1080}, 60, {0, 40, 1920, 1040}},
    {"DUMMY2", true, false, false, {320, 1080, 1024, 768}, 72, {320, 1080, 1024, 738}},
    {"DUMMY3", true, false, true, {-1280, 300, 1280, 1024}, 50, {-1280, 300, 1280, 1024}},
    {"DUMMY4", false, false, false, {}, 0, {}},
};

TEST_F(MultiMonitorTest, EnumerateDisplaysInServerOrder) {
    const uint32_t workArea[] = {0, 40, 3200, 1778};
    xcb_change_property(m_probe.connection(), XCB_PROP_MODE_REPLACE, m_probe.root(),
                        m_probe.Atom("_NET_WORKAREA"), XCB_ATOM_CARDINAL, 32, 4, workArea);
    m_probe.Sync();
    x11::X11DisplayEnumerator enumerator;
    const std::vector<DisplayDevice> devices = enumerator.EnumerateDisplays();
    ASSERT_EQ(devices.size(), std::size(kDevices));
    for (std::size_t i = 0; i < devices.size(); ++i) {
        const DisplayDevice &d = devices[i];
        const DeviceRow &want = kDevices[i];
        SCOPED_TRACE(want.name);
        EXPECT_EQ(d.deviceName, want.name);
        EXPECT_EQ(d.monitorDescription, want.name) << "no EDID: the output's name";
        EXPECT_EQ(d.adapterDescription, "") << "the dummy driver has no RandR provider";
        EXPECT_EQ(d.attached, want.attached);
        EXPECT_EQ(d.primary, want.primary);
        EXPECT_EQ(d.mirroring, want.mirroring);
        EXPECT_EQ(d.rect, want.rect);
        EXPECT_EQ(d.refreshHz, want.refreshHz);
        EXPECT_EQ(d.workArea, want.workArea);
        EXPECT_EQ(d.bitsPerPixel, 32);
        EXPECT_EQ(d.monitorHandle != 0, want.attached);
    }
    EXPECT_NE(devices[3].monitorHandle, devices[0].monitorHandle)
        << "a mirror on a CRTC of its own";

    // Without a RandR primary the first attached output is primary.
    ASSERT_EQ(RunProgram(QStringLiteral("xrandr"), {QStringLiteral("--noprimary")}), 0);
    const std::vector<DisplayDevice> noPrimary = enumerator.EnumerateDisplays();
    ASSERT_EQ(RunProgram(QStringLiteral("xrandr"), {"--output", "DUMMY1", "--primary"}), 0);
    ASSERT_EQ(noPrimary.size(), std::size(kDevices));
    EXPECT_TRUE(noPrimary[0].primary);
    EXPECT_FALSE(noPrimary[1].primary);
    EXPECT_EQ(noPrimary[0].rect, QRect(0, 0, 1280, 1024));
    EXPECT_EQ(noPrimary[1].rect, QRect(1280, -300, 1920, 1080));
    xcb_delete_property(m_probe.connection(), m_probe.root(), m_probe.Atom("_NET_WORKAREA"));
    m_probe.Sync();
}

TEST_F(MultiMonitorTest, GrabIsBlackWhereNoMonitorShows) {
    ShowPatternOnRoot(m_probe);
    for (const QRect &area :
         {kDesktop, QRect(-1400, -100, 600, 600), QRect(250, 1000, 1200, 900)}) {
        SCOPED_TRACE(QStringLiteral("%1,%2 %3x%4")
                         .arg(area.x())
                         .arg(area.y())
                         .arg(area.width())
                         .arg(area.height())
                         .toStdString());
        const QImage image = m_capture.GrabDesktop(area);
        ASSERT_EQ(image.size(), area.size());
        EXPECT_EQ(FirstDifference(image,
                                  [&](QPoint p) {
                                      const QPoint root = p + area.topLeft() + kPrimaryCorner;
                                      for (const QRect &shown : kShownRoot) {
                                          if (shown.contains(root))
                                              return PatternPixel(root);
                                      }
                                      return qRgb(0, 0, 0);
                                  }),
                  "");
        EXPECT_TRUE(m_capture.LastGrabUsedSharedMemory());
    }
}

TEST_F(MultiMonitorTest, PointerAndDesktopAreInVirtualCoordinates) {
    xcb_warp_pointer(m_probe.connection(), XCB_WINDOW_NONE, m_probe.root(), 0, 0, 0, 0, 100, 500);
    xcb_set_input_focus(m_probe.connection(), XCB_INPUT_FOCUS_POINTER_ROOT,
                        XCB_INPUT_FOCUS_POINTER_ROOT, XCB_CURRENT_TIME);
    m_probe.Sync();
    EXPECT_EQ(m_capture.GrabCursor().position, QPoint(-1180, 500));
    EXPECT_FALSE(m_capture.ActiveWindow()) << "nothing focused";
}

} // namespace
