// What the capture reads from a real X server (QUILLCAP_TEST_BARE_SERVER=1: no MIT-SHM).
#include "platform/x11/x11displayenumerator.h"
#include "platform/x11/x11hotkey.h"
#include "platform/x11/x11overlayhold.h"
#include "platform/x11/x11screencapture.h"
#include "xsession.h"

#include <QAbstractNativeEventFilter>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

using namespace quillcap;
using xs::session;

namespace {

const QRect kScreen(0, 0, 1920, 1080);

// The displays in server order, with what the capture uses of each.
std::vector<std::tuple<std::string, bool, bool, bool, QRect>> displays() {
    decltype(displays()) all;
    for (const DisplayDevice &d : x11::X11DisplayEnumerator().EnumerateDisplays())
        all.emplace_back(d.deviceName.toStdString(), d.attached, d.primary, d.mirroring, d.rect);
    return all;
}

struct ScreenCaptureTest : testing::Test {
    x11::X11ScreenCapture m_capture;
};

TEST_F(ScreenCaptureTest, GrabEqualsTheScreenPixelForPixelAndIsBlackPastTheEdges) {
    session().setRootPicture(xs::pattern(session().size()));
    // The second area needs a bigger shared segment than the first; the
    // later ones fit in it.
    for (const QRect area : {QRect(333, 217, 800, 500), kScreen, QRect(1800, 1000, 300, 200),
                             QRect(-50, -40, 100, 80)}) {
        SCOPED_TRACE(testing::Message() << area.x() << "," << area.y());
        const QImage image = m_capture.GrabDesktop(area);
        ASSERT_EQ(image.size(), area.size());
        const auto expected = [&](QPoint p) {
            p += area.topLeft();
            return kScreen.contains(p) ? xs::pattern(p) : qRgb(0, 0, 0);
        };
        EXPECT_EQ(xs::firstDifference(image, expected), "");
        EXPECT_EQ(m_capture.LastGrabUsedSharedMemory(),
                  qEnvironmentVariableIntValue("QUILLCAP_TEST_BARE_SERVER") != 1);
    }
    // Grabs reuse their memory, but never a picture somebody still holds.
    const QImage held = m_capture.GrabDesktop(kScreen);
    session().setRootPicture(xs::pattern(session().size()).mirrored());
    QImage next = m_capture.GrabDesktop(kScreen);
    EXPECT_EQ(xs::firstDifference(held, [](QPoint p) { return xs::pattern(p); }), "");
    const uchar *memory = std::exchange(next, QImage()).constBits();
    EXPECT_EQ(m_capture.GrabDesktop(kScreen).constBits(), memory);
}

// Gives the root a cursor: red on the left half, blue on the right.
void setRootCursor(uint16_t width, uint16_t height, QPoint hotSpot) {
    xcb_connection_t *c = session().connection();
    const uint32_t source = xcb_generate_id(c), mask = xcb_generate_id(c), gc = xcb_generate_id(c),
                   cursor = xcb_generate_id(c);
    for (const xcb_pixmap_t pixmap : {source, mask})
        xcb_create_pixmap(c, 1, pixmap, session().root(), width, height);
    xcb_create_gc(c, gc, source, 0, nullptr);
    for (const auto &[pixmap, bit, w] :
         {std::tuple{source, 0u, width}, {source, 1u, uint16_t(width / 2)}, {mask, 1u, width}}) {
        xcb_change_gc(c, gc, XCB_GC_FOREGROUND, &bit);
        const xcb_rectangle_t rect{0, 0, w, height};
        xcb_poly_fill_rectangle(c, pixmap, gc, 1, &rect);
    }
    xcb_create_cursor(c, cursor, source, mask, 0xffff, 0, 0, 0, 0, 0xffff, hotSpot.x(),
                      hotSpot.y());
    xcb_change_window_attributes(c, session().root(), XCB_CW_CURSOR, &cursor);
    session().sync();
}

TEST_F(ScreenCaptureTest, CursorShapeHotSpotAndPosition) {
    ASSERT_TRUE(session().xdotool("mousemove --sync 700 400")) << xs::why();
    setRootCursor(24, 20, {5, 9});
    CursorImage shape = m_capture.GrabCursor();
    ASSERT_EQ(shape.image.size(), QSize(24, 20));
    EXPECT_EQ(shape.hotSpot, QPoint(5, 9));
    EXPECT_EQ(shape.position, QPoint(700, 400));
    EXPECT_EQ(shape.image.pixel(11, 19), qRgb(255, 0, 0));
    EXPECT_EQ(shape.image.pixel(12, 0), qRgb(0, 0, 255));

    setRootCursor(1, 1, {0, 0});
    shape = m_capture.GrabCursor();
    EXPECT_TRUE(shape.image.isNull()) << "a 1x1 cursor has no shape to draw";
    EXPECT_EQ(shape.position, QPoint(700, 400));
}

// Without a window manager the focused top-level, though a child of it has
// the focus; under openbox the active window with its frame.
TEST_F(ScreenCaptureTest, ActiveWindowIsTheFocusedTopLevelOrTheActiveFrame) {
    xcb_set_input_focus(session().connection(), 0, XCB_INPUT_FOCUS_POINTER_ROOT, XCB_CURRENT_TIME);
    session().sync();
    EXPECT_FALSE(m_capture.ActiveWindow()) << "nothing focused";
    QWidget top;
    top.setGeometry(100, 120, 300, 200);
    QWidget child(&top);
    child.setGeometry(10, 10, 50, 50);
    child.setAttribute(Qt::WA_NativeWindow);
    top.show();
    const auto id = [](QWidget &w) { return xcb_window_t(w.winId()); };
    ASSERT_TRUE(xs::waitFor([&] { return session().viewable(id(child)); }, "the child shown"));
    const auto active = [&] { return m_capture.ActiveWindow().value_or(ActiveWindowFrame{}); };
    for (QWidget *focused : {&top, &child}) {
        ASSERT_TRUE(session().focus(id(*focused))) << xs::why();
        EXPECT_TRUE(active().rect == QRect(100, 120, 300, 200) && active().mapped);
    }
    const QScopeGuard stop([] { session().stopOpenbox(); });
    ASSERT_TRUE(session().startOpenbox() &&
                session().xdotool("windowactivate --sync " + QString::number(id(top))))
        << xs::why();
    const QRect client = session().geometry(id(top)),
                frame = session().geometry(session().topLevelOf(id(top)));
    ASSERT_TRUE(frame.contains(client) && frame != client) << "openbox drew no frame";
    EXPECT_TRUE(active().rect == frame && active().mapped);
}

TEST_F(ScreenCaptureTest, EnumerateDisplaysOnOneMonitor) {
    EXPECT_EQ(displays(), (decltype(displays()){{"screen", true, true, false, kScreen}}));
}

// Print Screen, pressed by xdotool with no window manager (the usual one holds
// plain Print). The test is a native filter for its fence messages.
struct HotKeyTest : testing::Test, QAbstractNativeEventFilter {
    HotKeyTest() { m_window.create(), qApp->installNativeEventFilter(this); }
    ~HotKeyTest() override { qApp->removeNativeEventFilter(this); }
    bool nativeEventFilter(const QByteArray &, void *event, qintptr *) override {
        const auto *m = static_cast<const xcb_client_message_event_t *>(event);
        const bool fence = (m->response_type & ~0x80) == XCB_CLIENT_MESSAGE && m->type == m_fence;
        if (fence)
            QMetaObject::invokeMethod(
                qApp, [this] { ++m_passed; }, Qt::QueuedConnection);
        return fence;
    }
    // The presses `keys` raise, counted once our message, sent after them, got
    // through Qt: the call it queues runs after those they queued.
    int presses(const QString &keys) {
        m_pressed.clear();
        const xcb_client_message_event_t m{
            XCB_CLIENT_MESSAGE, 32, 0, xcb_window_t(m_window.winId()), m_fence, {}};
        if (!session().key(keys))
            return -1;
        xcb_send_event(session().connection(), 0, m.window, 0, reinterpret_cast<const char *>(&m));
        session().sync();
        const int sent = ++m_sent;
        return xs::waitFor([&] { return m_passed == sent; }, "the fence") ? int(m_pressed.size())
                                                                          : -1;
    }

