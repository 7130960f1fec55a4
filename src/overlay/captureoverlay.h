#pragma once

#include "output/capturerequest.h"
#include "overlay/capturebox.h"
#include "overlay/overlaykeys.h"
#include "overlay/overlaymouse.h"
#include "platform/platform.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QFrame;

namespace quillcap {

struct AppState;
class FileNamePopUp;
class UserMessages;

// The overlay: the frozen desktop, shaded, over every monitor, with the bright
// capture box the user frames by mouse and keys. Everything it keeps is in
// device pixels, whatever Qt's scale factor.
class CaptureOverlay : public QWidget {
    Q_OBJECT
public:
    // Takes the confirmed box to a file (and the clipboard); returns the
    // file's name for the main window.
    using Output = std::function<QString(const QImage &desktop, const CaptureRequest &request)>;
    // Takes the box over for a movie; the session ends with EndMovie.
    using Movie = std::function<void(const MovieRequest &request)>;
    // The main window's naming, for the saved name and the one-off name panel.
    struct Naming {
        std::function<QString()> NextImageName;
        std::function<QString(const QString &raw)> MakePrefix;
        std::function<QString(const QString &raw)> GetNextFileNumber;
        // Makes the text the main window's template.
        std::function<void(const QString &raw)> SetPrefix;
    };

    static constexpr const char *kTitle = "QuillCap capture";

    // One window serves every capture: its backing store stays, so showing
    // it again touches no fresh memory.
    CaptureOverlay(AppState &state, Platform &platform, UserMessages &messages);
    ~CaptureOverlay() override;

    // Starts a session: freezes the desktop (with `cursor` drawn in when the
    // settings ask for it); the window is not shown.
    void Load(const CursorImage &cursor);
    // Shows it top-most over the whole desktop with the keyboard focus;
    // never once the session has ended.
    void ShowOverlay();
    // Hides while a message box is up, so the box is not under the overlay,
    // and comes back after it.
    void StepAside(bool aside);
    // Ends the session with nothing captured.
    void AbortCapture();
    // Hands the box to the output and ends the session.
    void CaptureAndSave(bool toClipboard);
    // M: hides and hands the box to the movie, staying loaded until it ends.
    void MovieWindow();
    void EndMovie(const QString &LastPic) { Finish(LastPic); }

    void SetNaming(Naming naming) { m_naming = std::move(naming); }
    void SetOutput(Output output) { m_output = std::move(output); }
    void SetMovie(Movie movie) { m_movie = std::move(movie); }

    // The one-off name panel (F).
    void FileNamePopUp();
    void cmdPopUpOk_Click();
    void cmdPopupCancel_Click();

    // `deskX`, `deskY`, `deskW`, `deskH`: the desktop in virtual-screen pixels.
    QRect desk() const { return m_desk; }
    const CaptureBox &box() const { return *m_box; }

signals:
    // The session is over: the saved file's name, or "xxxx" for nothing.
    void finished(const QString &LastPic);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildNoticePanel();
    QPoint DevicePoint(const QPointF &logical) const;
    // Repaints what a change of the shown box uncovered or covered.
    void ShowBoxChange(const QRect &before);
    // Hides and gives the keyboard and the pointer back.
    void HideOverlay();
    void Finish(const QString &LastPic);
    // Carries out what a key asked for; `before` is the box shown before
    // the key handler moved it.
    void RunKeyCommand(KeyCommand command, const QRect &before);
    // Logs a key once and acts on it; the rest of the key goes to `target`
    // (a control of the name panel) or nowhere.
    bool HandlePopUpKey(QObject *target, QKeyEvent *event);

    AppState &m_state;
    Platform &m_platform;
    UserMessages &m_messages;
    QRect m_desk;
    QImage m_bright; // picCaptureHold: the frozen desktop
    std::unique_ptr<CaptureBox> m_box;
    std::unique_ptr<OverlayMouse> m_mouse;
    std::unique_ptr<OverlayKeys> m_keys;
    QFrame *m_notice = nullptr;     // picWholeDesktopSelected
    QLabel *m_noticeText = nullptr; // lblDesktopNotice
    bool m_finished = false;
    bool m_handedToMovie = false;
    Naming m_naming;
    Output m_output;
    Movie m_movie;
    quillcap::FileNamePopUp *m_popUp = nullptr;
    // Set by the panel's Ok: this capture goes under a one-off name.
    CaptureRequest m_request;
};

} // namespace quillcap
