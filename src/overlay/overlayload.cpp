#include "overlay/overlayload.h"

#include "app/textnumbers.h"

#include <QPainter>
#include <algorithm>

namespace quillcap {

namespace {
qint32 roundEven(double value) {
    return static_cast<qint32>(roundHalfEven(value));
}
} // namespace

CaptureRegion DefaultCapBox(QSize screen) {
    const qint32 w = roundEven(screen.width() / 5.0);
    const qint32 h = roundEven(screen.height() / 5.0);
    return {roundEven((screen.width() - w) / 2.0), roundEven((screen.height() - h) / 2.0), w, h};
}

QPoint NoticePanelPosition(QSize panel, QSize monitor1, QPoint deskOrigin) {
    return {roundEven((monitor1.width() - panel.width()) / 2.0) - deskOrigin.x(),
            roundEven((monitor1.height() - panel.height()) / 2.0) - deskOrigin.y()};
}

void StampCursor(QImage &desktop, const QImage &cursor, QPoint hotSpot, QPoint position) {
    if (cursor.isNull() || desktop.isNull())
        return;
    QPainter painter(&desktop);
    painter.drawImage(position - hotSpot, cursor);
}

QRect UsableActiveWindow(const std::optional<ActiveWindowFrame> &frame,
                         const QList<QRect> &monitors, QRect desk, QString &why) {
    constexpr int kSmallest = 3;
    why.clear();
    if (!frame)
        why = QStringLiteral("no window is active");
    else if (!frame->mapped)
        why = QStringLiteral("the active window is not mapped");
    else if (frame->rect.width() < kSmallest || frame->rect.height() < kSmallest)
        why = QStringLiteral("the active window is smaller than 3x3 pixels");
    else if (std::none_of(monitors.begin(), monitors.end(),
                          [&](const QRect &m) { return m.intersects(frame->rect); }))
        why = QStringLiteral("the active window is on no monitor");
    if (!why.isEmpty())
        return QRect(QPoint(0, 0), desk.size());
    return frame->rect.translated(-desk.topLeft());
}

} // namespace quillcap
