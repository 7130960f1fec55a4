#include "mainwindow/movieflow.h"

#include "app/appstate.h"
#include "app/pathtext.h"
#include "app/usermessages.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/snapshotflow.h"
#include "output/framesinks.h"
#include "output/messagewindow.h"
#include "output/recordingborder.h"
#include "output/stopbox.h"
#include "overlay/overlayload.h"
#include "platform/platform.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace quillcap {

MovieFlow::MovieFlow(AppState &state, Platform &platform, UserMessages &messages,
                     MainWindow &window, const MovieRequest &request)
    : m_state(state), m_platform(platform), m_messages(messages), m_window(window),
      m_request(request) {}

MovieFlow::~MovieFlow() {
    m_messages.SetStepAside({});
    // Gone with the program: nobody is left to tell, but the recorder still
    // writes the frames it holds before it goes.
    m_ended = true;
    delete m_stopBox;
}

void MovieFlow::Open() {
    m_stopBox = new StopBox(m_platform, m_messages);
    m_stopBox->ShowArea(m_request.box);
    connect(m_stopBox, &StopBox::startRequested, this, &MovieFlow::StartMovieCapture);
    connect(m_stopBox, &StopBox::stopRequested, this, &MovieFlow::StopMovieCapture);
    connect(m_stopBox, &StopBox::aborted, this, &MovieFlow::Abort);
    // A message box must not sit under the top-most control window.
    m_messages.SetStepAside([box = m_stopBox](bool aside) {
        if (box)
            box->setVisible(!aside);
    });
    m_stopBox->move(m_platform.screens->PrimaryOrigin());
    m_stopBox->show();
    m_stopBox->raise();
    m_stopBox->activateWindow();
}

QRect MovieFlow::AreaOnScreen() const {
    // Rounded outwards, so at any scale the border stays outside the area.
    const qreal ratio = QGuiApplication::primaryScreen()->devicePixelRatio();
    const QRect &a = m_request.area;
    const QPoint topLeft(int(std::floor(a.left() / ratio)), int(std::floor(a.top() / ratio)));
    const QPoint end(int(std::ceil((a.left() + a.width()) / ratio)),
                     int(std::ceil((a.top() + a.height()) / ratio)));
    const QPoint origin = m_platform.screens->PrimaryOrigin();
    return QRect(origin + topLeft, origin + end - QPoint(1, 1));
}

QImage MovieFlow::SnapIt() {
    QImage frame = m_platform.capture->GrabDesktop(m_request.area);
    if (m_state.settings.showMouse != 0) {
        // The pointer as it is now, placed by its hot spot.
        const CursorImage cursor = m_platform.capture->GrabCursor();
        StampCursor(frame, cursor.image, cursor.hotSpot,
                    cursor.position - m_request.area.topLeft());
    }
    return frame;
}

void MovieFlow::StartMovieCapture(const MovieOptions &options, bool asVideo) {
    DebugLog &log = m_state.log;
    log.WriteLog(QStringLiteral(" -- Start Movie Capture -- "));
    const qint32 firstNumber = m_window.GetNextFileNumber().toInt();
    const QString prefix = m_window.MakePrefix(m_state.settings.prefix);
    const QString folder = m_state.settings.saveFolder;
    std::unique_ptr<FrameSink> sink;
    if (asVideo) {
        auto video = std::make_unique<VideoSink>(VideoModuleWriters(m_state.VideoModulePath));
        if (!video->Open(folder, prefix, firstNumber, m_request.area.size(),
                         options.intervalSeconds)) {
            log.WriteLog(QStringLiteral("## (Movie Capture Mode) Could not create video ") +
                         video->failedName() + QStringLiteral(": ") + video->reason());
            m_messages.Warn(QStringLiteral("Could not load first bitmap capture in AVI!"));
            if (m_stopBox)
                m_stopBox->SequenceEnded();
            Abort();
            return;
        }
        sink = std::move(video);
    } else {
        sink = std::make_unique<ImageSequenceSink>(folder, prefix, m_state.settings.FileTypeText(),
                                                   firstNumber);
    }
    m_recorder = std::make_unique<MovieRecorder>(
        std::move(sink), [this] { return SnapIt(); }, options);
    connect(m_recorder.get(), &MovieRecorder::frameWritten, this, [this](qint32 number) {
        if (m_stopBox)
            m_stopBox->ShowFrameNumber(PaddedFrameNumber(number));
    });
    connect(m_recorder.get(), &MovieRecorder::finished, this, &MovieFlow::SequenceFinished);
    m_border = std::make_unique<RecordingBorder>();
    m_border->Show(AreaOnScreen());
    m_recorder->Start();
}

void MovieFlow::StopMovieCapture() {
    if (m_recorder)
        m_recorder->Stop();
}

void MovieFlow::StopForExit() {
    if (m_recorder && !m_ended)
        m_recorder->StopAndWait();
}

void MovieFlow::Abort() {
    if (m_ended)
        return;
    m_ended = true;
    emit ended(QLatin1String(SnapshotFlow::kNothingCaptured));
}

void MovieFlow::SequenceFinished(const MovieRecorder::Outcome &outcome) {
    if (m_ended)
        return;
    m_ended = true;
    DebugLog &log = m_state.log;
    if (m_border)
        m_border->Hide();
    if (m_stopBox)
        m_stopBox->SequenceEnded();
    log.WriteLog(QStringLiteral("Movie capture: ") + QString::number(outcome.framesWritten) +
                 QStringLiteral(" frame(s) written, ") + QString::number(outcome.ticksMissed) +
                 QStringLiteral(" tick(s) missed"));
    if (outcome.namesSkipped > 0)
        log.WriteLog(QString::number(outcome.namesSkipped) +
                     QStringLiteral(" frame name(s) were taken already and skipped"));
    m_state.recentRegions.append(m_request.box);
    // Nothing written counts as no capture.
    emit ended(outcome.lastName.isEmpty() ? QLatin1String(SnapshotFlow::kNothingCaptured)
                                          : FileNamePart(outcome.lastName));
    switch (outcome.end) {
    case MovieRecorder::End::SaveFailed:
        log.WriteLog(QStringLiteral("## (Movie Capture Mode) Could not save file") +
                     outcome.failedName + QStringLiteral(": ") + outcome.reason);
        if (m_state.ShowMessageAfter && m_state.settings.showMsg != 0)
            (new MessageWindow)
                ->ShowMessage(QStringLiteral("Could not save file !\r") + outcome.failedName +
                                  u'\r' + outcome.reason,
                              true);
        break;
    case MovieRecorder::End::FrameLimit:
        m_messages.Inform(QStringLiteral("Exceeded ") + QString::number(kFrameLimit) +
                          QStringLiteral(" images during movie capture ... stopping. "));
        break;
    case MovieRecorder::End::NumberLimit:
        m_messages.Inform(QStringLiteral("The frame numbers reached ") +
                          QString::number(kLastFrameNumber) +
                          QStringLiteral(" during movie capture ... stopping. "));
        break;
    case MovieRecorder::End::Stopped:
    case MovieRecorder::End::MaxImages:
        break;
    }
}

} // namespace quillcap
