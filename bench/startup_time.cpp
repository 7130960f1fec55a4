// Time from starting QuillCap to its main window being mapped, on the X
// server named by DISPLAY; prints each run and the median.
// Usage: startup_time [runs] (the program path is built in).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <xcb/xcb.h>

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

xcb_atom_t atom(xcb_connection_t *c, const char *name) {
    Reply<xcb_intern_atom_reply_t> r(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, strlen(name), name), nullptr));
    return r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
}

QString title(xcb_connection_t *c, xcb_window_t w, xcb_atom_t netName, xcb_atom_t utf8) {
    Reply<xcb_get_property_reply_t> r(
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, netName, utf8, 0, 256), nullptr));
    if (!r || xcb_get_property_value_length(r.get()) == 0)
        return {};
    return QString::fromUtf8(static_cast<const char *>(xcb_get_property_value(r.get())),
                             xcb_get_property_value_length(r.get()));
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "startup_time: no X display (run it through scripts/bench)\n");
        return 1;
    }
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &mask);
    const xcb_atom_t netName = atom(c, "_NET_WM_NAME");
    const xcb_atom_t utf8 = atom(c, "UTF8_STRING");
    xcb_flush(c);

    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.path() + "/.config");
        QProcess program;
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer clock;
        clock.start();
        program.start(QStringLiteral(QUILLCAP_BINARY), {});
        double ms = -1;
        std::vector<xcb_window_t> mapped;
        while (ms < 0 && clock.elapsed() < 30000) {
            std::unique_ptr<xcb_generic_event_t, FreeDeleter> event(xcb_poll_for_event(c));
            if (!event) {
                if (xcb_connection_has_error(c))
                    break;
                QThread::usleep(200);
                continue;
            }
            // The window is mapped before its caption gets the snap count:
            // it counts once it is both mapped and captioned.
            const uint8_t type = event->response_type & ~0x80;
            xcb_window_t window = XCB_WINDOW_NONE;
            if (type == XCB_MAP_NOTIFY) {
                window = reinterpret_cast<xcb_map_notify_event_t *>(event.get())->window;
                const uint32_t watch = XCB_EVENT_MASK_PROPERTY_CHANGE;
                xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &watch);
                mapped.push_back(window);
            } else if (type == XCB_PROPERTY_NOTIFY) {
                auto *change = reinterpret_cast<xcb_property_notify_event_t *>(event.get());
                if (change->atom == netName &&
                    std::find(mapped.begin(), mapped.end(), change->window) != mapped.end())
                    window = change->window;
            }
            if (window != XCB_WINDOW_NONE &&
                title(c, window, netName, utf8).startsWith(QStringLiteral("QuillCap  (")))
                ms = clock.nsecsElapsed() / 1e6;
        }
        program.terminate();
        program.waitForFinished(10000);
        if (ms < 0) {
            std::fprintf(stderr, "startup_time: the main window never appeared\n");
            return 1;
        }
        std::printf("run %d: %.1f ms\n", i + 1, ms);
        times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    std::printf("start-up to mapped main window: median %.1f ms over %d runs\n",
                times[times.size() / 2], runs);
    xcb_disconnect(c);
    return 0;
}
