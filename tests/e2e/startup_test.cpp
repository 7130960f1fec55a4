// First start in an empty HOME, the caption, and refusing to run outside X11.
#include "e2e_support.h"

#include <QFileInfo>

namespace e2e {
namespace {

using Startup = E2eTest;

// Starts the program on `env`, waits for a caption matching `caption`, stops it.
void runAndStop(const XServer &x, const QProcessEnvironment &env, const QString &caption) {
    QuillCapRun app(env);
    ASSERT_TRUE(waitForWindow(x, caption)) << app.stderrText().toStdString();
    app.terminate(SIGTERM);
    ASSERT_TRUE(app.waitForExit());
    EXPECT_TRUE(app.exitedNormally());
    EXPECT_EQ(app.exitCode(), 0);
    // Every message box is echoed on stderr: nothing was wrong, so none.
    EXPECT_FALSE(app.stderrText().contains("QuillCap: ")) << app.stderrText().toStdString();
}

TEST_F(Startup, FirstStartShowsNoSnapsAndSavesTheDefaults) {
    ASSERT_TRUE(makeFolder(home.home() + QStringLiteral("/Pictures")));
    runAndStop(x, home.environment(x), QStringLiteral("QuillCap  \\(0 snaps\\)"));

    const QByteArray file = readFile(home.settingsFile());
    ASSERT_TRUE(isWellFormedSettings(file));
    const QString programFolder = folderOf(quillCapBinary());
    const struct {
        const char *key;
        int n;
        QString value;
    } expected[] = {
        {"DEBUGLOG", 0, QStringLiteral("False")},
        {"SAVEFOLDER", 0, home.home() + QStringLiteral("/Pictures")},
        {"PREFIX", 0, QStringLiteral(":Quillcap_:")},
        {"FILETYPEINDEX", 0, QStringLiteral(" 2 ")},
        {"STARTMINIMIZED", 0, QStringLiteral(" 0 ")},
        {"SOUNDPATHS", 0, programFolder + QStringLiteral("/capture.wav")},
        {"SOUNDPATHS", 1, programFolder + QStringLiteral("/error.wav")},
        {"SHOWMESSAGE", 0, QStringLiteral(" 1 ")},
        {"PLAYSOUND", 0, QStringLiteral(" 1 ")},
        {"SHOWMOUSE", 0, QStringLiteral(" 0 ")},
        {"LASTOVERRIDENAME", 0, QString()},
        {"NUMBEROFSNAPS", 0, QStringLiteral(" 0 ")},
        {"SYSTEMTRAY", 0, QStringLiteral(" 0 ")},
    };
    for (const auto &e : expected)
        EXPECT_EQ(settingValue(file, QLatin1String(e.key), e.n), e.value) << e.key << " " << e.n;
    EXPECT_TRUE(QFileInfo::exists(home.regionsFile())) << "recent regions were not saved";
    EXPECT_FALSE(QFileInfo::exists(home.logFile())) << "log written with DEBUGLOG off";
}

TEST_F(Startup, CaptionGroupsTheSnapCountTheUsersWay) {
    ASSERT_TRUE(writeFile(home.settingsFile(), crlf({"NUMBEROFSNAPS", " 1234 "})));
    QProcessEnvironment env = home.environment(x);
    env.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
    runAndStop(x, env, QStringLiteral("QuillCap  \\(1\\.234 snaps\\)"));
    EXPECT_EQ(settingValue(readFile(home.settingsFile()), QStringLiteral("NUMBEROFSNAPS")),
              QStringLiteral(" 1234 "));
}

TEST_F(Startup, OutsideAnX11SessionSaysSoAndExits) {
    const struct {
        const char *variable, *value; // no value: removed
    } cases[] = {
        {"DISPLAY", nullptr},
        {"WAYLAND_DISPLAY", "wayland-0"},
        {"XDG_SESSION_TYPE", "wayland"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.variable) + "=" + (c.value ? c.value : "<unset>"));
        QProcessEnvironment env = home.environment(x);
        if (c.value)
            env.insert(QLatin1String(c.variable), QLatin1String(c.value));
        else
            env.remove(QLatin1String(c.variable));
        QuillCapRun app(env);
        ASSERT_TRUE(app.waitForExit());
        EXPECT_TRUE(app.exitedNormally());
        EXPECT_NE(app.exitCode(), 0);
        const QByteArray err = app.stderrText();
        EXPECT_TRUE(err.count('\n') == 1 && err.endsWith('\n') && err.contains("X11"))
            << err.toStdString();
        EXPECT_TRUE(app.stdoutText().isEmpty());
        EXPECT_FALSE(QFileInfo::exists(home.dataFolder())) << "a refused start created its folder";
    }
}

} // namespace
} // namespace e2e
