// What the user sees and saves, over a pattern whose every pixel tells where it is.
#include "desktop.h"
#include "e2e.h"

#include <QDBusInterface>
#include <QDBusReply>

#include <QDate>

#include <X11/keysym.h>

namespace e2e {
namespace {

using Capture = E2e;

// Waits until the screen shows `frozen` (the desktop the overlay froze) as is in
// `box` and shaded outside. Pixels within two of an edge may go either way; the
// notice that a whole-desktop box gets is left out.
bool showsBox(
    XSession &x, const QRect &box,
    const std::function<QRgb(QPoint)> &frozen = [](QPoint p) { return pattern(p); }) {
    const QRect desk(QPoint(0, 0), x.size()), inside = box.adjusted(2, 2, -2, -2),
                                              edges = box.adjusted(-2, -2, 2, 2);
    const QRect notice = box.contains(desk.adjusted(20, 20, -20, -20))
                             ? QRect(desk.center() - QPoint(300, 100), QSize(600, 200))
                             : QRect();
    QPoint wrong;
    const auto right = [&] {
        const QImage screen = x.grabRoot();
        for (int row = 0; row < desk.height(); ++row)
            for (int column = 0; column < desk.width(); ++column) {
                const QPoint p(column, row);
                if (notice.contains(p) || (edges.contains(p) && !inside.contains(p)))
                    continue;
                const QRgb got = screen.pixel(p), was = frozen(p);
                if (box.contains(p) ? got != was : !shadedFrom(got, was))
                    return wrong = p, false;
            }
        return true;
    };
    return waitFor(right, "the box", kTimeout, 50ms) ||
           fail(QString::asprintf("(%d,%d) is wrong for the box at %d,%d %dx%d", wrong.x(),
                                  wrong.y(), box.x(), box.y(), box.width(), box.height()));
}

// The file once it is complete (it is renamed into place), as RGB32.
QImage saved(const Home &home, const QString &name) {
    QImage image;
    waitFor([&] { return image.load(home.home() + "/Pictures/" + name); }, name);
    return image.convertToFormat(QImage::Format_RGB32);
}

// The pointer (Xvfb's default cursor: 16x16, its hot spot at 7,7) is drawn
// only when asked for.
TEST_F(Capture, WholeDesktopIsPixelExactAndThePointerDrawnOnlyWhenAskedFor) {
    const QPoint at(500, 400);
    const QRect cursor(at - QPoint(7, 7), QSize(16, 16));
    ASSERT_TRUE(x->xdotool("mousemove --sync 500 400")) << why();
    for (const bool drawn : {false, true}) {
        ASSERT_TRUE(home.writeSettings({"SHOWMOUSE", drawn ? " 1 " : " 0 "}));
        QuillCap app(*x, home.environment(*x));
        ASSERT_TRUE(app.openOverlay() && x->key("d Return")) << why();
        const QImage whole = saved(home, drawn ? "Quillcap_002.png" : "Quillcap_001.png");
        ASSERT_EQ(whole.size(), x->size());
        EXPECT_EQ(whole.pixel(at) != pattern(at), drawn) << "at the hot spot";
        const auto expected = [&](QPoint p) {
            return drawn && cursor.contains(p) ? whole.pixel(p) : pattern(p);
        };
        EXPECT_EQ(firstDifference(whole, expected), "") << "drawn: " << drawn;
        ASSERT_TRUE(app.stop()) << why();
    }
}

TEST_F(Capture, ADrawnBoxIsPixelExactAndCounted) {
    QuillCap app(*x, home.environment(*x));
    ASSERT_TRUE(app.openOverlay() && x->drag({37, 53}, {337, 253}) && x->key("space")) << why();
    const QImage box = saved(home, "Quillcap_001.png");
    EXPECT_EQ(box.size(), QSize(300, 200));
    EXPECT_EQ(firstDifference(box, [](QPoint p) { return pattern(p + QPoint(37, 53)); }), "");
    EXPECT_TRUE(x->waitForWindow(QRegularExpression("QuillCap  \\(1 snaps\\)"))) << why();
}

TEST_F(Capture, OneOffNameAndClipboard) {
    ASSERT_TRUE(home.writeSettings({"FILETYPEINDEX", " 4 "})); // TIF
    QuillCap app(*x, home.environment(*x));
    // F, a name with a date code, Enter closes the panel, Enter captures.
    ASSERT_TRUE(app.openOverlay("ctrl+Print")) << why();
    ASSERT_TRUE(x->key("shift+e f") && x->type("shot_$yyyy") && x->key("Return Return")) << why();
    const QImage named =
        saved(home, "shot_" + QString::number(QDate::currentDate().year()) + ".tif");
    EXPECT_EQ(named.size(), QSize(640, 480)) << "640x480 at the default box's corner";
    EXPECT_EQ(firstDifference(named, [](QPoint p) { return pattern(p + QPoint(768, 432)); }), "");

    // C saves under the next name and puts the same picture on the clipboard.
    ASSERT_TRUE(app.openOverlay() && x->key("c")) << why();
    const QImage file = saved(home, "Quillcap_001.tif");
    QImage pasted;
    EXPECT_TRUE(waitFor([&] { return pasted.loadFromData(x->clipboard("image/png"), "PNG"); },
                        "a picture on the clipboard"));
    EXPECT_EQ(pasted.convertToFormat(QImage::Format_RGB32), file);
}

// At Qt's scale factor 2 as well: the desktop and the box stay in device pixels.
TEST_F(Capture, OverlayTheBoxFollowsTheMouseAndEveryKeyAndEscCountsNothing) {
    // Two remembered regions, the older first: x, y, width and height blocks.
    const QRect older(100, 150, 300, 200), newer(1200, 600, 400, 250);
    ASSERT_TRUE(writeFile(home.dataFolder() + "/lastcaps.txt",
                          " 2 \r\n100\r\n1200\r\n 2 \r\n150\r\n600\r\n"
                          " 2 \r\n300\r\n400\r\n 2 \r\n200\r\n250\r\n"));
    for (const char *scale : {"1", "2"}) {
        SCOPED_TRACE(testing::Message() << "scale factor " << scale);
        QProcessEnvironment env = home.environment(*x);
        env.insert("QT_SCALE_FACTOR", scale);
        QuillCap app(*x, env);
        xcb_window_t overlay = XCB_WINDOW_NONE;
        ASSERT_TRUE(app.openOverlay("Print", &overlay)) << why();
        const QRect desktop(QPoint(0, 0), x->size());
        EXPECT_EQ(x->geometry(overlay), desktop);
        ASSERT_TRUE(showsBox(*x, newer)) << why() << "; it opens on the newest region";
        ASSERT_TRUE(x->drag({200, 700}, {600, 900})) << why();
        ASSERT_TRUE(showsBox(*x, {200, 700, 400, 200})) << why() << "; drawn outside the box";
        // Each key changes the box, so a key that is not repainted shows; what
        // each key picks is the key map's unit test's. R: a fifth, centred.
        const std::pair<const char *, QRect> steps[] = {
            {"d", desktop}, {"r", {768, 432, 384, 216}}, {"Left", older}, {"Right", newer}};
        for (const auto &[keys, box] : steps) {
            ASSERT_TRUE(x->key(keys)) << why();
            ASSERT_TRUE(showsBox(*x, box)) << why() << "; after " << keys;
        }
        ASSERT_TRUE(x->key("Escape") && x->waitForNoWindow(kOverlay)) << why();
        EXPECT_TRUE(x->waitForWindow(QRegularExpression("QuillCap  \\(0 snaps\\)"))) << why();
        ASSERT_TRUE(app.stop()) << why();
    }
}

struct Typist { // another program's window the user types into, on its own connection
    explicit Typist(XSession &x) : c(xcb_connect(qPrintable(x.display()), nullptr)) {
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        const uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_KEY_PRESS};
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 100, 100, 300, 200, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                          XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
        xcb_map_window(c, window);
        xcb_flush(c);
    }
    ~Typist() { xcb_key_symbols_free(syms), xcb_disconnect(c); }
    void takeFocus() { // as a program popping up by itself does
        xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    }
    QList<xcb_keysym_t> keys() {
        while (const auto e = take(xcb_poll_for_event(c)))
            if ((e->response_type & ~0x80) == XCB_KEY_PRESS)
                got << xcb_key_symbols_get_keysym(
                    syms, reinterpret_cast<xcb_key_press_event_t *>(e.get())->detail, 0);
        return got;
    }
    xcb_connection_t *c;
    xcb_window_t window = xcb_generate_id(c);
    xcb_key_symbols_t *syms = xcb_key_symbols_alloc(c);
    QList<xcb_keysym_t> got;
};

// The desktops: each with a red panel 40 pixels high along the bottom.
const QPoint kInPanel(960, 1070);
const QRgb kPanelColour = qRgb(255, 0, 0);

bool tint2(Desktop &desktop, const Home &home) {
    const QString config = home.root() + "/tint2rc";
    return writeFile(config, "rounded = 0\nborder_width = 0\n"
                             "background_color = #ff0000 100\npanel_items = T\n"
                             "panel_position = bottom center horizontal\n"
                             "panel_size = 100% 40\npanel_background_id = 1\n") &&
           desktop.startPanel({"tint2", "-c", config}, kInPanel, kPanelColour);
}

bool openbox(Desktop &desktop, const Home &home) {
    return desktop.startManager({"openbox", "--sm-disable"}) && tint2(desktop, home);
}

bool xfwm4(Desktop &desktop, const Home &home) {
    // The panel's settings as if saved before; without them it asks on its
    // first start whether to take the default ones.
    const char *panel = R"(<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=8;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="40"/>
      <property name="background-style" type="uint" value="1"/>
      <property name="background-rgba" type="array">
        <value type="double" value="1"/>
        <value type="double" value="0"/>
        <value type="double" value="0"/>
        <value type="double" value="1"/>
      </property>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="separator">
      <property name="expand" type="bool" value="true"/>
      <property name="style" type="uint" value="0"/>
    </property>
  </property>
</channel>
)";
    return writeFile(home.home() + "/.config/xfce4/xfconf/xfce-perchannel-xml/xfce4-panel.xml",
                     panel) &&
           desktop.startBus() && desktop.startManager({"xfwm4", "--compositor=off"}) &&
           desktop.startPanel({"xfce4-panel"}, kInPanel, kPanelColour);
}

