#include "overlay/capturebox.h"

#include <algorithm>
#include <cstdlib>

namespace quillcap {

namespace {
// The smallest box the overlay shows; also what a box wholly off the desktop
// shrinks to, at the desktop edge nearest to where it was.
constexpr qint32 kMinimalSide = 2;

// One axis of the adoption: shrink the part before 0 and past `desk`.
void clampAxis(qint32 &start, qint32 &length, qint32 desk) {
    const qint32 wanted = start;
    if (start < 0) {
        length += start;
        start = 0;
    }
    if (start + length > desk)
        length = desk - start;
    if (length <= 0) {
        length = std::min(kMinimalSide, desk);
        start = std::clamp(wanted, 0, std::max(0, desk - length));
    }
}
} // namespace

void CaptureBox::show(const QRect &box) {
    m_shown = box;
    m_noticeVisible = WholeDesktopSelected(box.x(), box.y(), box.width(), box.height());
}

void CaptureBox::ResetCapBox() {
    m_log.WriteLogLazy([this] {
        return QStringLiteral("Resetting Capturebox to %1,%2,%3,%4")
            .arg(m_cap.x)
            .arg(m_cap.y)
            .arg(m_cap.w)
            .arg(m_cap.h);
    });
    show(QRect(m_cap.x, m_cap.y, m_cap.w, m_cap.h));
}

void CaptureBox::DrawCapBox(qint32 x, qint32 y, qint32 w, qint32 h) {
    show(QRect(x, y, w == 0 ? kMinimalSide : w, h == 0 ? kMinimalSide : h));
}

bool CaptureBox::WholeDesktopSelected(qint32 x, qint32 y, qint32 w, qint32 h) {
    const qint32 deskW = m_desk.width();
    const qint32 deskH = m_desk.height();
    if (x == 0 && y == 0 && w == deskW && h == deskH) {
        m_noticeText = QStringLiteral("The entire desktop is selected");
        return true;
    }
    if (x < 20 && y < 20 && w > deskW - 40 && h > deskH - 40) {
        m_noticeText = QStringLiteral("Most of the desktop is selected");
        return true;
    }
    return false;
}

void CaptureBox::ReDrawingbox(QPoint cursor, QPoint press) {
    // On the press point's row or column the previous band stays.
    if (cursor.x() == press.x() || cursor.y() == press.y())
        return;
    const qint32 left = std::min(cursor.x(), press.x());
    const qint32 top = std::min(cursor.y(), press.y());
    DrawCapBox(left, top, std::abs(cursor.x() - press.x()), std::abs(cursor.y() - press.y()));
}

void CaptureBox::ReSizingbox(QPoint cursor, BoxEdges grabbed, QPoint anchor) {
    qint32 left = m_cap.x, top = m_cap.y, width = m_cap.w, height = m_cap.h;
    if (grabbed.y != EdgeY::None) {
        top = std::min(cursor.y(), anchor.y());
        height = std::abs(cursor.y() - anchor.y());
    }
    if (grabbed.x != EdgeX::None) {
        left = std::min(cursor.x(), anchor.x());
        width = std::abs(cursor.x() - anchor.x());
    }
    DrawCapBox(left, top, width, height);
}

void CaptureBox::SetNewCaptureSize() {
    qint32 left = m_shown.x(), top = m_shown.y(), width = m_shown.width(),
           height = m_shown.height();
    clampAxis(left, width, m_desk.width());
    clampAxis(top, height, m_desk.height());
    m_cap = {left, top, width, height};
    // The notice keeps what the drag showed; only the geometry follows.
    m_shown = QRect(left, top, width, height);
    m_log.WriteLogLazy([this] {
        return QStringLiteral("Setting Capturebox to (%1,%2) %3x%4")
            .arg(m_cap.x)
            .arg(m_cap.y)
            .arg(m_cap.w)
            .arg(m_cap.h);
    });
}

} // namespace quillcap
