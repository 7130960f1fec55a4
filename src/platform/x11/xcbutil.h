#pragma once

#include <QString>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

namespace quillcap::x11 {

struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};

// xcb hands out malloc'ed replies.
template <class T> using Reply = std::unique_ptr<T, FreeDeleter>;

// Collects a reply of a checked request; an X error (a window that vanished
// meanwhile) yields null and never reaches the event queue.
template <class T, class Cookie>
Reply<T> TakeReply(T *(*replyFn)(xcb_connection_t *, Cookie, xcb_generic_error_t **),
                   xcb_connection_t *c, Cookie cookie) {
    xcb_generic_error_t *error = nullptr;
    Reply<T> reply(replyFn(c, cookie, &error));
    std::free(error);
    return reply;
}

// The atoms this back end uses, interned in one round trip.
struct Atoms {
    xcb_atom_t utf8String = XCB_ATOM_NONE;
    xcb_atom_t netWmName = XCB_ATOM_NONE;
    xcb_atom_t wmState = XCB_ATOM_NONE;
    xcb_atom_t netWmState = XCB_ATOM_NONE;
    xcb_atom_t netWmStateSkipTaskbar = XCB_ATOM_NONE;
    xcb_atom_t netWmStateAbove = XCB_ATOM_NONE;
    xcb_atom_t netWmStateStaysOnTop = XCB_ATOM_NONE;
    xcb_atom_t netActiveWindow = XCB_ATOM_NONE;
    xcb_atom_t netFrameExtents = XCB_ATOM_NONE;
    xcb_atom_t netWorkarea = XCB_ATOM_NONE;
    xcb_atom_t edid = XCB_ATOM_NONE;

    static Atoms Intern(xcb_connection_t *c);
    // Interned once; atoms are the same for every connection to a server.
    static const Atoms &For(xcb_connection_t *c);
};

// The connection Qt's xcb platform uses, or null (no QGuiApplication, or a
// platform other than xcb).
xcb_connection_t *QtConnection();

// Qt's connection while Qt runs on xcb, else one of our own, opened on first
// use: the single-instance check and the benchmarks run without Qt's.
class XcbConnection {
public:
    XcbConnection() = default;
    ~XcbConnection();
    XcbConnection(const XcbConnection &) = delete;
    XcbConnection &operator=(const XcbConnection &) = delete;

    // Null when no display can be reached.
    xcb_connection_t *Get();
    // False once `c` is gone (Qt closed its connection): requests on it would
    // touch freed memory.
    bool IsAlive(xcb_connection_t *c) const;

private:
    xcb_connection_t *m_own = nullptr;
};

// An extension request the server does not know breaks the whole connection,
// Qt's included: ask before every use.
bool HasExtension(xcb_connection_t *c, xcb_extension_t *extension);

xcb_screen_t *FirstScreen(xcb_connection_t *c);

// ICCCM WM_STATE values.
enum : uint32_t { kWmStateWithdrawn = 0, kWmStateNormal = 1, kWmStateIconic = 3 };

// ICCCM WM_STATE of a client; nothing when the property is absent (no window
// manager has managed the window).
std::optional<uint32_t> WmState(xcb_connection_t *c, const Atoms &atoms, xcb_window_t window);

// After an unmap, a window manager withdraws the window asynchronously and
// then erases _NET_WM_STATE (EWMH). Anything we write before that is lost, so
// wait (bounded) until it has let go of the window.
void WaitUntilWithdrawn(xcb_connection_t *c, const Atoms &atoms, xcb_window_t window);

std::vector<xcb_atom_t> ReadAtomList(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property);

// Adds and removes atoms of the _NET_WM_STATE list of an unmapped window; the
// window manager reads it when the window is mapped.
void EditNetWmState(xcb_connection_t *c, const Atoms &atoms, xcb_window_t window,
                    const std::vector<xcb_atom_t> &add, const std::vector<xcb_atom_t> &remove);

// Asks the window manager to add or remove a state of a mapped window (EWMH
// _NET_WM_STATE client message); nothing happens without a manager.
void RequestNetWmState(xcb_connection_t *c, const Atoms &atoms, xcb_window_t window, bool add,
                       xcb_atom_t state);

} // namespace quillcap::x11
