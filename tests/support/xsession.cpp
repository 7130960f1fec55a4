#include "xsession.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDirIterator>

#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <poll.h>
#include <sys/prctl.h>

#include <thread>

namespace xs {

namespace {
std::string g_why;
} // namespace

std::string why() {
    return g_why;
}

bool fail(const QString &why) {
    g_why = why.toStdString();
    return false;
}

bool waitFor(const std::function<bool()> &done, const QString &what, ms timeout, ms poll) {
    for (const QDeadlineTimer deadline(timeout); !done(); std::this_thread::sleep_for(poll)) {
        if (deadline.hasExpired())
            return fail(
                QString::asprintf("timed out after %g s waiting for ", timeout.count() / 1e3) +
                what);
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents, int(poll.count()));
    }
    return true;
}

QByteArray readFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    return QDir().mkpath(QFileInfo(path).path()) && f.open(QIODevice::WriteOnly) &&
           f.write(bytes) == bytes.size();
}

QMap<QString, QByteArray> tree(const QString &folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[QDir(folder).relativeFilePath(path)] =
            it.fileInfo().isDir() ? "<dir>" : readFile(path);
    }
    return files;
}

QRgb pattern(QPoint p) {
    return qRgb(p.x() & 255, p.y() & 255, (p.x() >> 8) | ((p.y() >> 8) << 4));
}

QImage pattern(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, pattern(QPoint(x, y)));
    return image;
}

std::string firstDifference(const QImage &image, const std::function<QRgb(QPoint)> &expected) {
    if (image.format() != QImage::Format_RGB32)
        return "format " + std::to_string(image.format()) + ", not RGB32";
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QRgb want = expected({x, y}); image.pixel(x, y) != want)
                return QString::asprintf("at (%d,%d): #%08x, expected #%08x", x, y,
                                         image.pixel(x, y), want)
                    .toStdString();
    return {};
}

// --- the server and the connection ---------------------------------------------

std::unique_ptr<XSession> XSession::start(const QStringList &args) {
    std::unique_ptr<XSession> x(new XSession);
    Child &server = *(x->m_server = std::make_unique<Child>());
    server.setStandardErrorFile(x->m_dir.filePath("server.log"));
    // A server outliving a test that crashed would pile up on CI.
    server.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    // -displayfd: a free display, its number written once it takes clients,
    // so parallel tests never meet. Without -noreset the server resets when
    // its last client leaves, and the pointer jumps.
    const QStringList screen{"-screen", "0", "1920x1080x24"};
    server.start("Xvfb", QStringList{"-displayfd", "1", "-noreset", "-nolisten", "tcp"} +
                             (args.contains("-screen") ? args : screen + args));
    QByteArray out;
    for (const QDeadlineTimer deadline(kTimeout); !out.contains('\n');
         out += server.readAllStandardOutput()) {
        if (!server.waitForReadyRead(int(deadline.remainingTime())))
            return fail("Xvfb did not start: " + readFile(x->m_dir.filePath("server.log"))),
                   nullptr;
    }
    x->m_display = ":" + out.trimmed();
    return x->connect() ? std::move(x) : nullptr;
}

std::unique_ptr<XSession> XSession::attach() {
    std::unique_ptr<XSession> x(new XSession);
    x->m_display = qEnvironmentVariable("DISPLAY");
    return x->connect() ? std::move(x) : nullptr;
}

bool XSession::connect() {
    m_c = xcb_connect(qPrintable(m_display), nullptr);
    if (xcb_connection_has_error(m_c))
        return fail("no X server on " + m_display);
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
    return true;
}

XSession::~XSession() {
    stopOpenbox();
    xcb_disconnect(m_c);
    if (m_server) // asked politely, it removes its socket
        m_server->terminate(), m_server->waitForFinished();
}

QProcessEnvironment XSession::environment() const {
    QProcessEnvironment env;
    env.insert("PATH", qEnvironmentVariable("PATH", "/usr/bin:/bin"));
    // Qt complains on stderr under a non-UTF-8 locale, and stderr is checked.
    env.insert("LANG", "C.UTF-8");
    env.insert("DISPLAY", m_display);
    for (const char *name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
        if (qEnvironmentVariableIsSet(name))
            env.insert(name, qEnvironmentVariable(name));
    return env;
}

int XSession::run(const QString &program, const QStringList &args, QByteArray *out) {
    Child p;
    p.setProcessEnvironment(environment());
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, args);
    const bool finished = p.waitForFinished(int(kTimeout.count()));
    if (out)
        *out = p.readAllStandardOutput();
    const int code = finished && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    if (code != 0)
        fail(program + " " + args.join(' ') + ": exit " + QString::number(code));
    return code;
}

std::unique_ptr<Child> XSession::spawn(const QString &program, const QStringList &args) {
    auto p = std::make_unique<Child>();
    p->setProcessEnvironment(environment());
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->setStandardOutputFile(QProcess::nullDevice());
    p->start(program, args);
    return p;
}

