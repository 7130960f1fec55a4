// Only one copy runs per display: a second one, or any window whose title
// starts like the main window's caption, stops a start.
#include "e2e_support.h"

#include <QFileInfo>

#include <list>

namespace e2e {
namespace {

const QByteArray kAlreadyRunning = "QuillCap: QuillCap is already running !\n";

// Waits for the "already running" box, answers it and checks the refused copy
// exits cleanly.
void expectRefused(const XServer &x, QuillCapRun &app) {
    ASSERT_TRUE(answerMessageBox(x));
    ASSERT_TRUE(app.waitForExit());
    EXPECT_TRUE(app.exitedNormally());
    EXPECT_EQ(app.exitCode(), 0);
    EXPECT_TRUE(app.stderrText().contains(kAlreadyRunning)) << app.stderrText().toStdString();
}

class SecondStart : public E2eTest, public testing::WithParamInterface<bool> {};

TEST_P(SecondStart, IsRefusedAndLeavesTheFirstRunning) {
    const bool minimized = GetParam();
    if (minimized) {
        ASSERT_TRUE(writeFile(home.settingsFile(), crlf({"STARTMINIMIZED", " 1 "})));
    }
    QuillCapRun first(home.environment(x));
    QString id;
    ASSERT_TRUE(waitForWindow(x, kMainCaption, &id));
    if (minimized) {
        // Without a window manager only the hint tells a minimized start.
        ASSERT_TRUE(waitFor(
            [&] {
                return runTool(QStringLiteral("xprop"),
                               {QStringLiteral("-id"), id, QStringLiteral("WM_HINTS")},
                               x.environment())
                    .out.contains("Iconic");
            },
            QStringLiteral("the first copy to start minimized")));
    }
    const QMap<QString, QByteArray> before = snapshot(home.home());

    QuillCapRun second(home.environment(x));
    expectRefused(x, second);
    EXPECT_EQ(snapshot(home.home()), before) << "the refused copy wrote into HOME";
    EXPECT_TRUE(first.running());
    EXPECT_EQ(windowCount(x, kMainCaption), 1);
}

INSTANTIATE_TEST_SUITE_P(FirstCopy, SecondStart, testing::Values(false, true),
                         [](const auto &info) { return info.param ? "Minimized" : "Normal"; });

class ForeignWindow : public E2eTest, public testing::WithParamInterface<bool> {};

// Only "QuillCap  (" at the start of a title, with two blanks, blocks.
TEST_P(ForeignWindow, BlocksAStartOnlyWithTheCaptionPrefix) {
    const bool blocking = GetParam();
    const QStringList titles =
        blocking ? QStringList{QStringLiteral("QuillCap  (x")}
                 : QStringList{QStringLiteral("QuillCap (x"), QStringLiteral("My QuillCap  (x")};
    std::list<Child> foreign;
    for (const QString &title : titles) {
        foreign.emplace_back(QStringLiteral("xmessage"),
                             QStringList{QStringLiteral("-title"), title, QStringLiteral("hi")},
                             home.environment(x));
        ASSERT_TRUE(waitForWindow(x, QRegularExpression::escape(title)));
    }

    QuillCapRun app(home.environment(x));
    if (blocking) {
        expectRefused(x, app);
        EXPECT_FALSE(hasWindow(x, kMainCaption));
        EXPECT_FALSE(QFileInfo::exists(home.dataFolder())) << "a refused start created its folder";
        return;
    }
    ASSERT_TRUE(
        waitFor([&] { return hasWindow(x, kMainCaption) || !app.running(); }, "the main window"));
    EXPECT_TRUE(app.running()) << "stderr: " << app.stderrText().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Title, ForeignWindow, testing::Values(true, false),
                         [](const auto &info) { return info.param ? "TwoBlanks" : "OneBlank"; });

} // namespace
} // namespace e2e
