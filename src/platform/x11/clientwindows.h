#pragma once

#include "platform/x11/xcbutil.h"

#include <QString>

#include <vector>

namespace quillcap::x11 {

struct ClientWindow {
    xcb_window_t window = XCB_WINDOW_NONE;
    QString title;
};

// Every top-level client window of every screen, mapped or not, in stacking
// order (bottom first), with its title: _NET_WM_NAME, else WM_NAME.
//
// A client is found the way ICCCM tools do it: a root child that carries
// WM_STATE is a client; otherwise its descendants are searched for one (a
// reparenting window manager's frame); a root child without any is a client
// itself (no window manager, or a window that is not managed: withdrawn,
// never shown). Requests are sent level by level and their replies collected
// afterwards, so the walk costs a handful of round trips however many windows
// exist.
std::vector<ClientWindow> TopLevelClients(xcb_connection_t *c, const Atoms &atoms);

} // namespace quillcap::x11
