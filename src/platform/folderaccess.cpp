#include "platform/folderaccess.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillcap {

QString FolderWriteProblem(const QString &folder) {
    const QByteArray path = QFile::encodeName(folder);
    struct stat info {};
    if (::stat(path.constData(), &info) != 0)
        return qt_error_string(errno);
    if (!S_ISDIR(info.st_mode))
        return qt_error_string(ENOTDIR);
    // W_OK reports a read-only mount (EROFS) even to root.
    if (::access(path.constData(), W_OK | X_OK) != 0)
        return qt_error_string(errno);
    return {};
}

std::vector<FolderEntry> ListFolder(const QString &folder,
                                    const std::function<bool(const QString &name)> &wanted) {
    std::vector<FolderEntry> found;
    const QByteArray path = QFile::encodeName(folder);
    DIR *dir = ::opendir(path.constData());
    if (!dir)
        return found;
    while (const dirent *entry = ::readdir(dir)) {
        const char *raw = entry->d_name;
        if (raw[0] == '.' && (raw[1] == 0 || (raw[1] == '.' && raw[2] == 0)))
            continue;
        QString name = QFile::decodeName(raw);
        if (!wanted(name))
            continue;
        bool file = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            file = ::fstatat(::dirfd(dir), raw, &info, 0) == 0 && S_ISREG(info.st_mode);
        }
        found.push_back({std::move(name), file});
    }
    ::closedir(dir);
    return found;
}

namespace {

// The user's trash (freedesktop.org): files/ holds the file, info/ says
// where it came from. Only where it exists on the file's own file system, so
// the move is a rename. Qt's own move to the trash is not used: where it
// finds no trash it makes one in the working folder, and it can loop for
// ever on an info folder it may not write.
bool MoveToHomeTrash(const QString &path) {
    const QString trash = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                          QStringLiteral("/Trash");
    struct stat file {
    }, home{};
    if (trash.startsWith(QStringLiteral("/Trash")) ||
        ::stat(QFile::encodeName(path).constData(), &file) != 0 ||
        ::stat(QFile::encodeName(QFileInfo(trash).path()).constData(), &home) != 0 ||
        file.st_dev != home.st_dev)
        return false;
    const QDir dir(trash);
    if (!dir.mkpath(QStringLiteral("files")) || !dir.mkpath(QStringLiteral("info")))
        return false;
    const QString name = QFileInfo(path).fileName();
    for (int copy = 1; copy <= 1000; ++copy) {
        const QString kept = copy == 1 ? name : name + u'.' + QString::number(copy);
        const QString target = dir.filePath(QStringLiteral("files/") + kept);
        QFile info(dir.filePath(QStringLiteral("info/") + kept + QStringLiteral(".trashinfo")));
        if (QFileInfo::exists(target))
            continue;
        if (!info.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (info.error() == QFileDevice::OpenError && QFileInfo::exists(info.fileName()))
                continue;
            return false;
        }
        info.write("[Trash Info]\nPath=" + QUrl::toPercentEncoding(path, "/") + "\nDeletionDate=" +
                   QDateTime::currentDateTime().toString(Qt::ISODate).left(19).toUtf8() + '\n');
        info.close();
        if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(target).constData()) ==
            0)
            return true;
        info.remove();
        return false;
    }
    return false;
}

} // namespace

QString MoveToTrashOrRemove(const QString &path) {
    if (MoveToHomeTrash(path))
        return {};
    // Deleting says what stops it; the trash's own failure says less.
    if (::unlink(QFile::encodeName(path).constData()) == 0)
        return {};
    return qt_error_string(errno);
}

} // namespace quillcap
