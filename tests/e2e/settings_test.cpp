// Settings made in the window outlive the program, however it is stopped.
#include "e2e_support.h"

#include <QFileInfo>

namespace e2e {
namespace {

const QString kFarewell = QStringLiteral("... saved prefs, now unloading forms. See ya.");

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
        // The template field has the focus; walk the tab order from there:
        // type GIF, untick "show message", tick "show mouse", then come back
        // and type a template with a leading blank (the colons keep it).
        QStringList keys{QStringLiteral("Tab"), QStringLiteral("g")};
        for (int i = 0; i < 6; ++i)
            keys << QStringLiteral("Tab");
        keys << QStringLiteral("space") << QStringLiteral("Tab") << QStringLiteral("Tab")
             << QStringLiteral("space");
        for (int i = 0; i < 9; ++i)
            keys << QStringLiteral("shift+Tab");
        keys << QStringLiteral("ctrl+a");
        ASSERT_EQ(xdotool(x, QStringList{QStringLiteral("key"), QStringLiteral("--delay"),
                                         QStringLiteral("20")} +
                                 keys)
                      .exitCode,
                  0);
        ASSERT_EQ(xdotool(x, {QStringLiteral("type"), QStringLiteral("--delay"),
                              QStringLiteral("20"), QStringLiteral(" shot_")})
                      .exitCode,
                  0);
        ASSERT_TRUE(templateFieldHolds(x, QStringLiteral(" shot_")));

        app.terminate(SIGTERM);
        ASSERT_TRUE(app.waitForExit());
        EXPECT_EQ(app.exitCode(), 0);
        saved = readFile(home.settingsFile());
        ASSERT_TRUE(isWellFormedSettings(saved));
        const struct {
            const char *key;
            QString value;
        } expected[] = {
            {"PREFIX", QStringLiteral(": shot_:")},    {"FILETYPEINDEX", QStringLiteral(" 3 ")},
            {"SHOWMESSAGE", QStringLiteral(" 0 ")},    {"SHOWMOUSE", QStringLiteral(" 1 ")},
            {"STARTMINIMIZED", QStringLiteral(" 0 ")}, {"SYSTEMTRAY", QStringLiteral(" 0 ")},
            {"PLAYSOUND", QStringLiteral(" 1 ")},      {"SAVEFOLDER", home.home()},
        };
        for (const auto &e : expected) {
            EXPECT_EQ(settingValue(saved, QLatin1String(e.key)), e.value) << e.key;
        }
    }

    QuillCapRun again(home.environment(x));
    QString id;
    ASSERT_TRUE(waitForWindow(x, kMainCaption, &id));
    ASSERT_TRUE(focusWindow(x, id));
    EXPECT_TRUE(templateFieldHolds(x, QStringLiteral(" shot_")));
    again.terminate(SIGTERM);
    ASSERT_TRUE(again.waitForExit());
    EXPECT_EQ(again.exitCode(), 0);
    // Loaded and saved again without a change: the same file, byte for byte.
    EXPECT_EQ(readFile(home.settingsFile()), saved);
}

struct StopSignalCase {
    const char *name;
    int signal;
};
E2E_PRINTS_NAME(StopSignalCase)

class StopSignal : public E2eTest, public testing::WithParamInterface<StopSignalCase> {};

TEST_P(StopSignal, SavesEverythingAndExitsZero) {
    ASSERT_TRUE(writeFile(home.settingsFile(), crlf({"DEBUGLOG", "True", "FILETYPEINDEX", " 4 "})));
    QuillCapRun app(home.environment(x));
    ASSERT_TRUE(waitForWindow(x, kMainCaption));
    app.terminate(GetParam().signal);
    ASSERT_TRUE(app.waitForExit());
    EXPECT_TRUE(app.exitedNormally());
    EXPECT_EQ(app.exitCode(), 0);

    const QByteArray file = readFile(home.settingsFile());
    ASSERT_TRUE(isWellFormedSettings(file));
    EXPECT_EQ(settingValue(file, QStringLiteral("FILETYPEINDEX")), QStringLiteral(" 4 "));
    EXPECT_TRUE(QFileInfo::exists(home.regionsFile())) << "recent regions were not saved";
    EXPECT_TRUE(readFile(home.logFile()).endsWith(kFarewell.toLatin1() + "\r\n"))
        << readFile(home.logFile()).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Signal, StopSignal,
                         testing::Values(StopSignalCase{"SIGTERM", SIGTERM},
                                         StopSignalCase{"SIGINT", SIGINT},
                                         StopSignalCase{"SIGHUP", SIGHUP}),
                         [](const auto &info) { return std::string(info.param.name); });

