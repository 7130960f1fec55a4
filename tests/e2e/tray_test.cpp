// The tray icon with real tray hosts: trayer (XEmbed) and a StatusNotifierItem
// host on a bus of its own.
#include "e2e.h"

namespace e2e {
namespace {

struct Tray : E2e {
    std::unique_ptr<Child> trayer;
    bool startTrayer() {
        trayer = x->spawn("trayer", {"--edge", "bottom", "--align", "right", "--widthtype",
                                     "request", "--height", "24", "--SetDockType", "true"});
        return x->waitForWindow(QRegularExpression("panel"));
    }
    QList<xcb_window_t> icons() { // what trayer's panel holds
        QList<xcb_window_t> found, pending = x->windows(QRegularExpression("panel"));
        while (!pending.isEmpty()) {
            const xcb_window_t w = pending.takeLast();
            if (!x->property(w, "_XEMBED_INFO").isEmpty())
                found << w;
            pending += x->children(w);
        }
        return found;
    }
    bool oneIcon() {
        return waitFor([&] { return icons().size() == 1; }, "one tray icon");
    }
    bool clickIcon(const QString &clicks) {
        return x->click(x->geometry(icons().value(0)).center(), clicks);
    }
    bool hidden(xcb_window_t w) { // unmapped and let go by the window manager
        const auto gone = [&] {
            return !x->viewable(w) && !x->values(x->root(), "_NET_CLIENT_LIST").contains(w);
        };
        return waitFor(gone, "the window to hide");
    }
};

TEST_F(Tray, MinimizingHidesTheWindowAndExitFromTheMenuSavesAndLeavesNoIcon) {
    ASSERT_TRUE(startTrayer() && x->startOpenbox()) << why();
    QuillCap app(*x, home.environment(*x));
    xcb_window_t window = XCB_WINDOW_NONE;
    ASSERT_TRUE(app.waitForMainWindow(&window) && oneIcon()) << why();
    ASSERT_TRUE(x->xdotool("windowminimize " + QString::number(window)) && hidden(window)) << why();
    ASSERT_TRUE(clickIcon("click --repeat 2 --delay 80 1") && app.waitForMainWindow()) << why();
    const auto exited = [&] { // right click, then the menu's last line
        return clickIcon("click 3") && x->key("Up Return") &&
               waitFor([&] { return !app.running(); }, "the exit", 2s);
    };
    ASSERT_TRUE(waitFor(exited, "Exit from the tray menu", kTimeout, 0ms)) << why();
    EXPECT_EQ(app.exitCode(), 0);
    EXPECT_TRUE(QFileInfo::exists(home.settingsFile()));
    EXPECT_TRUE(icons().isEmpty());
}

// The icon appears once the splash is gone; the window is then hidden, or
// shown if the user clicked the splash. Hidden, it comes back when the tray
// goes away.
TEST_F(Tray, AStartInTheTrayEndsWithOneIconAndTheWindowWhereTheUserWantsIt) {
    ASSERT_TRUE(startTrayer() && home.writeSettings({"STARTMINIMIZED", " 1 "})) << why();
    for (const bool click : {true, false}) {
        QuillCap app(*x, home.environment(*x));
        xcb_window_t splash = XCB_WINDOW_NONE;
        ASSERT_TRUE(x->waitForWindow(kSplash, &splash)) << why();
        EXPECT_TRUE(icons().isEmpty());
        const auto clicked = [&] { // where the splash is now
            return x->click(x->geometry(splash).center()) && x->shown(kMainCaption);
        };
        ASSERT_TRUE(!click || waitFor(clicked, "the window after a click")) << why();
        ASSERT_TRUE(x->waitForNoWindow(kSplash) && oneIcon()) << why();
        EXPECT_EQ(x->shown(kMainCaption) != 0, click);
        if (!click) {
            trayer.reset();
            EXPECT_TRUE(app.waitForMainWindow()) << why();
        }
        ASSERT_TRUE(app.stop()) << why();
    }
}

// Killed, dbus-run-session would leave its bus behind: told to quit, the host
// ends and the bus with it.
struct SniHost : Child {
    bool say(const char *line) { return write(line) > 0 && waitForBytesWritten(); }
    ~SniHost() override { say("quit\n"), waitForFinished(int(kTimeout.count())); }
};

TEST_F(Tray, AStatusNotifierHostActivatesTheIconWithASingleClick) {
    SniHost host;
    host.setProcessEnvironment(x->environment());
    host.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    host.start("dbus-run-session", {"--", SNIHOST_BINARY});
    ASSERT_TRUE(host.waitForReadyRead(int(kTimeout.count())));
    QProcessEnvironment env = home.environment(*x);
    env.insert("DBUS_SESSION_BUS_ADDRESS", host.readLine().trimmed().mid(4));
    ASSERT_TRUE(home.writeSettings({"STARTMINIMIZED", " 1 "}));
    QuillCap app(*x, env);
    QByteArray said;
    const auto registered = [&] { return (said += host.readAll()).contains("registered"); };
    ASSERT_TRUE(app.waitForSplashToEnd() && waitFor(registered, "the item")) << why();
    EXPECT_FALSE(x->shown(kMainCaption)) << "hidden in the tray";
    ASSERT_TRUE(host.say("activate\n") && app.waitForMainWindow()) << why();
    ASSERT_TRUE(app.stop()) << why();
}

} // namespace
} // namespace e2e
