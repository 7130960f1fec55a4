#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QRegion>

namespace quillcap {

// Writes the shaded `area` of `bright` into `target` with its corner at `at`:
// what blending the source over black twice, with constant alpha 63 and then
// 64, gives (each channel about 0.436 x the source, within one unit), opaque.
// Whatever falls outside either picture is left out; both hold 32-bit pixels.
void ShadeInto(const QImage &bright, const QRect &area, QImage &target, QPoint at);

// Repaints the `dirty` part of the overlay: `bright` inside `box`, shaded
// elsewhere, shading as it writes (no allocation when the painter draws on a
// raster picture, as a widget's backing store is). `dirty` is in the
// painter's own (logical) coordinates, as a paint event gives it; `box` and
// `bright` are in device pixels, shown 1:1 whatever the device pixel ratio.
void PaintOverlay(QPainter &painter, const QRegion &dirty, const QImage &bright, const QRect &box);

// What to repaint when the shown box changes from `before` to `after` (device
// pixels): only the pixels that switch between bright and shaded, as a region
// in logical coordinates at `ratio`, ready for QWidget::update().
QRegion BoxChangeRegion(const QRect &before, const QRect &after, qreal ratio);

} // namespace quillcap
