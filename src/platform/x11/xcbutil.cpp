#include "platform/x11/xcbutil.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QThread>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace quillcap::x11 {

Atoms Atoms::Intern(xcb_connection_t *c) {
    Atoms atoms;
    const std::array<std::pair<std::string_view, xcb_atom_t *>, 11> wanted{{
        {"UTF8_STRING", &atoms.utf8String},
        {"_NET_WM_NAME", &atoms.netWmName},
        {"WM_STATE", &atoms.wmState},
        {"_NET_WM_STATE", &atoms.netWmState},
        {"_NET_WM_STATE_SKIP_TASKBAR", &atoms.netWmStateSkipTaskbar},
        {"_NET_WM_STATE_ABOVE", &atoms.netWmStateAbove},
        {"_NET_WM_STATE_STAYS_ON_TOP", &atoms.netWmStateStaysOnTop},
        {"_NET_ACTIVE_WINDOW", &atoms.netActiveWindow},
        {"_NET_FRAME_EXTENTS", &atoms.netFrameExtents},
        {"_NET_WORKAREA", &atoms.netWorkarea},
        {"EDID", &atoms.edid},
    }};
    std::array<xcb_intern_atom_cookie_t, wanted.size()> cookies;
    for (std::size_t i = 0; i < wanted.size(); ++i)
        cookies[i] = xcb_intern_atom(c, 0, wanted[i].first.size(), wanted[i].first.data());
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        if (auto reply = TakeReply(xcb_intern_atom_reply, c, cookies[i]))
            *wanted[i].second = reply->atom;
    }
    return atoms;
}

const Atoms &Atoms::For(xcb_connection_t *c) {
    static xcb_connection_t *internedFor = nullptr;
    static Atoms atoms;
    if (c != internedFor) {
        atoms = Intern(c);
        internedFor = c;
    }
    return atoms;
}

xcb_connection_t *QtConnection() {
    if (!qGuiApp)
        return nullptr;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

XcbConnection::~XcbConnection() {
    if (m_own)
        xcb_disconnect(m_own);
}

xcb_connection_t *XcbConnection::Get() {
    if (xcb_connection_t *qt = QtConnection())
        return qt;
    if (!m_own) {
        m_own = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_own)) {
            xcb_disconnect(m_own);
            m_own = nullptr;
        }
    }
    return m_own;
}

bool XcbConnection::IsAlive(xcb_connection_t *c) const {
    return c && (c == m_own || c == QtConnection());
}

bool HasExtension(xcb_connection_t *c, xcb_extension_t *extension) {
    const xcb_query_extension_reply_t *data = xcb_get_extension_data(c, extension);
    return data && data->present;
}

xcb_screen_t *FirstScreen(xcb_connection_t *c) {
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data;
}

std::optional<uint32_t> WmState(xcb_connection_t *c, const Atoms &atoms, xcb_window_t window) {
    auto reply = TakeReply(xcb_get_property_reply, c,
                           xcb_get_property(c, 0, window, atoms.wmState, atoms.wmState, 0, 2));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
        return std::nullopt;
    return *static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
}

void WaitUntilWithdrawn(xcb_connection_t *c, const Atoms &atoms, xcb_window_t window) {
    // Openbox needs a few milliseconds; a window manager that never answers
    // must not freeze the program.
    const QDeadlineTimer deadline(1000);
    for (;;) {
        const std::optional<uint32_t> state = WmState(c, atoms, window);
        if (!state || *state == kWmStateWithdrawn || deadline.hasExpired())
            return;
        QThread::msleep(2);
    }
}

std::vector<xcb_atom_t> ReadAtomList(xcb_connection_t *c, xcb_window_t window,
                                     xcb_atom_t property) {
    auto reply = TakeReply(xcb_get_property_reply, c,
                           xcb_get_property(c, 0, window, property, XCB_ATOM_ATOM, 0, 1024));
    if (!reply || reply->format != 32 || reply->type != XCB_ATOM_ATOM)
        return {};
    const auto *first = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
    return {first, first + xcb_get_property_value_length(reply.get()) / 4};
}

void EditNetWmState(xcb_connection_t *c, const Atoms &atoms, xcb_window_t window,
                    const std::vector<xcb_atom_t> &add, const std::vector<xcb_atom_t> &remove) {
    std::vector<xcb_atom_t> states = ReadAtomList(c, window, atoms.netWmState);
    std::erase_if(states, [&](xcb_atom_t a) {
        return std::find(remove.begin(), remove.end(), a) != remove.end();
    });
    for (xcb_atom_t a : add) {
        if (a != XCB_ATOM_NONE && std::find(states.begin(), states.end(), a) == states.end())
            states.push_back(a);
    }
    if (states.empty()) {
        xcb_delete_property(c, window, atoms.netWmState);
    } else {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atoms.netWmState, XCB_ATOM_ATOM, 32,
                            states.size(), states.data());
    }
    xcb_flush(c);
}

void RequestNetWmState(xcb_connection_t *c, const Atoms &atoms, xcb_window_t window, bool add,
                       xcb_atom_t state) {
    constexpr uint32_t kRemove = 0, kAdd = 1, kSourceApplication = 1;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atoms.netWmState;
    event.data.data32[0] = add ? kAdd : kRemove;
    event.data.data32[1] = state;
    event.data.data32[2] = 0;
    event.data.data32[3] = kSourceApplication;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(c);
}

} // namespace quillcap::x11
