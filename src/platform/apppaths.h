#pragma once

#include <QString>
#include <QStringList>

namespace quillcap {

// Where the program keeps its files on this machine.
struct AppPaths {
    // Preferences, recent regions and the log live here; empty when no folder
    // can be written, in which case settings live in memory only.
    QString userAppFolder;
    // Folder of the executable.
    QString programFolder;
    // Where an installed copy keeps its sounds: <prefix>/share/quillcap,
    // found from the executable's folder (<prefix>/bin).
    QString installedDataFolder;
    // And its modules: <prefix>/lib/quillcap.
    QString installedModuleFolder;
    // The user's Pictures folder, else the home folder.
    QString defaultSaveFolder;
    // Log lines explaining a fallback taken while choosing the folders.
    QStringList notes;
    // Where the desktop finds what to start at log-in
    // ($XDG_CONFIG_HOME/autostart); it may not exist yet.
    QString autostartFolder;

    // Full path of a sound shipped with the program: beside the executable,
    // else in the installed data folder, else (missing everywhere) beside the
    // executable, so the caller reports the path the user would expect.
    QString SoundFile(const QString &name) const;
    // The film writer's module, found the same way.
    QString VideoModuleFile() const;

private:
    QString Shipped(const QString &name, const QString &installedFolder) const;
};

struct UserAppFolderChoice {
    QString folder; // empty: no writable folder
    QStringList notes;
};

// Picks the data folder: `configHome`/quillcap (created when missing), else
// `programFolder` when a file can be created there, else none.
UserAppFolderChoice ChooseUserAppFolder(const QString &configHome, const QString &programFolder);

// True when a file can really be created in `folder` (access() bits say
// nothing when running as root).
bool CanWriteIntoFolder(const QString &folder);

// Resolves every path from the environment ($XDG_CONFIG_HOME, $HOME, the
// executable's location). Needs a QCoreApplication.
AppPaths ResolveAppPaths();

} // namespace quillcap
