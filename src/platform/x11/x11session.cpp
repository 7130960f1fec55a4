#include "platform/x11/x11session.h"

#include <QtGlobal>

#include <xcb/xcb.h>

namespace quillcap {

std::optional<QString> X11SessionProblem() {
    // Under Wayland an X display (Xwayland) may be reachable, but it shows
    // none of the native windows: grabbing it captures nothing useful.
    if (qgetenv("XDG_SESSION_TYPE") == "wayland" || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return QStringLiteral(
            "QuillCap needs an X11 session: screen capture does not work under Wayland.");

    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    const bool reachable = xcb_connection_has_error(c) == 0;
    xcb_disconnect(c);
    if (reachable)
        return std::nullopt;
    const QString display = QString::fromLocal8Bit(qgetenv("DISPLAY"));
    if (display.isEmpty())
        return QStringLiteral(
            "QuillCap needs an X11 session: no X11 display could be reached (DISPLAY is not set).");
    return QStringLiteral(
               "QuillCap needs an X11 session: no X11 display could be reached at \"%1\".")
        .arg(display);
}

} // namespace quillcap