    QWindow m_window;
    const xcb_atom_t m_fence = session().atom("QUILLCAP_TEST_FENCE");
    int m_sent = 0, m_passed = 0;
    QStringList m_log;
    x11::X11HotKey m_hotKey{[this](const QString &line) { m_log << line; }};
    QSignalSpy m_pressed{&m_hotKey, &x11::X11HotKey::pressed};
};

TEST_F(HotKeyTest, EachCombinationRaisesOnePressWhateverTheLocksUnlessHeldElsewhere) {
    m_hotKey.HookHotKeys();
    // Locks are pressed before, and again after to undo them.
    for (const char *keys : {"Print", "ctrl+Print", "shift+Print", "Num_Lock Print Num_Lock",
                             "Num_Lock ctrl+Print Num_Lock", "Caps_Lock shift+Print Caps_Lock",
                             "Num_Lock Caps_Lock ctrl+Print Num_Lock Caps_Lock"})
        EXPECT_EQ(presses(keys), 1) << keys;
    for (const char *keys : {"alt+Print", "ctrl+shift+Print"})
        EXPECT_EQ(presses(keys), 0) << keys;
    m_hotKey.UnhookHotKeys();

    // Another client holds Ctrl with any key: Ctrl+Print is skipped and said
    // so, the other combinations still work, and unhooking releases them all.
    xcb_connection_t *c = session().connection();
    const auto grab = [&](uint16_t modifiers) {
        return xs::take(xcb_request_check(c, xcb_grab_key_checked(c, 0, session().root(), modifiers,
                                                                  XCB_GRAB_ANY, XCB_GRAB_MODE_ASYNC,
                                                                  XCB_GRAB_MODE_ASYNC)));
    };
    ASSERT_FALSE(grab(XCB_MOD_MASK_CONTROL));
    m_hotKey.HookHotKeys();
    EXPECT_TRUE(m_log.join('\n').contains("Ctrl+Print")) << "the user is not told";
    EXPECT_EQ(m_hotKey.TakenCombinations(), QStringList{"Ctrl+Print"});
    EXPECT_EQ(presses("Print ctrl+Print Num_Lock ctrl+Print Num_Lock"), 2);
    m_hotKey.UnhookHotKeys();
    EXPECT_EQ(presses("Print"), 0);
    EXPECT_FALSE(grab(0)) << "unhooking kept a grab";
    xcb_ungrab_key(c, XCB_GRAB_ANY, session().root(), XCB_MOD_MASK_ANY);
    session().sync();
}

// Another client holds the keyboard for the first 300 ms, as a desktop's
// shortcut handler does until the key comes up: the overlay tries again, gets
// it (its window turns active through the grab alone) and gives it back.
TEST(OverlayHoldTest, AKeyboardHeldElsewhereForAMomentIsTakenOnceFreeAndGivenBack) {
    xcb_connection_t *c = session().connection();
    const auto grabKeyboard = [&] {
        const auto r = xs::take(
            xcb_grab_keyboard_reply(c,
                                    xcb_grab_keyboard(c, 0, session().root(), XCB_CURRENT_TIME,
                                                      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                    nullptr));
        return r ? int(r->status) : -1;
    };
    ASSERT_EQ(grabKeyboard(), XCB_GRAB_STATUS_SUCCESS);
    QTimer::singleShot(300, [&] { xcb_ungrab_keyboard(c, XCB_CURRENT_TIME), session().sync(); });
    bool gaveUp = false;
    x11::X11OverlayHold hold;
    QWidget window;
    window.resize(200, 100);
    hold.Prepare(&window);
    window.show();
    hold.Grab(&window, [&] { gaveUp = true; });
    ASSERT_TRUE(xs::waitFor([&] { return window.isActiveWindow() || gaveUp; }, "the grab"));
    EXPECT_FALSE(gaveUp);
    EXPECT_EQ(grabKeyboard(), XCB_GRAB_STATUS_ALREADY_GRABBED);
    hold.Release();
    EXPECT_TRUE(xs::waitFor([&] { return grabKeyboard() == XCB_GRAB_STATUS_SUCCESS; }, "release"));
    xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
    session().sync();
}

// On the Xorg dummy that with-xorg-dummy lays out: DUMMY0 sits left of DUMMY1,
// the primary, at x = -1280. Its grab is checked end to end (e2e_multimonitor).
TEST(MultiMonitor, DisplaysInServerOrderAndThePointerInVirtualCoordinates) {
    const decltype(displays()) expected = {
        {"DUMMY0", true, false, false, {-1280, 300, 1280, 1024}},
        {"DUMMY1", true, true, false, {0, 0, 1920, 1080}},
        {"DUMMY2", true, false, false, {320, 1080, 1024, 768}},
        {"DUMMY3", true, false, true, {-1280, 300, 1280, 1024}}, // shows what DUMMY0 shows
        {"DUMMY4", false, false, false, {}},                     // connected, switched off
    };
    EXPECT_EQ(displays(), expected);

    // Without a RandR primary the first attached output is primary.
    ASSERT_TRUE(session().run("xrandr", {"--noprimary"}));
    const auto noPrimary = displays();
    ASSERT_TRUE(session().run("xrandr", {"--output", "DUMMY1", "--primary"}));
    ASSERT_EQ(noPrimary.size(), expected.size());
    EXPECT_EQ(noPrimary[0], std::tuple("DUMMY0", true, true, false, QRect(0, 0, 1280, 1024)));
    EXPECT_EQ(noPrimary[1],
              std::tuple("DUMMY1", true, false, false, QRect(1280, -300, 1920, 1080)));

    ASSERT_TRUE(session().xdotool("mousemove --sync 100 500")) << xs::why();
    EXPECT_EQ(x11::X11ScreenCapture().GrabCursor().position, QPoint(-1180, 500));
}

} // namespace
