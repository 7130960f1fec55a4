// A settings file the program cannot make sense of never stops it: it says
// so, runs on, and writes a good file at exit.
#include "e2e_support.h"

#include <random>

namespace e2e {
namespace {

const QByteArray kProblem = "QuillCap:  Problem loading the preferences file.  Probably an older "
                            "version. \nNo worries, we'll fix it up as best we can.\n";

struct DamageCase {
    const char *name;
    std::function<QByteArray()> damage; // empty: a folder takes the file's place
    bool reported;
};
E2E_PRINTS_NAME(DamageCase)

class DamagedSettings : public E2eTest, public testing::WithParamInterface<DamageCase> {};

// The damage lies between a setting before it and one after it; reading stops
// at a problem, so only the first is applied then.
TEST_P(DamagedSettings, ProgramSaysSoRunsAndWritesAGoodFile) {
    const DamageCase &c = GetParam();
    if (c.damage) {
        ASSERT_TRUE(writeFile(home.settingsFile(), crlf({"FILETYPEINDEX", " 3 "}) + c.damage() +
                                                       crlf({"SHOWMOUSE", " 1 "})));
    } else {
        ASSERT_TRUE(makeFolder(home.settingsFile()));
    }

    QuillCapRun app(home.environment(x));
    if (c.reported) {
        ASSERT_TRUE(answerMessageBox(x));
    }
    ASSERT_TRUE(
        waitFor([&] { return hasWindow(x, kMainCaption) || !app.running(); }, "the main window"));
    ASSERT_TRUE(app.running()) << "exited early; stderr: " << app.stderrText().toStdString();
    EXPECT_EQ(app.stderrText().contains(kProblem), c.reported) << app.stderrText().toStdString();
    app.terminate(SIGTERM);
    ASSERT_TRUE(app.waitForExit());
    EXPECT_TRUE(app.exitedNormally());
    EXPECT_EQ(app.exitCode(), 0);
    if (c.damage) {
        const QByteArray file = readFile(home.settingsFile());
        ASSERT_TRUE(isWellFormedSettings(file));
        EXPECT_EQ(settingValue(file, QStringLiteral("FILETYPEINDEX")), QStringLiteral(" 3 "));
        EXPECT_EQ(settingValue(file, QStringLiteral("SHOWMOUSE")),
                  QLatin1String(c.reported ? " 0 " : " 1 "));
    }
}

INSTANTIATE_TEST_SUITE_P(File, DamagedSettings,
                         testing::Values(
                             // No key anywhere: every line is an unknown entry, skipped.
                             DamageCase{"BinaryGarbage",
                                        [] {
                                            std::mt19937 random(20240611);
                                            QByteArray bytes(64 << 10, '\0');
                                            for (char &b : bytes)
                                                b = char(random() & 0xff);
                                            return bytes + "\r\n";
                                        },
                                        false},
                             // A line far longer than any setting is a read error, not a key.
                             DamageCase{"TenMegabyteLine",
                                        [] { return QByteArray(10 << 20, 'K') + "\r\n"; }, true},
                             DamageCase{"FolderInItsPlace", {}, true}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace e2e
