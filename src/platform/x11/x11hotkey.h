#pragma once

#include "platform/platform.h"

#include <QAbstractNativeEventFilter>

#include <xcb/xcb.h>

#include <functional>
#include <vector>

namespace quillcap::x11 {

// Print Screen as a global key: a passive grab on the root window for every
// key code that produces Print, alone, with Control and with Shift, each also
// with NumLock and CapsLock on (X matches modifiers exactly). Presses arrive
// on Qt's connection and are picked out by a native event filter.
class X11HotKey final : public HotKey, public QAbstractNativeEventFilter {
public:
    using Logger = std::function<void(const QString &)>;

    // `log` hears which combinations could not be had.
    explicit X11HotKey(Logger log = {});
    ~X11HotKey() override;

    void HookHotKeys() override;
    void UnhookHotKeys() override;
    QStringList TakenCombinations() const override { return m_taken; }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    struct Grab {
        xcb_keycode_t key;
        uint16_t modifiers;
    };

    void Log(const QString &line) const;

    Logger m_log;
    xcb_connection_t *m_c = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    std::vector<xcb_keycode_t> m_keys;
    std::vector<Grab> m_grabs;
    QStringList m_taken;
    bool m_filtering = false;
};

} // namespace quillcap::x11
