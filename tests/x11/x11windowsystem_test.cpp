// The real X11 window functions against a real server, with no window
// manager (clients are root children) and under openbox (clients sit in
// frames and are withdrawn when hidden).
#include "platform/x11/x11platform.h"
#include "xsession.h"

#include <QWidget>

#include <gtest/gtest.h>

using namespace quillcap;
using xs::session;

namespace {

xcb_window_t id(QWidget &w) {
    return xcb_window_t(w.winId());
}

// WM_STATE: 1 normal, 3 iconic, 0 withdrawn or none.
uint32_t wmState(xcb_window_t w) {
    const QByteArray v = session().property(w, "WM_STATE");
    return v.size() >= 4 ? *reinterpret_cast<const uint32_t *>(v.data()) : 0;
}

bool hasNetWmState(xcb_window_t w, const char *state) {
    const QByteArray v = session().property(w, "_NET_WM_STATE", XCB_ATOM_ATOM);
    const auto *atoms = reinterpret_cast<const xcb_atom_t *>(v.data());
    return std::count(atoms, atoms + v.size() / 4, session().atom(state)) > 0;
}

bool stackedAbove(xcb_window_t upper, xcb_window_t lower) {
    const QList<xcb_window_t> order = session().children(session().root()); // bottom first
    return order.indexOf(session().topLevelOf(upper)) > order.indexOf(session().topLevelOf(lower));
}

class X11WindowSystemTest : public testing::TestWithParam<bool> { // under openbox?
protected:
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
    [[nodiscard]] bool waitState(QWidget &w, const char *state, bool present) {
        return xs::waitFor([&] { return hasNetWmState(id(w), state) == present; }, state);
    }

