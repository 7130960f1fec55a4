// When the usual data folder cannot be made the program falls back to its own
// folder, and failing that keeps its settings in memory, but it always runs.
#include "e2e_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace e2e {
namespace {

constexpr uid_t kNobody = 65534;

// A copy of the program in a folder of its own, so that whatever it writes
// beside itself stays out of the build tree.
QString copyProgramInto(const QString &folder) {
    const QString copy = folder + QStringLiteral("/quillcap");
    if (!makeFolder(folder) || !QFile::copy(quillCapBinary(), copy))
        return QString();
    return copy;
}

using DataFolder = E2eTest;

TEST_F(DataFolder, ConfigHomeIsAFileSoSettingsGoBesideTheProgram) {
    const QString programFolder = home.root() + QStringLiteral("/program");
    const QString program = copyProgramInto(programFolder);
    ASSERT_FALSE(program.isEmpty());
    const QString notAFolder = home.root() + QStringLiteral("/config-file");
    ASSERT_TRUE(writeFile(notAFolder, "not a folder\n"));
    QProcessEnvironment env = home.environment(x);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), notAFolder);

    QuillCapRun app(env, program);
    ASSERT_TRUE(waitForWindow(x, kMainCaption)) << app.stderrText().toStdString();
    app.terminate(SIGTERM);
    ASSERT_TRUE(app.waitForExit());
    EXPECT_EQ(app.exitCode(), 0);

    const QByteArray file = readFile(programFolder + QStringLiteral("/qcapprf.txt"));
    ASSERT_TRUE(isWellFormedSettings(file)) << app.stderrText().toStdString();
    EXPECT_EQ(settingValue(file, QStringLiteral("SOUNDPATHS")),
              programFolder + QStringLiteral("/capture.wav"));
    EXPECT_TRUE(QFileInfo::exists(programFolder + QStringLiteral("/lastcaps.txt")));
    EXPECT_EQ(readFile(notAFolder), QByteArray("not a folder\n"));
    EXPECT_FALSE(QFileInfo::exists(home.dataFolder()));
}

TEST(DataFolderAsNobody, NoWritableFolderKeepsSettingsInMemory) {
    // Root may write anywhere, so the program runs as nobody, on a server
    // that lets any local user in.
    XServer x({QStringLiteral("-ac")});
    ASSERT_FALSE(x.display().isEmpty()) << qPrintable(x.startupError());
    TestHome home;
    const auto readable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                          QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    // Root-owned and open to read: nobody can run the copy and look around,
    // but write nowhere.
    ASSERT_TRUE(QFile::setPermissions(home.root(), readable));
    ASSERT_TRUE(QFile::setPermissions(home.home(), readable));
    const QString program = copyProgramInto(home.root() + QStringLiteral("/program"));
    ASSERT_FALSE(program.isEmpty());
    ASSERT_TRUE(QFile::setPermissions(folderOf(program), readable));
    ASSERT_EQ(::chown(qPrintable(home.runtimeDir()), kNobody, kNobody), 0);
    const QMap<QString, QByteArray> before = snapshot(home.root());

    QuillCapRun app(home.environment(x), program,
                    {QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"),
                     QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups")});
    ASSERT_TRUE(waitForWindow(x, kMainCaption)) << app.stderrText().toStdString();
    const QString err = QString::fromLocal8Bit(app.stderrText());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("(^|\n)QuillCap: [^\n]*memory"),
                                   QRegularExpression::CaseInsensitiveOption)
                    .match(err)
                    .hasMatch())
        << err.toStdString();
    app.terminate(SIGTERM);
    ASSERT_TRUE(app.waitForExit());
    EXPECT_TRUE(app.exitedNormally());
    EXPECT_EQ(app.exitCode(), 0);
    QMap<QString, QByteArray> after = snapshot(home.root());
    // Qt may leave its own sockets in the runtime folder it was given.
    after.removeIf([](const auto &it) { return it.key().startsWith(QStringLiteral("runtime/")); });
    EXPECT_EQ(after, before);
}

} // namespace
} // namespace e2e
