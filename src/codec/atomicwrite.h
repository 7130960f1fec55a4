#pragma once

#include "codec/gdistatus.h"
#include "platform/atomicfile.h"

#include <QFile>
#include <QString>
#include <functional>

namespace quillcap {

struct WriteOutcome {
    GdiStatus status = GdiStatus::Ok;
    int error = 0; // errno of the failing system call, 0 when none
};

// Writes `target` through a temporary file in the same folder and renames it
// into place only when `encode` succeeded and the data reached the disk, so a
// failed save leaves neither a partial file nor a damaged earlier one.
// `encode` returns the status of the encoding; a write error on the file
// overrides a success.
WriteOutcome WriteAtomically(const QString &target, ExistingFile existing,
                             const std::function<GdiStatus(QFile &)> &encode,
                             Durability durability = Durability::SyncEach);

} // namespace quillcap
