// The debug log: written only when the settings ask for it, replaced on each
// start, never touched otherwise.
#include "e2e_support.h"

namespace e2e {
namespace {

const QByteArray kOldLog = "a log from an earlier run\r\n";

// Starts the program, waits for its window, stops it the polite way.
testing::AssertionResult runOnce(const XServer &x, const TestHome &home) {
    QuillCapRun app(home.environment(x));
    if (auto shown = waitForWindow(x, kMainCaption); !shown)
        return shown << "; stderr: " << app.stderrText().toStdString();
    app.terminate(SIGTERM);
    if (auto exited = app.waitForExit(); !exited)
        return exited;
    if (!app.exitedNormally() || app.exitCode() != 0)
        return testing::AssertionFailure() << "exit code " << app.exitCode();
    return testing::AssertionSuccess();
}

using DebugLog = E2eTest;

TEST_F(DebugLog, OnReplacesTheOldLogWithBannerLinesAndFarewell) {
    ASSERT_TRUE(writeFile(home.logFile(), kOldLog));
    ASSERT_TRUE(writeFile(home.settingsFile(), crlf({"DEBUGLOG", "True", "FILETYPEINDEX", " 3 "})));
    ASSERT_TRUE(runOnce(x, home));

    const QByteArray log = readFile(home.logFile());
    EXPECT_EQ(log.count('\n'), log.count("\r\n")) << "a line end that is not CR LF";
    EXPECT_FALSE(log.contains(kOldLog)) << "the old log was appended to";
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Opening log on \\S.*\\d.* .*\\d.*\\S\r\n"
                                                  "QuillCap, Build 3\\.1\r\n={66} \r\n"))
                    .match(QString::fromLatin1(log))
                    .hasMatch())
        << log.toStdString();
    EXPECT_TRUE(log.contains("\r\n    loading prefs : FILETYPEINDEX > 3 \r\n"));
    EXPECT_TRUE(log.endsWith("\r\n... saved prefs, now unloading forms. See ya.\r\n"));
}

TEST_F(DebugLog, OffLeavesAnOldLogAlone) {
    ASSERT_TRUE(writeFile(home.logFile(), kOldLog));
    ASSERT_TRUE(writeFile(home.settingsFile(), crlf({"DEBUGLOG", "False"})));
    ASSERT_TRUE(runOnce(x, home));
    EXPECT_EQ(readFile(home.logFile()), kOldLog);
}

} // namespace
} // namespace e2e
