#include "platform/atomicfile.h"

#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace quillcap {

namespace {

QByteArray FolderOf(const QByteArray &path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// A short hidden name: the target's own name may already be near the 255-byte
// limit, and the image browser lists only image extensions.
int CreateTemporary(const QByteArray &folder, QByteArray &name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = folder + "/.quillcap-" +
               QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".tmp";
        // 0666 so the umask decides the final file's mode, as for any new file.
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

int RenameNoReplace(const char *from, const char *to) {
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    // File systems without the flag: a hard link fails on an existing name too.
    if (::link(from, to) != 0)
        return -1;
    ::unlink(from);
    return 0;
}

} // namespace

AtomicFileResult WriteFileAtomically(const QString &target, ExistingFile existing,
                                     const std::function<bool(QFile &)> &write) {
    using Step = AtomicFileResult::Step;
    const QByteArray path = QFile::encodeName(target);
    QByteArray temporary;
    const int fd = CreateTemporary(FolderOf(path), temporary);
    if (fd < 0)
        return {Step::Create, false, errno};

    AtomicFileResult result;
    bool wrote = false;
    {
        QFile file;
        if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            result = {Step::Open, false, 0};
        } else {
            wrote = write(file);
            if (!file.flush() || file.error() != QFileDevice::NoError)
                result = {Step::Write, false, errno};
            else if (wrote && ::fdatasync(fd) != 0)
                result = {Step::Sync, false, errno};
        }
    }
    if (wrote && result.failed == Step::None) {
        const int done = existing == ExistingFile::Replace
                             ? ::rename(temporary.constData(), path.constData())
                             : RenameNoReplace(temporary.constData(), path.constData());
        if (done == 0)
            return {Step::None, true, 0};
        result = {Step::Rename, false, errno};
    }
    ::unlink(temporary.constData());
    return result;
}

} // namespace quillcap
