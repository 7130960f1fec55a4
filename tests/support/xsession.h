#pragma once
// Drives a real X server as a user and other programs do. Functions return
// false on failure; why() then says what was missing.
#include "files.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <poll.h>
#include <sys/prctl.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>

// The reply to an xcb request on m_c, freed when it goes; null on an error.
#define XS_REPLY(request, ...)                                                                     \
    xs::take(xcb_##request##_reply(m_c, xcb_##request(m_c __VA_OPT__(, ) __VA_ARGS__), nullptr))

namespace xs {

using namespace std::chrono_literals;
using ms = std::chrono::milliseconds;

inline constexpr ms kTimeout = 20s; // CI is a noisy 2-core machine
inline const QRegularExpression kMainCaption{QStringLiteral("QuillCap  \\(\\d[\\d,. ]* snaps\\)")};
inline const QRegularExpression kOverlay{QStringLiteral("QuillCap capture")};
inline const QRegularExpression kSplash{QStringLiteral("QuillCap splash")};

inline std::string g_why;
inline const auto why = [] { return g_why; };
inline const auto fail = [](const QString &why) { return g_why = why.toStdString(), false; };
template <class T> std::unique_ptr<T, decltype(&std::free)> take(T *p) {
    return {p, &std::free};
}

// Polls `done`, running Qt's events if there is an application.
inline bool waitFor(const std::function<bool()> &done, const QString &what, ms timeout = kTimeout,
                    ms poll = 20ms) {
    for (const QDeadlineTimer deadline(timeout); !done(); std::this_thread::sleep_for(poll)) {
        if (deadline.hasExpired())
            return fail("timed out waiting for " + what);
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
    }
    return true;
}

// Every pixel tells where it is: a shifted, cut or mixed-up copy shows.
// Whether `got` is the overlay's shading of `was`: about 44 % of each channel.
inline bool shadedFrom(QRgb got, QRgb was) {
    const auto near = [](int c, int v) { return std::abs(c - v * 0.436) <= 2; };
    return near(qRed(got), qRed(was)) && near(qGreen(got), qGreen(was)) &&
           near(qBlue(got), qBlue(was));
}

inline QRgb pattern(QPoint p) {
    return qRgb(p.x() & 255, p.y() & 255, (p.x() >> 8) | ((p.y() >> 8) << 4));
}
inline QImage pattern(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, pattern(QPoint(x, y)));
    return image;
}

// Where `image` shows `colour` inside `within` (all of it if empty); empty if nowhere.
inline QRect area(const QImage &image, QRgb colour, QRect within = {}) {
    within = within.isEmpty() ? image.rect() : within & image.rect();
    QRect found;
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x)
            if ((image.pixel(x, y) | 0xff000000) == (colour | 0xff000000))
                found |= QRect(x, y, 1, 1);
    return found;
}

// The first pixel of `image` that is not `expected`; empty if none.
inline std::string firstDifference(const QImage &image,
                                   const std::function<QRgb(QPoint)> &expected) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QRgb want = expected({x, y}); image.pixel(x, y) != want)
                return QString::asprintf("at (%d,%d): #%08x, expected #%08x", x, y,
                                         image.pixel(x, y), want)
                    .toStdString();
    return {};
}

struct Child : QProcess { // killed if it still runs when it goes
    ~Child() override { kill(), waitForFinished(); }
};