bool kwin(Desktop &desktop, const Home &home) {
    // Focus-stealing prevention at its highest: a window asking for the
    // keyboard does not get it.
    if (!writeFile(home.home() + "/.config/kwinrc",
                   "[Windows]\nFocusStealingPreventionLevel=4\n") ||
        !desktop.startBus() || !desktop.startManager({"kwin_x11", "--replace"}, {"KWIN_COMPOSE=N"}))
        return false;
    const QDBusReply<QString> info =
        QDBusInterface("org.kde.KWin", "/KWin", "org.kde.KWin", desktop.bus())
            .call("supportInformation");
    if (!info.value().contains("focusStealingPreventionLevel: 4"))
        return fail("KWin runs without the highest focus-stealing prevention: " + info.value());
    return tint2(desktop, home);
}

struct Setup {
    const char *name;
    bool (*start)(Desktop &, const Home &);
    bool holdsPrint; // then Ctrl+Print opens the overlay
    friend void PrintTo(const Setup &setup, std::ostream *out) { *out << setup.name; }
};

struct UnderADesktop : E2e, testing::WithParamInterface<Setup> {};

// The user typing into another program: the overlay covers the panel, keeps
// the keys even when that program takes the focus, and Esc gives them back.
TEST_P(UnderADesktop, TheOverlayCoversThePanelHoldsTheKeysAndEscGivesThemBack) {
    Desktop desktop(*x, home);
    ASSERT_TRUE(GetParam().start(desktop, home)) << why();
    Typist typist(*x);
    // No message after saving: it would take the focus from the typist.
    ASSERT_TRUE(home.writeSettings({"SHOWMESSAGE", " 0 ", "DEBUGLOG", "True"}));
    QuillCap app(*x, home.environment(*x));
    xcb_window_t main = XCB_WINDOW_NONE;
    ASSERT_TRUE(app.waitForMainWindow(&main)) << why();
    // Minimized, the main window stays away after a capture.
    ASSERT_TRUE(x->xdotool("windowminimize --sync " + QString::number(main))) << why();
    ASSERT_TRUE(x->focus(typist.window)) << why();
    const auto openOverlay = [&] {
        return app.openOverlay(GetParam().holdsPrint ? "ctrl+Print" : "Print", nullptr, false);
    };
    ASSERT_TRUE(openOverlay()) << why();
    typist.takeFocus();
    const auto shaded = [&] { return shadedFrom(x->grabRoot().pixel(kInPanel), kPanelColour); };
    EXPECT_TRUE(waitFor(shaded, "the panel under the overlay")) << why();
    ASSERT_TRUE(x->key("d Return")) << why();
    const QImage whole = saved(home, "Quillcap_001.png");
    EXPECT_EQ(whole.size(), x->size());
    EXPECT_EQ(whole.pixel(kInPanel), kPanelColour);
    ASSERT_TRUE(x->waitForNoWindow(kOverlay)) << why();
    // A held Print is logged, and said without a message box.
    EXPECT_EQ(readFile(home.dataFolder() + "/QuillCap.log").contains("Print Screen hot key: Print"),
              GetParam().holdsPrint);
    EXPECT_FALSE(x->shown(QRegularExpression("QuillCap"))) << "a message box";

    ASSERT_TRUE(openOverlay() && x->key("Escape") && x->waitForNoWindow(kOverlay)) << why();
    ASSERT_TRUE(x->key("a")) << why();
    EXPECT_TRUE(waitFor([&] { return typist.keys().contains(XK_a); }, "the key back")) << why();
    for (const xcb_keysym_t meant : {XK_d, XK_Return, XK_Escape})
        EXPECT_FALSE(typist.keys().contains(meant)) << "a key meant for the overlay got away";
    EXPECT_TRUE(desktop.stop()) << why();
}

