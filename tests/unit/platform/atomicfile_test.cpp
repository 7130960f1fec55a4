#include "files.h"
#include "platform/atomicfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

namespace quillcap {
namespace {

// File systems this machine may not have, played through the system-call
// seam: each call fails as such a file system's would, or does the real thing.
FileSystemCalls Calls(bool unnamedFiles, bool noReplaceRename, bool hardLinks) {
    FileSystemCalls calls = FileSystemCalls::Real();
    if (!unnamedFiles)
        calls.open = [](const char *path, int flags, mode_t mode) {
            return (flags & O_TMPFILE) == O_TMPFILE ? (errno = EOPNOTSUPP, -1)
                                                    : ::open(path, flags, mode);
        };
    if (!hardLinks) {
        calls.linkat = [](int, const char *, int, const char *, int) { return errno = EPERM, -1; };
        calls.link = [](const char *, const char *) { return errno = EPERM, -1; };
    }
    if (!noReplaceRename)
        calls.renameat2 = [](int, const char *, int, const char *, unsigned) {
            return errno = EINVAL, -1;
        };
    return calls;
}

AtomicFileResult Write(const QString &path, ExistingFile existing, const QByteArray &data,
                       const FileSystemCalls &calls, bool succeed = true) {
    const auto write = [&](QFile &file) { return file.write(data) == data.size() && succeed; };
    return WriteFileAtomically(path, existing, write, calls);
}

TEST(WriteFileAtomically, EveryWayOfPlacingAFileNeverReplacesAndLeavesNothingBehind) {
    struct Case {
        const char *fileSystem;
        bool unnamedFiles, noReplaceRename, hardLinks;
    } cases[] = {
        {"unnamed file and linkat", true, true, true},
        {"named file and a rename that does not replace", false, true, true},
        {"named file and a hard link", false, false, true},
        {"no links: the name created exclusively", false, false, false},
        {"unnamed file, no links: the name created exclusively", true, true, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fileSystem);
        QTemporaryDir dir;
        const FileSystemCalls calls = Calls(c.unnamedFiles, c.noReplaceRename, c.hardLinks);
        const QString fresh = dir.filePath(QStringLiteral("new.png"));
        EXPECT_TRUE(Write(fresh, ExistingFile::Keep, "picture", calls).written);
        EXPECT_EQ(readFile(fresh), "picture");

        const QString taken = dir.filePath(QStringLiteral("taken.png"));
        ASSERT_TRUE(Write(taken, ExistingFile::Replace, "earlier", calls).written);
        const AtomicFileResult refused = Write(taken, ExistingFile::Keep, "later", calls);
        EXPECT_FALSE(refused.written);
        EXPECT_EQ(refused.error, EEXIST);
        EXPECT_EQ(readFile(taken), "earlier");

        EXPECT_FALSE(Write(dir.filePath(QStringLiteral("failed.png")), ExistingFile::Keep, "half",
                           calls, false)
                         .written);
        EXPECT_EQ(entries(dir.path()), (QStringList{"new.png", "taken.png"}));
    }
}

TEST(WriteFileAtomically, ReplacingSurvivesAFailureAndAFolderThatIsAFileSaysWhy) {
    QTemporaryDir dir;
    const FileSystemCalls &real = FileSystemCalls::Real();
    const QString path = dir.filePath(QStringLiteral("a.png"));
    ASSERT_TRUE(Write(path, ExistingFile::Replace, "one", real).written);
    EXPECT_FALSE(Write(path, ExistingFile::Replace, "two", real, false).written);
    EXPECT_EQ(readFile(path), "one");
    EXPECT_TRUE(Write(path, ExistingFile::Replace, "three", real).written);
    EXPECT_EQ(readFile(path), "three");
    EXPECT_EQ(entries(dir.path()), QStringList{"a.png"});
    for (const ExistingFile existing : {ExistingFile::Keep, ExistingFile::Replace})
        EXPECT_EQ(Write(path + QStringLiteral("/b.png"), existing, "x", real).error, ENOTDIR);
}

TEST(SweepStaleTemporaries, RemovesOnlyOurOwnFilesOlderThanADay) {
    QTemporaryDir dir;
    for (const auto &[name, ageHours] : {std::pair{".quillcap-old.tmp", 25},
                                         {".quillcap-recent.tmp", 1},
                                         {"old-capture.png", 48},
                                         {".other-old.tmp", 48}}) {
        const QString path = dir.filePath(QLatin1String(name));
        EXPECT_TRUE(QFile(path).open(QIODevice::WriteOnly));
        const time_t when = time(nullptr) - ageHours * 3600;
        const utimbuf times{when, when};
        utime(QFile::encodeName(path).constData(), &times);
    }
    EXPECT_EQ(SweepStaleTemporaries(dir.path()), 1);
    EXPECT_EQ(entries(dir.path()),
              (QStringList{".other-old.tmp", ".quillcap-recent.tmp", "old-capture.png"}));
}

} // namespace
} // namespace quillcap
