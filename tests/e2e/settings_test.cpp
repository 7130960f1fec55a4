// Settings made in the window outlive the program, however it is stopped.
#include "e2e_support.h"

#include <QFileInfo>

namespace e2e {
namespace {

const QByteArray kFarewell = "... saved prefs, now unloading forms. See ya.";

// What the program offers on the clipboard, empty when nobody offers text.
QString clipboardText(const XServer &x) {
    const ToolResult r =
        runTool(QStringLiteral("xclip"),
                {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-o")},
                x.environment(), 5s);
    return r.exitCode == 0 ? QString::fromUtf8(r.out) : QString();
}

// Copies the focused template field and waits until the clipboard holds
// `expected`: keys are handled in order, so this also proves every earlier
// key has been handled.
testing::AssertionResult templateFieldHolds(const XServer &x, const QString &expected) {
    xdotool(x, {QStringLiteral("key"), QStringLiteral("ctrl+a"), QStringLiteral("ctrl+c")});
    testing::AssertionResult ok = waitFor([&] { return clipboardText(x) == expected; },
                                          QStringLiteral("\"%1\" on the clipboard").arg(expected));
    if (!ok)
        ok << "; clipboard holds \"" << qPrintable(clipboardText(x)) << "\"";
    return ok;
}

using SettingsTest = E2eTest;

TEST_F(SettingsTest, ChangesMadeInTheWindowSurviveARestart) {
    QByteArray saved;
    {
        QuillCapRun app(home.environment(x));
        QString id;
        ASSERT_TRUE(waitForWindow(x, kMainCaption, &id));
        ASSERT_TRUE(focusWindow(x, id));
        // From the template field along the tab order: type GIF, untick "show
        // message", tick "show mouse", then back to type a template with a
        // leading blank (the colons keep it).
        const QString keys = QStringLiteral("key --delay 20 Tab g") +
                             QStringLiteral(" Tab").repeated(6) +
                             QStringLiteral(" space Tab Tab space") +
                             QStringLiteral(" shift+Tab").repeated(9) + QStringLiteral(" ctrl+a");
        ASSERT_EQ(xdotool(x, keys.split(u' ')).exitCode, 0);
        ASSERT_EQ(
            xdotool(x, QStringLiteral("type --delay 20 ").split(u' ') << QStringLiteral(" shot_"))
                .exitCode,
            0);
        ASSERT_TRUE(templateFieldHolds(x, QStringLiteral(" shot_")));

        app.terminate(SIGTERM);
        ASSERT_TRUE(app.waitForExit());
        saved = readFile(home.settingsFile());
        ASSERT_TRUE(isWellFormedSettings(saved));
        // The boxes passed on the way keep their defaults.
        const std::pair<const char *, QString> expected[] = {
            {"PREFIX", QStringLiteral(": shot_:")},    {"FILETYPEINDEX", QStringLiteral(" 3 ")},
            {"SHOWMESSAGE", QStringLiteral(" 0 ")},    {"SHOWMOUSE", QStringLiteral(" 1 ")},
            {"STARTMINIMIZED", QStringLiteral(" 0 ")}, {"SYSTEMTRAY", QStringLiteral(" 0 ")},
            {"PLAYSOUND", QStringLiteral(" 1 ")},      {"SAVEFOLDER", home.home()},
        };
        for (const auto &[key, value] : expected)
            EXPECT_EQ(settingValue(saved, QLatin1String(key)), value) << key;
    }

    QuillCapRun again(home.environment(x));
    QString id;
    ASSERT_TRUE(waitForWindow(x, kMainCaption, &id));
    ASSERT_TRUE(focusWindow(x, id));
    EXPECT_TRUE(templateFieldHolds(x, QStringLiteral(" shot_")));
    again.terminate(SIGTERM);
    ASSERT_TRUE(again.waitForExit());
    EXPECT_EQ(readFile(home.settingsFile()), saved) << "loaded and saved unchanged, byte for byte";
}

class StopSignal : public E2eTest, public testing::WithParamInterface<int> {};

TEST_P(StopSignal, SavesEverythingAndExitsZero) {
    ASSERT_TRUE(writeFile(home.settingsFile(), crlf({"DEBUGLOG", "True", "FILETYPEINDEX", " 4 "})));
    QuillCapRun app(home.environment(x));
    ASSERT_TRUE(waitForWindow(x, kMainCaption));
    app.terminate(GetParam());
    ASSERT_TRUE(app.waitForExit());
    EXPECT_TRUE(app.exitedNormally());
    EXPECT_EQ(app.exitCode(), 0);
    EXPECT_EQ(settingValue(readFile(home.settingsFile()), QStringLiteral("FILETYPEINDEX")),
              QStringLiteral(" 4 "));
    EXPECT_TRUE(QFileInfo::exists(home.regionsFile())) << "recent regions were not saved";
    EXPECT_TRUE(readFile(home.logFile()).endsWith(kFarewell + "\r\n"))
        << readFile(home.logFile()).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Signal, StopSignal, testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const auto &info) { return std::string(sigabbrev_np(info.param)); });

// A stop request may come while start-up waits on a message box.
class SignalDuringStartupMessage
    : public E2eTest,
      public testing::WithParamInterface<std::pair<const char *, const char *>> {};

TEST_P(SignalDuringStartupMessage, StillSavesAndExitsZero) {
    ASSERT_TRUE(writeFile(home.settingsFile(), crlf({GetParam().first, GetParam().second})));
    QuillCapRun app(home.environment(x));
    ASSERT_TRUE(waitFor([&] { return hasMessageBox(x); }, "a start-up message box"));
    app.terminate(SIGTERM);
    ASSERT_TRUE(app.waitForExit()) << "main window shown: " << hasWindow(x, kMainCaption);
    EXPECT_TRUE(app.exitedNormally());
    EXPECT_EQ(app.exitCode(), 0);
    EXPECT_TRUE(isWellFormedSettings(readFile(home.settingsFile())));
}

// A save folder that is gone; a value that does not convert.
INSTANTIATE_TEST_SUITE_P(Message, SignalDuringStartupMessage,
                         testing::Values(std::pair{"SAVEFOLDER", "/nowhere/at/all"},
                                         std::pair{"FILETYPEINDEX", " 9 "}),
                         [](const auto &info) { return std::string(info.param.first); });

} // namespace
} // namespace e2e
