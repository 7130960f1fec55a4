#pragma once

#include "app/debuglog.h"

#include <QRect>

namespace quillcap {

// The main window's outer rectangle in twips.
struct TwipsRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// Brings a window that lies off the desktop back onto it, checking left, top,
// right and bottom in that order, each on what the previous step left.
// `bounds` is the desktop in pixels (right and bottom exclusive); positions
// are twips. Writes the report lines and returns the new left and top.
TwipsRect CheckFormPosition(TwipsRect window, const QRect &bounds, double twipsPerPixelX,
                            double twipsPerPixelY, DebugLog &log);

// "QuillCap  (1,234 snaps)": what a second copy looks for.
QString MainCaption(qint32 numberOfSnaps, const QLocale &locale);
inline constexpr const char *kCaptionPrefix = "QuillCap  (";

} // namespace quillcap
