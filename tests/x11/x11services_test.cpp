// The session check on a real (virtual) display.
#include "envguard.h"
#include "platform/x11/x11session.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace quillcap;

namespace {

TEST(X11SessionProblem, NamesWhatStopsTheProgram) {
    ASSERT_FALSE(QFile::exists(QStringLiteral("/tmp/.X11-unix/X4242")));
    const struct {
        const char *what;
        std::vector<std::pair<const char *, const char *>> env; // null value: unset
        const char *problem;                                    // null: none
    } cases[] = {
        {"X11 session", {}, nullptr},
        {"session type x11", {{"XDG_SESSION_TYPE", "x11"}}, nullptr},
        {"Wayland session type", {{"XDG_SESSION_TYPE", "wayland"}}, "Wayland"},
        {"Wayland display present", {{"WAYLAND_DISPLAY", "wayland-0"}}, "Wayland"},
        {"Wayland beats a reachable X display",
         {{"XDG_SESSION_TYPE", "wayland"}, {"WAYLAND_DISPLAY", "wayland-0"}},
         "Wayland"},
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
        const std::optional<QString> problem = X11SessionProblem();
        ASSERT_EQ(problem.has_value(), c.problem != nullptr) << problem.value_or("").toStdString();
        if (!problem)
            continue;
        EXPECT_TRUE(problem->contains(QLatin1String(c.problem))) << problem->toStdString();
        // One sentence a user can read in a message box.
        EXPECT_TRUE(problem->startsWith(QLatin1String("QuillCap needs an X11 session: ")));
        EXPECT_TRUE(problem->endsWith(QLatin1Char('.')));
        EXPECT_FALSE(problem->contains(QLatin1Char('\n')));
    }
}

} // namespace
