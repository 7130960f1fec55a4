// A settings file the program cannot make sense of never stops it: it says
// so, runs on, and writes a good file at exit.
#include "e2e_support.h"

#include <QFileInfo>

#include <random>

namespace e2e {
namespace {

const QByteArray kProblem = "QuillCap:  Problem loading the preferences file.  Probably an older "
                            "version. \nNo worries, we'll fix it up as best we can.\n";

// Reproducible bytes of every value; `lineEnds` decides whether CR and LF
// may appear among them.
QByteArray garbage(qsizetype size, bool lineEnds) {
    std::mt19937 random(20240611);
    QByteArray bytes(size, '\0');
    for (char &b : bytes) {
        do {
            b = char(random() & 0xff);
        } while (!lineEnds && (b == '\r' || b == '\n'));
    }
    return bytes;
}

// Around the damage: a setting before it and one after it. Reading stops at
// a problem, so only the first is applied then.
const QByteArray kBefore = crlf({"FILETYPEINDEX", " 3 "});
const QByteArray kAfter = crlf({"SHOWMOUSE", " 1 "});

enum class Problem { Reported, NotReported };

struct DamageCase {
    const char *name;
    std::function<QByteArray()> damage; // empty: a folder takes the file's place
    Problem problem;
    bool endsFile = false; // nothing may follow the damage
};
E2E_PRINTS_NAME(DamageCase)

class DamagedSettings : public E2eTest, public testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedSettings, ProgramSaysSoRunsAndWritesAGoodFile) {
    const DamageCase &c = GetParam();
    const bool folder = !c.damage;
    if (folder) {
        ASSERT_TRUE(makeFolder(home.settingsFile()));
    } else {
        ASSERT_TRUE(
            writeFile(home.settingsFile(), kBefore + c.damage() + (c.endsFile ? "" : kAfter)));
    }

    QuillCapRun app(home.environment(x));
    ASSERT_TRUE(
        waitFor([&] { return hasMessageBox(x) || hasWindow(x, kMainCaption) || !app.running(); },
                "a message box or the main window"));
    const bool reported = hasMessageBox(x);
    if (reported) {
        ASSERT_TRUE(answerMessageBox(x));
    }
    ASSERT_TRUE(
        waitFor([&] { return hasWindow(x, kMainCaption) || !app.running(); }, "the main window"));
    ASSERT_TRUE(app.running()) << "exited early; stderr: " << app.stderrText().toStdString();
    EXPECT_EQ(app.stderrText().contains(kProblem), reported) << app.stderrText().toStdString();
    EXPECT_EQ(reported, c.problem == Problem::Reported);

    app.terminate(SIGTERM);
    ASSERT_TRUE(app.waitForExit());
    EXPECT_TRUE(app.exitedNormally());
    EXPECT_EQ(app.exitCode(), 0);
    if (folder) {
        EXPECT_TRUE(QFileInfo(home.settingsFile()).isDir());
        return;
    }
    const QByteArray file = readFile(home.settingsFile());
    ASSERT_TRUE(isWellFormedSettings(file));
    EXPECT_EQ(settingValue(file, QStringLiteral("FILETYPEINDEX")), QStringLiteral(" 3 "));
    EXPECT_EQ(settingValue(file, QStringLiteral("SHOWMOUSE")),
              reported || c.endsFile ? QStringLiteral(" 0 ") : QStringLiteral(" 1 "));
}

INSTANTIATE_TEST_SUITE_P(
    File, DamagedSettings,
    testing::Values(
        // A value no boolean can be read from.
        DamageCase{"BinaryGarbageValue",
                   [] { return "DEBUGLOG\r\n\xff" + garbage(4096, false) + "\r\n"; },
                   Problem::Reported},
        DamageCase{"TenMegabyteValue",
                   [] { return "DEBUGLOG\r\n" + QByteArray(10 << 20, 'x') + "\r\n"; },
                   Problem::Reported},
        // No key anywhere: every line is an unknown entry, skipped.
        DamageCase{"BinaryGarbageLines", [] { return garbage(64 << 10, true) + "\r\n"; },
                   Problem::NotReported},
        // A line far longer than any setting is a read error, not a key.
        DamageCase{"TenMegabyteKeyLine", [] { return QByteArray(10 << 20, 'K') + "\r\n"; },
                   Problem::Reported},
        DamageCase{"FolderInItsPlace", {}, Problem::Reported},
        DamageCase{"PrefixOneColon", [] { return QByteArray("PREFIX\r\n:\r\n"); },
                   Problem::Reported},
        DamageCase{"PrefixEmpty", [] { return QByteArray("PREFIX\r\n\r\n"); }, Problem::Reported},
        DamageCase{"FileTypeOutOfRange", [] { return QByteArray("FILETYPEINDEX\r\n 7 \r\n"); },
                   Problem::Reported},
        DamageCase{"CheckBoxOutOfRange", [] { return QByteArray("SHOWMESSAGE\r\n 3 \r\n"); },
                   Problem::Reported},
        DamageCase{"ValueMissingAtTheEnd", [] { return QByteArray("STARTMINIMIZED\r\n"); },
                   Problem::Reported, true}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace e2e
