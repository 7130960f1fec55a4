#pragma once

#include "overlay/captureoverlay.h"
#include "platform/platform.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

namespace quillcap {

struct AppState;
class MainWindow;
class Program;
class CaptureSaver;
class MovieFlow;
class SoundPlayer;
class UserMessages;

// One capture cycle: the hot key or the snap button gets the main window out
// of the way, opens the overlay, and brings the main window back up to date
// when the overlay is done. One overlay at a time.
class SnapshotFlow : public QObject {
    Q_OBJECT
public:
    // What `ReturnFromCapture` receives when nothing was captured.
    static constexpr const char *kNothingCaptured = "xxxx";

    SnapshotFlow(AppState &state, Platform &platform, MainWindow &window, Program &program,
                 UserMessages &messages);
    ~SnapshotFlow() override;

    void HookHotKeys();
    void UnhookHotKeys();
    void TakeSnapShot();
    // Another start of the program asked for a capture: as if Print was
    // pressed.
    void CaptureRequested() { HotKeyPressed(); }
    void ReturnFromCapture(const QString &LastPic);
    // The program ends: a movie being recorded stops and keeps its frames.
    void StopMovieForExit();
    bool CaptureRunning() const { return m_running; }
    // Tests put a recording player in; the real one is made on first use.
    void SetSoundPlayer(SoundPlayer *player) { m_sound = player; }
    CaptureOverlay *overlay() const { return m_overlay; }

    // How long the screen gets to repaint before and after the overlay
    // appears.
    static constexpr int kSettleMs = 500;

private:
    void HotKeyPressed();
    void SnapButtonClicked();
    void WaitProcessingEvents(int ms);
    // Ignores a request while a capture runs; says so while a movie records.
    bool Busy();
    void OpenMovie(const MovieRequest &request);

    AppState &m_state;
    Platform &m_platform;
    MainWindow &m_window;
    Program &m_program;
    UserMessages &m_messages;
    QPointer<CaptureOverlay> m_overlay;
    QPointer<MovieFlow> m_movie;
    CursorImage m_cursor;
    std::unique_ptr<CaptureSaver> m_saver;
    std::unique_ptr<SoundPlayer> m_ownSound;
    SoundPlayer *m_sound = nullptr;
    bool m_hiddenForCapture = false;
    bool m_running = false;
};

} // namespace quillcap
