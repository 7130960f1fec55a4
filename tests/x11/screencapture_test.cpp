// Reading the screen, the cursor, the active window and the display list
// from a real X server (Xvfb, one 1920x1080 monitor). The same binary also
// runs on a server started without MIT-SHM and RandR
// (QUILLCAP_TEST_BARE_SERVER=1): the plain request must then read the same
// pixels, the root window is the only monitor, and Qt's connection survives.
#include "openboxsession.h"
#include "platform/x11/x11displayenumerator.h"
#include "platform/x11/x11screencapture.h"
#include "screenpattern.h"
#include "xprobe.h"

#include <QProcess>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>
#include <xcb/randr.h>

#include <algorithm>
#include <cstring>
#include <memory>

using namespace quillcap;

namespace {

constexpr int kTimeout = 15000;
const QRect kScreen(0, 0, 1920, 1080);

bool BareServer() {
    return qEnvironmentVariableIntValue("QUILLCAP_TEST_BARE_SERVER") == 1;
}

class ScreenCaptureTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_probe.ok()) << "no X display";
        ASSERT_EQ(m_probe.HasExtension("MIT-SHM"), !BareServer())
            << "server has the wrong extensions";
        ASSERT_EQ(m_probe.HasExtension("RANDR"), !BareServer())
            << "server has the wrong extensions";
    }

    void FocusWindow(xcb_window_t w) {
        xcb_set_input_focus(m_probe.connection(), XCB_INPUT_FOCUS_PARENT, w, XCB_CURRENT_TIME);
        m_probe.Sync();
    }

    XProbe m_probe;
    x11::X11ScreenCapture m_capture;
};

struct GrabCase {
    const char *what;
    QRect area;
};

// The second case needs a bigger shared segment than the first, the later
// ones fit in it.
const GrabCase kGrabCases[] = {
    {"away from the origin", {333, 217, 800, 500}},
    {"whole screen", kScreen},
    {"past the bottom right corner", {1800, 1000, 300, 200}},
    {"past the top left corner", {-50, -40, 100, 80}},
};

TEST_F(ScreenCaptureTest, GrabEqualsTheScreenPixelForPixel) {
    ShowPatternOnRoot(m_probe);
    for (const GrabCase &c : kGrabCases) {
        SCOPED_TRACE(c.what);
        const QImage image = m_capture.GrabDesktop(c.area);
        ASSERT_EQ(image.size(), c.area.size());
        EXPECT_EQ(FirstDifference(image,
                                  [&](QPoint p) {
                                      p += c.area.topLeft();
                                      return kScreen.contains(p) ? PatternPixel(p) : qRgb(0, 0, 0);
                                  }),
                  "");
        EXPECT_EQ(m_capture.LastGrabUsedSharedMemory(), !BareServer());
    }
}

// A cursor on the root window: foreground (red) on the left half, background
// (blue) on the right.
void SetRootCursor(XProbe &probe, uint16_t width, uint16_t height, QPoint hotSpot) {
    xcb_connection_t *c = probe.connection();
    const xcb_pixmap_t source = xcb_generate_id(c), mask = xcb_generate_id(c);
    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_pixmap(c, 1, source, probe.root(), width, height);
    xcb_create_pixmap(c, 1, mask, probe.root(), width, height);
    xcb_create_gc(c, gc, source, 0, nullptr);
    const auto fill = [&](xcb_pixmap_t pixmap, uint32_t bit, uint16_t w) {
        xcb_change_gc(c, gc, XCB_GC_FOREGROUND, &bit);
        const xcb_rectangle_t rect{0, 0, w, height};
        xcb_poly_fill_rectangle(c, pixmap, gc, 1, &rect);
    };
    fill(source, 0, width);
    fill(source, 1, width / 2);
    fill(mask, 1, width);
    const xcb_cursor_t cursor = xcb_generate_id(c);
    xcb_create_cursor(c, cursor, source, mask, 0xffff, 0, 0, 0, 0, 0xffff, hotSpot.x(),
                      hotSpot.y());
    xcb_change_window_attributes(c, probe.root(), XCB_CW_CURSOR, &cursor);
    xcb_free_cursor(c, cursor);
    xcb_free_gc(c, gc);
    xcb_free_pixmap(c, source);
    xcb_free_pixmap(c, mask);
    probe.Sync();
}

