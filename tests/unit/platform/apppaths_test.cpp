// Choosing the paths, and why a folder takes no files. "Unusable" folders are
// paths through a regular file: permission bits stop nobody running as root.
#include "envguard.h"
#include "files.h"
#include "platform/apppaths.h"
#include "platform/folderaccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/mount.h>

using namespace quillcap;

namespace {

// A temporary folder holding `entries`: "a/" a folder, "a" an empty file.
struct Tree {
    explicit Tree(const QStringList &entries) {
        for (const QString &e : entries)
            e.endsWith('/') ? QDir().mkpath(path(e)) : writeFile(path(e));
    }
    QString path(const QString &relative) const {
        return relative.isEmpty() ? QString() : QDir::cleanPath(dir.filePath(relative));
    }
    QTemporaryDir dir;
};

TEST(ChooseUserAppFolder, FallsBackToTheProgramFolderThenToNone) {
    const struct {
        const char *what, *configHome, *programFolder;
        const char *chosen; // "": none
        int notes;
    } cases[] = {
        {"config home missing: created", "new/config", "prog", "new/config/quillcap", 0},
        {"data folder already there", "cfg", "prog", "cfg/quillcap", 0},
        {"config home is a regular file", "plain", "prog", "prog", 1},
        {"data folder name taken by a file", "taken", "prog", "prog", 1},
        {"program folder through a file too", "plain", "plain/bin", "", 2},
        {"program folder missing", "plain", "missing", "", 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const Tree tree({"prog/", "cfg/quillcap/", "plain", "taken/quillcap"});
        const UserAppFolderChoice choice =
            ChooseUserAppFolder(tree.path(c.configHome), tree.path(c.programFolder));
        EXPECT_EQ(choice.folder, tree.path(c.chosen));
        ASSERT_EQ(choice.notes.size(), c.notes) << choice.notes.join('|').toStdString();
        EXPECT_TRUE(!c.notes ||
                    choice.notes.first().contains(tree.path(c.configHome) + "/quillcap"));
        EXPECT_TRUE(choice.folder.isEmpty() ? choice.notes.last().contains("in memory only")
                                            : entries(choice.folder).isEmpty())
            << "no folder and no note, or a write probe left behind";
    }
}

TEST(ResolveAppPaths, FollowsTheEnvironment) {
    const struct {
        const char *what;
        const char *xdgConfigHome; // in the tree; null: unset
        bool xdgAsTyped;           // as it stands (relative)
        const char *pictures;      // made in home/ as a Tree entry
        const char *userAppFolder; // null: the program folder
        const char *saveFolder;
    } cases[] = {
        {"defaults, no Pictures", nullptr, false, "", "home/.config/quillcap", "home"},
        {"XDG config home, Pictures present", "xdg", false, "Pictures/", "xdg/quillcap",
         "home/Pictures"},
        {"relative XDG config home is ignored", "relative/cfg", true, "", "home/.config/quillcap",
         "home"},
        {"Pictures is a file", nullptr, false, "Pictures", "home/.config/quillcap", "home"},
        {"config home is a regular file", "plain", false, "", nullptr, "home"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const Tree tree({"home/", "plain", QStringLiteral("home/") + c.pictures});
        EnvGuard env;
        env.Set("HOME", tree.path("home"));
        env.Set("XDG_CONFIG_HOME", !c.xdgConfigHome ? nullptr
                                   : c.xdgAsTyped   ? c.xdgConfigHome
                                                    : qPrintable(tree.path(c.xdgConfigHome)));
        const AppPaths paths = ResolveAppPaths();
        EXPECT_EQ(paths.programFolder, QCoreApplication::applicationDirPath());
        EXPECT_EQ(paths.userAppFolder,
                  c.userAppFolder ? tree.path(c.userAppFolder) : paths.programFolder);
        EXPECT_EQ(paths.notes.isEmpty(), c.userAppFolder != nullptr);
        EXPECT_EQ(paths.defaultSaveFolder, tree.path(c.saveFolder));
        EXPECT_TRUE(paths.installedDataFolder.endsWith("/share/quillcap"));
        EXPECT_TRUE(!c.userAppFolder ||
                    paths.autostartFolder == QFileInfo(paths.userAppFolder).path() + "/autostart");
    }
    EXPECT_FALSE(QFileInfo::exists("relative")) << "a relative config home was created";
}

TEST(AppPaths, SoundFileBesideTheProgramThenInstalledThenBesideTheProgram) {
    const Tree tree({"prog/both.wav", "data/both.wav", "data/installed.wav"});
    AppPaths paths;
    paths.programFolder = tree.path("prog");
    paths.installedDataFolder = tree.path("data");
    EXPECT_EQ(paths.SoundFile("both.wav"), tree.path("prog/both.wav"));
    EXPECT_EQ(paths.SoundFile("installed.wav"), tree.path("data/installed.wav"));
    EXPECT_EQ(paths.SoundFile("missing.wav"), tree.path("prog/missing.wav"));
    paths.installedDataFolder.clear();
    EXPECT_EQ(paths.SoundFile("installed.wav"), tree.path("prog/installed.wav"));
}

// Root may write anywhere but on a read-only mount.
TEST(FolderWriteProblem, GivesTheSystemsReasonAlsoForRoot) {
    const Tree tree({"file", "folder/", "readonly/"});
    EXPECT_EQ(FolderWriteProblem(tree.path("file")), "Not a directory");
    EXPECT_EQ(FolderWriteProblem(tree.path("missing")), "No such file or directory");
    EXPECT_EQ(FolderWriteProblem(tree.path("folder")), "");
    const QByteArray path = QFile::encodeName(tree.path("readonly"));
    if (::mount(path.data(), path.data(), nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "no bind mount allowed here";
    const QScopeGuard unmount([&] { ::umount2(path.data(), MNT_DETACH); });
    if (::mount(nullptr, path.data(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
        GTEST_SKIP() << "no read-only remount allowed here";
    EXPECT_EQ(FolderWriteProblem(tree.path("readonly")), "Read-only file system");
}

} // namespace
