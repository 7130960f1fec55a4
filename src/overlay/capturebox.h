#pragma once

#include "app/appstate.h"
#include "app/debuglog.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

namespace quillcap {

// The edge of the box a resize drags, per axis; at most one per axis.
enum class EdgeX { None, Left, Right };
enum class EdgeY { None, Top, Bottom };
struct BoxEdges {
    EdgeX x = EdgeX::None;
    EdgeY y = EdgeY::None;
    bool any() const { return x != EdgeX::None || y != EdgeY::None; }
    friend bool operator==(const BoxEdges &, const BoxEdges &) = default;
};

// The capture box of the overlay, all in overlay (device) pixels with (0, 0) at
// the desktop's top-left. The record (`capX`, `capY`, `capW`, `capH`) is the box
// last adopted, what a capture takes; the shown box is what the overlay draws
// bright, and differs from the record while the mouse drags.
class CaptureBox {
public:
    CaptureBox(DebugLog &log, QSize desk) : m_log(log), m_desk(desk) {}

    const CaptureRegion &cap() const { return m_cap; }
    // Writes the record only; keyboard selections then call ResetCapBox.
    void setCap(const CaptureRegion &cap) { m_cap = cap; }
    QSize desk() const { return m_desk; }

    QRect shown() const { return m_shown; }
    // The "whole desktop" notice panel and its label `lblDesktopNotice`.
    bool noticeVisible() const { return m_noticeVisible; }
    const QString &noticeText() const { return m_noticeText; }

    // Shows the record as it is (logs "Resetting Capturebox to x,y,w,h").
    void ResetCapBox();
    // Shows a box without touching the record; a size of 0 is shown as 2.
    void DrawCapBox(qint32 x, qint32 y, qint32 w, qint32 h);
    // True for the whole or nearly the whole desktop; sets the notice text then.
    bool WholeDesktopSelected(qint32 x, qint32 y, qint32 w, qint32 h);

    // Rubber band of a new box from the press point to the cursor.
    void ReDrawingbox(QPoint cursor, QPoint press);
    // Moves the grabbed edges of the record to the cursor, flipping past the
    // anchor (the fixed opposite edges).
    void ReSizingbox(QPoint cursor, BoxEdges grabbed, QPoint anchor);
    // Clamps the shown box to the desktop by shrinking it, never shifting it,
    // and adopts it as the record (logs "Setting Capturebox to (x,y) wxh").
    void SetNewCaptureSize();

private:
    void show(const QRect &box);

    DebugLog &m_log;
    QSize m_desk;
    CaptureRegion m_cap;
    QRect m_shown;
    bool m_noticeVisible = false;
    QString m_noticeText = QStringLiteral("The entire desktop is selected");
};

} // namespace quillcap
