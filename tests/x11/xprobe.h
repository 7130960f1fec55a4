#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

#include <xcb/xcb.h>

#include <optional>
#include <vector>

// The X server's view of windows, read on a connection of its own.
class XProbe {
public:
    XProbe();
    ~XProbe();
    XProbe(const XProbe &) = delete;
    XProbe &operator=(const XProbe &) = delete;

    bool ok() const { return m_c != nullptr; }
    xcb_connection_t *connection() const { return m_c; }
    xcb_window_t root() const { return m_root; }

    bool HasExtension(const char *name);
    // Returns once the server has carried out every request sent so far.
    void Sync();

    xcb_atom_t Atom(const char *name);
    // Atom names of the window's _NET_WM_STATE list.
    QStringList NetWmState(xcb_window_t w);
    std::optional<uint32_t> WmState(xcb_window_t w);
    bool IsViewable(xcb_window_t w);
    xcb_window_t Parent(xcb_window_t w);
    // The root child holding `w` (its frame under a reparenting manager).
    xcb_window_t TopLevelOf(xcb_window_t w);
    // True when `upper`'s top-level is stacked above `lower`'s.
    bool IsStackedAbove(xcb_window_t upper, xcb_window_t lower);
    // Position in root coordinates, and size.
    QRect Geometry(xcb_window_t w);
    xcb_window_t ActiveWindow();
    xcb_window_t WmSelectionOwner();
    // Any window in the whole tree whose WM_NAME or _NET_WM_NAME is `title`.
    xcb_window_t FindByTitle(const QString &title);

    // A plain 100x100 window of the probe's own, unmapped.
    xcb_window_t CreateWindow();
    void Map(xcb_window_t w);
    void Destroy(xcb_window_t w);

    // Managed by a window manager in `state`: WM_STATE says so and the window
    // sits in a frame.
    bool IsManaged(xcb_window_t w, uint32_t state);
    // Not managed: no WM_STATE (or withdrawn) and a child of the root.
    bool IsWithdrawn(xcb_window_t w);

private:
    std::vector<xcb_window_t> Children(xcb_window_t w);
    QString Title(xcb_window_t w);

    xcb_connection_t *m_c = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
};
