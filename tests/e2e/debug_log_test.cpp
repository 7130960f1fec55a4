// The debug log: written only when the settings ask for it, replaced on each
// start, never touched otherwise.
#include "e2e_support.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

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

QStringList logLines(const QByteArray &log) {
    QStringList lines = QString::fromLatin1(log).split(QStringLiteral("\r\n"));
    lines.removeLast(); // after the last line end
    return lines;
}

using DebugLog = E2eTest;

TEST_F(DebugLog, OnReplacesTheOldLogWithBannerSettingsAndFarewell) {
    ASSERT_TRUE(writeFile(home.logFile(), kOldLog));
    // An unknown entry is reported, and its value line is then read as a key.
    ASSERT_TRUE(writeFile(home.settingsFile(),
                          crlf({"DEBUGLOG", "True", "PREFIX", ":Quillcap_:", "FILETYPEINDEX", " 3 ",
                                "NOSUCHKEY", "its value"})));
    ASSERT_TRUE(runOnce(x, home));

    const QByteArray log = readFile(home.logFile());
    ASSERT_TRUE(log.endsWith("\r\n")) << log.toStdString();
    EXPECT_EQ(log.count('\n'), log.count("\r\n")) << "a line end that is not CR LF";
    EXPECT_FALSE(log.contains(kOldLog)) << "the old log was appended to";
    const QStringList lines = logLines(log);
    ASSERT_GE(lines.size(), 4) << log.toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Opening log on \\S.*\\d.* .*\\d.*\\S$"))
                    .match(lines[0])
                    .hasMatch())
        << lines[0].toStdString();
    EXPECT_EQ(lines[1], QStringLiteral("QuillCap, Build 3.1"));
    EXPECT_EQ(lines[2], QString(66, u'=') + u' ');

    // These come in this order; other lines may lie between them.
    const QStringList inOrder{
        QStringLiteral("    loading prefs : PREFIX >:Quillcap_:"),
        QStringLiteral("    loading prefs : FILETYPEINDEX > 3 "),
        QStringLiteral("Load prefs COULD NOT FIND ENTRY >> NOSUCHKEY"),
        QStringLiteral("Load prefs COULD NOT FIND ENTRY >> its value"),
        QStringLiteral("Booting normally (not minimized)"),
        QStringLiteral("Saving Prefs ... "),
        QStringLiteral("              ... done"),
    };
    qsizetype at = 3;
    for (const QString &wanted : inOrder) {
        const qsizetype found = lines.indexOf(wanted, at);
        EXPECT_NE(found, -1) << "\"" << wanted.toStdString() << "\" missing or out of order in:\n"
                             << log.toStdString();
        if (found != -1)
            at = found + 1;
    }
    EXPECT_EQ(lines.last(), QStringLiteral("... saved prefs, now unloading forms. See ya."));
}

TEST_F(DebugLog, LogThatCannotBeCreatedIsAProblemNotAStop) {
    // Even root cannot open a folder for writing.
    ASSERT_TRUE(makeFolder(home.logFile()));
    ASSERT_TRUE(writeFile(home.settingsFile(), crlf({"DEBUGLOG", "True"})));
    QuillCapRun app(home.environment(x));
    ASSERT_TRUE(answerMessageBox(x));
    ASSERT_TRUE(waitForWindow(x, kMainCaption));
    EXPECT_TRUE(app.stderrText().contains("Problem loading the preferences file."))
        << app.stderrText().toStdString();
    app.terminate(SIGTERM);
    ASSERT_TRUE(app.waitForExit());
    EXPECT_EQ(app.exitCode(), 0);
    EXPECT_TRUE(isWellFormedSettings(readFile(home.settingsFile())));
    EXPECT_TRUE(QFileInfo(home.logFile()).isDir());
}

struct LogOffCase {
    const char *name;
    QByteArray settings; // empty: no settings file
    bool oldLog;
};
E2E_PRINTS_NAME(LogOffCase)

class DebugLogOff : public E2eTest, public testing::WithParamInterface<LogOffCase> {};

TEST_P(DebugLogOff, NeitherCreatesNorTouchesTheLog) {
    const LogOffCase &c = GetParam();
    if (!c.settings.isEmpty()) {
        ASSERT_TRUE(writeFile(home.settingsFile(), c.settings));
    }
    QDateTime oldTime;
    if (c.oldLog) {
        ASSERT_TRUE(writeFile(home.logFile(), kOldLog));
        // Back-dated so that any rewrite shows, even within the same second.
        oldTime = QDateTime::currentDateTime().addDays(-1);
        QFile f(home.logFile());
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(oldTime, QFileDevice::FileModificationTime));
    }
    ASSERT_TRUE(runOnce(x, home));

    if (!c.oldLog) {
        EXPECT_FALSE(QFileInfo::exists(home.logFile()));
        return;
    }
    EXPECT_EQ(readFile(home.logFile()), kOldLog);
    EXPECT_EQ(QFileInfo(home.logFile()).lastModified().toSecsSinceEpoch(),
              oldTime.toSecsSinceEpoch());
}

INSTANTIATE_TEST_SUITE_P(
    Settings, DebugLogOff,
    testing::Values(LogOffCase{"FalseWithOldLog", crlf({"DEBUGLOG", "False"}), true},
                    LogOffCase{"ZeroWithOldLog", crlf({"DEBUGLOG", " 0 "}), true},
                    LogOffCase{"FalseWithoutLog", crlf({"DEBUGLOG", "False"}), false},
                    LogOffCase{"NoSettingsFile", {}, false}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace e2e
