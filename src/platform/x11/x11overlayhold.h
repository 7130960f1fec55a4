#pragma once

#include "platform/platform.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <functional>

namespace quillcap::x11 {

// The overlay as an override-redirect window: no window manager places,
// clips or stacks it below a panel, and none gives it focus either, so it
// takes the keyboard and the pointer with active grabs.
class X11OverlayHold final : public OverlayHold {
public:
    using Logger = std::function<void(const QString &)>;
    // How often and how long a grab another client holds is tried again.
    static constexpr int kRetryMs = 10;
    static constexpr int kGiveUpMs = 1000;

    explicit X11OverlayHold(Logger log = {});
    ~X11OverlayHold() override;

    void Prepare(QWidget *window) override;
    void Grab(QWidget *window, std::function<void()> withoutGrab) override;
    void Release() override;

private:
    void TryGrab();

    Logger m_log;
    QPointer<QWidget> m_window;
    std::function<void()> m_withoutGrab;
    bool m_keyboard = false;
    bool m_pointer = false;
    uint8_t m_keyboardStatus = 0;
    uint8_t m_pointerStatus = 0;
    QTimer m_retry;
    QElapsedTimer m_since;
};

} // namespace quillcap::x11
