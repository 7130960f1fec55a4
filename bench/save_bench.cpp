// Time from Enter on the capture overlay to the saved file being complete
// (present under its final name; the program writes to a temporary file and
// renames it into place), PNG, whole 1920x1080 desktop, sound and message
// window off. Runs the real program on the X server named by DISPLAY, with a
// real screenshot as the root window's background so the encoder gets a
// realistic picture (a generated one when the screenshot is missing).
// Usage: save_bench [captures] [screenshot.png]
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
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
        m_screen = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data;
        m_root = m_screen->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &mask);
        m_netName = atom("_NET_WM_NAME");
        m_utf8 = atom("UTF8_STRING");
        xcb_key_symbols_t *syms = xcb_key_symbols_alloc(m_c);
        m_print = firstCode(syms, XK_Print);
        m_d = firstCode(syms, XK_d);
        m_return = firstCode(syms, XK_Return);
        xcb_key_symbols_free(syms);
        xcb_flush(m_c);
    }
    ~Display() { xcb_disconnect(m_c); }
    bool ok() const {
        return !xcb_connection_has_error(m_c) && m_print && m_d && m_return &&
               m_screen->root_depth == 24;
    }
    QSize size() const { return QSize(m_screen->width_in_pixels, m_screen->height_in_pixels); }

    void tap(xcb_keycode_t code) {
        xcb_test_fake_input(m_c, XCB_KEY_PRESS, code, XCB_CURRENT_TIME, m_root, 0, 0, 0);
        xcb_test_fake_input(m_c, XCB_KEY_RELEASE, code, XCB_CURRENT_TIME, m_root, 0, 0, 0);
        xcb_flush(m_c);
    }
    xcb_keycode_t print() const { return m_print; }
    xcb_keycode_t d() const { return m_d; }
    xcb_keycode_t enter() const { return m_return; }

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
    xcb_screen_t *m_screen = nullptr;
    xcb_window_t m_root = 0;
    xcb_atom_t m_netName = 0, m_utf8 = 0;
    xcb_keycode_t m_print = 0, m_d = 0, m_return = 0;
};

QImage desktopPicture(const QString &file, QSize size) {
    QImage image(file);
    if (!image.isNull())
        return image.scaled(size).convertToFormat(QImage::Format_RGB32);
    std::fprintf(stderr, "save_bench: no screenshot at %s, using a generated picture\n",
                 qPrintable(file));
    image = QImage(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = qRgb(x & 255, y & 255, (x * 7 + y * 13) & 255);
    }
    return image;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int captures = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    Display display;
    if (!display.ok()) {
        std::fprintf(stderr, "save_bench: no 24-bit X display with XTest (run it through "
                             "scripts/bench)\n");
        return 1;
    }
    display.setBackground(
        desktopPicture(argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString(), display.size()));

    QTemporaryDir home;
    const QString folder = home.filePath("shots");
    QDir().mkpath(folder);
    QDir().mkpath(home.filePath(".config/quillcap"));
    QFile prefs(home.filePath(".config/quillcap/qcapprf.txt"));
    prefs.open(QIODevice::WriteOnly);
    prefs.write("STARTMINIMIZED\r\n 1 \r\nPLAYSOUND\r\n 0 \r\nSHOWMESSAGE\r\n 0 \r\n"
                "SAVEFOLDER\r\n" +
                QFile::encodeName(folder) + "\r\n");
    prefs.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.filePath(".config"));
    QProcess program;
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(QUILLCAP_BINARY), {});
    if (!display.waitFor(XCB_MAP_NOTIFY, QStringLiteral("QuillCap  ("), 30000)) {
        std::fprintf(stderr, "save_bench: the main window never appeared\n");
        return 1;
    }
    // The caption comes a few steps before the hot key is taken.
    QThread::msleep(1000);
    std::vector<double> times;
    qint64 bytes = 0;
    for (int i = 1; i <= captures; ++i) {
        const QString file = folder + QStringLiteral("/Quillcap_%1.png").arg(i, 3, 10, QChar(u'0'));
        display.drain();
        display.tap(display.print());
        if (!display.waitFor(XCB_MAP_NOTIFY, QStringLiteral("QuillCap capture"), 30000)) {
            std::fprintf(stderr, "save_bench: the overlay never appeared\n");
            return 1;
        }
        display.tap(display.d());
        // Nothing to wait for after D: the overlay takes its keys in order.
        QElapsedTimer clock;
        clock.start();
        display.tap(display.enter());
        while (!QFileInfo::exists(file)) {
            if (clock.elapsed() > 30000) {
                std::fprintf(stderr, "save_bench: %s never appeared\n", qPrintable(file));
                return 1;
            }
            QThread::usleep(200);
        }
        times.push_back(clock.nsecsElapsed() / 1e6);
        // Checked outside the timing: the file decodes as the whole desktop.
        QImageReader reader(file);
        const QByteArray format = reader.format();
        const QImage saved = reader.read();
        if (saved.size() != display.size() || format != "png") {
            std::fprintf(stderr, "save_bench: %s is not a %dx%d PNG (%dx%d %s)\n", qPrintable(file),
                         display.size().width(), display.size().height(), saved.width(),
                         saved.height(), reader.format().constData());
            return 1;
        }
        bytes = QFileInfo(file).size();
        // The program waits a moment after a capture before it takes the hot
        // key again; let it pass so the next press is not taken for a repeat.
        QThread::msleep(700);
    }
    program.terminate();
    program.waitForFinished(10000);
    std::sort(times.begin(), times.end());
    std::printf("Enter to saved PNG (%dx%d, %lld bytes): median %.1f ms over %d captures "
                "(min %.1f, max %.1f)\n",
                display.size().width(), display.size().height(), static_cast<long long>(bytes),
                times[times.size() / 2], captures, times.front(), times.back());
    return 0;
}
