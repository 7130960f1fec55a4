#pragma once

#include <QString>

namespace quillcap {

// Why new files cannot be made in `folder`, in the system's words ("Not a
// directory", "Read-only file system", "Permission denied"); empty when they
// can. Asks the system for this process's rights, so it holds for root too.
QString FolderWriteProblem(const QString &folder);

// Puts the file into the desktop's trash, as file managers do, or deletes it
// where there is no trash for it. Empty when the file is gone, else why not
// in the system's words.
QString MoveToTrashOrRemove(const QString &path);

} // namespace quillcap
