#include "output/capturesaver.h"

#include "app/appstate.h"
#include "app/pathtext.h"
#include "codec/gdiplus.h"
#include "naming/filenumbering.h"

#include <cerrno>

namespace quillcap {

QString CaptureSaver::CaptureAndSave(const QImage &desktop, const CaptureRequest &request) {
    DebugLog &log = m_state.log;
    log.WriteLog(QStringLiteral(" -- Capture and Save -- "));
    // Remembered first: the sound waits in an event loop in which the program
    // may be told to stop, and what it saves then must include this region.
    const CaptureRegion &cap = request.box;
    m_state.recentRegions.append(cap);
    const bool sounds = m_state.settings.playSound == 1 && m_services.PlaySoundFile;
    // The success sound is heard before the file is written.
    if (sounds)
        m_services.PlaySoundFile(m_state.SoundFilePath);
    // A box reaching past the desktop (keyboard presets are not clamped) is
    // cut as it is: the part outside is black.
    const QRect box(cap.x, cap.y, cap.w, cap.h);
    // The whole desktop is the frozen picture itself: no copy of it.
    const QImage picture = box == desktop.rect() ? desktop : desktop.copy(box);
    const Outcome outcome = Write(picture, request);

    QString message;
    if (!outcome.saved) {
        if (sounds)
            m_services.PlaySoundFile(m_state.ErrorSoundPath);
        log.WriteLog(QStringLiteral("## Could not save file") + outcome.fullName +
                     QStringLiteral(": ") + outcome.reason);
        message =
            QStringLiteral("Could not save file !\r") + outcome.fullName + u'\r' + outcome.reason;
    } else {
        log.WriteLog(QStringLiteral("Sucessfully saved file: ") + outcome.fullName);
        message = QStringLiteral("Saved file : \r") + outcome.fullName;
    }
    if (request.toClipboard && m_services.PutOnClipboard) {
        m_services.PutOnClipboard(picture);
        message += QStringLiteral("\r\r--- IMAGE SENT TO CLIPBOARD ---");
    }
    // The check box switches the message, as users expect of a check box.
    if (m_state.ShowMessageAfter && m_state.settings.showMsg != 0 && m_services.ShowMessage)
        m_services.ShowMessage(message, !outcome.saved);
    return FileNamePart(outcome.fullName);
}

CaptureSaver::Outcome CaptureSaver::Write(const QImage &picture, const CaptureRequest &request) {
    DebugLog &log = m_state.log;
    GdiPlus gdip;
    gdip.Error = [&log](qint32 status, const QString &text) {
        log.WriteLog(QStringLiteral("GDI+ error ") + QString::number(status) +
                     QStringLiteral(": ") + text);
    };
    const bool oneOff = !request.oneOffName.isEmpty();
    // A file is replaced only when the user saw its name marked taken; a
    // numbered name, or one that was free then, never replaces a file: when
    // another program took it meanwhile, the capture goes under the next one.
    const ExistingFile existing =
        oneOff && request.oneOffMayReplace ? ExistingFile::Replace : ExistingFile::Keep;
    QString name = oneOff ? request.oneOffName : m_services.NextImageName(false);
    Outcome outcome;
    for (int attempt = 1;; ++attempt) {
        outcome.fullName = m_state.settings.saveFolder + u'/' + name;
        if (gdip.PictureBoxToFile(picture, outcome.fullName, GdiPlus::kDefaultQuality, existing)) {
            outcome.saved = true;
            return outcome;
        }
        outcome.reason = gdip.LastReason();
        if (gdip.LastErrno() != EEXIST || attempt >= kMaxNameAttempts || name.isEmpty())
            return outcome;
        const QString next =
            oneOff ? CopyName(request.oneOffName, attempt + 1) : m_services.NextImageName(true);
        log.WriteLog(name + QStringLiteral(" was taken meanwhile, trying ") + next);
        if (next == name)
            return outcome;
        name = next;
    }
}

} // namespace quillcap
