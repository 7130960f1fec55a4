#include "overlay/overlayload.h"

#include "app/textnumbers.h"

#include <QPainter>

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

} // namespace quillcap
