#pragma once

#include "platform/platform.h"
#include "platform/x11/netwmstatekeeper.h"

#include <xcb/xcb.h>

namespace quillcap::x11 {

class X11WindowSystem final : public WindowSystem {
public:
    X11WindowSystem() = default;
    ~X11WindowSystem() override;

    X11WindowSystem(const X11WindowSystem &) = delete;
    X11WindowSystem &operator=(const X11WindowSystem &) = delete;

    bool FindWindowByTitle(const QString &prefix) override;
    // The state survives hiding and showing the window.
    void SetTopMost(QWidget *window, bool on) override;
    // The state survives hiding and showing the window.
    void SetTaskbarButton(QWidget *window, bool show) override;

private:
    // Qt's connection when Qt runs on xcb, else one of our own (opened on
    // first use) so the single-instance check also works before any window.
    xcb_connection_t *SearchConnection();

    xcb_connection_t *m_own = nullptr;
    NetWmStateKeeper m_keeper;
};

} // namespace quillcap::x11
