#pragma once

#include "app/appstate.h"

#include <QImage>
#include <QPoint>
#include <QSize>

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

} // namespace quillcap
