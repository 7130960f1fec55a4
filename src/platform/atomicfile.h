#pragma once

#include <QFile>
#include <QString>
#include <functional>

namespace quillcap {

enum class ExistingFile {
    Replace, // a file of that name is replaced once the new one is complete
    Keep,    // the write fails if the name exists when the file would land
};

// Writes `target` through a temporary file in the same folder and moves it
// into place only when `write` succeeded and the data reached the disk, so a
// failure leaves neither a partial file nor a damaged earlier one.
struct AtomicFileResult {
    enum class Step { None, Create, Open, Write, Sync, Rename };
    // Where it failed; None when the file is in place or `write` said no.
    Step failed = Step::None;
    bool written = false;
    int error = 0; // errno of the failing call, 0 when none
};
AtomicFileResult WriteFileAtomically(const QString &target, ExistingFile existing,
                                     const std::function<bool(QFile &)> &write);

} // namespace quillcap
