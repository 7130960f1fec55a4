// The tray icon with a real tray host (trayer, XEmbed) and the start in the
// tray.
#include "e2e.h"

#include <algorithm>

namespace e2e {
namespace {

struct Tray : E2e {
    std::unique_ptr<Child> trayer;
    bool startTrayer() {
        trayer = x->spawn("trayer", {"--edge", "bottom", "--align", "right", "--widthtype",
                                     "request", "--height", "24", "--SetDockType", "true"});
        const xcb_atom_t selection = x->atom("_NET_SYSTEM_TRAY_S0");
        xcb_connection_t *c = x->connection();
        const auto owned = [&] {
            return take(xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection),
                                                      nullptr))
                       ->owner != 0;
        };
        return waitFor(owned, "the tray host");
    }
    // Icons embedded in trayer's panel: its windows with XEmbed information.
    QList<xcb_window_t> icons() {
        QList<xcb_window_t> found, pending = x->windows(QRegularExpression("panel"));
        while (!pending.isEmpty()) {
            const xcb_window_t w = pending.takeLast();
            if (!x->property(w, "_XEMBED_INFO").isEmpty())
                found << w;
            pending += x->children(w);
        }
        return found;
    }
    bool oneIcon(xcb_window_t *icon = nullptr) {
        return waitFor([&] { return icons().size() == 1 && x->viewable(icons()[0]); },
                       "one tray icon") &&
               (!icon || (*icon = icons()[0]));
    }
    bool clickIcon(xcb_window_t icon, const QString &clicks) {
        const QPoint c = x->geometry(icon).center();
        return x->xdotool(QString("mousemove %1 %2 %3").arg(c.x()).arg(c.y()).arg(clicks));
    }
    // Gone from the desktop, not merely minimized: the window manager lets go.
    bool hidden(xcb_window_t w) {
        const auto gone = [&] {
            const QByteArray list = x->property(x->root(), "_NET_CLIENT_LIST", XCB_ATOM_WINDOW);
            const auto *ids = reinterpret_cast<const xcb_window_t *>(list.constData());
            return !x->viewable(w) && std::count(ids, ids + list.size() / 4, w) == 0;
        };
        return waitFor(gone, "the window to hide");
    }
};

TEST_F(Tray, MinimizingHidesTheWindowAndExitFromTheMenuSavesAndLeavesNoIcon) {
    ASSERT_TRUE(startTrayer() && x->startOpenbox()) << why();
    QuillCap app(*x, home.environment(*x));
    xcb_window_t window = XCB_WINDOW_NONE, icon = XCB_WINDOW_NONE;
    ASSERT_TRUE(app.waitForMainWindow(&window) && oneIcon(&icon)) << why();
    ASSERT_TRUE(x->xdotool("windowminimize " + QString::number(window)) && hidden(window)) << why();
    ASSERT_TRUE(clickIcon(icon, "click --repeat 2 --delay 80 1") && app.waitForMainWindow())
        << "a double click brings it back; " << why();
    // Right click, then the last line of the menu.
    const auto exited = [&] {
        return clickIcon(icon, "click 3") && x->key("Up Return") &&
               waitFor([&] { return !app.running(); }, "the exit", 2s);
    };
    ASSERT_TRUE(waitFor(exited, "Exit from the tray menu", kTimeout, 0ms)) << why();
    EXPECT_EQ(app.exitCode(), 0);
    EXPECT_TRUE(QFileInfo::exists(home.settingsFile()));
    EXPECT_TRUE(icons().isEmpty());
}

// Started in the tray: the icon appears once the splash is gone; the window
// is then hidden, or shown if the user clicked the splash. Hidden, it comes
// back when the tray goes away.
TEST_F(Tray, AStartInTheTrayEndsWithOneIconAndTheWindowWhereTheUserWantsIt) {
    ASSERT_TRUE(startTrayer()) << why();
    for (const bool click : {true, false}) {
        ASSERT_TRUE(home.writeSettings({"STARTMINIMIZED", " 1 "}));
        QuillCap app(*x, home.environment(*x));
        xcb_window_t splash = XCB_WINDOW_NONE;
        ASSERT_TRUE(x->waitForWindow(kSplash, &splash)) << why();
        EXPECT_TRUE(icons().isEmpty()) << "no icon before the splash has gone";
        if (click) {
            // The splash moves: click where it is until the window shows.
            ASSERT_TRUE(waitFor(
                [&] {
                    const QPoint p = x->geometry(splash).center();
                    return x->xdotool(QString("mousemove %1 %2 click 1").arg(p.x()).arg(p.y())) &&
                           x->shown(kMainCaption);
                },
                "the window after a click on the splash"))
                << why();
        }
        ASSERT_TRUE(x->waitForNoWindow(kSplash) && oneIcon()) << why();
        EXPECT_EQ(x->shown(kMainCaption) != 0, click);
        if (!click) {
            trayer.reset();
            EXPECT_TRUE(app.waitForMainWindow()) << why();
        }
        ASSERT_TRUE(app.stop()) << why();
        ASSERT_TRUE(waitFor([&] { return icons().isEmpty(); }, "no icon")) << why();
    }
}

// Killed, dbus-run-session would leave its bus behind: the host is told to
// quit, and the bus ends with it.
struct SniHost : Child {
    bool say(const char *line) { return write(line) > 0 && waitForBytesWritten(); }
    ~SniHost() override { say("quit\n"), waitForFinished(int(kTimeout.count())); }
};

TEST_F(Tray, AStatusNotifierHostActivatesTheIconWithASingleClick) {
    const auto host = std::make_unique<SniHost>();
    host->setProcessEnvironment(x->environment());
    host->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    host->start("dbus-run-session", {"--", SNIHOST_BINARY});
    ASSERT_TRUE(host->waitForReadyRead(int(kTimeout.count())));
    const QByteArray bus = host->readLine().trimmed();
    ASSERT_TRUE(bus.startsWith("bus ")) << bus.data();
    QProcessEnvironment env = home.environment(*x);
    env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromUtf8(bus.mid(4)));
    ASSERT_TRUE(home.writeSettings({"STARTMINIMIZED", " 1 "}));
    QuillCap app(*x, env);
    QByteArray said;
    const auto registered = [&] {
        said += host->readAll();
        return said.contains("registered");
    };
    ASSERT_TRUE(app.waitForSplashToEnd() && waitFor(registered, "the item")) << why();
    EXPECT_FALSE(x->shown(kMainCaption)) << "hidden in the tray";
    ASSERT_TRUE(host->say("activate\n"));
    EXPECT_TRUE(app.waitForMainWindow()) << why();
    ASSERT_TRUE(app.stop()) << why();
}

} // namespace
} // namespace e2e
