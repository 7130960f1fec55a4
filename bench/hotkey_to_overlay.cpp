// Time from Print Screen to the capture overlay being mapped, on the X
// server named by DISPLAY. The main window starts minimized, so the program
// adds no settle time before it freezes the desktop.
// Usage: hotkey_to_overlay [presses]
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};
template <class T> using Reply = std::unique_ptr<T, FreeDeleter>;

class Display {
public:
    Display() : m_c(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(m_c))
            return;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &mask);
        m_netName = atom("_NET_WM_NAME");
        m_utf8 = atom("UTF8_STRING");
        xcb_key_symbols_t *syms = xcb_key_symbols_alloc(m_c);
        m_print = firstCode(syms, XK_Print);
        m_escape = firstCode(syms, XK_Escape);
        xcb_key_symbols_free(syms);
        xcb_flush(m_c);
    }
    ~Display() { xcb_disconnect(m_c); }
    bool ok() const { return !xcb_connection_has_error(m_c) && m_print && m_escape; }

    void tap(xcb_keycode_t code) {
        xcb_test_fake_input(m_c, XCB_KEY_PRESS, code, XCB_CURRENT_TIME, m_root, 0, 0, 0);
        xcb_test_fake_input(m_c, XCB_KEY_RELEASE, code, XCB_CURRENT_TIME, m_root, 0, 0, 0);
        xcb_flush(m_c);
    }
    xcb_keycode_t print() const { return m_print; }
    xcb_keycode_t escape() const { return m_escape; }

    // Waits for a map (or unmap) of a window whose title starts with `prefix`;
    // a window mapped before its title is set counts once the title comes.
    bool waitFor(uint8_t type, const QString &prefix, int timeoutMs) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            std::unique_ptr<xcb_generic_event_t, FreeDeleter> event(xcb_poll_for_event(m_c));
            if (!event) {
                QThread::usleep(100);
                continue;
            }
            const uint8_t got = event->response_type & ~0x80;
            xcb_window_t w = XCB_WINDOW_NONE;
            if (got == type && type == XCB_MAP_NOTIFY) {
                w = reinterpret_cast<xcb_map_notify_event_t *>(event.get())->window;
                const uint32_t watch = XCB_EVENT_MASK_PROPERTY_CHANGE;
                xcb_change_window_attributes(m_c, w, XCB_CW_EVENT_MASK, &watch);
                xcb_flush(m_c);
            } else if (got == type) {
                w = reinterpret_cast<xcb_unmap_notify_event_t *>(event.get())->window;
            } else if (got == XCB_PROPERTY_NOTIFY && type == XCB_MAP_NOTIFY) {
                auto *change = reinterpret_cast<xcb_property_notify_event_t *>(event.get());
                if (change->atom == m_netName)
                    w = change->window;
            }
            if (w != XCB_WINDOW_NONE && title(w).startsWith(prefix))
                return true;
        }
        return false;
    }

private:
    xcb_atom_t atom(const char *name) {
        Reply<xcb_intern_atom_reply_t> r(
            xcb_intern_atom_reply(m_c, xcb_intern_atom(m_c, 0, std::strlen(name), name), nullptr));
        return r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
    static xcb_keycode_t firstCode(xcb_key_symbols_t *syms, xcb_keysym_t sym) {
        std::unique_ptr<xcb_keycode_t, FreeDeleter> codes(xcb_key_symbols_get_keycode(syms, sym));
        return codes ? codes.get()[0] : 0;
    }
    QString title(xcb_window_t w) {
        Reply<xcb_get_property_reply_t> r(xcb_get_property_reply(
            m_c, xcb_get_property(m_c, 0, w, m_netName, m_utf8, 0, 256), nullptr));
        if (!r)
            return {};
        return QString::fromUtf8(static_cast<const char *>(xcb_get_property_value(r.get())),
                                 xcb_get_property_value_length(r.get()));
    }

    xcb_connection_t *m_c;
    xcb_window_t m_root = 0;
    xcb_atom_t m_netName = 0, m_utf8 = 0;
    xcb_keycode_t m_print = 0, m_escape = 0;
};

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int presses = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    Display display;
    if (!display.ok()) {
        std::fprintf(stderr,
                     "hotkey_to_overlay: no X display with XTest (run it through scripts/bench)\n");
        return 1;
    }
    QTemporaryDir home;
    QDir().mkpath(home.filePath(".config/quillcap"));
    QFile prefs(home.filePath(".config/quillcap/qcapprf.txt"));
    prefs.open(QIODevice::WriteOnly);
    prefs.write("STARTMINIMIZED\r\n 1 \r\n");
    prefs.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.filePath(".config"));
    QProcess program;
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(QUILLCAP_BINARY), {});
    if (!display.waitFor(XCB_MAP_NOTIFY, QStringLiteral("QuillCap  ("), 30000)) {
        std::fprintf(stderr, "hotkey_to_overlay: the main window never appeared\n");
        return 1;
    }
    // The caption comes a few steps before the hot key is taken.
    QThread::msleep(1000);
    std::vector<double> times;
    for (int i = 0; i < presses; ++i) {
        QElapsedTimer clock;
        clock.start();
        display.tap(display.print());
        if (!display.waitFor(XCB_MAP_NOTIFY, QStringLiteral("QuillCap capture"), 30000)) {
            std::fprintf(stderr, "hotkey_to_overlay: the overlay never appeared\n");
            return 1;
        }
        times.push_back(clock.nsecsElapsed() / 1e6);
        display.tap(display.escape());
        if (!display.waitFor(XCB_UNMAP_NOTIFY, QStringLiteral("QuillCap capture"), 30000)) {
            std::fprintf(stderr, "hotkey_to_overlay: the overlay never closed\n");
            return 1;
        }
        // The program waits a moment after showing the overlay; let it pass
        // so the next press is not taken for a repeat.
        QThread::msleep(700);
    }
    program.terminate();
    program.waitForFinished(10000);
    std::sort(times.begin(), times.end());
    std::printf(
        "Print Screen to mapped overlay: median %.1f ms over %d presses (min %.1f, max %.1f)\n",
        times[times.size() / 2], presses, times.front(), times.back());
    return 0;
}
