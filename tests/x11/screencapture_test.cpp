// Reading the screen, the cursor, the active window and the display list
// from a real X server (Xvfb, one 1920x1080 monitor). The same binary also
// runs on a server without MIT-SHM and RandR (QUILLCAP_TEST_BARE_SERVER=1):
// the plain request must read the same pixels and the root window is then
// the only monitor.
#include "platform/x11/x11displayenumerator.h"
#include "platform/x11/x11screencapture.h"
#include "xsession.h"

#include <QScopeGuard>
#include <QWidget>

#include <gtest/gtest.h>

using namespace quillcap;
using xs::session;

namespace {

const QRect kScreen(0, 0, 1920, 1080);

bool bareServer() {
    return qEnvironmentVariableIntValue("QUILLCAP_TEST_BARE_SERVER") == 1;
}

void focusWindow(xcb_window_t w) {
    xcb_set_input_focus(session().connection(), XCB_INPUT_FOCUS_PARENT, w, XCB_CURRENT_TIME);
    session().sync();
}

class ScreenCaptureTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(session().hasExtension("MIT-SHM"), !bareServer()) << "the wrong server";
        ASSERT_EQ(session().hasExtension("RANDR"), !bareServer()) << "the wrong server";
    }
    x11::X11ScreenCapture m_capture;
};

TEST_F(ScreenCaptureTest, GrabEqualsTheScreenPixelForPixel) {
    session().setRootPicture(xs::pattern(session().size()));
    // The second area needs a bigger shared segment than the first; the
    // later ones fit in it.
    for (const QRect area : {QRect(333, 217, 800, 500), kScreen, QRect(1800, 1000, 300, 200),
                             QRect(-50, -40, 100, 80)}) {
        SCOPED_TRACE(testing::Message() << area.x() << "," << area.y());
        const QImage image = m_capture.GrabDesktop(area);
        ASSERT_EQ(image.size(), area.size());
        EXPECT_EQ(xs::firstDifference(image,
                                      [&](QPoint p) {
                                          p += area.topLeft();
                                          return kScreen.contains(p) ? xs::pattern(p)
                                                                     : qRgb(0, 0, 0);
                                      }),
                  "");
        EXPECT_EQ(m_capture.LastGrabUsedSharedMemory(), !bareServer());
    }
}

// A cursor on the root window: foreground (red) on the left half, background
// (blue) on the right.
void setRootCursor(uint16_t width, uint16_t height, QPoint hotSpot) {
    xcb_connection_t *c = session().connection();
    const xcb_window_t root = session().root();
    const xcb_pixmap_t source = xcb_generate_id(c), mask = xcb_generate_id(c);
    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_pixmap(c, 1, source, root, width, height);
    xcb_create_pixmap(c, 1, mask, root, width, height);
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
    xcb_change_window_attributes(c, root, XCB_CW_CURSOR, &cursor);
    xcb_free_cursor(c, cursor);
    xcb_free_gc(c, gc);
    xcb_free_pixmap(c, source);
    xcb_free_pixmap(c, mask);
    session().sync();
}

TEST_F(ScreenCaptureTest, CursorShapeHotSpotAndPosition) {
    xcb_warp_pointer(session().connection(), XCB_WINDOW_NONE, session().root(), 0, 0, 0, 0, 700,
                     400);
    setRootCursor(24, 20, {5, 9});
    CursorImage shape = m_capture.GrabCursor();
    ASSERT_EQ(shape.image.size(), QSize(24, 20));
    EXPECT_EQ(shape.image.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(shape.hotSpot, QPoint(5, 9));
    EXPECT_EQ(shape.position, QPoint(700, 400));
    EXPECT_EQ(shape.image.pixel(11, 19), qRgb(255, 0, 0));
    EXPECT_EQ(shape.image.pixel(12, 0), qRgb(0, 0, 255));

    setRootCursor(1, 1, {0, 0});
    shape = m_capture.GrabCursor();
    EXPECT_TRUE(shape.image.isNull()) << "a 1x1 cursor has no shape to draw";
    EXPECT_EQ(shape.position, QPoint(700, 400));

    const uint32_t none = XCB_CURSOR_NONE;
    xcb_change_window_attributes(session().connection(), session().root(), XCB_CW_CURSOR, &none);
    session().sync();
}

TEST_F(ScreenCaptureTest, ActiveWindowWithoutWindowManagerIsTheFocusedTopLevel) {
    focusWindow(XCB_INPUT_FOCUS_POINTER_ROOT);
    EXPECT_FALSE(m_capture.ActiveWindow()) << "nothing focused";

    QWidget top;
    top.setGeometry(100, 120, 300, 200);
    QWidget child(&top);
    child.setGeometry(10, 10, 50, 50);
    child.setAttribute(Qt::WA_NativeWindow);
    top.show();
    const auto id = [](QWidget &w) { return xcb_window_t(w.winId()); };
    ASSERT_TRUE(xs::waitFor([&] { return session().viewable(id(child)); }, "the child shown"));
    for (QWidget *focus : {&top, &child}) {
        focusWindow(id(*focus));
        EXPECT_EQ(m_capture.ActiveWindow().value().rect, QRect(100, 120, 300, 200));
    }
    top.hide();
    ASSERT_TRUE(xs::waitFor([&] { return !session().viewable(id(top)); }, "the window hidden"));
    focusWindow(XCB_INPUT_FOCUS_POINTER_ROOT);
}

TEST_F(ScreenCaptureTest, ActiveWindowUnderOpenboxIncludesTheFrame) {
    const QScopeGuard stop([] { session().stopOpenbox(); });
    ASSERT_TRUE(session().startOpenbox()) << xs::why();
    const auto message = session().spawn(
        QStringLiteral("xmessage"), {"-geometry", "+200+150", "-title", "QuillCap active", "hi"});
    xcb_window_t client = XCB_WINDOW_NONE;
    ASSERT_TRUE(xs::waitFor(
        [&] {
            client = session().windows(QRegularExpression("QuillCap active")).value(0);
            return client && session().parent(client) != session().root() &&
                   session().activeWindow() == client;
        },
        "the message framed and active"));
    const QRect frame = session().geometry(session().topLevelOf(client));
    ASSERT_TRUE(frame.contains(session().geometry(client)) && frame != session().geometry(client))
        << "openbox drew no frame";
    EXPECT_EQ(m_capture.ActiveWindow().value().rect, frame);
}

TEST_F(ScreenCaptureTest, EnumerateDisplaysOnOneMonitor) {
    x11::X11DisplayEnumerator enumerator;
    const std::vector<DisplayDevice> devices = enumerator.EnumerateDisplays();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].deviceName, "screen");
    EXPECT_TRUE(devices[0].attached && devices[0].primary && !devices[0].mirroring);
    EXPECT_EQ(devices[0].rect, kScreen);
}

} // namespace