// --- windows -------------------------------------------------------------------

QByteArray XSession::property(xcb_window_t w, const char *name, xcb_atom_t type) {
    const auto r = XS_REPLY(get_property, 0, w, atom(name), type, 0, 1 << 16);
    return r ? QByteArray(static_cast<const char *>(xcb_get_property_value(r.get())),
                          xcb_get_property_value_length(r.get()))
             : QByteArray();
}

QList<xcb_window_t> XSession::children(xcb_window_t w) {
    const auto r = XS_REPLY(query_tree, w);
    const xcb_window_t *first = r ? xcb_query_tree_children(r.get()) : nullptr;
    return QList<xcb_window_t>(first, first + (r ? xcb_query_tree_children_length(r.get()) : 0));
}

xcb_window_t XSession::topLevelOf(xcb_window_t w) {
    for (xcb_window_t up = parent(w); up && up != m_root; up = parent(w))
        w = up;
    return w;
}

QRect XSession::geometry(xcb_window_t w) {
    const auto g = XS_REPLY(get_geometry, w);
    const auto t = XS_REPLY(translate_coordinates, w, m_root, 0, 0);
    return g && t ? QRect(t->dst_x, t->dst_y, g->width, g->height) : QRect();
}

QString XSession::title(xcb_window_t w) {
    const QByteArray name = property(w, "_NET_WM_NAME");
    return QString::fromUtf8(name.isEmpty() ? property(w, "WM_NAME") : name);
}

QList<xcb_window_t> XSession::windows(const QRegularExpression &title) {
    const QRegularExpression whole(QRegularExpression::anchoredPattern(title.pattern()));
    // Maps below a window and title changes wake waitForWindow.
    const uint32_t watch = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    QList<xcb_window_t> found, pending{m_root};
    while (!pending.isEmpty()) {
        const xcb_window_t w = pending.takeLast();
        xcb_change_window_attributes(m_c, w, XCB_CW_EVENT_MASK, &watch);
        if (w != m_root && whole.match(this->title(w)).hasMatch())
            found << w;
        pending += children(w);
    }
    return found;
}

bool XSession::waitForWindow(const QRegularExpression &title, xcb_window_t *found, ms timeout) {
    for (const QDeadlineTimer deadline(timeout);;) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_c))
            std::free(event);
        for (const xcb_window_t w : windows(title))
            if (viewable(w))
                return !found || (*found = w);
        if (deadline.hasExpired()) {
            QStringList seen;
            for (const xcb_window_t w : windows(QRegularExpression(".+")))
                seen << '"' + this->title(w) + (viewable(w) ? "\"" : "\" (hidden)");
            return fail("no window titled /" + title.pattern() + "/; windows: " + seen.join(", "));
        }
        // Events that came with the replies are queued already: no need to wait.
        if (const auto event = take(xcb_poll_for_queued_event(m_c)))
            continue;
        pollfd fd{xcb_get_file_descriptor(m_c), POLLIN, 0};
        ::poll(&fd, 1, 20);
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
    }
}

bool XSession::waitForNoWindow(const QRegularExpression &title) {
    const auto gone = [&] {
        const QList<xcb_window_t> all = windows(title);
        return std::none_of(all.begin(), all.end(), [&](xcb_window_t w) { return viewable(w); });
    };
    return waitFor(gone, "no window titled /" + title.pattern() + "/");
}

bool XSession::focus(xcb_window_t w) {
    // X refuses the focus to a window that is not viewable yet.
    if (!waitFor([&] { return viewable(w); }, "the window to focus to show"))
        return false;
    xcb_set_input_focus(m_c, XCB_INPUT_FOCUS_PARENT, w, XCB_CURRENT_TIME);
    const auto r = XS_REPLY(get_input_focus);
    return (r && r->focus == w) || fail("the window did not take the focus");
}

// --- input, pixels, clipboard, window manager ----------------------------------------

bool XSession::drag(QPoint from, QPoint to, int button) {
    const QPoint via = (from + to) / 2;
    return xdotool(QString::asprintf("mousemove %d %d mousedown %d mousemove %d %d mousemove %d %d "
                                     "mouseup %d",
                                     from.x(), from.y(), button, via.x(), via.y(), to.x(), to.y(),
                                     button));
}

void XSession::tap(xcb_keysym_t sym) {
    xcb_key_symbols_t *syms = xcb_key_symbols_alloc(m_c);
    const auto codes = take(xcb_key_symbols_get_keycode(syms, sym));
    xcb_key_symbols_free(syms);
    for (const uint8_t type : {XCB_KEY_PRESS, XCB_KEY_RELEASE})
        xcb_test_fake_input(m_c, type, codes ? *codes : 0, XCB_CURRENT_TIME, m_root, 0, 0, 0);
    xcb_flush(m_c);
}

