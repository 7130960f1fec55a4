// With no folder it may write in, the program keeps its settings in memory,
// but it runs.
#include "e2e_support.h"

#include <QFile>

#include <unistd.h>

namespace e2e {
namespace {

TEST(DataFolderAsNobody, NoWritableFolderKeepsSettingsInMemory) {
    // Root may write anywhere, so the program runs as nobody, on a server
    // that lets any local user in.
    XServer x({QStringLiteral("-ac")});
    ASSERT_FALSE(x.display().isEmpty()) << qPrintable(x.startupError());
    TestHome home;
    // Root-owned and open to read: nobody can run a copy of the program (kept
    // out of the build tree) and look around, but write nowhere.
    const QString folder = home.root() + QStringLiteral("/program");
    const QString program = folder + QStringLiteral("/quillcap");
    ASSERT_TRUE(makeFolder(folder) && QFile::copy(quillCapBinary(), program));
    const auto readable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                          QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    for (const QString &path : {home.root(), home.home(), folder})
        ASSERT_TRUE(QFile::setPermissions(path, readable));
    ASSERT_EQ(::chown(qPrintable(home.runtimeDir()), 65534, 65534), 0);
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