class XSession {
public:
    // An Xvfb of its own, 1920x1080x24 unless `args` say otherwise.
    static std::unique_ptr<XSession> start(const QStringList &args = {}) {
        auto server = std::make_unique<Child>();
        server->setStandardErrorFile(QProcess::nullDevice());
        // A server left by a test that crashed would pile up on CI.
        server->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        // -displayfd: a free display, so parallel tests never meet; -noreset
        // keeps the pointer put when a client leaves. A later -screen wins.
        server->start("Xvfb", QStringList{"-displayfd", "1", "-noreset", "-nolisten", "tcp",
                                          "-screen", "0", "1920x1080x24"} +
                                  args);
        server->waitForReadyRead(int(kTimeout.count()));
        auto x = attach(":" + QString::fromLatin1(server->readLine().trimmed()));
        if (x)
            x->m_server = std::move(server);
        return x;
    }
    static std::unique_ptr<XSession>
    attach(const QString &display = qEnvironmentVariable("DISPLAY")) {
        std::unique_ptr<XSession> x(new XSession);
        x->m_display = display;
        x->m_c = xcb_connect(qPrintable(display), nullptr);
        if (xcb_connection_has_error(x->m_c))
            return fail("no X server on \"" + display + '"'), nullptr;
        x->m_root = xcb_setup_roots_iterator(xcb_get_setup(x->m_c)).data->root;
        return x;
    }
    ~XSession() {
        stopOpenbox();
        xcb_disconnect(m_c);
        if (m_server) // asked politely, it removes its socket
            m_server->terminate(), m_server->waitForFinished();
    }

