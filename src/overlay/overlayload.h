#pragma once

#include "app/appstate.h"
#include "platform/platform.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <optional>

namespace quillcap {

// A box a fifth of `screen`'s width and height, centred on a screen of that
// size whose top-left is the overlay's origin; halves round to even. The
// default box (primary screen size) and the R key (desktop size) both use it.
CaptureRegion DefaultCapBox(QSize screen);

// Top-left of the "whole desktop" notice panel in overlay pixels: centred on
// monitor 1's size placed at the primary monitor's corner, which sits at
// -deskOrigin in overlay pixels.
QPoint NoticePanelPosition(QSize panel, QSize monitor1, QPoint deskOrigin);

// Draws the pointer into the frozen desktop so that its hot spot lands on
// `position` (overlay pixels); whatever falls outside the image is clipped.
// `cursor` is premultiplied ARGB; a null cursor draws nothing.
void StampCursor(QImage &desktop, const QImage &cursor, QPoint hotSpot, QPoint position);

// What the A key selects, in overlay pixels (virtual-screen pixels less
// `desk`'s corner): the active window, or the whole desktop when there is none
// worth selecting: none at all, not mapped, on no monitor, or under 3x3 pixels
// (a window manager's hidden helper). `why` then says which; else it is empty.
QRect UsableActiveWindow(const std::optional<ActiveWindowFrame> &frame,
                         const QList<QRect> &monitors, QRect desk, QString &why);

} // namespace quillcap
