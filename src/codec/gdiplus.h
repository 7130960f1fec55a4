#pragma once

#include "codec/atomicwrite.h"
#include "codec/encoderregistry.h"
#include "codec/gdistatus.h"

#include <QImage>
#include <QString>
#include <functional>

namespace quillcap {

// The one way the program writes image files and reads them back for
// display. Callers make one per job; instances are cheap.
class GdiPlus {
public:
    // Largest picture a preview decodes, in MiB of decoded pixels: room for a
    // capture of several 4K monitors, not for a file that claims gigapixels.
    static constexpr int kLoadLimitMiB = 512;
    static constexpr int kDefaultQuality = 85;

    // Raised on a failed codec operation with the status and its text. No
    // message is shown from here; a caller may log it.
    std::function<void(qint32 status, const QString &text)> Error;

    // Writes `pic` to `fileName`, the encoder chosen by the extension;
    // `quality` (0-100) applies to J extensions only. True only when the file
    // exists afterwards. A name without an encoder writes nothing and raises
    // no event. With ExistingFile::Keep a name that exists when the file
    // would land is left alone and the save fails. Durability::Deferred
    // leaves syncing to the caller.
    bool PictureBoxToFile(const QImage &pic, const QString &fileName, int quality = kDefaultQuality,
                          ExistingFile existing = ExistingFile::Replace,
                          Durability durability = Durability::SyncEach);

    // The decoded picture with transparent areas on black, or a null image
    // when the file is missing, not an image or larger than kLoadLimitMiB.
    QImage FilenameToIPicture(const QString &fileName);

    // Status of the last operation: Ok, or its failure (Unknown Image Format
    // for a name without an encoder, though that raises no event).
    GdiStatus LastStatus() const { return m_lastStatus; }
    // The errno of the system call that failed it, 0 when none did.
    int LastErrno() const { return m_lastErrno; }
    // Why the last operation failed, in the system's words where it has
    // them ("No space left on device"), else the status text.
    QString LastReason() const;

private:
    void Raise(GdiStatus status);

    EncoderRegistry m_registry;
    GdiStatus m_lastStatus = GdiStatus::Ok;
    int m_lastErrno = 0;
};

} // namespace quillcap