TEST_F(ScreenCaptureTest, CursorShapeHotSpotAndPosition) {
    xcb_warp_pointer(m_probe.connection(), XCB_WINDOW_NONE, m_probe.root(), 0, 0, 0, 0, 700, 400);
    SetRootCursor(m_probe, 24, 20, {5, 9});
    CursorImage shape = m_capture.GrabCursor();
    ASSERT_EQ(shape.image.size(), QSize(24, 20));
    EXPECT_EQ(shape.image.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(shape.hotSpot, QPoint(5, 9));
    EXPECT_EQ(shape.position, QPoint(700, 400));
    EXPECT_EQ(shape.image.pixel(11, 19), qRgb(255, 0, 0));
    EXPECT_EQ(shape.image.pixel(12, 0), qRgb(0, 0, 255));

    SetRootCursor(m_probe, 1, 1, {0, 0});
    shape = m_capture.GrabCursor();
    EXPECT_TRUE(shape.image.isNull()) << "a 1x1 cursor has no shape to draw";
    EXPECT_EQ(shape.position, QPoint(700, 400));

    const uint32_t none = XCB_CURSOR_NONE;
    xcb_change_window_attributes(m_probe.connection(), m_probe.root(), XCB_CW_CURSOR, &none);
    m_probe.Sync();
}

TEST_F(ScreenCaptureTest, ActiveWindowWithoutWindowManagerIsTheFocusedTopLevel) {
    FocusWindow(XCB_INPUT_FOCUS_POINTER_ROOT);
    EXPECT_FALSE(m_capture.ActiveWindow()) << "nothing focused";

    QWidget top;
    top.setGeometry(100, 120, 300, 200);
    QWidget child(&top);
    child.setGeometry(10, 10, 50, 50);
    child.setAttribute(Qt::WA_NativeWindow);
    top.show();
    const auto id = [](QWidget &w) { return static_cast<xcb_window_t>(w.winId()); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_probe.IsViewable(id(child)); }, kTimeout));
    for (QWidget *focus : {&top, &child}) {
        FocusWindow(id(*focus));
        EXPECT_EQ(m_capture.ActiveWindow().value().rect, QRect(100, 120, 300, 200));
    }
    top.hide();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_probe.IsViewable(id(top)); }, kTimeout));
    FocusWindow(XCB_INPUT_FOCUS_POINTER_ROOT);
}

TEST_F(ScreenCaptureTest, ActiveWindowUnderOpenboxIncludesTheFrame) {
    OpenboxSession openbox(m_probe);
    ASSERT_TRUE(openbox.running()) << "openbox did not take the display";
    QProcess message;
    message.start(QStringLiteral("xmessage"),
                  {QStringLiteral("-geometry"), QStringLiteral("+200+150"),
                   QStringLiteral("-title"), QStringLiteral("QuillCap active"),
                   QStringLiteral("hello")});
    xcb_window_t client = XCB_WINDOW_NONE;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            client = m_probe.FindByTitle(QStringLiteral("QuillCap active"));
            return client != XCB_WINDOW_NONE && m_probe.IsManaged(client, 1) &&
                   m_probe.ActiveWindow() == client;
        },
        kTimeout));
    const QRect frame = m_probe.Geometry(m_probe.TopLevelOf(client));
    ASSERT_TRUE(frame.contains(m_probe.Geometry(client)) && frame != m_probe.Geometry(client))
        << "openbox drew no frame";
    EXPECT_EQ(m_capture.ActiveWindow().value().rect, frame);
    message.kill();
    message.waitForFinished(kTimeout);
}

void SetEdidMonitorName(XProbe &probe, const char *name) {
    xcb_connection_t *c = probe.connection();
    const std::unique_ptr<xcb_randr_get_screen_resources_current_reply_t, decltype(&std::free)>
        resources(xcb_randr_get_screen_resources_current_reply(
                      c, xcb_randr_get_screen_resources_current(c, probe.root()), nullptr),
                  &std::free);
    ASSERT_TRUE(resources &&
                xcb_randr_get_screen_resources_current_outputs_length(resources.get()));
    // A serial number descriptor first, then the name, ended by a line feed
    // and padded with blanks.
    uint8_t edid[128] = {0, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0};
    const uint8_t serial[] = {0, 0, 0, 0xff, 0, '1', '2', '3', '\n'};
    std::copy(std::begin(serial), std::end(serial), edid + 54);
    const uint8_t header[] = {0, 0, 0, 0xfc, 0};
    std::copy(std::begin(header), std::end(header), edid + 72);
    std::fill(edid + 77, edid + 90, ' ');
    std::copy(name, name + std::strlen(name), edid + 77);
    edid[77 + std::strlen(name)] = '\n';
    xcb_randr_change_output_property(
        c, xcb_randr_get_screen_resources_current_outputs(resources.get())[0], probe.Atom("EDID"),
        XCB_ATOM_INTEGER, 8, XCB_PROP_MODE_REPLACE, sizeof edid, edid);
    probe.Sync();
}

TEST_F(ScreenCaptureTest, EnumerateDisplaysOnOneMonitor) {
    x11::X11DisplayEnumerator enumerator;
    std::vector<DisplayDevice> devices = enumerator.EnumerateDisplays();
    ASSERT_EQ(devices.size(), 1u);
    const DisplayDevice &d = devices[0];
    EXPECT_EQ(d.deviceName, "screen");
    EXPECT_EQ(d.monitorDescription, BareServer() ? "Default Monitor" : "screen");
    EXPECT_TRUE(d.attached && d.primary && !d.mirroring);
    EXPECT_EQ(d.rect, kScreen);
    EXPECT_EQ(d.workArea, kScreen);
    EXPECT_EQ(d.bitsPerPixel, 32);
    EXPECT_NE(d.monitorHandle, 0u);

    const uint32_t workArea[] = {0, 0, 1920, 1050};
    xcb_change_property(m_probe.connection(), XCB_PROP_MODE_REPLACE, m_probe.root(),
                        m_probe.Atom("_NET_WORKAREA"), XCB_ATOM_CARDINAL, 32, 4, workArea);
    if (!BareServer())
        SetEdidMonitorName(m_probe, "QC Panel");
    m_probe.Sync();
    devices = enumerator.EnumerateDisplays();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].workArea, QRect(0, 0, 1920, 1050));
    EXPECT_EQ(devices[0].monitorDescription, BareServer() ? "Default Monitor" : "QC Panel");
    xcb_delete_property(m_probe.connection(), m_probe.root(), m_probe.Atom("_NET_WORKAREA"));
    m_probe.Sync();
}

} // namespace
