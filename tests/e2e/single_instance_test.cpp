// Only one copy runs per display: a second one, or any window whose title
// starts like the main window's caption, stops a start.
#include "e2e_support.h"

#include <QFileInfo>

#include <optional>

namespace e2e {
namespace {

const QByteArray kAlreadyRunning = "QuillCap: QuillCap is already running !\n";

struct SecondStartCase {
    const char *name;
    QByteArray settings; // for the first copy; empty for none
    bool minimized;
};
E2E_PRINTS_NAME(SecondStartCase)

class SecondStart : public E2eTest, public testing::WithParamInterface<SecondStartCase> {};

TEST_P(SecondStart, IsRefusedAndLeavesTheFirstRunning) {
    if (!GetParam().settings.isEmpty()) {
        ASSERT_TRUE(writeFile(home.settingsFile(), GetParam().settings));
    }
    QuillCapRun first(home.environment(x));
    QString id;
    ASSERT_TRUE(waitForWindow(x, kMainCaption, &id));
    if (GetParam().minimized) {
        // Without a window manager only the hint tells a minimized start.
        const QStringList hints{QStringLiteral("-id"), id, QStringLiteral("WM_HINTS"),
                                QStringLiteral("WM_STATE")};
        ASSERT_TRUE(waitFor(
            [&] {
                return runTool(QStringLiteral("xprop"), hints, x.environment())
                    .out.contains("Iconic");
            },
            QStringLiteral("the first copy to start minimized")));
    }
    const QMap<QString, QByteArray> before = snapshot(home.home());

    QuillCapRun second(home.environment(x));
    ASSERT_TRUE(answerMessageBox(x));
    ASSERT_TRUE(second.waitForExit());
    EXPECT_TRUE(second.exitedNormally());
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(second.stderrText().contains(kAlreadyRunning)) << second.stderrText().toStdString();
    EXPECT_EQ(snapshot(home.home()), before) << "the refused copy wrote into HOME";

    EXPECT_TRUE(first.running());
    EXPECT_EQ(windowCount(x, kMainCaption), 1);

    first.terminate(SIGTERM);
    ASSERT_TRUE(first.waitForExit());
    EXPECT_EQ(first.exitCode(), 0);
}

INSTANTIATE_TEST_SUITE_P(FirstCopy, SecondStart,
                         testing::Values(SecondStartCase{"StartedNormally", {}, false},
                                         SecondStartCase{"StartedMinimized",
                                                         crlf({"STARTMINIMIZED", " 1 "}), true}),
                         [](const auto &info) { return std::string(info.param.name); });

struct ForeignWindowCase {
    const char *name;
    const char *title;
    bool openbox;
    bool blocks;
};
E2E_PRINTS_NAME(ForeignWindowCase)

class ForeignWindow : public E2eTest, public testing::WithParamInterface<ForeignWindowCase> {};

TEST_P(ForeignWindow, BlocksAStartOnlyWithTheCaptionPrefix) {
    const ForeignWindowCase &c = GetParam();
    std::optional<Openbox> wm;
    if (c.openbox) {
        wm.emplace(x, home.environment(x));
        ASSERT_TRUE(wm->waitUntilManaging());
    }
    const QString title = QString::fromLatin1(c.title);
    Child foreign(QStringLiteral("xmessage"),
                  {QStringLiteral("-title"), title, QStringLiteral("hi")}, home.environment(x));
    ASSERT_TRUE(waitForWindow(x, QRegularExpression::escape(title)));

    QuillCapRun app(home.environment(x));
    if (c.blocks) {
        ASSERT_TRUE(answerMessageBox(x));
        ASSERT_TRUE(app.waitForExit());
        EXPECT_EQ(app.exitCode(), 0);
        EXPECT_TRUE(app.stderrText().contains(kAlreadyRunning)) << app.stderrText().toStdString();
        EXPECT_FALSE(hasWindow(x, kMainCaption));
        EXPECT_FALSE(QFileInfo::exists(home.dataFolder())) << "a refused start created its folder";
        return;
    }
    ASSERT_TRUE(
        waitFor([&] { return hasWindow(x, kMainCaption) || !app.running(); }, "the main window"));
    ASSERT_TRUE(app.running()) << "exited early; stderr: " << app.stderrText().toStdString();
    EXPECT_FALSE(app.stderrText().contains("already running"));
    app.terminate(SIGTERM);
    ASSERT_TRUE(app.waitForExit());
    EXPECT_EQ(app.exitCode(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Title, ForeignWindow,
    testing::Values(ForeignWindowCase{"TwoBlanks", "QuillCap  (x", false, true},
                    ForeignWindowCase{"OneBlank", "QuillCap (x", false, false},
                    ForeignWindowCase{"OtherCase", "quillcap  (x", false, false},
                    ForeignWindowCase{"NotAtTheStart", "My QuillCap  (x", false, false},
                    ForeignWindowCase{"TwoBlanksUnderOpenbox", "QuillCap  (x", true, true},
                    ForeignWindowCase{"OneBlankUnderOpenbox", "QuillCap (x", true, false}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace e2e
