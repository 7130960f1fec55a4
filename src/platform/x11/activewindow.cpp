#include "platform/x11/activewindow.h"

namespace quillcap::x11 {

namespace {

xcb_window_t NetActiveWindow(xcb_connection_t *c, const Atoms &atoms, xcb_window_t root) {
    const auto reply =
        TakeReply(xcb_get_property_reply, c,
                  xcb_get_property(c, 0, root, atoms.netActiveWindow, XCB_ATOM_WINDOW, 0, 1));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
        return XCB_WINDOW_NONE;
    return *static_cast<const xcb_window_t *>(xcb_get_property_value(reply.get()));
}

// The root's child holding the input focus.
xcb_window_t FocusedTopLevel(xcb_connection_t *c, xcb_window_t root) {
    const auto focus = TakeReply(xcb_get_input_focus_reply, c, xcb_get_input_focus(c));
    xcb_window_t window = focus ? focus->focus : xcb_window_t(XCB_WINDOW_NONE);
    if (window == XCB_WINDOW_NONE || window == XCB_INPUT_FOCUS_POINTER_ROOT)
        return XCB_WINDOW_NONE;
    while (window != root) {
        const auto tree = TakeReply(xcb_query_tree_reply, c, xcb_query_tree(c, window));
        if (!tree)
            return XCB_WINDOW_NONE;
        if (tree->parent == root)
            return window;
        window = tree->parent;
    }
    return XCB_WINDOW_NONE;
}

std::optional<ActiveWindowFrame> OuterFrame(xcb_connection_t *c, const Atoms &atoms,
                                            xcb_window_t window, xcb_window_t root) {
    if (window == XCB_WINDOW_NONE)
        return std::nullopt;
    const auto attributesCookie = xcb_get_window_attributes(c, window);
    const auto geometryCookie = xcb_get_geometry(c, window);
    const auto originCookie = xcb_translate_coordinates(c, window, root, 0, 0);
    const auto extentsCookie =
        xcb_get_property(c, 0, window, atoms.netFrameExtents, XCB_ATOM_CARDINAL, 0, 4);
    const auto attributes = TakeReply(xcb_get_window_attributes_reply, c, attributesCookie);
    const auto geometry = TakeReply(xcb_get_geometry_reply, c, geometryCookie);
    const auto origin = TakeReply(xcb_translate_coordinates_reply, c, originCookie);
    const auto extents = TakeReply(xcb_get_property_reply, c, extentsCookie);
    if (!attributes || !geometry || !origin)
        return std::nullopt;
    const int border = geometry->border_width;
    QRect rect = QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height)
                     .adjusted(-border, -border, border, border);
    if (extents && extents->format == 32 && xcb_get_property_value_length(extents.get()) >= 16) {
        // left, right, top, bottom
        const auto *e = static_cast<const uint32_t *>(xcb_get_property_value(extents.get()));
        rect.adjust(-int(e[0]), -int(e[2]), int(e[1]), int(e[3]));
    }
    return ActiveWindowFrame{rect, attributes->map_state == XCB_MAP_STATE_VIEWABLE};
}

} // namespace

std::optional<ActiveWindowFrame> FindActiveWindow(xcb_connection_t *c, const Atoms &atoms) {
    const xcb_window_t root = FirstScreen(c)->root;
    // The manager's word first; a window it names that is not on screen
    // gives way to the focus, and is reported only when that has none.
    const auto named = OuterFrame(c, atoms, NetActiveWindow(c, atoms, root), root);
    if (named && named->mapped)
        return named;
    const auto focused = OuterFrame(c, atoms, FocusedTopLevel(c, root), root);
    if (focused && (focused->mapped || !named))
        return focused;
    return named;
}

} // namespace quillcap::x11
