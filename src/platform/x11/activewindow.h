#pragma once

#include "platform/x11/xcbutil.h"

#include <QRect>

#include <optional>

namespace quillcap::x11 {

// The active window with its frame, X root coordinates: the window manager's
// _NET_ACTIVE_WINDOW widened by _NET_FRAME_EXTENTS; without a manager the
// top-level window holding the input focus. Nothing when neither is on
// screen.
std::optional<QRect> ActiveWindowFrame(xcb_connection_t *c, const Atoms &atoms);

} // namespace quillcap::x11
