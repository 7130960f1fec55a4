// The real X11 window functions against a real server, with no window
// manager (clients are root children) and under openbox (clients sit in
// frames and are withdrawn when hidden).
#include "openboxsession.h"
#include "platform/x11/x11platform.h"
#include "xprobe.h"

#include <QProcess>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace quillcap;

namespace {

constexpr int kTimeout = 15000;
constexpr uint32_t kNormal = 1;
constexpr uint32_t kIconic = 3;
const QString kAbove = QStringLiteral("_NET_WM_STATE_ABOVE");
const QString kSkipTaskbar = QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR");
const QString kSkipPager = QStringLiteral("_NET_WM_STATE_SKIP_PAGER");

enum class Manager { None, Openbox };

xcb_window_t Id(QWidget &w) {
    return static_cast<xcb_window_t>(w.winId());
}

class X11WindowSystemTest : public testing::TestWithParam<Manager> {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_probe.ok()) << "no X display";
        if (Managed()) {
            m_openbox = std::make_unique<OpenboxSession>(m_probe);
            ASSERT_TRUE(m_openbox->running()) << "openbox did not take the display";
        }
    }

    bool Managed() const { return GetParam() == Manager::Openbox; }
    WindowSystem &Windows() { return *m_platform.windows; }

    // On screen, and under a manager also framed and in the normal state.
    [[nodiscard]] bool WaitShown(QWidget &w) {
        const xcb_window_t id = Id(w);
        return QTest::qWaitFor(
            [&] {
                return m_probe.IsViewable(id) && (!Managed() || m_probe.IsManaged(id, kNormal));
            },
            kTimeout);
    }
    [[nodiscard]] bool WaitHidden(QWidget &w) {
        const xcb_window_t id = Id(w);
        return QTest::qWaitFor([&] { return !m_probe.IsViewable(id) && m_probe.IsWithdrawn(id); },
                               kTimeout);
    }
    [[nodiscard]] bool WaitNetWmState(QWidget &w, const QString &state, bool present) {
        const xcb_window_t id = Id(w);
        return QTest::qWaitFor([&] { return m_probe.NetWmState(id).contains(state) == present; },
                               kTimeout);
    }

    XProbe m_probe;
    std::unique_ptr<OpenboxSession> m_openbox;
    Platform m_platform = makeX11Platform();
};

INSTANTIATE_TEST_SUITE_P(Manager, X11WindowSystemTest,
                         testing::Values(Manager::None, Manager::Openbox), [](const auto &info) {
                             return info.param == Manager::None ? "NoWindowManager" : "Openbox";
                         });

// --- FindWindowByTitle -------------------------------------------------------

enum class Scene { NeverShown, Shown, HiddenAfterShow, Minimized, ForeignProgram };

struct TitleCase {
    const char *what;
    Scene scene;
    const char *title;
    const char *prefix;
    bool found;
};

const TitleCase kTitleCases[] = {
    {"own window created, never shown", Scene::NeverShown, "QuillCap  (5 snaps)", "QuillCap  (",
     true},
    {"own window shown", Scene::Shown, "QuillCap  (5 snaps)", "QuillCap  (", true},
    {"own window hidden after showing", Scene::HiddenAfterShow, "QuillCap  (5 snaps)",
     "QuillCap  (", true},
    {"own window minimized", Scene::Minimized, "QuillCap  (5 snaps)", "QuillCap  (", true},
    {"another program's window", Scene::ForeignProgram, "QuillCap  (x", "QuillCap  (", true},
    {"one blank is another title", Scene::ForeignProgram, "QuillCap (x", "QuillCap  (", false},
    {"case matters", Scene::Shown, "quillcap  (5 snaps)", "QuillCap  (", false},
    {"prefix longer than the title", Scene::Shown, "QuillCap  (5", "QuillCap  (5 snaps)", false},
    {"whole title", Scene::Shown, "QuillCap  (5 snaps)", "QuillCap  (5 snaps)", true},
    {"UTF-8 title", Scene::Shown, "QuillCap  (1 234 snaps) \xc3\xa9",
     "QuillCap  (1 234 snaps) \xc3\xa9", true},
};

TEST_P(X11WindowSystemTest, FindWindowByTitle) {
    ASSERT_FALSE(Windows().FindWindowByTitle(QStringLiteral("QuillCap")));
    for (const TitleCase &c : kTitleCases) {
        SCOPED_TRACE(c.what);
        const QString title = QString::fromUtf8(c.title);
        auto owned = std::make_unique<QWidget>();
        QWidget &widget = *owned;
        widget.resize(240, 120);
        widget.setWindowTitle(title);
        QProcess foreign;
        foreign.setStandardOutputFile(QProcess::nullDevice());
        foreign.setStandardErrorFile(QProcess::nullDevice());

        switch (c.scene) {
        case Scene::NeverShown:
            widget.winId();
            ASSERT_TRUE(QTest::qWaitFor([&] { return m_probe.FindByTitle(title) == Id(widget); },
                                        kTimeout));
            break;
        case Scene::Shown:
            widget.show();
            ASSERT_TRUE(WaitShown(widget));
            break;
        case Scene::HiddenAfterShow:
            widget.show();
            ASSERT_TRUE(WaitShown(widget));
            widget.hide();
            ASSERT_TRUE(WaitHidden(widget));
            break;
        case Scene::Minimized:
            widget.show();
            ASSERT_TRUE(WaitShown(widget));
            widget.showMinimized();
            if (Managed()) {
                ASSERT_TRUE(QTest::qWaitFor([&] { return m_probe.IsManaged(Id(widget), kIconic); },
                                            kTimeout));
            }
            break;
        case Scene::ForeignProgram: {
            foreign.start(QStringLiteral("xmessage"), {QStringLiteral("-title"), title, "hi"});
            ASSERT_TRUE(foreign.waitForStarted(kTimeout));
            ASSERT_TRUE(QTest::qWaitFor(
                [&] {
                    const xcb_window_t w = m_probe.FindByTitle(title);
                    return w != XCB_WINDOW_NONE && m_probe.IsViewable(w) &&
                           (!Managed() || m_probe.IsManaged(w, kNormal));
                },
                kTimeout));
            break;
        }
        }

        EXPECT_EQ(Windows().FindWindowByTitle(QString::fromUtf8(c.prefix)), c.found);

        foreign.kill();
        foreign.waitForFinished(kTimeout);
        owned.reset();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return !Windows().FindWindowByTitle(QStringLiteral("QuillCap")); }, kTimeout))
            << "a window of this case outlived it";
    }
}

