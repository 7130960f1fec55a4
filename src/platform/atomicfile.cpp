#include "platform/atomicfile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace quillcap {

namespace {

using Step = AtomicFileResult::Step;

constexpr const char *kTemporaryPrefix = ".quillcap-";
constexpr const char *kTemporarySuffix = ".tmp";

QByteArray FolderOf(const QByteArray &path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// Closes the descriptor when it goes out of scope.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

// A short hidden name: the target's own name may already be near the 255-byte
// limit, and the image browser lists only image extensions.
int CreateNamedTemporary(const FileSystemCalls &calls, const QByteArray &folder, QByteArray &name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = folder + '/' + kTemporaryPrefix +
               QByteArray::number(QRandomGenerator::global()->generate(), 36) + kTemporarySuffix;
        // 0666 so the umask decides the final file's mode, as for any new file.
        const int fd = calls.open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Runs `write` on the open descriptor and makes the data durable.
AtomicFileResult WriteAndSync(int fd, const std::function<bool(QFile &)> &write,
                              Durability durability) {
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        return {Step::Open, false, 0};
    const bool wrote = write(file);
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return {Step::Write, false, errno};
    if (wrote && durability == Durability::SyncEach && ::fdatasync(fd) != 0)
        return {Step::Sync, false, errno};
    return {Step::None, wrote, 0};
}

void SyncFolderPath(const QByteArray &folder) {
    const Descriptor dir{::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (dir.fd >= 0)
        ::fsync(dir.fd);
}

// No hard links on this file system (some FUSE mounts, FAT).
bool LinksUnsupported(int error) {
    return error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EXDEV ||
           error == EMLINK || error == ENOENT;
}

// The last resort: the final name is created exclusively and the written
// data copied into it; a failure removes it again.
AtomicFileResult CopyIntoExclusive(const FileSystemCalls &calls, int from, const QByteArray &path) {
    const Descriptor to{
        calls.open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666)};
    if (to.fd < 0)
        return {Step::Rename, false, errno};
    char buffer[1 << 16];
    ssize_t got = 0;
    off_t offset = 0;
    while ((got = ::pread(from, buffer, sizeof buffer, offset)) > 0) {
        for (ssize_t put = 0; put < got;) {
            const ssize_t n = ::write(to.fd, buffer + put, size_t(got - put));
            if (n < 0) {
                const int error = errno;
                ::unlink(path.constData());
                return {Step::Write, false, error};
            }
            put += n;
        }
        offset += got;
    }
    if (got < 0 || ::fdatasync(to.fd) != 0) {
        const int error = errno;
        ::unlink(path.constData());
        return {got < 0 ? Step::Write : Step::Sync, false, error};
    }
    return {Step::None, true, 0};
}

// Gives a named temporary file the final name without replacing anything.
AtomicFileResult PlaceWithoutReplacing(const FileSystemCalls &calls, int fd,
                                       const QByteArray &temporary, const QByteArray &path) {
    if (calls.renameat2(AT_FDCWD, temporary.constData(), AT_FDCWD, path.constData(),
                        RENAME_NOREPLACE) == 0)
        return {Step::None, true, 0};
    if (errno != EINVAL && errno != ENOSYS)
        return {Step::Rename, false, errno};
    // File systems without the flag: a hard link fails on an existing name too.
    if (calls.link(temporary.constData(), path.constData()) == 0)
        return {Step::None, true, 0};
    if (!LinksUnsupported(errno))
        return {Step::Rename, false, errno};
    return CopyIntoExclusive(calls, fd, path);
}

AtomicFileResult WriteThroughNamedTemporary(const FileSystemCalls &calls, const QByteArray &path,
                                            ExistingFile existing,
                                            const std::function<bool(QFile &)> &write,
                                            Durability durability) {
    QByteArray temporary;
    const Descriptor fd{CreateNamedTemporary(calls, FolderOf(path), temporary)};
    if (fd.fd < 0)
        return {Step::Create, false, errno};
    AtomicFileResult result = WriteAndSync(fd.fd, write, durability);
    if (result.failed == Step::None && result.written) {
        if (existing == ExistingFile::Replace)
            result = calls.rename(temporary.constData(), path.constData()) == 0
                         ? AtomicFileResult{Step::None, true, 0}
                         : AtomicFileResult{Step::Rename, false, errno};
        else
            result = PlaceWithoutReplacing(calls, fd.fd, temporary, path);
    }
    // Renamed away already when it worked; otherwise it must not stay.
    ::unlink(temporary.constData());
    return result;
}

} // namespace

const FileSystemCalls &FileSystemCalls::Real() {
    static const FileSystemCalls calls{
        [](const char *path, int flags, mode_t mode) { return ::open(path, flags, mode); },
        ::linkat, ::renameat2, ::rename, ::link};
    return calls;
}

AtomicFileResult WriteFileAtomically(const QString &target, ExistingFile existing,
                                     const std::function<bool(QFile &)> &write,
                                     const FileSystemCalls &calls, Durability durability) {
    const QByteArray path = QFile::encodeName(target);
    const QByteArray folder = FolderOf(path);
    AtomicFileResult result;
    const Descriptor unnamed{
        existing == ExistingFile::Keep
            ? calls.open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666)
            : -1};
    if (unnamed.fd >= 0) {
        result = WriteAndSync(unnamed.fd, write, durability);
        if (result.failed != Step::None || !result.written)
            return result;
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(unnamed.fd);
        if (calls.linkat(AT_FDCWD, self.constData(), AT_FDCWD, path.constData(),
                         AT_SYMLINK_FOLLOW) == 0)
            result = {Step::None, true, 0};
        else if (LinksUnsupported(errno))
            result = CopyIntoExclusive(calls, unnamed.fd, path);
        else
            result = {Step::Rename, false, errno};
    } else if (existing == ExistingFile::Keep && errno != EOPNOTSUPP && errno != EISDIR &&
               errno != EINVAL) {
        // The folder itself is the problem (missing, not a folder, full).
        return {Step::Create, false, errno};
    } else {
        result = WriteThroughNamedTemporary(calls, path, existing, write, durability);
    }
    if (result.written && durability == Durability::SyncEach)
        SyncFolderPath(folder);
    return result;
}

void SyncFolder(const QString &folder) {
    SyncFolderPath(QFile::encodeName(folder));
}

int SweepStaleTemporaries(const QString &folder) {
    if (folder.isEmpty())
        return 0;
    const QDateTime dayAgo = QDateTime::currentDateTime().addDays(-1);
    const QString pattern =
        QLatin1String(kTemporaryPrefix) + u'*' + QLatin1String(kTemporarySuffix);
    int removed = 0;
    const QFileInfoList entries =
        QDir(folder).entryInfoList({pattern}, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &entry : entries) {
        if (entry.lastModified() < dayAgo && QFile::remove(entry.absoluteFilePath()))
            ++removed;
    }
    return removed;
}

} // namespace quillcap
