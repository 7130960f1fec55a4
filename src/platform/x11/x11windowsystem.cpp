#include "platform/x11/x11windowsystem.h"

#include "platform/x11/clientwindows.h"
#include "platform/x11/xcbutil.h"

#include <QWidget>
#include <QWindow>

namespace quillcap::x11 {

bool X11WindowSystem::FindWindowByTitle(const QString &prefix) {
    xcb_connection_t *c = m_connection.Get();
    if (!c)
        return false;
    for (const ClientWindow &client : TopLevelClients(c, Atoms::For(c))) {
        if (client.title.startsWith(prefix, Qt::CaseSensitive))
            return true;
    }
    return false;
}

void X11WindowSystem::SetTopMost(QWidget *window, bool on) {
    if (!window)
        return;
    window = window->window();
    m_keeper.Set(window, NetWmStateKeeper::State::Above, on);
    xcb_connection_t *c = QtConnection();
    if (!c || !window->windowHandle() || !window->isVisible())
        return; // unmapped: the keeper writes it when the window is shown
    const Atoms &atoms = Atoms::For(c);
    const auto id = static_cast<xcb_window_t>(window->windowHandle()->winId());
    RequestNetWmState(c, atoms, id, on, atoms.netWmStateAbove);
    // Without a window manager nobody honours the state: restack ourselves.
    // Raising neither moves nor activates.
    if (on)
        window->raise();
}

void X11WindowSystem::SetTaskbarButton(QWidget *window, bool show) {
    if (!window)
        return;
    window = window->window();
    m_keeper.Set(window, NetWmStateKeeper::State::SkipTaskbar, !show);
    // The keeper writes the state while the window is unmapped, before Qt
    // maps it again; window managers read it at that moment.
    window->hide();
    window->showNormal();
}

} // namespace quillcap::x11