    QString display() const { return m_display; }
    xcb_connection_t *connection() const { return m_c; }
    xcb_window_t root() const { return m_root; }
    QSize size() { return geometry(m_root).size(); }
    // Nothing of ours leaks into other programs but PATH and sanitizer options.
    QProcessEnvironment environment() const {
        QProcessEnvironment env;
        for (const char *name : {"PATH", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
            if (qEnvironmentVariableIsSet(name))
                env.insert(name, qEnvironmentVariable(name));
        env.insert("LANG", "C.UTF-8"); // else Qt complains on stderr, which tests read
        env.insert("DISPLAY", m_display);
        return env;
    }
    std::unique_ptr<Child> spawn(const QString &program, const QStringList &args) {
        auto p = std::make_unique<Child>();
        p->setProcessEnvironment(environment());
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(program, args);
        return p;
    }
    bool run(const QString &program, const QStringList &args, QByteArray *out = nullptr) {
        const auto p = spawn(program, args);
        const bool ok =
            p->waitForFinished(int(kTimeout.count())) && p->exitStatus() == 0 && p->exitCode() == 0;
        if (out)
            *out = p->readAllStandardOutput();
        return ok || fail(program + " " + args.join(' ') + " failed");
    }

    xcb_atom_t atom(const char *name) { return XS_REPLY(intern_atom, 0, strlen(name), name)->atom; }
    void sync() { XS_REPLY(get_input_focus); } // returns once the server did all asked so far
    QByteArray property(xcb_window_t w, const char *name) {
        const auto r = XS_REPLY(get_property, 0, w, atom(name), XCB_ATOM_ANY, 0, 1 << 16);
        return r ? QByteArray(static_cast<const char *>(xcb_get_property_value(r.get())),
                              xcb_get_property_value_length(r.get()))
                 : QByteArray();
    }
    QList<xcb_window_t> children(xcb_window_t w) { // bottom first
        const auto r = XS_REPLY(query_tree, w);
        const xcb_window_t *first = r ? xcb_query_tree_children(r.get()) : nullptr;
        return QList<xcb_window_t>(first,
                                   first + (r ? xcb_query_tree_children_length(r.get()) : 0));
    }
    xcb_window_t parent(xcb_window_t w) {
        const auto r = XS_REPLY(query_tree, w);
        return r ? r->parent : 0;
    }
    xcb_window_t topLevelOf(xcb_window_t w) {
        for (xcb_window_t up = parent(w); up && up != m_root; up = parent(w))
            w = up;
        return w;
    }
    QRect geometry(xcb_window_t w) { // in root coordinates
        const auto g = XS_REPLY(get_geometry, w);
        const auto t = XS_REPLY(translate_coordinates, w, m_root, 0, 0);
        return g && t ? QRect(t->dst_x, t->dst_y, g->width, g->height) : QRect();
    }
    bool viewable(xcb_window_t w) {
        const auto r = XS_REPLY(get_window_attributes, w);
        return r && r->map_state == XCB_MAP_STATE_VIEWABLE;
    }
    QList<uint32_t> values(xcb_window_t w, const char *name) { // a property of 32-bit items
        const QByteArray v = property(w, name);
        const auto *first = reinterpret_cast<const uint32_t *>(v.constData());
        return QList<uint32_t>(first, first + v.size() / 4);
    }
    xcb_window_t activeWindow() { return values(m_root, "_NET_ACTIVE_WINDOW").value(0); }

    // Whole title; only viewable ones if `shown`.
    QList<xcb_window_t> windows(const QRegularExpression &title, bool shown = false) {
        const QRegularExpression whole(QRegularExpression::anchoredPattern(title.pattern()));
        // Maps below a window and title changes wake waitForWindow.
        const uint32_t watch = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
        QList<xcb_window_t> found, pending{m_root};
        while (!pending.isEmpty()) {
            const xcb_window_t w = pending.takeLast();
            xcb_change_window_attributes(m_c, w, XCB_CW_EVENT_MASK, &watch);
            const QByteArray name = property(w, "_NET_WM_NAME");
            if (whole.match(QString::fromUtf8(name.isEmpty() ? property(w, "WM_NAME") : name))
                    .hasMatch() &&
                (!shown || viewable(w)))
                found << w;
            pending += children(w);
        }
        return found;
    }
    xcb_window_t shown(const QRegularExpression &title) { return windows(title, true).value(0); }
    // Looks again on each event (or after 20 ms), so it also serves for timing.
    bool waitForWindow(const QRegularExpression &title, xcb_window_t *found = nullptr,
                       ms timeout = kTimeout) {
        xcb_window_t w = 0;
        for (const QDeadlineTimer deadline(timeout); !(w = shown(title));) {
            if (deadline.hasExpired())
                return fail("no window titled " + title.pattern());
            pollfd fd{xcb_get_file_descriptor(m_c), POLLIN, 0};
            if (!take(xcb_poll_for_event(m_c))) // none since the last look
                ::poll(&fd, 1, 20);
        }
        return !found || (*found = w);
    }
    bool waitForNoWindow(const QRegularExpression &title) {
        return waitFor([&] { return !shown(title); }, "no window titled " + title.pattern());
    }

    // xdotool returns once the server has the input.
    bool xdotool(const QString &args) { return run("xdotool", args.split(u' ')); }
    bool key(const QString &keys) { return xdotool("key " + keys); }
    bool type(const QString &text) { return run("xdotool", {"type", "--delay", "20", text}); }
    bool focus(xcb_window_t w) { return xdotool("windowfocus --sync " + QString::number(w)); }
    // Without --sync: it waits for a move that never comes when the pointer is there already.
    bool click(QPoint at, const QString &clicks = QStringLiteral("click 1")) {
        return xdotool(QString::asprintf("mousemove %d %d ", at.x(), at.y()) + clicks);
    }
    bool drag(QPoint from, QPoint to) { // by way of the midpoint
        const QPoint via = (from + to) / 2;
        return xdotool(QString::asprintf("mousemove %d %d mousedown 1 mousemove %d %d mousemove %d "
                                         "%d mouseup 1",
                                         from.x(), from.y(), via.x(), via.y(), to.x(), to.y()));
    }
    QByteArray clipboard(const QString &target = QStringLiteral("UTF8_STRING")) {
        QByteArray out;
        run("xclip", {"-selection", "clipboard", "-t", target, "-o"}, &out);
        return out;
    }
    void tap(xcb_keysym_t sym) { // XTest, no process start: for timing
        xcb_key_symbols_t *syms = xcb_key_symbols_alloc(m_c);
        const auto codes = take(xcb_key_symbols_get_keycode(syms, sym));
        xcb_key_symbols_free(syms);
        for (const uint8_t type : {XCB_KEY_PRESS, XCB_KEY_RELEASE})
            xcb_test_fake_input(m_c, type, codes ? *codes : 0, XCB_CURRENT_TIME, m_root, 0, 0, 0);
        xcb_flush(m_c);
    }

    void setRootPicture(const QImage &picture) { // as the root's background
        const QImage image = picture.convertToFormat(QImage::Format_RGB32);
        const xcb_pixmap_t pixmap = xcb_generate_id(m_c);
        xcb_create_pixmap(m_c, 24, pixmap, m_root, image.width(), image.height());
        const xcb_gcontext_t gc = xcb_generate_id(m_c);
        xcb_create_gc(m_c, gc, pixmap, 0, nullptr);
        // A request has a size limit: the picture goes in bands of rows.
        const int rows = int((xcb_get_maximum_request_length(m_c) * 4 - 64) / image.bytesPerLine());
        for (int y = 0; y < image.height(); y += rows) {
            const int h = std::min(rows, image.height() - y);
            xcb_put_image(m_c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, image.width(), h, 0, y, 0, 24,
                          uint32_t(image.bytesPerLine() * h), image.constScanLine(y));
        }
        xcb_change_window_attributes(m_c, m_root, XCB_CW_BACK_PIXMAP, &pixmap);
        xcb_clear_area(m_c, 0, m_root, 0, 0, 0, 0);
        xcb_free_gc(m_c, gc);
        xcb_free_pixmap(m_c, pixmap);
        sync();
    }
    QImage grabRoot() { // what the screen shows, RGB32
        const QSize size = this->size();
        const auto r = XS_REPLY(get_image, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root, 0, 0, size.width(),
                                size.height(), ~0u);
        // pixel() takes the fourth byte of a 24-bit pixel, padding, as opaque.
        return r ? QImage(xcb_get_image_data(r.get()), size.width(), size.height(),
                          QImage::Format_RGB32)
                       .copy()
                 : QImage();
    }

    QRgb pixel(QPoint p) { // one screen pixel, cheaply: for polling
        const auto r = XS_REPLY(get_image, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root, int16_t(p.x()),
                                int16_t(p.y()), 1, 1, ~0u);
        return r ? *reinterpret_cast<const QRgb *>(xcb_get_image_data(r.get())) | 0xff000000u : 0;
    }

    // True once a window manager runs: it owns WM_S0 and framed a window of
    // ours (owning the selection is not yet managing: a map sent while it
    // starts up can get lost).
    bool waitForManager(const QString &name) {
        const xcb_window_t canary = xcb_generate_id(m_c);
        xcb_create_window(m_c, XCB_COPY_FROM_PARENT, canary, m_root, 0, 0, 100, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        const auto framed = [&, s = atom("WM_S0")] {
            xcb_map_window(m_c, canary);
            return XS_REPLY(get_selection_owner, s)->owner && parent(canary) != m_root;
        };
        const bool managing = waitFor(framed, name + " to frame a window", kTimeout, 200ms);
        xcb_destroy_window(m_c, canary);
        return managing;
    }
    bool waitForNoManager() {
        return waitFor([&, s = atom("WM_S0")] { return !XS_REPLY(get_selection_owner, s)->owner; },
                       "the window manager to go");
    }
    bool startOpenbox() {
        m_openbox = spawn("openbox", {"--sm-disable"});
        return waitForManager("openbox");
    }
    void stopOpenbox() {
        if (!m_openbox)
            return;
        m_openbox.reset(); // killed; the next test must start without a manager
        waitForNoManager();
    }

private:
    XSession() = default;

    std::unique_ptr<Child> m_server, m_openbox;
    QString m_display;
    xcb_connection_t *m_c = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
};

// The one on DISPLAY, for tests a wrapper gave a server.
inline XSession &session() {
    static const std::unique_ptr<XSession> x = XSession::attach();
    if (!x)
        qFatal("%s", why().c_str());
    return *x;
}

// A private HOME with XDG_CONFIG_HOME and XDG_RUNTIME_DIR inside.
struct Home : QTemporaryDir {
    Home() {
        QDir(root()).mkdir("home");
        QDir(root()).mkdir("runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString root() const { return path(); }
    QString home() const { return root() + "/home"; }
    QString runtime() const { return root() + "/runtime"; }
    QString dataFolder() const { return home() + "/.config/quillcap"; }
    QString settingsFile() const { return dataFolder() + "/qcapprf.txt"; }
    bool writeSettings(const QStringList &lines) const {
        return writeFile(settingsFile(), (lines.join("\r\n") + "\r\n").toUtf8());
    }
    QString setting(const QString &key) const { // the line after key
        const QStringList lines = QString::fromUtf8(readFile(settingsFile())).split("\r\n");
        return lines.indexOf(key) < 0 ? QString() : lines.value(lines.indexOf(key) + 1);
    }
    QProcessEnvironment environment(const XSession &x) const {
        QProcessEnvironment env = x.environment();
        env.insert("HOME", home());
        env.insert("XDG_CONFIG_HOME", home() + "/.config");
        env.insert("XDG_RUNTIME_DIR", runtime());
        return env;
    }
};

// A copy of the program (and the modules it loads) in `folder`, all with
// `permissions`; its path, or empty.
inline QString copyProgram(const QString &folder, QFile::Permissions permissions) {
    const QString from = QFileInfo(QUILLCAP_BINARY).path();
    for (const char *file : {"quillcap", "quillcap-program.so", "quillcap-video.so"})
        if (!QFile::copy(from + '/' + file, folder + '/' + file) ||
            !QFile::setPermissions(folder + '/' + file, permissions))
            return fail(QString("cannot copy ") + file), QString();
    return folder + "/quillcap";
}

// The program, or `command` if given, its stderr in a file, killed if it still
// runs when it goes.
struct QuillCap {
    QuillCap(XSession &x, const QProcessEnvironment &env, const QStringList &command = {})
        : m_x(x) {
        const QStringList line = command.isEmpty() ? QStringList{QUILLCAP_BINARY} : command;
        m_process.setProcessEnvironment(env);
        m_process.setStandardInputFile(QProcess::nullDevice());
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.setStandardErrorFile(m_dir.filePath("stderr"));
        m_process.start(line.first(), line.mid(1));
    }
    bool waitForMainWindow(xcb_window_t *found = nullptr) {
        return m_x.waitForWindow(kMainCaption, found);
    }
    // A start in the tray: the splash shows and slides away again.
    bool waitForSplashToEnd() { return m_x.waitForWindow(kSplash) && m_x.waitForNoWindow(kSplash); }
    // Presses `keys` until the overlay shows (the key is taken a moment
    // after the main window appears) and focuses it, unless it is to take
    // the keys itself.
    bool openOverlay(const QString &keys = "Print", xcb_window_t *found = nullptr,
                     bool focus = true) {
        xcb_window_t w = XCB_WINDOW_NONE;
        for (const QDeadlineTimer deadline(kTimeout);
             !m_x.key(keys) || !m_x.waitForWindow(kOverlay, &w, 500ms);)
            if (deadline.hasExpired())
                return false;
        return (!found || (*found = w)) && (!focus || m_x.focus(w));
    }
    bool stop(int signal = SIGTERM) { // true on a normal exit with code 0
        ::kill(pid_t(m_process.processId()), signal);
        return (m_process.waitForFinished(int(kTimeout.count())) && m_process.exitStatus() == 0 &&
                m_process.exitCode() == 0) ||
               fail("no clean exit after the stop signal; stderr: " + stderrText());
    }
    bool running() {
        return !m_process.waitForFinished(0) && m_process.state() != m_process.NotRunning;
    }
    int exitCode() const { return m_process.exitCode(); }
    QByteArray stderrText() const { return readFile(m_dir.filePath("stderr")); }

    XSession &m_x;
    QTemporaryDir m_dir;
    Child m_process;
};

} // namespace xs
