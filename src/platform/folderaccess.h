#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace quillcap {

// Why new files cannot be made in `folder`, in the system's words ("Not a
// directory", "Read-only file system", "Permission denied"); empty when they
// can. Asks the system for this process's rights, so it holds for root too.
QString FolderWriteProblem(const QString &folder);

struct FolderEntry {
    QString name;
    bool file = false; // a regular file, or a link to one
};

// The entries of `folder` whose names `wanted` accepts, in no order, without
// "." and "..": one read of the folder, the kind of entry from the read
// itself where the file system says it. Empty when it cannot be read.
std::vector<FolderEntry> ListFolder(const QString &folder,
                                    const std::function<bool(const QString &name)> &wanted);

// Puts the file into the desktop's trash, as file managers do, or deletes it
// where there is no trash for it. Empty when the file is gone, else why not
// in the system's words.
QString MoveToTrashOrRemove(const QString &path);

} // namespace quillcap
