#include "platform/folderaccess.h"

#include <QFile>

#include <cerrno>
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

} // namespace quillcap
