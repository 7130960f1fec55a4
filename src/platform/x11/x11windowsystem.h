#pragma once

#include "platform/platform.h"
#include "platform/x11/netwmstatekeeper.h"
#include "platform/x11/xcbutil.h"

namespace quillcap::x11 {

class X11WindowSystem final : public WindowSystem {
public:
    bool FindWindowByTitle(const QString &prefix) override;
    // The state survives hiding and showing the window.
    void SetTopMost(QWidget *window, bool on) override;
    // The state survives hiding and showing the window.
    void SetTaskbarButton(QWidget *window, bool show) override;

private:
    // The single-instance check runs before any window exists.
    XcbConnection m_connection;
    NetWmStateKeeper m_keeper;
};

} // namespace quillcap::x11
