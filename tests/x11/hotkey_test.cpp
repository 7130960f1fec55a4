// The Print Screen grab against a real server with no window manager (the
// usual one holds plain Print), pressed through XTest by xdotool.
#include "platform/x11/x11hotkey.h"
#include "xsession.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QWindow>

#include <gtest/gtest.h>

using quillcap::x11::X11HotKey;
using xs::session;

namespace {

// pass() returns once Qt has handled every event the server sent it before
// the call, signals queued on the way included: the server sends our message
// after them, and a call queued on its arrival runs after theirs.
struct EventFence : QAbstractNativeEventFilter {
    EventFence() { window.create(), qApp->installNativeEventFilter(this); }
    ~EventFence() override { qApp->removeNativeEventFilter(this); }
    [[nodiscard]] bool pass() {
        xcb_client_message_event_t m{XCB_CLIENT_MESSAGE,           32,   0,
                                     xcb_window_t(window.winId()), type, {}};
        m.data.data32[0] = ++sent;
        xcb_send_event(session().connection(), 0, m.window, 0, reinterpret_cast<const char *>(&m));
        session().sync();
        return xs::waitFor([&] { return passed == sent; }, "the fence");
    }
    bool nativeEventFilter(const QByteArray &, void *event, qintptr *) override {
        const auto *m = static_cast<const xcb_client_message_event_t *>(event);
        if ((m->response_type & ~0x80) != XCB_CLIENT_MESSAGE || m->type != type)
            return false;
        const uint32_t serial = m->data.data32[0];
        QMetaObject::invokeMethod(
            qApp, [this, serial] { passed = serial; }, Qt::QueuedConnection);
        return true;
    }
    const xcb_atom_t type = session().atom("QUILLCAP_TEST_FENCE");
    QWindow window;
    uint32_t sent = 0, passed = 0;
};

// NumLock and CapsLock as the server sees them.
uint16_t lockState() {
    xcb_connection_t *c = session().connection();
    const auto p = xs::take(xcb_query_pointer_reply(c, xcb_query_pointer(c, session().root()), 0));
    return p ? p->mask & (XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK) : 0xffff;
}

class HotKeyTest : public testing::Test {
protected:
    QStringList m_log;
    X11HotKey m_hotKey{[this](const QString &line) { m_log << line; }};
    QSignalSpy m_pressed{&m_hotKey, &X11HotKey::pressed};
    EventFence m_fence;
};

TEST_F(HotKeyTest, EachCombinationRaisesOnePress) {
    const struct {
        const char *keys;
        const char *locks; // pressed before, and again after to undo them
        int presses;
    } cases[] = {{"Print", "", 1},
                 {"ctrl+Print", "", 1},
                 {"shift+Print", "", 1},
                 {"Print", "Num_Lock", 1},
                 {"ctrl+Print", "Num_Lock", 1},
                 {"shift+Print", "Caps_Lock", 1},
                 {"ctrl+Print", "Num_Lock Caps_Lock", 1},
                 {"alt+Print", "", 0},
                 {"ctrl+shift+Print", "", 0}};
    m_hotKey.HookHotKeys();
    EXPECT_TRUE(m_log.isEmpty()) << qPrintable(m_log.join('\n'));
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.keys) + " " + c.locks);
        const QString locks = QString::fromLatin1(c.locks);
        m_pressed.clear();
        ASSERT_TRUE(locks.isEmpty() || session().key(locks));
        ASSERT_EQ(lockState(), (locks.contains("Num_Lock") ? XCB_MOD_MASK_2 : 0) |
                                   (locks.contains("Caps_Lock") ? XCB_MOD_MASK_LOCK : 0));
        ASSERT_TRUE(session().key(QString::fromLatin1(c.keys)));
        ASSERT_TRUE(locks.isEmpty() || session().key(locks));
        ASSERT_TRUE(m_fence.pass());
        EXPECT_EQ(m_pressed.size(), c.presses);
    }
}

TEST_F(HotKeyTest, CombinationHeldElsewhereIsSkippedAndTheRestStillWork) {
    // Another program holds Ctrl with any key, so Ctrl+Print too.
    xcb_connection_t *c = session().connection();
    xcb_grab_key(c, 0, session().root(), XCB_MOD_MASK_CONTROL, XCB_GRAB_ANY, XCB_GRAB_MODE_ASYNC,
                 XCB_GRAB_MODE_ASYNC);
    const QScopeGuard release([c] {
        xcb_ungrab_key(c, XCB_GRAB_ANY, session().root(), XCB_MOD_MASK_ANY);
        session().sync();
    });
    session().sync();
    m_hotKey.HookHotKeys();
    EXPECT_TRUE(m_log.join('\n').contains("Ctrl+Print")) << qPrintable(m_log.join('\n'));

    ASSERT_TRUE(session().key("Print ctrl+Print Num_Lock ctrl+Print Num_Lock"));
    ASSERT_TRUE(m_fence.pass());
    EXPECT_EQ(m_pressed.size(), 2) << "Print and Ctrl+Print with NumLock are still ours";

    m_hotKey.UnhookHotKeys();
    ASSERT_TRUE(session().key("Print"));
    ASSERT_TRUE(m_fence.pass());
    EXPECT_EQ(m_pressed.size(), 2) << "a press after unhooking";
    // Released: somebody else can have plain Print now.
    xcb_generic_error_t *error =
        xcb_request_check(c, xcb_grab_key_checked(c, 0, session().root(), 0, XCB_GRAB_ANY,
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    EXPECT_EQ(error, nullptr) << "a grab was kept";
    std::free(error);
}

} // namespace
