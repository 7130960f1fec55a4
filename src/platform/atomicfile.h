#pragma once

#include <QFile>
#include <QString>
#include <functional>
#include <sys/types.h>

namespace quillcap {

enum class ExistingFile {
    Replace, // a file of that name is replaced once the new one is complete
    Keep,    // the write fails (EEXIST) if the name exists when the file would land
};

// Whether each file reaches the disk before it gets its name. A movie's
// frames come many a second: they are written whole but synced once, with
// their folder, when the sequence ends (SyncFolder).
enum class Durability { SyncEach, Deferred };

// The system calls a write goes through. Tests put failing ones in to walk
// the fallbacks that only some file systems need.
struct FileSystemCalls {
    int (*open)(const char *path, int flags, mode_t mode);
    int (*linkat)(int fromDir, const char *from, int toDir, const char *to, int flags);
    int (*renameat2)(int fromDir, const char *from, int toDir, const char *to, unsigned flags);
    int (*rename)(const char *from, const char *to);
    int (*link)(const char *from, const char *to);

    static const FileSystemCalls &Real();
};

struct AtomicFileResult {
    enum class Step { None, Create, Open, Write, Sync, Rename };
    // Where it failed; None when the file is in place or `write` said no.
    Step failed = Step::None;
    bool written = false;
    int error = 0; // errno of the failing call, 0 when none
};

// Writes `target` so that no one ever sees a partial file under its name and
// a failure leaves no stray file. A new name: an unnamed temporary file
// (O_TMPFILE) is written, synced and given the name with linkat, which
// refuses a name that exists. Where unnamed files are not supported, a hidden
// named one and a rename that does not replace (or a hard link); where the
// file system has no hard links either, the name is created exclusively and
// written, and removed again on failure. Replace: a named temporary file and
// rename. The folder is synced once the name exists.
AtomicFileResult WriteFileAtomically(const QString &target, ExistingFile existing,
                                     const std::function<bool(QFile &)> &write,
                                     const FileSystemCalls &calls = FileSystemCalls::Real(),
                                     Durability durability = Durability::SyncEach);

// Makes the folder's entries (and, on most file systems, the files written
// into it) durable.
void SyncFolder(const QString &folder);

// Removes our own temporary files (".quillcap-*.tmp") older than a day from
// `folder`, left by a save that was killed; returns how many went.
int SweepStaleTemporaries(const QString &folder);

} // namespace quillcap
