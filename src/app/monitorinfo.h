#pragma once

#include "app/appstate.h"
#include "app/monitortable.h"
#include "platform/displaydevice.h"

#include <QString>
#include <vector>

namespace quillcap {

// Walks the display devices in the window system's order: sets the desktop
// bounds (attached devices only; 32000 / -32000 when none is attached), clears
// table rows 0 to 3 and stores each device's rectangle in the row of its device
// number (mirrors are skipped but counted; numbers above 8 are not stored).
// Returns the description of every device, lines ended by CR LF.
QString EnumerateMonitors(const std::vector<DisplayDevice> &devices, qint32 &minLeft,
                          qint32 &maxRight, qint32 &minTop, qint32 &maxBottom, MonitorTable &table);

// Enumerates into the state's bounds and table, then logs the description as
// one line and the summary ("Desktop parameters: ", "Tally of Monitors:", ...).
void UpdateMonitorInfo(const std::vector<DisplayDevice> &devices, AppState &state);

} // namespace quillcap
