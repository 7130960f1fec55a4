#include "platform/x11/x11overlayhold.h"

#include "platform/x11/xcbutil.h"

#include <QWidget>
#include <QWindow>

#include <cstdlib>

namespace quillcap::x11 {

namespace {

const char *StatusText(uint8_t status) {
    switch (status) {
    case XCB_GRAB_STATUS_ALREADY_GRABBED:
        return "another program holds it";
    case XCB_GRAB_STATUS_FROZEN:
        return "frozen by another program";
    case XCB_GRAB_STATUS_NOT_VIEWABLE:
        return "the window is not on screen";
    case XCB_GRAB_STATUS_INVALID_TIME:
        return "invalid time";
    default:
        return "no answer";
    }
}

} // namespace

X11OverlayHold::X11OverlayHold(Logger log) : m_log(std::move(log)) {
    m_retry.setInterval(kRetryMs);
    QObject::connect(&m_retry, &QTimer::timeout, [this] { TryGrab(); });
}

X11OverlayHold::~X11OverlayHold() {
    Release();
}

void X11OverlayHold::Prepare(QWidget *window) {
    window->setWindowFlag(Qt::X11BypassWindowManagerHint, true);
}

void X11OverlayHold::Grab(QWidget *window, std::function<void()> withoutGrab) {
    Release();
    m_window = window;
    m_withoutGrab = std::move(withoutGrab);
    m_since.start();
    TryGrab();
    if (!(m_keyboard && m_pointer))
        m_retry.start();
}

void X11OverlayHold::TryGrab() {
    xcb_connection_t *c = QtConnection();
    if (!c || !m_window || !m_window->windowHandle()) {
        m_retry.stop();
        return;
    }
    const auto id = static_cast<xcb_window_t>(m_window->windowHandle()->winId());
    if (!m_keyboard) {
        xcb_grab_keyboard_reply_t *reply = xcb_grab_keyboard_reply(
            c,
            xcb_grab_keyboard(c, 1, id, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
            nullptr);
        m_keyboardStatus = reply ? reply->status : 0xff;
        m_keyboard = m_keyboardStatus == XCB_GRAB_STATUS_SUCCESS;
        std::free(reply);
    }
    if (!m_pointer) {
        const uint16_t events = XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                                XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_ENTER_WINDOW |
                                XCB_EVENT_MASK_LEAVE_WINDOW;
        xcb_grab_pointer_reply_t *reply = xcb_grab_pointer_reply(
            c,
            xcb_grab_pointer(c, 1, id, events, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC,
                             XCB_WINDOW_NONE, XCB_CURSOR_NONE, XCB_CURRENT_TIME),
            nullptr);
        m_pointerStatus = reply ? reply->status : 0xff;
        m_pointer = m_pointerStatus == XCB_GRAB_STATUS_SUCCESS;
        std::free(reply);
    }
    if (m_keyboard && m_pointer) {
        m_retry.stop();
        return;
    }
    if (m_since.elapsed() < kGiveUpMs)
        return;
    m_retry.stop();
    if (m_log) {
        if (!m_keyboard)
            m_log(QStringLiteral("Capture window: could not take the keyboard (%1), going on "
                                 "without it")
                      .arg(QLatin1String(StatusText(m_keyboardStatus))));
        if (!m_pointer)
            m_log(QStringLiteral("Capture window: could not take the pointer (%1), going on "
                                 "without it")
                      .arg(QLatin1String(StatusText(m_pointerStatus))));
    }
    if (m_withoutGrab)
        m_withoutGrab();
}

void X11OverlayHold::Release() {
    m_retry.stop();
    m_withoutGrab = nullptr;
    xcb_connection_t *c = QtConnection();
    if (c && (m_keyboard || m_pointer)) {
        if (m_keyboard)
            xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
        if (m_pointer)
            xcb_ungrab_pointer(c, XCB_CURRENT_TIME);
        xcb_flush(c);
    }
    m_keyboard = m_pointer = false;
}

} // namespace quillcap::x11
