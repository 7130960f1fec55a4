#include "platform/x11/clientwindows.h"

#include <algorithm>
#include <optional>

namespace quillcap::x11 {

namespace {

// Frame, wrapper, client: the deepest nesting common window managers use.
constexpr int kMaxFrameDepth = 3;
// Longer titles are cut; a title prefix is all anybody compares.
constexpr uint32_t kTitleWords = 256;

std::vector<xcb_window_t> ChildrenOf(const xcb_query_tree_reply_t *tree) {
    const xcb_window_t *first = xcb_query_tree_children(tree);
    return {first, first + xcb_query_tree_children_length(tree)};
}

std::vector<xcb_window_t> RootChildren(xcb_connection_t *c) {
    std::vector<xcb_query_tree_cookie_t> cookies;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(c)); it.rem; xcb_screen_next(&it))
        cookies.push_back(xcb_query_tree(c, it.data->root));
    std::vector<xcb_window_t> windows;
    for (auto cookie : cookies) {
        if (auto tree = TakeReply(xcb_query_tree_reply, c, cookie)) {
            const std::vector<xcb_window_t> children = ChildrenOf(tree.get());
            windows.insert(windows.end(), children.begin(), children.end());
        }
    }
    return windows;
}

// For each top-level window, the client window it stands for (see header).
std::vector<xcb_window_t> ResolveClients(xcb_connection_t *c, const Atoms &atoms,
                                         const std::vector<xcb_window_t> &tops) {
    struct Entry {
        std::size_t top;
        xcb_window_t window;
    };
    struct Pending {
        Entry entry;
        xcb_get_property_cookie_t state;
        std::optional<xcb_query_tree_cookie_t> tree;
    };

    std::vector<xcb_window_t> clients(tops.size(), XCB_WINDOW_NONE);
    std::vector<Entry> frontier;
    for (std::size_t i = 0; i < tops.size(); ++i)
        frontier.push_back({i, tops[i]});

    for (int depth = 0; depth <= kMaxFrameDepth && !frontier.empty(); ++depth) {
        std::vector<Pending> pending;
        pending.reserve(frontier.size());
        for (const Entry &e : frontier) {
            Pending p{e, xcb_get_property(c, 0, e.window, atoms.wmState, XCB_ATOM_ANY, 0, 0), {}};
            if (depth < kMaxFrameDepth)
                p.tree = xcb_query_tree(c, e.window);
            pending.push_back(p);
        }
        std::vector<Entry> next;
        for (const Pending &p : pending) {
            const auto state = TakeReply(xcb_get_property_reply, c, p.state);
            const auto tree = p.tree ? TakeReply(xcb_query_tree_reply, c, *p.tree) : nullptr;
            if (clients[p.entry.top] != XCB_WINDOW_NONE)
                continue;
            if (state && state->type != XCB_ATOM_NONE) {
                clients[p.entry.top] = p.entry.window;
                continue;
            }
            if (tree) {
                for (xcb_window_t child : ChildrenOf(tree.get()))
                    next.push_back({p.entry.top, child});
            }
        }
        std::erase_if(next, [&](const Entry &e) { return clients[e.top] != XCB_WINDOW_NONE; });
        frontier = std::move(next);
    }

    for (std::size_t i = 0; i < tops.size(); ++i) {
        if (clients[i] == XCB_WINDOW_NONE)
            clients[i] = tops[i];
    }
    return clients;
}

QString TextOf(const xcb_get_property_reply_t *reply, const Atoms &atoms) {
    if (!reply || reply->format != 8)
        return {};
    const auto *bytes = static_cast<const char *>(xcb_get_property_value(reply));
    const int length = xcb_get_property_value_length(reply);
    if (reply->type == atoms.utf8String)
        return QString::fromUtf8(bytes, length);
    // STRING is Latin-1; COMPOUND_TEXT shares its ASCII part, which is what
    // titles are compared on in practice.
    return QString::fromLatin1(bytes, length);
}

} // namespace

std::vector<ClientWindow> TopLevelClients(xcb_connection_t *c, const Atoms &atoms) {
    const std::vector<xcb_window_t> clients = ResolveClients(c, atoms, RootChildren(c));

    struct TitleCookies {
        xcb_get_property_cookie_t netWmName;
        xcb_get_property_cookie_t wmName;
    };
    std::vector<TitleCookies> cookies;
    cookies.reserve(clients.size());
    for (xcb_window_t w : clients) {
        cookies.push_back(
            {xcb_get_property(c, 0, w, atoms.netWmName, atoms.utf8String, 0, kTitleWords),
             xcb_get_property(c, 0, w, XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 0, kTitleWords)});
    }

    std::vector<ClientWindow> result;
    result.reserve(clients.size());
    for (std::size_t i = 0; i < clients.size(); ++i) {
        const auto netWmName = TakeReply(xcb_get_property_reply, c, cookies[i].netWmName);
        const auto wmName = TakeReply(xcb_get_property_reply, c, cookies[i].wmName);
        QString title = TextOf(netWmName.get(), atoms);
        if (title.isEmpty())
            title = TextOf(wmName.get(), atoms);
        result.push_back({clients[i], title});
    }
    return result;
}

} // namespace quillcap::x11