void XSession::setRootPicture(const QImage &picture) {
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

QImage XSession::grabRoot() {
    const QSize size = this->size();
    const auto r = XS_REPLY(get_image, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root, 0, 0, size.width(),
                            size.height(), ~0u);
    if (!r || xcb_get_image_data_length(r.get()) != size.width() * size.height() * 4)
        return {};
    // The fourth byte of a 24-bit pixel is padding; RGB32 wants it opaque.
    return QImage(xcb_get_image_data(r.get()), size.width(), size.height(), QImage::Format_RGB32)
        .convertToFormat(QImage::Format_RGB888)
        .convertToFormat(QImage::Format_RGB32);
}

QByteArray XSession::clipboard(const QString &target) {
    QByteArray out;
    run("xclip", {"-selection", "clipboard", "-t", target, "-o"}, &out);
    return out;
}

bool XSession::startOpenbox() {
    m_openbox = spawn("openbox", {"--sm-disable"});
    // Owning the manager's selection is not yet managing: a map sent while it
    // starts up can get lost. Ready means a window of ours got framed.
    const xcb_window_t canary = xcb_generate_id(m_c);
    xcb_create_window(m_c, XCB_COPY_FROM_PARENT, canary, m_root, 0, 0, 100, 100, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    const auto framed = [&] { return xcb_map_window(m_c, canary), parent(canary) != m_root; };
    const bool managing = waitFor(framed, "openbox to frame a window", kTimeout, 200ms);
    xcb_destroy_window(m_c, canary);
    return managing;
}

void XSession::stopOpenbox() {
    if (!m_openbox)
        return;
    m_openbox.reset(); // killed
    // The next test must start without a manager.
    const xcb_atom_t selection = atom("WM_S0");
    waitFor([&] { return !XS_REPLY(get_selection_owner, selection)->owner; }, "openbox gone");
}

XSession &session() {
    static const std::unique_ptr<XSession> x = XSession::attach();
    if (!x)
        qFatal("%s", why().c_str());
    return *x;
}

// --- the program -------------------------------------------------------------

Home::Home() {
    QDir().mkpath(home());
    QDir().mkpath(runtime());
    QFile::setPermissions(runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

bool Home::writeSettings(const QStringList &lines) const {
    return writeFile(settingsFile(), (lines.join("\r\n") + "\r\n").toUtf8());
}

QString Home::setting(const QString &key, int n) const {
    const QStringList lines = QString::fromUtf8(readFile(settingsFile())).split("\r\n");
    return lines.contains(key) ? lines.value(lines.indexOf(key) + 1 + n) : QString();
}

QProcessEnvironment Home::environment(const XSession &x) const {
    QProcessEnvironment env = x.environment();
    env.insert("HOME", home());
    env.insert("XDG_CONFIG_HOME", home() + "/.config");
    env.insert("XDG_RUNTIME_DIR", runtime());
    return env;
}

QuillCap::QuillCap(XSession &x, const QProcessEnvironment &env, const QStringList &command)
    : m_x(x) {
    const QStringList line = command.isEmpty() ? QStringList{QUILLCAP_BINARY} : command;
    m_process.setProcessEnvironment(env);
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(m_dir.filePath("stderr"));
    m_process.start(line.first(), line.mid(1));
}

bool QuillCap::waitForMainWindow(xcb_window_t *found) {
    return m_x.waitForWindow(kMainCaption, found) ||
           fail(QString::fromStdString(why()) + "; stderr: " + stderrText());
}

bool QuillCap::openOverlay(const QString &keys, xcb_window_t *found) {
    xcb_window_t w = XCB_WINDOW_NONE;
    for (const QDeadlineTimer deadline(kTimeout);
         !m_x.key(keys) || !m_x.waitForWindow(kOverlay, &w, 500ms);)
        if (deadline.hasExpired())
            return false;
    return (!found || (*found = w)) && m_x.focus(w);
}

xcb_window_t QuillCap::messageBox() {
    // Qt keeps unmapped helper windows with the bare name: a shown one is a box.
    const QList<xcb_window_t> named = m_x.windows(QRegularExpression("QuillCap"));
    const auto box =
        std::find_if(named.begin(), named.end(), [&](auto w) { return m_x.viewable(w); });
    return box == named.end() ? 0 : *box;
}

bool QuillCap::answerMessageBox() {
    xcb_window_t box = XCB_WINDOW_NONE;
    // A box can be shown a moment before it takes keys: press while it stays.
    const auto closed = [&] {
        if (m_x.viewable(box) && m_x.focus(box))
            m_x.key("Return");
        return waitFor([&] { return !m_x.viewable(box); }, {}, 3s);
    };
    return waitFor([&] { return (box = messageBox()); }, "a message box") &&
           waitFor(closed, "the message box to close after Return");
}

bool QuillCap::stop(int signal) {
    ::kill(pid_t(m_process.processId()), signal);
    if (!m_process.waitForFinished(int(kTimeout.count())))
        return fail("the program still runs after a stop signal");
    return (m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0) ||
           fail("exit code " + QString::number(m_process.exitCode()) + "; stderr: " + stderrText());
}

} // namespace xs