// --- SetTaskbarButton ----------------------------------------------------------

struct TaskbarCase {
    const char *what;
    bool shownBefore;
    std::vector<bool> calls;
    bool hiddenAndShownAfter; // by plain Qt calls, as the tray does
};

const TaskbarCase kTaskbarCases[] = {
    {"first show without a button", false, {false}, false},
    {"button taken from a shown window", true, {false}, false},
    {"button given back", true, {false, true}, false},
    {"button kept", true, {true}, false},
    {"taken twice", true, {false, false}, false},
    {"no button after hiding and showing", true, {false}, true},
    {"button after hiding and showing", true, {false, true}, true},
};

TEST_P(X11WindowSystemTest, SetTaskbarButtonSetsSkipTaskbarAndShows) {
    for (const TaskbarCase &c : kTaskbarCases) {
        SCOPED_TRACE(c.what);
        QWidget widget;
        widget.resize(240, 120);
        if (c.shownBefore) {
            widget.show();
            ASSERT_TRUE(WaitShown(widget));
        }
        for (bool show : c.calls) {
            Windows().SetTaskbarButton(&widget, show);
            EXPECT_TRUE(widget.isVisible());
            ASSERT_TRUE(WaitShown(widget));
        }
        if (c.hiddenAndShownAfter) {
            widget.hide();
            widget.show();
            ASSERT_TRUE(WaitShown(widget));
        }
        const bool skip = !c.calls.back();
        EXPECT_TRUE(WaitNetWmState(widget, kSkipTaskbar, skip))
            << "_NET_WM_STATE: " << m_probe.NetWmState(Id(widget)).join(' ').toStdString();
        EXPECT_FALSE(m_probe.NetWmState(Id(widget)).contains(kSkipPager));
    }
}

// --- SetTopMost ---------------------------------------------------------------

TEST_P(X11WindowSystemTest, SetTopMostOnShownWindowRestacksWithoutMovingOrActivating) {
    QWidget lower, upper;
    lower.setGeometry(100, 100, 300, 200);
    upper.setGeometry(150, 150, 300, 200);
    lower.show();
    ASSERT_TRUE(WaitShown(lower));
    upper.show();
    ASSERT_TRUE(WaitShown(upper));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return m_probe.IsStackedAbove(Id(upper), Id(lower)); }, kTimeout));
    if (Managed()) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_probe.ActiveWindow() == Id(upper); }, kTimeout));
    }
    const QRect before = m_probe.Geometry(Id(lower));

    Windows().SetTopMost(&lower, true);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return m_probe.IsStackedAbove(Id(lower), Id(upper)); }, kTimeout));
    if (Managed()) {
        EXPECT_TRUE(WaitNetWmState(lower, kAbove, true));
        EXPECT_EQ(m_probe.ActiveWindow(), Id(upper));
    }
    EXPECT_EQ(m_probe.Geometry(Id(lower)), before);

    // Still top-most after the window was hidden and shown again.
    lower.hide();
    lower.show();
    ASSERT_TRUE(WaitShown(lower));
    EXPECT_TRUE(m_probe.IsStackedAbove(Id(lower), Id(upper)));
    if (Managed()) {
        EXPECT_TRUE(WaitNetWmState(lower, kAbove, true));
    }

    Windows().SetTopMost(&lower, false);
    if (Managed()) {
        EXPECT_TRUE(WaitNetWmState(lower, kAbove, false));
    }
    EXPECT_EQ(m_probe.Geometry(Id(lower)), before);
    EXPECT_TRUE(m_probe.IsViewable(Id(lower)));
}

TEST_P(X11WindowSystemTest, SetTopMostOnHiddenWindowTakesEffectWhenShown) {
    QWidget widget;
    widget.resize(240, 120);
    int step = 0;
    for (bool on : {true, false, true}) {
        SCOPED_TRACE(testing::Message() << "step " << ++step << ", on = " << on);
        widget.hide(); // the first round: never shown at all
        Windows().SetTopMost(&widget, on);
        widget.show();
        ASSERT_TRUE(WaitShown(widget));
        EXPECT_TRUE(WaitNetWmState(widget, kAbove, on))
            << "_NET_WM_STATE: " << m_probe.NetWmState(Id(widget)).join(' ').toStdString();
    }
}

} // namespace