// Openbox's default settings hold plain Print.
INSTANTIATE_TEST_SUITE_P(Capture, UnderADesktop,
                         testing::Values(Setup{"OpenboxAndTint2", openbox, true},
                                         Setup{"Xfwm4AndXfcePanel", xfwm4, false},
                                         Setup{"KWinAndTint2", kwin, false}),
                         [](const auto &info) { return info.param.name; });

// Several monitors (MultiMonitor.*, on the Xorg dummy that with-xorg-dummy lays
// out): the desktop starts at x = -1280, and no monitor shows parts of the root.
TEST(MultiMonitor, OverlayCoversEveryMonitorAndKeysAndMousePickTheBox) {
    const auto x = XSession::attach();
    ASSERT_TRUE(x) << why();
    x->setRootPicture(pattern(x->size()));
    const QRect shown[] = {{0, 300, 1280, 1024}, {1280, 0, 1920, 1080}, {1600, 1080, 1024, 768}};
    // Where no monitor shows, the frozen desktop is black.
    const auto frozen = [&](QPoint p) {
        const bool visible = std::any_of(std::begin(shown), std::end(shown),
                                         [&](const QRect &r) { return r.contains(p); });
        return visible ? pattern(p) : qRgb(0, 0, 0);
    };
    const Home home;
    QuillCap app(*x, home.environment(*x));
    xcb_window_t overlay = XCB_WINDOW_NONE;
    ASSERT_TRUE(app.openOverlay("Print", &overlay)) << why();
    EXPECT_EQ(x->geometry(overlay), QRect(0, 0, 3200, 1848)) << "the whole root";
    for (const int monitor : {1, 2, 3}) {
        ASSERT_TRUE(x->key(QString::number(monitor))) << why();
        EXPECT_TRUE(showsBox(*x, shown[monitor - 1], frozen)) << why() << "; monitor " << monitor;
    }
    // Across the left monitor's edge into the primary one.
    ASSERT_TRUE(x->drag({1000, 500}, {1500, 700})) << why();
    EXPECT_TRUE(showsBox(*x, {1000, 500, 500, 200}, frozen)) << why();
    ASSERT_TRUE(x->key("Escape") && x->waitForNoWindow(kOverlay) && app.stop()) << why();
}

} // namespace
} // namespace e2e
