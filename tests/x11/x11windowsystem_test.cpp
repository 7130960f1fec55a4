// The X11 window functions with no window manager and under openbox; the session check.
#include "envguard.h"
#include "platform/x11/x11platform.h"
#include "platform/x11/x11session.h"
#include "xsession.h"

#include <QWidget>

#include <gtest/gtest.h>

using xs::session;

namespace {

const auto id = [](QWidget &w) { return xcb_window_t(w.winId()); };

// WM_STATE: 1 normal, 3 iconic, 0 withdrawn or none.
uint32_t wmState(xcb_window_t w) {
    return session().values(w, "WM_STATE").value(0);
}

bool stackedAbove(QWidget &upper, QWidget &lower) {
    const QList<xcb_window_t> order = session().children(session().root()); // bottom first
    return order.indexOf(session().topLevelOf(id(upper))) >
           order.indexOf(session().topLevelOf(id(lower)));
}

struct X11WindowSystemTest : testing::TestWithParam<bool> { // under openbox?
    void SetUp() override { ASSERT_TRUE(!managed() || session().startOpenbox()) << xs::why(); }
    void TearDown() override { session().stopOpenbox(); }

    bool managed() const { return GetParam(); }
    // On screen, and under a manager also framed and in the normal state.
    bool shown(xcb_window_t w) {
        return session().viewable(w) &&
               (!managed() || (wmState(w) == 1 && session().parent(w) != session().root()));
    }
    [[nodiscard]] bool waitShown(QWidget &w) {
        return xs::waitFor([&] { return shown(id(w)); }, "the window shown");
    }
    // Waits until the window's _NET_WM_STATE holds `state`, or does not.
    [[nodiscard]] bool waitState(QWidget &w, const char *state, bool present) {
        const auto holds = [&] {
            return session().values(id(w), "_NET_WM_STATE").contains(session().atom(state));
        };
        return xs::waitFor([&] { return holds() == present; }, state);
    }

