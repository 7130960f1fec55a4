#include "codec/atomicwrite.h"

namespace quillcap {

WriteOutcome WriteAtomically(const QString &target, ExistingFile existing,
                             const std::function<GdiStatus(QFile &)> &encode,
                             Durability durability) {
    GdiStatus encoded = GdiStatus::Ok;
    const AtomicFileResult result = WriteFileAtomically(
        target, existing,
        [&](QFile &file) {
            encoded = encode(file);
            return encoded == GdiStatus::Ok;
        },
        FileSystemCalls::Real(), durability);
    using Step = AtomicFileResult::Step;
    switch (result.failed) {
    case Step::None:
        return result.written ? WriteOutcome{} : WriteOutcome{encoded, 0};
    case Step::Open:
        return {GdiStatus::GenericError, 0};
    case Step::Write:
        return {GdiStatus::Win32Error, result.error};
    case Step::Create:
    case Step::Sync:
    case Step::Rename:
        break;
    }
    return {StatusFromErrno(result.error), result.error};
}

} // namespace quillcap
