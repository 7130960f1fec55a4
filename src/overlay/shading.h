#pragma once

#include "app/debuglog.h"

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QRegion>

namespace quillcap {

// The shaded copy of the frozen desktop: what blending the source over black
// twice, with constant alpha 63 and then 64, gives (each channel about 0.436 x
// the source, within one unit). Logs "Copying a dark version of picCaptureHold
// into picCaptureBack". Returns RGB32 of the source's size, or a null image when
// memory is short: the caller then reports the shading error.
QImage Dark3(const QImage &source, DebugLog &log);

// Repaints the `dirty` part of the overlay: `bright` inside `box`, `shaded`
// elsewhere, as plain copies (no blending, no allocation). `dirty` is in the
// painter's own (logical) coordinates, as a paint event gives it; `box` and the
// images are in device pixels, shown 1:1 whatever the device pixel ratio. Both
// images are the desktop's size.
void PaintOverlay(QPainter &painter, const QRegion &dirty, const QImage &shaded,
                  const QImage &bright, const QRect &box);

// What to repaint when the shown box changes from `before` to `after` (device
// pixels): only the pixels that switch between bright and shaded, as a region
// in logical coordinates at `ratio`, ready for QWidget::update().
QRegion BoxChangeRegion(const QRect &before, const QRect &after, qreal ratio);

} // namespace quillcap
