// Choosing the data, save and sound paths. Everything happens in a temporary
// folder with HOME and XDG_CONFIG_HOME pointed into it. "Unusable" folders are
// paths through a regular file: permission bits stop nobody running as root.
#include "envguard.h"
#include "platform/apppaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillcap;

namespace {

class Tree {
public:
    Tree() { EXPECT_TRUE(m_dir.isValid()); }
    QString Path(const QString &relative) const {
        return relative.isEmpty() ? QString() : m_dir.filePath(relative);
    }
    void Dir(const QString &relative) const { ASSERT_TRUE(QDir().mkpath(Path(relative))); }
    void File(const QString &relative) const {
        QDir().mkpath(QFileInfo(Path(relative)).path());
        QFile f(Path(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }

private:
    QTemporaryDir m_dir;
};

QStringList Entries(const QString &folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

struct ChoiceCase {
    const char *what;
    const char *configHome;
    const char *programFolder;
    const char *chosen; // relative to the tree; "" = none
    int notes;
};

TEST(ChooseUserAppFolder, FallsBackToTheProgramFolderThenToNone) {
    const ChoiceCase cases[] = {
        {"config home missing: created", "new/config", "prog", "new/config/quillcap", 0},
        {"data folder already there", "cfg", "prog", "cfg/quillcap", 0},
        {"config home is a regular file", "plain", "prog", "prog", 1},
        {"data folder name taken by a file", "taken", "prog", "prog", 1},
        {"program folder through a file too", "plain", "plain/bin", "", 2},
        {"program folder missing", "plain", "missing", "", 2},
    };
    for (const ChoiceCase &c : cases) {
        SCOPED_TRACE(c.what);
        Tree tree;
        tree.Dir("prog");
        tree.Dir("cfg/quillcap");
        tree.File("plain");
        tree.File("taken/quillcap");

        const UserAppFolderChoice choice =
            ChooseUserAppFolder(tree.Path(c.configHome), tree.Path(c.programFolder));

        EXPECT_EQ(choice.folder, tree.Path(c.chosen));
        ASSERT_EQ(choice.notes.size(), c.notes) << choice.notes.join('|').toStdString();
        if (c.notes > 0) {
            const QString dataFolder = tree.Path(c.configHome) + "/quillcap";
            EXPECT_TRUE(choice.notes.first().contains(dataFolder));
        }
        if (choice.folder.isEmpty()) {
            EXPECT_TRUE(choice.notes.last().contains("in memory only"));
        } else {
            EXPECT_TRUE(QFileInfo(choice.folder).isDir());
            EXPECT_EQ(Entries(choice.folder), QStringList()) << "write probe left behind";
        }
    }
}

struct ResolveCase {
    const char *what;
    const char *xdgConfigHome; // in the tree; null: unset
    bool xdgAsTyped;           // use xdgConfigHome as it stands (relative)
    bool picturesAsFolder;
    bool picturesAsFile;
    const char *userAppFolder; // relative to the tree; null: the program folder
    const char *saveFolder;
};

TEST(ResolveAppPaths, FollowsTheEnvironment) {
    const ResolveCase cases[] = {
        {"defaults, no Pictures", nullptr, false, false, false, "home/.config/quillcap", "home"},
        {"XDG config home, Pictures present", "xdg", false, true, false, "xdg/quillcap",
         "home/Pictures"},
        {"relative XDG config home is ignored", "relative/cfg", true, false, false,
         "home/.config/quillcap", "home"},
        {"Pictures is a file", nullptr, false, false, true, "home/.config/quillcap", "home"},
        {"config home is a regular file", "plain", false, false, false, nullptr, "home"},
    };
    for (const ResolveCase &c : cases) {
        SCOPED_TRACE(c.what);
        Tree tree;
        tree.Dir("home");
        tree.File("plain");
        if (c.picturesAsFolder)
            tree.Dir("home/Pictures");
        if (c.picturesAsFile)
            tree.File("home/Pictures");
        EnvGuard env;
        env.Set("HOME", tree.Path("home"));
        if (!c.xdgConfigHome)
            env.Set("XDG_CONFIG_HOME", nullptr);
        else if (c.xdgAsTyped)
            env.Set("XDG_CONFIG_HOME", c.xdgConfigHome);
        else
            env.Set("XDG_CONFIG_HOME", tree.Path(c.xdgConfigHome));

        const AppPaths paths = ResolveAppPaths();

        EXPECT_EQ(paths.programFolder, QCoreApplication::applicationDirPath());
        EXPECT_EQ(paths.userAppFolder,
                  c.userAppFolder ? tree.Path(c.userAppFolder) : paths.programFolder);
        EXPECT_EQ(paths.notes.isEmpty(), c.userAppFolder != nullptr);
        EXPECT_EQ(paths.defaultSaveFolder, tree.Path(c.saveFolder));
        EXPECT_TRUE(paths.installedDataFolder.endsWith("/share/quillcap"));
    }
    EXPECT_FALSE(QFileInfo::exists("relative")) << "a relative config home was created";
}

TEST(AppPaths, SoundFileBesideTheProgramThenInstalledThenBesideTheProgram) {
    Tree tree;
    tree.File("prog/both.wav");
    tree.File("data/both.wav");
    tree.File("data/installed.wav");
    AppPaths paths;
    paths.programFolder = tree.Path("prog");
    paths.installedDataFolder = tree.Path("data");
    const struct {
        const char *name;
        const char *expected;
    } cases[] = {
        {"both.wav", "prog/both.wav"},
        {"installed.wav", "data/installed.wav"},
        {"missing.wav", "prog/missing.wav"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(paths.SoundFile(c.name), tree.Path(c.expected)) << c.name;

    paths.installedDataFolder.clear();
    EXPECT_EQ(paths.SoundFile("installed.wav"), tree.Path("prog/installed.wav"));
}

} // namespace
