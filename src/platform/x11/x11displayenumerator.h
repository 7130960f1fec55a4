#pragma once

#include "platform/platform.h"
#include "platform/x11/xcbutil.h"

namespace quillcap::x11 {

// Display devices from RandR: every connected output (and any output that
// lights a CRTC), in the server's order.
class X11DisplayEnumerator final : public DisplayEnumerator {
public:
    std::vector<DisplayDevice> EnumerateDisplays() override;

private:
    XcbConnection m_connection;
};

} // namespace quillcap::x11
