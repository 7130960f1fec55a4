#pragma once

#include "app/appstate.h"
#include "overlay/capturebox.h"
#include "overlay/keymap.h"

#include <QKeyEvent>
#include <QPoint>
#include <QRect>

namespace quillcap {

// The overlay's key handler and the area selections. Each selection writes the
// box record unclamped and shows it with ResetCapBox.
class OverlayKeys {
public:
    // `deskOrigin`: (`deskX`, `deskY`), the overlay's corner in virtual-screen
    // pixels; `activeWindow`: (`actX`, `actY`, `actW`, `actH`) in overlay pixels,
    // taken once when the overlay opened.
    OverlayKeys(CaptureBox &box, AppState &state, QPoint deskOrigin, QRect activeWindow)
        : m_box(box), m_state(state), m_deskOrigin(deskOrigin), m_active(activeWindow) {}

    // Logs the key ("** CaptureHold KeyDown > code > character"), carries out a
    // selection itself and returns the command; the window carries out Abort,
    // Capture, CaptureToClipboard, FileNamePopUp, Movie, PopUpCancel, PopUpOk.
    // The caller consumes the event in every case.
    KeyCommand KeyDown(const QKeyEvent &event);

    // While the file-name pop-up is open only Esc and Enter act (on the pop-up).
    void setPopUpOpen(bool open) { m_popUpOpen = open; }
    bool popUpOpen() const { return m_popUpOpen; }
    int PrevAreaIndex() const { return m_prevAreaIndex; }

    void SelectDesktop();
    void SelectActive();
    // Monitor n's rectangle from the monitor table; nothing checks it exists.
    void SelectMonitor(int n);
    void SelectSmallBox();
    void SelectSizePreset(qint32 preW, qint32 preH);
    // Recent regions, older / newer, wrapping; nothing happens without regions.
    void SelectPreviousArea();
    void SelectNextPreviousArea();

private:
    void select(const CaptureRegion &region);
    void selectRecent(int step);

    CaptureBox &m_box;
    AppState &m_state;
    QPoint m_deskOrigin;
    QRect m_active;
    int m_prevAreaIndex = 0;
    bool m_popUpOpen = false;
};

} // namespace quillcap
