#include "platform/x11/x11hotkey.h"

#include "platform/x11/xcbutil.h"

#include <QCoreApplication>

#include <X11/keysym.h>
#include <xcb/xcb_keysyms.h>

#include <algorithm>
#include <array>

namespace quillcap::x11 {

namespace {

struct ModifierName {
    uint16_t mask;
    const char *text;
};
constexpr std::array<ModifierName, 3> kModifiers{{
    {0, "Print"},
    {XCB_MOD_MASK_CONTROL, "Ctrl+Print"},
    {XCB_MOD_MASK_SHIFT, "Shift+Print"},
}};
// Lock keys change the modifier state; a grab matches the state exactly.
constexpr std::array<ModifierName, 4> kLocks{{
    {0, ""},
    {XCB_MOD_MASK_2, " with NumLock"},
    {XCB_MOD_MASK_LOCK, " with CapsLock"},
    {XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK, " with NumLock and CapsLock"},
}};

std::vector<xcb_keycode_t> PrintKeyCodes(xcb_connection_t *c) {
    std::unique_ptr<xcb_key_symbols_t, decltype(&xcb_key_symbols_free)> symbols(
        xcb_key_symbols_alloc(c), &xcb_key_symbols_free);
    if (!symbols)
        return {};
    const std::unique_ptr<xcb_keycode_t, FreeDeleter> codes(
        xcb_key_symbols_get_keycode(symbols.get(), XK_Print));
    std::vector<xcb_keycode_t> keys;
    for (const xcb_keycode_t *k = codes.get(); k && *k != XCB_NO_SYMBOL; ++k)
        keys.push_back(*k);
    return keys;
}

} // namespace

X11HotKey::X11HotKey(Logger log) : m_log(std::move(log)) {}

X11HotKey::~X11HotKey() {
    UnhookHotKeys();
}

void X11HotKey::Log(const QString &line) const {
    if (m_log)
        m_log(line);
}

void X11HotKey::HookHotKeys() {
    UnhookHotKeys();
    m_taken.clear();
    m_c = QtConnection();
    if (!m_c) {
        Log(QStringLiteral("Print Screen hot key: no X11 connection"));
        return;
    }
    m_root = FirstScreen(m_c)->root;
    m_keys = PrintKeyCodes(m_c);
    if (m_keys.empty())
        Log(QStringLiteral("Print Screen hot key: no key produces Print"));

    struct Pending {
        Grab grab;
        const char *modifier;
        const char *lock;
        xcb_void_cookie_t cookie;
    };
    std::vector<Pending> pending;
    for (xcb_keycode_t key : m_keys) {
        for (const ModifierName &modifier : kModifiers) {
            for (const ModifierName &lock : kLocks) {
                const auto mask = static_cast<uint16_t>(modifier.mask | lock.mask);
                pending.push_back({{key, mask},
                                   modifier.text,
                                   lock.text,
                                   xcb_grab_key_checked(m_c, 0, m_root, mask, key,
                                                        XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)});
            }
        }
    }
    for (const Pending &p : pending) {
        if (xcb_generic_error_t *error = xcb_request_check(m_c, p.cookie)) {
            std::free(error);
            Log(QStringLiteral("Print Screen hot key: %1%2 (key code %3) is taken by another "
                               "program, skipped")
                    .arg(QLatin1String(p.modifier), QLatin1String(p.lock))
                    .arg(p.grab.key));
            if (!m_taken.contains(QLatin1String(p.modifier)))
                m_taken << QLatin1String(p.modifier);
        } else {
            m_grabs.push_back(p.grab);
        }
    }
    QCoreApplication::instance()->installNativeEventFilter(this);
    m_filtering = true;
}

void X11HotKey::UnhookHotKeys() {
    if (m_filtering && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
    m_filtering = false;
    // After Qt has closed its connection the server has dropped the grabs.
    if (m_c && m_c == QtConnection()) {
        for (const Grab &grab : m_grabs)
            xcb_ungrab_key(m_c, grab.key, m_root, grab.modifiers);
        xcb_flush(m_c);
    }
    m_grabs.clear();
    m_c = nullptr;
}

bool X11HotKey::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) {
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & ~0x80) != XCB_KEY_PRESS)
        return false;
    // Through our grab the event names the root; a Print typed into one of
    // our own windows the normal way names that window and is left to Qt.
    const auto *key = reinterpret_cast<const xcb_key_press_event_t *>(event);
    if (key->event != m_root ||
        std::find(m_keys.begin(), m_keys.end(), key->detail) == m_keys.end())
        return false;
    // Queued: whoever answers may run a nested event loop, which must not
    // happen inside Qt's event dispatch.
    QMetaObject::invokeMethod(
        this, [this] { emit pressed(); }, Qt::QueuedConnection);
    return true;
}

} // namespace quillcap::x11
