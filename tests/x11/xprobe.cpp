#include "xprobe.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct Free {
    void operator()(void *p) const { std::free(p); }
};
template <class T> using R = std::unique_ptr<T, Free>;

} // namespace

XProbe::XProbe() {
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return;
    }
    m_c = c;
    m_root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

XProbe::~XProbe() {
    if (m_c)
        xcb_disconnect(m_c);
}

bool XProbe::HasExtension(const char *name) {
    R<xcb_query_extension_reply_t> r(
        xcb_query_extension_reply(m_c, xcb_query_extension(m_c, std::strlen(name), name), nullptr));
    return r && r->present;
}

void XProbe::Sync() {
    std::free(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr));
}

xcb_atom_t XProbe::Atom(const char *name) {
    R<xcb_intern_atom_reply_t> r(
        xcb_intern_atom_reply(m_c, xcb_intern_atom(m_c, 0, std::strlen(name), name), nullptr));
    return r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
}

QStringList XProbe::NetWmState(xcb_window_t w) {
    R<xcb_get_property_reply_t> r(xcb_get_property_reply(
        m_c, xcb_get_property(m_c, 0, w, Atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 0, 64), nullptr));
    QStringList names;
    if (!r || r->format != 32)
        return names;
    const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(r.get()));
    for (int i = 0; i < xcb_get_property_value_length(r.get()) / 4; ++i) {
        R<xcb_get_atom_name_reply_t> n(
            xcb_get_atom_name_reply(m_c, xcb_get_atom_name(m_c, atoms[i]), nullptr));
        if (n)
            names << QString::fromLatin1(xcb_get_atom_name_name(n.get()),
                                         xcb_get_atom_name_name_length(n.get()));
    }
    return names;
}

std::optional<uint32_t> XProbe::WmState(xcb_window_t w) {
    const xcb_atom_t wmState = Atom("WM_STATE");
    R<xcb_get_property_reply_t> r(
        xcb_get_property_reply(m_c, xcb_get_property(m_c, 0, w, wmState, wmState, 0, 2), nullptr));
    if (!r || r->format != 32 || xcb_get_property_value_length(r.get()) < 4)
        return std::nullopt;
    return *static_cast<const uint32_t *>(xcb_get_property_value(r.get()));
}

bool XProbe::IsViewable(xcb_window_t w) {
    R<xcb_get_window_attributes_reply_t> r(
        xcb_get_window_attributes_reply(m_c, xcb_get_window_attributes(m_c, w), nullptr));
    return r && r->map_state == XCB_MAP_STATE_VIEWABLE;
}

xcb_window_t XProbe::Parent(xcb_window_t w) {
    R<xcb_query_tree_reply_t> r(xcb_query_tree_reply(m_c, xcb_query_tree(m_c, w), nullptr));
    return r ? r->parent : xcb_window_t(XCB_WINDOW_NONE);
}

std::vector<xcb_window_t> XProbe::Children(xcb_window_t w) {
    R<xcb_query_tree_reply_t> r(xcb_query_tree_reply(m_c, xcb_query_tree(m_c, w), nullptr));
    if (!r)
        return {};
    const xcb_window_t *first = xcb_query_tree_children(r.get());
    return {first, first + xcb_query_tree_children_length(r.get())};
}

xcb_window_t XProbe::TopLevelOf(xcb_window_t w) {
    for (xcb_window_t parent = Parent(w); parent != XCB_WINDOW_NONE && parent != m_root;
         parent = Parent(w))
        w = parent;
    return w;
}

bool XProbe::IsStackedAbove(xcb_window_t upper, xcb_window_t lower) {
    const std::vector<xcb_window_t> order = Children(m_root); // bottom first
    const auto indexOf = [&](xcb_window_t w) {
        return std::find(order.begin(), order.end(), TopLevelOf(w)) - order.begin();
    };
    return indexOf(upper) > indexOf(lower);
}

QRect XProbe::Geometry(xcb_window_t w) {
    R<xcb_get_geometry_reply_t> g(xcb_get_geometry_reply(m_c, xcb_get_geometry(m_c, w), nullptr));
    R<xcb_translate_coordinates_reply_t> t(xcb_translate_coordinates_reply(
        m_c, xcb_translate_coordinates(m_c, w, m_root, 0, 0), nullptr));
    if (!g || !t)
        return {};
    return QRect(t->dst_x, t->dst_y, g->width, g->height);
}

xcb_window_t XProbe::ActiveWindow() {
    R<xcb_get_property_reply_t> r(xcb_get_property_reply(
        m_c, xcb_get_property(m_c, 0, m_root, Atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 0, 1),
        nullptr));
    if (!r || r->format != 32 || xcb_get_property_value_length(r.get()) < 4)
        return XCB_WINDOW_NONE;
    return *static_cast<const xcb_window_t *>(xcb_get_property_value(r.get()));
}

xcb_window_t XProbe::WmSelectionOwner() {
    R<xcb_get_selection_owner_reply_t> r(
        xcb_get_selection_owner_reply(m_c, xcb_get_selection_owner(m_c, Atom("WM_S0")), nullptr));
    return r ? r->owner : xcb_window_t(XCB_WINDOW_NONE);
}

QString XProbe::Title(xcb_window_t w) {
    for (xcb_atom_t property : {Atom("_NET_WM_NAME"), xcb_atom_t(XCB_ATOM_WM_NAME)}) {
        R<xcb_get_property_reply_t> r(xcb_get_property_reply(
            m_c, xcb_get_property(m_c, 0, w, property, XCB_ATOM_ANY, 0, 256), nullptr));
        if (r && r->format == 8 && xcb_get_property_value_length(r.get()) > 0)
            return QString::fromUtf8(static_cast<const char *>(xcb_get_property_value(r.get())),
                                     xcb_get_property_value_length(r.get()));
    }
    return {};
}

xcb_window_t XProbe::FindByTitle(const QString &title) {
    std::vector<xcb_window_t> pending{m_root};
    while (!pending.empty()) {
        const xcb_window_t w = pending.back();
        pending.pop_back();
        if (w != m_root && Title(w) == title)
            return w;
        const std::vector<xcb_window_t> children = Children(w);
        pending.insert(pending.end(), children.begin(), children.end());
    }
    return XCB_WINDOW_NONE;
}

bool XProbe::IsManaged(xcb_window_t w, uint32_t state) {
    return WmState(w) == state && Parent(w) != m_root;
}

bool XProbe::IsWithdrawn(xcb_window_t w) {
    const std::optional<uint32_t> state = WmState(w);
    return (!state || *state == 0) && Parent(w) == m_root;
}

xcb_window_t XProbe::CreateWindow() {
    const xcb_window_t w = xcb_generate_id(m_c);
    xcb_create_window(m_c, XCB_COPY_FROM_PARENT, w, m_root, 0, 0, 100, 100, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_flush(m_c);
    return w;
}

void XProbe::Map(xcb_window_t w) {
    xcb_map_window(m_c, w);
    xcb_flush(m_c);
}

void XProbe::Destroy(xcb_window_t w) {
    xcb_destroy_window(m_c, w);
    xcb_flush(m_c);
}
