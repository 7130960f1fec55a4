// The Print Screen grab against a real server with no window manager (the
// usual one holds plain Print), pressed through XTest by xdotool.
#include "platform/x11/x11hotkey.h"
#include "screenpattern.h"
#include "xprobe.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

using quillcap::x11::X11HotKey;

namespace {

constexpr int kTimeout = 15000;

// Pass() returns once Qt has handled every event the server sent it before
// the call, including signals queued on the way: the server sends a message
// of ours after them, and a call queued on its arrival runs after theirs.
class EventFence : public QAbstractNativeEventFilter {
public:
    explicit EventFence(XProbe &probe) : m_probe(probe), m_type(probe.Atom("QUILLCAP_TEST_FENCE")) {
        m_window.create();
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~EventFence() override { QCoreApplication::instance()->removeNativeEventFilter(this); }

    [[nodiscard]] bool Pass() {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = static_cast<xcb_window_t>(m_window.winId());
        message.type = m_type;
        message.data.data32[0] = ++m_sent;
        xcb_send_event(m_probe.connection(), 0, message.window, 0,
                       reinterpret_cast<const char *>(&message));
        m_probe.Sync();
        return QTest::qWaitFor([&] { return m_passed == m_sent; }, kTimeout);
    }

    bool nativeEventFilter(const QByteArray &, void *event, qintptr *) override {
        const auto *message = static_cast<const xcb_client_message_event_t *>(event);
        if ((message->response_type & ~0x80) != XCB_CLIENT_MESSAGE || message->type != m_type)
            return false;
        const uint32_t serial = message->data.data32[0];
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [this, serial] { m_passed = serial; },
            Qt::QueuedConnection);
        return true;
    }

private:
    XProbe &m_probe;
    xcb_atom_t m_type;
    QWindow m_window;
    uint32_t m_sent = 0;
    uint32_t m_passed = 0;
};

class HotKeyTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_probe.ok()) << "no X display"; }

    // xdotool exits only after the server has handled its key presses.
    void Press(const QStringList &keys) {
        for (const QString &k : keys)
            ASSERT_EQ(RunProgram(QStringLiteral("xdotool"), {QStringLiteral("key"), k}), 0)
                << qPrintable(k);
    }

    // NumLock and CapsLock as the server sees them.
    uint16_t LockState() {
        const std::unique_ptr<xcb_query_pointer_reply_t, decltype(&std::free)> pointer(
            xcb_query_pointer_reply(m_probe.connection(),
                                    xcb_query_pointer(m_probe.connection(), m_probe.root()),
                                    nullptr),
            &std::free);
        return pointer ? pointer->mask & (XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK) : 0xffff;
    }

    XProbe m_probe;
    QStringList m_log;
    X11HotKey m_hotKey{[this](const QString &line) { m_log << line; }};
    QSignalSpy m_pressed{&m_hotKey, &X11HotKey::pressed};
    EventFence m_fence{m_probe};
};

struct PressCase {
    const char *keys;
    QStringList locks; // pressed before, and again after to undo them
    int presses;
};

const PressCase kPressCases[] = {
    {"Print", {}, 1},
    {"ctrl+Print", {}, 1},
    {"shift+Print", {}, 1},
    {"Print", {"Num_Lock"}, 1},
    {"ctrl+Print", {"Num_Lock"}, 1},
    {"shift+Print", {"Caps_Lock"}, 1},
    {"ctrl+Print", {"Num_Lock", "Caps_Lock"}, 1},
    {"alt+Print", {}, 0},
    {"ctrl+shift+Print", {}, 0},
};

TEST_F(HotKeyTest, EachCombinationRaisesOnePress) {
    m_hotKey.HookHotKeys();
    EXPECT_TRUE(m_log.isEmpty()) << qPrintable(m_log.join('\n'));
    for (const PressCase &c : kPressCases) {
        SCOPED_TRACE(std::string(c.keys) + " " + c.locks.join(' ').toStdString());
        m_pressed.clear();
        Press(c.locks);
        ASSERT_EQ(LockState(), (c.locks.contains("Num_Lock") ? XCB_MOD_MASK_2 : 0) |
                                   (c.locks.contains("Caps_Lock") ? XCB_MOD_MASK_LOCK : 0));
        Press({QString::fromLatin1(c.keys)});
        Press(c.locks);
        ASSERT_TRUE(m_fence.Pass());
        EXPECT_EQ(m_pressed.size(), c.presses);
    }
}

TEST_F(HotKeyTest, CombinationHeldElsewhereIsSkippedAndLogged) {
    // Another program holds Ctrl with any key, so Ctrl+Print too.
    xcb_grab_key(m_probe.connection(), 0, m_probe.root(), XCB_MOD_MASK_CONTROL, XCB_GRAB_ANY,
                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    m_probe.Sync();
    m_hotKey.HookHotKeys();
    ASSERT_FALSE(m_log.isEmpty());
    for (const QString &line : m_log)
        EXPECT_TRUE(line.contains(QLatin1String(": Ctrl+Print (key code"))) << qPrintable(line);

    Press({QStringLiteral("Print"), QStringLiteral("ctrl+Print"), QStringLiteral("Num_Lock"),
           QStringLiteral("ctrl+Print"), QStringLiteral("Num_Lock")});
    ASSERT_TRUE(m_fence.Pass());
    EXPECT_EQ(m_pressed.size(), 2) << "Print and Ctrl+Print with NumLock are still ours";

    m_hotKey.UnhookHotKeys();
    Press({QStringLiteral("Print")});
    ASSERT_TRUE(m_fence.Pass());
    EXPECT_EQ(m_pressed.size(), 2) << "a press after unhooking";
    // Released: somebody else can have plain Print now.
    xcb_generic_error_t *error = xcb_request_check(
        m_probe.connection(),
        xcb_grab_key_checked(m_probe.connection(), 0, m_probe.root(), 0, XCB_GRAB_ANY,
                             XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    EXPECT_EQ(error, nullptr) << "a grab was kept";
    std::free(error);
}

} // namespace
