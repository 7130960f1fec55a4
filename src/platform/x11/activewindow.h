#pragma once

#include "platform/platform.h"
#include "platform/x11/xcbutil.h"

#include <QRect>

#include <optional>

namespace quillcap::x11 {

// The active window with its frame, X root coordinates: the window manager's
// _NET_ACTIVE_WINDOW widened by _NET_FRAME_EXTENTS; without a manager, or
// when that window is not on screen, the top-level window holding the input
// focus. Nothing when there is neither.
std::optional<ActiveWindowFrame> FindActiveWindow(xcb_connection_t *c, const Atoms &atoms);

} // namespace quillcap::x11