// Saved paths are checked against the disk at start; `home` is the HOME.
struct SavedPathCase {
    const char *name;
    std::function<QStringList(const QString &home)> settings;
    bool cannotFindFolder;                                 // the save folder is reported missing
    std::function<QStringList(const QString &home)> saved; // SAVEFOLDER, then SOUNDPATHS
};
E2E_PRINTS_NAME(SavedPathCase)

class SavedPaths : public E2eTest, public testing::WithParamInterface<SavedPathCase> {};

TEST_P(SavedPaths, AreKeptOnlyWhileTheyExist) {
    const SavedPathCase &c = GetParam();
    const QString h = home.home();
    ASSERT_TRUE(writeFile(h + QStringLiteral("/shot.wav"), "RIFF"));
    ASSERT_TRUE(makeFolder(h + QStringLiteral("/sounds")));
    ASSERT_TRUE(writeFile(home.settingsFile(), crlf(c.settings(h))));

    QuillCapRun app(home.environment(x));
    if (c.cannotFindFolder) {
        ASSERT_TRUE(answerMessageBox(x));
    }
    ASSERT_TRUE(waitForWindow(x, kMainCaption)) << app.stderrText().toStdString();
    const QByteArray missing = "QuillCap: Cannot find folder: \n" + h.toLatin1() + "/gone\n";
    EXPECT_EQ(app.stderrText().contains(missing), c.cannotFindFolder)
        << app.stderrText().toStdString();
    app.terminate(SIGTERM);
    ASSERT_TRUE(app.waitForExit());
    EXPECT_EQ(app.exitCode(), 0);

    const QByteArray file = readFile(home.settingsFile());
    ASSERT_TRUE(isWellFormedSettings(file));
    const QStringList saved = c.saved(h);
    EXPECT_EQ(settingValue(file, QStringLiteral("SAVEFOLDER")), saved[0]);
    EXPECT_EQ(settingValue(file, QStringLiteral("SOUNDPATHS"), 0), saved[1]);
    EXPECT_EQ(settingValue(file, QStringLiteral("SOUNDPATHS"), 1), saved[2]);
}

const QString kProgramFolder = folderOf(quillCapBinary());

INSTANTIATE_TEST_SUITE_P(
    Disk, SavedPaths,
    testing::Values(
        // A file or a folder will do for a sound; blanks around are dropped.
        SavedPathCase{"ExistingPathsKept",
                      [](const QString &h) {
                          return QStringList{"SAVEFOLDER", h + "/sounds", "SOUNDPATHS",
                                             "  " + h + "/shot.wav ", h + "/sounds"};
                      },
                      false,
                      [](const QString &h) {
                          return QStringList{h + "/sounds", h + "/shot.wav", h + "/sounds"};
                      }},
        SavedPathCase{"MissingSoundsReplaced",
                      [](const QString &h) {
                          return QStringList{"SOUNDPATHS", h + "/gone.wav", "/nowhere/e.wav"};
                      },
                      false,
                      [](const QString &h) {
                          return QStringList{h, kProgramFolder + "/capture.wav",
                                             kProgramFolder + "/error.wav"};
                      }},
        SavedPathCase{"MissingSaveFolderReported",
                      [](const QString &h) {
                          return QStringList{"SAVEFOLDER", h + "/gone"};
                      },
                      true,
                      [](const QString &h) {
                          return QStringList{h, kProgramFolder + "/capture.wav",
                                             kProgramFolder + "/error.wav"};
                      }}),
    [](const auto &info) { return std::string(info.param.name); });

// A stop request may come while start-up waits on a message box.
struct SignalDuringMessageCase {
    const char *name;
    QStringList settings;
};
E2E_PRINTS_NAME(SignalDuringMessageCase)

class SignalDuringStartupMessage : public E2eTest,
                                   public testing::WithParamInterface<SignalDuringMessageCase> {};

TEST_P(SignalDuringStartupMessage, StillSavesAndExitsZero) {
    ASSERT_TRUE(writeFile(home.settingsFile(), crlf(GetParam().settings)));
    QuillCapRun app(home.environment(x));
    ASSERT_TRUE(waitFor([&] { return hasMessageBox(x); }, "a start-up message box"));
    app.terminate(SIGTERM);
    ASSERT_TRUE(app.waitForExit()) << "main window shown: " << hasWindow(x, kMainCaption);
    EXPECT_TRUE(app.exitedNormally());
    EXPECT_EQ(app.exitCode(), 0);
    EXPECT_TRUE(isWellFormedSettings(readFile(home.settingsFile())));
}

INSTANTIATE_TEST_SUITE_P(
    Message, SignalDuringStartupMessage,
    testing::Values(SignalDuringMessageCase{"CannotFindFolder", {"SAVEFOLDER", "/nowhere/at/all"}},
                    SignalDuringMessageCase{"ProblemLoadingPreferences", {"FILETYPEINDEX", " 9 "}}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace e2e
