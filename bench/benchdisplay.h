#pragma once
// A connection to the X server named by DISPLAY for the benchmarks that drive
// the real program: keys through XTest, windows watched as they map.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSize>
#include <QString>
#include <QTemporaryDir>
#include <QThread>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace bench {

struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};
template <class T> using Reply = std::unique_ptr<T, FreeDeleter>;

class Display {
public:
    Display() : m_c(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(m_c))
            return;
        m_screen = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data;
        m_root = m_screen->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &mask);
        m_netName = atom("_NET_WM_NAME");
        m_utf8 = atom("UTF8_STRING");
        m_syms = xcb_key_symbols_alloc(m_c);
        xcb_flush(m_c);
    }
    ~Display() {
        if (m_syms)
            xcb_key_symbols_free(m_syms);
        xcb_disconnect(m_c);
    }
    bool ok() const { return !xcb_connection_has_error(m_c) && m_syms; }
    int depth() const { return m_screen->root_depth; }
    // The first key code that types `sym`; 0 when no key does.
    xcb_keycode_t key(xcb_keysym_t sym) const {
        std::unique_ptr<xcb_keycode_t, FreeDeleter> codes(xcb_key_symbols_get_keycode(m_syms, sym));
        return codes ? codes.get()[0] : 0;
    }
    QSize size() const { return QSize(m_screen->width_in_pixels, m_screen->height_in_pixels); }

    void tap(xcb_keycode_t code) {
        xcb_test_fake_input(m_c, XCB_KEY_PRESS, code, XCB_CURRENT_TIME, m_root, 0, 0, 0);
        xcb_test_fake_input(m_c, XCB_KEY_RELEASE, code, XCB_CURRENT_TIME, m_root, 0, 0, 0);
        xcb_flush(m_c);
    }

    // Makes `image` (the screen's size, RGB32) the root window's background.
    void setBackground(const QImage &image) {
        const xcb_pixmap_t pixmap = xcb_generate_id(m_c);
        xcb_create_pixmap(m_c, 24, pixmap, m_root, image.width(), image.height());
        const xcb_gcontext_t gc = xcb_generate_id(m_c);
        xcb_create_gc(m_c, gc, pixmap, 0, nullptr);
        const qsizetype line = image.bytesPerLine();
        const int rows =
            std::max<int>(1, int((qsizetype(xcb_get_maximum_request_length(m_c)) * 4 - 64) / line));
        for (int y = 0; y < image.height(); y += rows) {
            const int h = std::min(rows, image.height() - y);
            xcb_put_image(m_c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, image.width(), h, 0, y, 0, 24,
                          uint32_t(line * h), image.constScanLine(y));
        }
        xcb_change_window_attributes(m_c, m_root, XCB_CW_BACK_PIXMAP, &pixmap);
        xcb_clear_area(m_c, 0, m_root, 0, 0, 0, 0);
        xcb_free_gc(m_c, gc);
        xcb_free_pixmap(m_c, pixmap);
        Reply<xcb_get_input_focus_reply_t>(
            xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr));
    }

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
    // Drops the events seen so far.
    void drain() {
        while (auto *event = xcb_poll_for_event(m_c))
            std::free(event);
    }

private:
    xcb_atom_t atom(const char *name) {
        Reply<xcb_intern_atom_reply_t> r(
            xcb_intern_atom_reply(m_c, xcb_intern_atom(m_c, 0, std::strlen(name), name), nullptr));
        return r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
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
    xcb_screen_t *m_screen = nullptr;
    xcb_window_t m_root = 0;
    xcb_atom_t m_netName = 0, m_utf8 = 0;
    xcb_key_symbols_t *m_syms = nullptr;
};

// QuillCap run for a benchmark: a HOME of its own with the given settings,
// stopped when this goes.
class QuillCapUnderTest {
public:
    ~QuillCapUnderTest() {
        m_program.terminate();
        m_program.waitForFinished(10000);
    }
    QString path(const QString &name) const { return m_home.filePath(name); }
    // Settings lines, CR LF, written before the start.
    void writeSettings(const QByteArray &lines) {
        QDir().mkpath(path(QStringLiteral(".config/quillcap")));
        QFile prefs(path(QStringLiteral(".config/quillcap/qcapprf.txt")));
        if (prefs.open(QIODevice::WriteOnly))
            prefs.write(lines);
    }
    // Starts `binary` and waits for its main window and for the hot key.
    bool start(Display &display, const QString &binary) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral(".config")));
        m_program.setProcessEnvironment(env);
        m_program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_program.start(binary, {});
        if (!display.waitFor(XCB_MAP_NOTIFY, QStringLiteral("QuillCap  ("), 30000))
            return false;
        // The caption comes a few steps before the hot key is taken.
        QThread::msleep(1000);
        return true;
    }

private:
    QTemporaryDir m_home;
    QProcess m_program;
};

} // namespace bench
