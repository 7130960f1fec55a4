// The capture overlay as the user sees it: the frozen desktop shaded, the
// box bright, after the mouse and after every key that moves the box.
#include "e2e.h"

namespace e2e {
namespace {

class Overlay : public E2e {
protected:
    void SetUp() override {
        E2e::SetUp();
        x->setRootPicture(pattern(x->size()));
    }
};

TEST_F(Overlay, TheBoxFollowsTheMouseAndEveryKeyAndEscCountsNothing) {
    // Two remembered regions, the older first: blocks of x, y, width, height.
    const QRect older(100, 150, 300, 200), newer(1200, 600, 400, 250);
    const int blocks[][2] = {{older.x(), newer.x()},
                             {older.y(), newer.y()},
                             {older.width(), newer.width()},
                             {older.height(), newer.height()}};
    QByteArray regions;
    for (const auto &block : blocks)
        regions += " 2 \r\n" + QByteArray::number(block[0]) + "\r\n" +
                   QByteArray::number(block[1]) + "\r\n";
    ASSERT_TRUE(writeFile(home.dataFolder() + "/lastcaps.txt", regions));
    QuillCap app(*x, home.environment(*x));
    xcb_window_t overlay = XCB_WINDOW_NONE;
    ASSERT_TRUE(app.openOverlay("Print", &overlay)) << why();
    const QRect desktop(QPoint(0, 0), x->size());
    EXPECT_EQ(x->geometry(overlay), desktop);
    ASSERT_TRUE(showsBox(*x, newer)) << "it opens on the newest region";

    ASSERT_TRUE(x->drag({200, 700}, {600, 900})) << why();
    ASSERT_TRUE(showsBox(*x, {200, 700, 400, 200})) << "drawn outside the box";
    // Each key changes the box, so a key that is not repainted shows.
    const struct {
        const char *keys;
        QRect box;
    } steps[] = {
        {"d", desktop},
        {"r", {768, 432, 384, 216}}, // a fifth of the desktop, centred
        {"1", desktop},              // the only monitor
        {"shift+e", {0, 0, 640, 480}},
        {"a", desktop}, // nothing is active without a window manager
        {"Left", older},
        {"Right", newer},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.keys);
        ASSERT_TRUE(x->key(step.keys)) << why();
        ASSERT_TRUE(showsBox(*x, step.box));
    }
    ASSERT_TRUE(x->key("Escape")) << why();
    ASSERT_TRUE(x->waitForNoWindow(kOverlay)) << why();
    EXPECT_TRUE(x->waitForWindow(QRegularExpression("QuillCap  \\(0 snaps\\)"))) << why();
}

TEST_F(Overlay, AtScaleFactorTwoTheDesktopIsShownInDevicePixels) {
    QProcessEnvironment env = home.environment(*x);
    env.insert("QT_SCALE_FACTOR", "2");
    QuillCap app(*x, env);
    xcb_window_t overlay = XCB_WINDOW_NONE;
    ASSERT_TRUE(app.openOverlay("Print", &overlay)) << why();
    EXPECT_EQ(x->geometry(overlay), QRect(QPoint(0, 0), x->size()));
    ASSERT_TRUE(showsBox(*x, {768, 432, 384, 216})) << "a fifth of the primary monitor, centred";
    ASSERT_TRUE(x->drag({100, 100}, {300, 200})) << why();
    EXPECT_TRUE(showsBox(*x, {100, 100, 200, 100}));
}

} // namespace
} // namespace e2e