    quillcap::Platform m_platform = quillcap::makeX11Platform();
    quillcap::WindowSystem &windows = *m_platform.windows;
};

INSTANTIATE_TEST_SUITE_P(Manager, X11WindowSystemTest, testing::Bool(),
                         [](const auto &info) { return info.param ? "Openbox" : "None"; });

TEST_P(X11WindowSystemTest, FindWindowByTitleSeesOwnWindowsInEveryStateAndOthers) {
    QWidget never, open, hidden, minimized;
    const std::pair<QWidget *, const char *> own[] = {{&never, "QuillCap  (never"},
                                                      {&open, "QuillCap  (open \xc3\xa9"},
                                                      {&hidden, "QuillCap  (hidden"},
                                                      {&minimized, "QuillCap  (minimized"}};
    for (const auto &[widget, title] : own) {
        widget->setWindowTitle(QString::fromUtf8(title));
        widget->winId();
        if (widget != &never)
            widget->show();
        ASSERT_TRUE(widget == &never || waitShown(*widget));
    }
    hidden.hide();
    minimized.showMinimized();
    const auto other = session().spawn("xmessage", {"-title", "QuillCap  (other", "hi"});
    const auto oneBlank = session().spawn("xmessage", {"-title", "QuillCap (one blank", "hi"});
    const auto ready = [&] {
        const xcb_window_t h = id(hidden);
        return session().windows(QRegularExpression("QuillCap  \\(never")).value(0) == id(never) &&
               !session().viewable(h) && wmState(h) == 0 &&
               session().parent(h) == session().root() &&
               (!managed() || wmState(id(minimized)) == 3) &&
               shown(session().shown(QRegularExpression("QuillCap  \\(other"))) &&
               shown(session().shown(QRegularExpression("QuillCap \\(one blank")));
    };
    ASSERT_TRUE(xs::waitFor(ready, "every window in its state"));
    for (const auto &[widget, title] : own)
        EXPECT_TRUE(windows.FindWindowByTitle(QString::fromUtf8(title))) << title;
    EXPECT_TRUE(windows.FindWindowByTitle("QuillCap  (other"));
    EXPECT_FALSE(windows.FindWindowByTitle("QuillCap  (one")) << "one blank is another title";
}

TEST_P(X11WindowSystemTest, SetTaskbarButtonSetsSkipTaskbarAndShows) {
    // s shows the window; + and - give and take the button; h hides and
    // shows it again by plain Qt calls, as the tray does.
    for (const char *steps : {"-", "s-", "s-+", "s+", "s--", "s-h", "s-+h"}) {
        SCOPED_TRACE(steps);
        QWidget widget;
        for (const char step : std::string_view(steps)) {
            if (step == 's' || step == 'h')
                widget.hide(), widget.show();
            else
                windows.SetTaskbarButton(&widget, step == '+');
            ASSERT_TRUE(waitShown(widget));
        }
        const bool button = QByteArray(steps).lastIndexOf('+') > QByteArray(steps).lastIndexOf('-');
        EXPECT_TRUE(waitState(widget, "_NET_WM_STATE_SKIP_TASKBAR", !button));
        EXPECT_TRUE(waitState(widget, "_NET_WM_STATE_SKIP_PAGER", false));
    }
}

TEST_P(X11WindowSystemTest, SetTopMostRestacksWithoutMovingOrActivatingHiddenOrNot) {
    QWidget lower, upper;
    lower.setGeometry(100, 100, 300, 200);
    upper.setGeometry(150, 150, 300, 200);
    // Set while hidden (at first never shown), it takes effect when shown.
    for (const bool on : {true, false, true, false}) {
        lower.hide();
        windows.SetTopMost(&lower, on);
        lower.show();
        ASSERT_TRUE(waitShown(lower));
        EXPECT_TRUE(waitState(lower, "_NET_WM_STATE_ABOVE", on)) << on;
    }
    upper.show();
    ASSERT_TRUE(waitShown(upper));
    const auto upperActive = [&] { return !managed() || session().activeWindow() == id(upper); };
    ASSERT_TRUE(xs::waitFor([&] { return stackedAbove(upper, lower) && upperActive(); }, "upper"));
    const QRect before = session().geometry(id(lower));

    windows.SetTopMost(&lower, true);
    EXPECT_TRUE(xs::waitFor([&] { return stackedAbove(lower, upper); }, "lower on top"));
    EXPECT_TRUE(!managed() || waitState(lower, "_NET_WM_STATE_ABOVE", true));
    EXPECT_TRUE(upperActive());
    EXPECT_EQ(session().geometry(id(lower)), before);
    // Still top-most after the window was hidden and shown again.
    lower.hide();
    lower.show();
    ASSERT_TRUE(waitShown(lower));
    EXPECT_TRUE(stackedAbove(lower, upper));
    EXPECT_TRUE(!managed() || waitState(lower, "_NET_WM_STATE_ABOVE", true));

    windows.SetTopMost(&lower, false);
    EXPECT_TRUE(!managed() || waitState(lower, "_NET_WM_STATE_ABOVE", false));
    EXPECT_EQ(session().geometry(id(lower)), before);
    EXPECT_TRUE(session().viewable(id(lower)));
}

TEST(X11SessionProblem, NamesWhatStopsTheProgram) {
    const struct {
        const char *what;
        std::vector<std::pair<const char *, const char *>> env; // null value: unset
        const char *problem;                                    // null: none
    } cases[] = {
        {"X11 session", {}, nullptr},
        {"session type x11", {{"XDG_SESSION_TYPE", "x11"}}, nullptr},
        {"Wayland session type", {{"XDG_SESSION_TYPE", "wayland"}}, "Wayland"},
        {"Wayland display present", {{"WAYLAND_DISPLAY", "wayland-0"}}, "Wayland"},
        {"no DISPLAY", {{"DISPLAY", nullptr}}, "no X11 display"},
        {"empty DISPLAY", {{"DISPLAY", ""}}, "no X11 display"},
        {"no server on DISPLAY", {{"DISPLAY", ":4242"}}, "no X11 display"},
        {"malformed DISPLAY", {{"DISPLAY", "not a display"}}, "no X11 display"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EnvGuard env;
        for (const auto &[name, value] : c.env)
            env.Set(name, value);
        const std::optional<QString> problem = quillcap::X11SessionProblem();
        EXPECT_TRUE(c.problem ? problem && problem->contains(c.problem) : !problem)
            << problem.value_or("none").toStdString();
    }
}

} // namespace
