#pragma once

#include "overlay/capturebox.h"
#include "overlay/overlaykeys.h"
#include "overlay/overlaymouse.h"
#include "platform/platform.h"

#include <QImage>
#include <QWidget>
#include <memory>

class QLabel;
class QFrame;

namespace quillcap {

struct AppState;
class UserMessages;

// The overlay: the frozen desktop, shaded, over every monitor, with the bright
// capture box the user frames by mouse and keys. Everything it keeps is in
// device pixels, whatever Qt's scale factor.
class CaptureOverlay : public QWidget {
    Q_OBJECT
public:
    static constexpr const char *kTitle = "QuillCap capture";

    CaptureOverlay(AppState &state, Platform &platform, UserMessages &messages,
                   const CursorImage &cursor);
    ~CaptureOverlay() override;

    // Freezes the desktop and builds both images; the window is not shown.
    void Load();
    // Shows it top-most over the whole desktop with the keyboard focus.
    void ShowOverlay();
    // Ends the session with nothing captured.
    void AbortCapture();

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

private:
    void BuildNoticePanel();
    QPoint DevicePoint(const QPointF &logical) const;
    // Repaints what a change of the shown box uncovered or covered.
    void ShowBoxChange(const QRect &before);
    void Finish(const QString &LastPic);

    AppState &m_state;
    Platform &m_platform;
    UserMessages &m_messages;
    CursorImage m_cursor;
    QRect m_desk;
    QImage m_bright; // picCaptureHold: the frozen desktop
    QImage m_shaded; // picCaptureBack: its shaded copy
    std::unique_ptr<CaptureBox> m_box;
    std::unique_ptr<OverlayMouse> m_mouse;
    std::unique_ptr<OverlayKeys> m_keys;
    QFrame *m_notice = nullptr;     // picWholeDesktopSelected
    QLabel *m_noticeText = nullptr; // lblDesktopNotice
    bool m_finished = false;
};

} // namespace quillcap
