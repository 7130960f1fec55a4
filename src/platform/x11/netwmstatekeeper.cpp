#include "platform/x11/netwmstatekeeper.h"

#include "platform/x11/xcbutil.h"

#include <QEvent>
#include <QVariant>
#include <QWidget>
#include <QWindow>

namespace quillcap::x11 {

namespace {

const char *PropertyName(NetWmStateKeeper::State state) {
    return state == NetWmStateKeeper::State::Above ? "quillcapNetWmAbove"
                                                   : "quillcapNetWmSkipTaskbar";
}

bool IsRecorded(const QWidget *window, NetWmStateKeeper::State state) {
    return window->property(PropertyName(state)).isValid();
}

bool IsSet(const QWidget *window, NetWmStateKeeper::State state) {
    return window->property(PropertyName(state)).toBool();
}

// Writes the recorded states into the unmapped window's _NET_WM_STATE.
void WriteUnmapped(QWidget *window) {
    using State = NetWmStateKeeper::State;
    xcb_connection_t *c = QtConnection();
    if (!c || !window->windowHandle())
        return;
    const Atoms &atoms = Atoms::For(c);
    // QWindow's id, not QWidget::winId(): only the former follows a native
    // window Qt re-created.
    const auto id = static_cast<xcb_window_t>(window->windowHandle()->winId());
    std::vector<xcb_atom_t> add, remove;
    if (IsRecorded(window, State::Above)) {
        // Qt writes STAYS_ON_TOP next to ABOVE for old KDE versions; keep the
        // pair consistent.
        auto &list = IsSet(window, State::Above) ? add : remove;
        list.push_back(atoms.netWmStateAbove);
        list.push_back(atoms.netWmStateStaysOnTop);
    }
    if (IsRecorded(window, State::SkipTaskbar))
        (IsSet(window, State::SkipTaskbar) ? add : remove).push_back(atoms.netWmStateSkipTaskbar);
    if (add.empty() && remove.empty())
        return;
    WaitUntilWithdrawn(c, atoms, id);
    EditNetWmState(c, atoms, id, add, remove);
}

} // namespace

void NetWmStateKeeper::Set(QWidget *window, State state, bool on) {
    window->setProperty(PropertyName(state), on);
    window->installEventFilter(this); // installing twice keeps one filter
}

bool NetWmStateKeeper::eventFilter(QObject *watched, QEvent *event) {
    // QWidget sends Show before it maps the native window. A spontaneous Show
    // comes from the window system (a de-iconified window): already mapped.
    if (event->type() == QEvent::Show && !event->spontaneous() && watched->isWidgetType()) {
        auto *window = static_cast<QWidget *>(watched);
        if (window->isWindow())
            WriteUnmapped(window);
    }
    return false;
}

} // namespace quillcap::x11
