#include "mainwindow/snapshotflow.h"

#include "app/appstate.h"
#include "app/recentregionsfile.h"
#include "app/usermessages.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/movieflow.h"
#include "mainwindow/program.h"
#include "output/capturesaver.h"
#include "output/messagewindow.h"
#include "output/qtsoundplayer.h"
#include "overlay/captureoverlay.h"

#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QScopeGuard>
#include <QTimer>

namespace quillcap {

SnapshotFlow::SnapshotFlow(AppState &state, Platform &platform, MainWindow &window,
                           Program &program, UserMessages &messages)
    : m_state(state), m_platform(platform), m_window(window), m_program(program),
      m_messages(messages) {
    connect(&m_window, &MainWindow::snapRequested, this, &SnapshotFlow::SnapButtonClicked);
}

SnapshotFlow::~SnapshotFlow() {
    delete m_movie;
    delete m_overlay;
}

void SnapshotFlow::HookHotKeys() {
    if (!m_platform.hotKey)
        return;
    connect(m_platform.hotKey.get(), &HotKey::pressed, this, &SnapshotFlow::HotKeyPressed,
            Qt::UniqueConnection);
    m_platform.hotKey->HookHotKeys();
}

void SnapshotFlow::UnhookHotKeys() {
    if (!m_platform.hotKey)
        return;
    disconnect(m_platform.hotKey.get(), nullptr, this, nullptr);
    m_platform.hotKey->UnhookHotKeys();
}

bool SnapshotFlow::Busy() {
    if (m_running && m_movie)
        m_state.log.WriteLog(
            QStringLiteral("(a movie is being recorded, capture request ignored)"));
    return m_running;
}

void SnapshotFlow::HotKeyPressed() {
    // A held key repeats; one overlay at a time.
    if (Busy())
        return;
    m_cursor = m_platform.capture ? m_platform.capture->GrabCursor() : CursorImage{};
    m_state.log.WriteLog(QStringLiteral("** Pressed the PrtScrn Hot Key **"));
    TakeSnapShot();
}

void SnapshotFlow::SnapButtonClicked() {
    if (Busy())
        return;
    m_state.log.WriteLog(QStringLiteral("** pressed SNAP button on form ** "));
    m_cursor = m_platform.capture ? m_platform.capture->GrabCursor() : CursorImage{};
    TakeSnapShot();
}

void SnapshotFlow::WaitProcessingEvents(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void SnapshotFlow::TakeSnapShot() {
    if (m_running)
        return;
    // Over an open dialog the overlay would get no input at all: the dialog
    // holds it. Finish the dialog first.
    if (QApplication::activeModalWidget()) {
        m_state.log.WriteLog(QStringLiteral("(a dialog is open, capture request ignored)"));
        return;
    }
    m_running = true;
    DebugLog &log = m_state.log;
    log.WriteLog(QStringLiteral(" "));
    log.WriteLog(QStringLiteral("------------------------------"));
    log.WriteLog(QStringLiteral("[   Taking Snap Shot         ]"));
    log.WriteLog(QStringLiteral("------------------------------"));
    // A missing save folder is told after the capture: a box now would take
    // the keys meant for the overlay.
    m_window.UpdateStuff(MainWindow::FolderReport::Defer);
    m_program.UpdateMonitorInfo();

    m_hiddenForCapture = false;
    // A window hidden in the tray, or still waiting for the start-up splash to
    // go, stays hidden afterwards.
    if (!m_window.isMinimized() && m_window.isVisible()) {
        m_window.hide();
        m_hiddenForCapture = true;
        // Let the desktop repaint without us before it is frozen.
        WaitProcessingEvents(kSettleMs);
    }
    if (m_program.Unloaded())
        return;
    if (!m_overlay) {
        m_overlay = new CaptureOverlay(m_state, m_platform, m_messages);
        connect(m_overlay, &CaptureOverlay::finished, this, &SnapshotFlow::ReturnFromCapture);
    }
    if (!m_sound) {
        m_ownSound = std::make_unique<QtSoundPlayer>(m_state.log);
        m_sound = m_ownSound.get();
    }
    CaptureSaver::Services services;
    services.PlaySoundFile = [this](const QString &path) { m_sound->PlaySoundFile(path); };
    // The message window closes and deletes itself.
    services.ShowMessage = [](const QString &text, bool error) {
        (new MessageWindow)->ShowMessage(text, error);
    };
    services.PutOnClipboard = [](const QImage &picture) {
        QGuiApplication::clipboard()->setImage(picture);
    };
    services.NextImageName = [this](bool rescan) {
        if (rescan)
            m_window.RefreshFileBox();
        return m_window.NextImageName();
    };
    m_saver = std::make_unique<CaptureSaver>(m_state, std::move(services));
    m_overlay->SetOutput([this](const QImage &desktop, const CaptureRequest &request) {
        return m_saver->CaptureAndSave(desktop, request);
    });
    m_overlay->SetMovie([this](const MovieRequest &request) { OpenMovie(request); });
    CaptureOverlay::Naming naming;
    naming.NextImageName = [this] { return m_window.NextImageName(); };
    naming.MakePrefix = [this](const QString &raw) { return m_window.MakePrefix(raw); };
    naming.GetNextFileNumber = [this](const QString &raw) {
        return m_window.GetNextFileNumber(raw);
    };
    naming.SetPrefix = [this](const QString &raw) { m_window.SetPrefix(raw); };
    m_overlay->SetNaming(std::move(naming));
    m_overlay->Load(m_cursor);
    // A message during the load may have let the program stop.
    if (m_program.Unloaded() || !m_overlay)
        return;
    m_messages.SetStepAside([overlay = m_overlay](bool aside) {
        if (overlay)
            overlay->StepAside(aside);
    });
    m_overlay->ShowOverlay();
    WaitProcessingEvents(kSettleMs);
}

void SnapshotFlow::OpenMovie(const MovieRequest &request) {
    m_movie = new MovieFlow(m_state, m_platform, m_messages, m_window, request);
    connect(m_movie, &MovieFlow::ended, this, [this](const QString &LastPic) {
        if (m_overlay)
            m_overlay->EndMovie(LastPic);
        else
            ReturnFromCapture(LastPic);
    });
    m_movie->Open();
}

void SnapshotFlow::StopMovieForExit() {
    if (m_movie)
        m_movie->StopForExit();
}

void SnapshotFlow::ReturnFromCapture(const QString &LastPic) {
    m_messages.SetStepAside({});
    // Its messages still follow the return.
    if (m_movie)
        m_movie->deleteLater();
    // The capture counts as running until the main window is back: a message
    // box on the way (a missing folder) must not let a second one start.
    const QScopeGuard done([this] { m_running = false; });
    // The overlay closes with the program too; then there is nothing to show.
    if (m_program.Unloaded())
        return;
    m_state.log.WriteLog(QStringLiteral("... back from frmCaptureHold (") + LastPic);
    if (LastPic != QLatin1String(kNothingCaptured)) {
        RemoveDuplicatesFromRecentSnaps(m_state);
        m_window.RefreshFileBox();
        m_window.SelectFile(LastPic);
        ++m_state.NumberOfSnaps;
        m_window.ShowCaption();
    }
    m_window.UpdateStuff();
    if (m_program.Unloaded())
        return;
    m_program.SavePrefs();
    if (m_hiddenForCapture)
        m_window.show();
    m_window.TellMissingFolder();
}

} // namespace quillcap
