#include "platform/apppaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace quillcap {

namespace {

QString ConfigHome() {
    // Honours $XDG_CONFIG_HOME and Qt's test mode; the XDG rules say a
    // relative value is to be ignored.
    QString home = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (home.isEmpty() || QDir::isRelativePath(home))
        home = QDir::homePath() + QStringLiteral("/.config");
    return home;
}

QString DefaultSaveFolder() {
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir())
        return pictures;
    return QDir::homePath();
}

} // namespace

QString AppPaths::SoundFile(const QString &name) const {
    return Shipped(name, installedDataFolder);
}

QString AppPaths::VideoModuleFile() const {
    return Shipped(QStringLiteral("quillcap-video.so"), installedModuleFolder);
}

QString AppPaths::Shipped(const QString &name, const QString &installedFolder) const {
    const QString besideProgram = programFolder + QLatin1Char('/') + name;
    if (QFileInfo::exists(besideProgram))
        return besideProgram;
    if (!installedFolder.isEmpty()) {
        const QString installed = installedFolder + QLatin1Char('/') + name;
        if (QFileInfo::exists(installed))
            return installed;
    }
    return besideProgram;
}

bool CanWriteIntoFolder(const QString &folder) {
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(folder + QStringLiteral("/.quillcap-probe-XXXXXX"));
    return probe.open(); // removed again when `probe` goes
}

UserAppFolderChoice ChooseUserAppFolder(const QString &configHome, const QString &programFolder) {
    const QString preferred = QDir::cleanPath(configHome + QStringLiteral("/quillcap"));
    if (QDir().mkpath(preferred) && CanWriteIntoFolder(preferred))
        return {preferred, {}};

    if (CanWriteIntoFolder(programFolder)) {
        return {programFolder,
                {QStringLiteral("Data folder %1 cannot be used; using the program "
                                "folder %2")
                     .arg(preferred, programFolder)}};
    }
    return {QString(),
            {QStringLiteral("Data folder %1 cannot be used; the program folder %2 is not "
                            "writable either")
                 .arg(preferred, programFolder),
             QStringLiteral("No writable data folder: settings are kept in memory only")}};
}

AppPaths ResolveAppPaths() {
    AppPaths paths;
    paths.programFolder = QCoreApplication::applicationDirPath();
    // Relative to the executable, so a copy installed under any prefix (or
    // unpacked from the package) finds its own data.
    paths.installedDataFolder = QDir::cleanPath(paths.programFolder + QLatin1Char('/') +
                                                QStringLiteral(QUILLCAP_DATA_FROM_BIN));
    paths.installedModuleFolder = QDir::cleanPath(paths.programFolder + QLatin1Char('/') +
                                                  QStringLiteral(QUILLCAP_MODULES_FROM_BIN));
    const QString configHome = ConfigHome();
    UserAppFolderChoice choice = ChooseUserAppFolder(configHome, paths.programFolder);
    paths.userAppFolder = choice.folder;
    paths.notes = choice.notes;
    paths.defaultSaveFolder = DefaultSaveFolder();
    paths.autostartFolder = QDir::cleanPath(configHome + QStringLiteral("/autostart"));
    return paths;
}

} // namespace quillcap
