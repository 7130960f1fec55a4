#pragma once

#include <QRect>
#include <QString>

namespace quillcap {

// One display device as the window system reports it, in its enumeration
// order. Positions are virtual-screen pixels: the primary monitor's top-left
// corner is (0, 0), monitors left of or above it are negative.
struct DisplayDevice {
    QString deviceName;         // e.g. the output name "DP-1"
    QString adapterDescription; // e.g. the graphics provider's name
    QString monitorDescription; // the monitor's own name; "Default Monitor" when none
    bool attached = false;      // part of the desktop
    bool primary = false;
    bool mirroring = false; // shows exactly what an earlier attached device shows
    bool removable = false;
    QRect rect; // position and size on the virtual desktop
    int bitsPerPixel = 0;
    int refreshHz = 0;
    QRect workArea;            // the usable part, virtual-screen pixels
    quint32 monitorHandle = 0; // 0: none
};

} // namespace quillcap