    Platform m_platform = makeX11Platform();
    WindowSystem &windows = *m_platform.windows;
};

INSTANTIATE_TEST_SUITE_P(Manager, X11WindowSystemTest, testing::Bool(),
                         [](const auto &info) { return info.param ? "Openbox" : "None"; });

enum class Scene { NeverShown, Shown, Hidden, Minimized, Foreign };

TEST_P(X11WindowSystemTest, FindWindowByTitle) {
    const struct {
        const char *what;
        Scene scene;
        const char *title, *prefix;
        bool found;
    } cases[] = {
        {"own window never shown", Scene::NeverShown, "QuillCap  (5 snaps)", "QuillCap  (", true},
        {"own window shown", Scene::Shown, "QuillCap  (5 snaps)", "QuillCap  (", true},
        {"own window hidden", Scene::Hidden, "QuillCap  (5 snaps)", "QuillCap  (", true},
        {"own window minimized", Scene::Minimized, "QuillCap  (5 snaps)", "QuillCap  (", true},
        {"another program's window", Scene::Foreign, "QuillCap  (x", "QuillCap  (", true},
        {"one blank is another title", Scene::Foreign, "QuillCap (x", "QuillCap  (", false},
        {"UTF-8 title", Scene::Shown, "QuillCap  (1 234 snaps) \xc3\xa9",
         "QuillCap  (1 234 snaps) \xc3\xa9", true},
    };
    ASSERT_FALSE(windows.FindWindowByTitle("QuillCap"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString title = QString::fromUtf8(c.title);
        const QRegularExpression exactly(QRegularExpression::escape(title));
        auto widget = std::make_unique<QWidget>();
        widget->setWindowTitle(title);
        std::unique_ptr<xs::Child> foreign;
        if (c.scene == Scene::NeverShown) {
            widget->winId();
        } else if (c.scene == Scene::Foreign) {
            foreign = session().spawn("xmessage", {"-title", title, "hi"});
        } else {
            widget->show();
            ASSERT_TRUE(waitShown(*widget));
        }
        const auto titled = [&] { return session().windows(exactly).value(0); };
        ASSERT_TRUE(xs::waitFor(
            [&] {
                switch (c.scene) {
                case Scene::NeverShown:
                    return titled() == id(*widget);
                case Scene::Foreign:
                    return titled() && shown(titled());
                case Scene::Hidden:
                    widget->hide();
                    return !session().viewable(id(*widget)) && wmState(id(*widget)) == 0 &&
                           session().parent(id(*widget)) == session().root();
                case Scene::Minimized:
                    widget->showMinimized();
                    return !managed() || wmState(id(*widget)) == 3;
                default:
                    return true;
                }
            },
            "the scene"));

        EXPECT_EQ(windows.FindWindowByTitle(QString::fromUtf8(c.prefix)), c.found);
        foreign.reset();
        widget.reset();
        ASSERT_TRUE(xs::waitFor([&] { return !windows.FindWindowByTitle("QuillCap"); }, "clean"));
    }
}

TEST_P(X11WindowSystemTest, SetTaskbarButtonSetsSkipTaskbarAndShows) {
    const struct {
        const char *what;
        bool shownBefore;
        std::vector<bool> calls;
        bool hiddenAndShownAfter; // by plain Qt calls, as the tray does
    } cases[] = {
        {"first show without a button", false, {false}, false},
        {"button taken from a shown window", true, {false}, false},
        {"button given back", true, {false, true}, false},
        {"button kept", true, {true}, false},
        {"taken twice", true, {false, false}, false},
        {"no button after hiding and showing", true, {false}, true},
        {"button after hiding and showing", true, {false, true}, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QWidget widget;
        if (c.shownBefore) {
            widget.show();
            ASSERT_TRUE(waitShown(widget));
        }
        for (const bool show : c.calls) {
            windows.SetTaskbarButton(&widget, show);
            EXPECT_TRUE(widget.isVisible());
            ASSERT_TRUE(waitShown(widget));
        }
        if (c.hiddenAndShownAfter) {
            widget.hide();
            widget.show();
            ASSERT_TRUE(waitShown(widget));
        }
        EXPECT_TRUE(waitState(widget, "_NET_WM_STATE_SKIP_TASKBAR", !c.calls.back()));
        EXPECT_FALSE(hasNetWmState(id(widget), "_NET_WM_STATE_SKIP_PAGER"));
    }
}

TEST_P(X11WindowSystemTest, SetTopMostOnShownWindowRestacksWithoutMovingOrActivating) {
    QWidget lower, upper;
    lower.setGeometry(100, 100, 300, 200);
    upper.setGeometry(150, 150, 300, 200);
    lower.show();
    ASSERT_TRUE(waitShown(lower));
    upper.show();
    ASSERT_TRUE(waitShown(upper));
    ASSERT_TRUE(xs::waitFor(
        [&] {
            return stackedAbove(id(upper), id(lower)) &&
                   (!managed() || session().activeWindow() == id(upper));
        },
        "the upper window on top and active"));
    const QRect before = session().geometry(id(lower));

    windows.SetTopMost(&lower, true);
    EXPECT_TRUE(xs::waitFor([&] { return stackedAbove(id(lower), id(upper)); }, "lower on top"));
    EXPECT_TRUE(!managed() || waitState(lower, "_NET_WM_STATE_ABOVE", true));
    EXPECT_TRUE(!managed() || session().activeWindow() == id(upper));
    EXPECT_EQ(session().geometry(id(lower)), before);

    // Still top-most after the window was hidden and shown again.
    lower.hide();
    lower.show();
    ASSERT_TRUE(waitShown(lower));
    EXPECT_TRUE(stackedAbove(id(lower), id(upper)));
    EXPECT_TRUE(!managed() || waitState(lower, "_NET_WM_STATE_ABOVE", true));

    windows.SetTopMost(&lower, false);
    EXPECT_TRUE(!managed() || waitState(lower, "_NET_WM_STATE_ABOVE", false));
    EXPECT_EQ(session().geometry(id(lower)), before);
    EXPECT_TRUE(session().viewable(id(lower)));
}

TEST_P(X11WindowSystemTest, SetTopMostOnHiddenWindowTakesEffectWhenShown) {
    QWidget widget;
    for (const bool on : {true, false, true}) {
        widget.hide(); // the first round: never shown at all
        windows.SetTopMost(&widget, on);
        widget.show();
        ASSERT_TRUE(waitShown(widget));
        EXPECT_TRUE(waitState(widget, "_NET_WM_STATE_ABOVE", on)) << on;
    }
}

} // namespace
