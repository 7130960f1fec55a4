#pragma once
// Drives a real X server the way a user and other programs see it: windows
// by title on a connection of our own, input through xdotool or XTest, pixels
// read back from the root, the program run in a HOME of its own. Functions
// report failure by returning false; why() then says what was missing.
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

// The reply to an xcb request on m_c, freed when it goes; null on an error.
#define XS_REPLY(request, ...)                                                                     \
    xs::take(xcb_##request##_reply(m_c, xcb_##request(m_c __VA_OPT__(, ) __VA_ARGS__), nullptr))

namespace xs {

using namespace std::chrono_literals;
using ms = std::chrono::milliseconds;

// CI is a noisy 2-core machine: every wait is this generous.
inline constexpr ms kTimeout = 20s;
inline const QRegularExpression kMainCaption{QStringLiteral("QuillCap  \\(\\d[\\d,. ]* snaps\\)")};
inline const QRegularExpression kOverlay{QStringLiteral("QuillCap capture")};

std::string why();
bool fail(const QString &why); // false, remembering why
template <class T> std::unique_ptr<T, decltype(&std::free)> take(T *p) {
    return {p, &std::free};
}
// Polls `done`, running Qt's events if there is an application.
bool waitFor(const std::function<bool()> &done, const QString &what, ms timeout = kTimeout,
             ms poll = 20ms);
QByteArray readFile(const QString &path);
bool writeFile(const QString &path, const QByteArray &bytes); // makes the folders
QMap<QString, QByteArray> tree(const QString &folder);        // relative path -> bytes or "<dir>"

// A picture whose every pixel tells where it is: a shifted, cut or mixed-up
// copy shows as a wrong colour at a known place.
QRgb pattern(QPoint p);
QImage pattern(QSize size);
// The first pixel of an RGB32 image that is not `expected`; empty if none.
std::string firstDifference(const QImage &image, const std::function<QRgb(QPoint)> &expected);

struct Child : QProcess { // killed if it still runs when it goes
    ~Child() override { kill(), waitForFinished(); }
};

class XSession {
public:
    // An Xvfb of its own, 1920x1080x24 unless `args` say otherwise.
    static std::unique_ptr<XSession> start(const QStringList &args = {});
    static std::unique_ptr<XSession> attach(); // the server on DISPLAY
    ~XSession();

    QString display() const { return m_display; }
    xcb_connection_t *connection() const { return m_c; }
    xcb_window_t root() const { return m_root; }
    QSize size() { return geometry(m_root).size(); }
    QProcessEnvironment environment() const; // PATH, UTF-8, DISPLAY, sanitizers
    int run(const QString &program, const QStringList &args, QByteArray *out = nullptr);
    std::unique_ptr<Child> spawn(const QString &program, const QStringList &args);

    xcb_atom_t atom(const char *name) { return XS_REPLY(intern_atom, 0, strlen(name), name)->atom; }
    bool hasExtension(const char *name) {
        return XS_REPLY(query_extension, strlen(name), name)->present;
    }
    void sync() { XS_REPLY(get_input_focus); } // returns once the server did all asked so far
    QByteArray property(xcb_window_t w, const char *name, xcb_atom_t type = XCB_ATOM_ANY);
    QList<xcb_window_t> children(xcb_window_t w); // bottom first
    xcb_window_t parent(xcb_window_t w) {
        const auto r = XS_REPLY(query_tree, w);
        return r ? r->parent : 0;
    }
    xcb_window_t topLevelOf(xcb_window_t w);
    QRect geometry(xcb_window_t w); // in root coordinates
    bool viewable(xcb_window_t w) {
        const auto r = XS_REPLY(get_window_attributes, w);
        return r && r->map_state == XCB_MAP_STATE_VIEWABLE;
    }
    xcb_window_t activeWindow() {
        const QByteArray v = property(m_root, "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW);
        return v.size() == 4 ? *reinterpret_cast<const xcb_window_t *>(v.data()) : 0;
    }
    QString title(xcb_window_t w);
    QList<xcb_window_t> windows(const QRegularExpression &title); // whole title, mapped or not
    // A viewable one; woken by maps and title changes, for timing too.
    bool waitForWindow(const QRegularExpression &title, xcb_window_t *found = nullptr,
                       ms timeout = kTimeout);
    bool waitForNoWindow(const QRegularExpression &title);
    bool focus(xcb_window_t w);

    // xdotool returns once the server has the input.
    bool xdotool(const QString &args) { return run("xdotool", args.split(u' ')) == 0; }
    bool key(const QString &keys) { return xdotool("key " + keys); }
    bool type(const QString &text) { return run("xdotool", {"type", "--delay", "20", text}) == 0; }
    bool drag(QPoint from, QPoint to, int button = 1);
    void tap(xcb_keysym_t sym); // XTest, no process start: for timing

    void setRootPicture(const QImage &image); // the root's background
    QImage grabRoot();                        // what the screen shows, RGB32
    QByteArray clipboard(const QString &target = QStringLiteral("UTF8_STRING"));
    bool startOpenbox(); // true once it frames windows
    void stopOpenbox();

private:
    XSession() = default;
    bool connect();

    std::unique_ptr<Child> m_server, m_openbox;
    QTemporaryDir m_dir;
    QString m_display;
    xcb_connection_t *m_c = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
};

XSession &session(); // the one on DISPLAY, for tests a wrapper gave a server

// A private HOME with XDG_CONFIG_HOME and XDG_RUNTIME_DIR inside.
class Home {
public:
    Home();
    QString root() const { return m_dir.path(); }
    QString home() const { return root() + "/home"; }
    QString runtime() const { return root() + "/runtime"; }
    QString dataFolder() const { return home() + "/.config/quillcap"; }
    QString settingsFile() const { return dataFolder() + "/qcapprf.txt"; }
    bool writeSettings(const QStringList &lines) const;   // CR LF
    QString setting(const QString &key, int n = 0) const; // the n-th value line after key
    QProcessEnvironment environment(const XSession &x) const;

private:
    QTemporaryDir m_dir;
};

// The program, its output in files, killed if it still runs when it goes.
class QuillCap {
public:
    // `command` empty: the built program.
    QuillCap(XSession &x, const QProcessEnvironment &env, const QStringList &command = {});
    bool waitForMainWindow(xcb_window_t *found = nullptr);
    // Presses `keys` until the overlay shows (the key is taken a moment
    // after the main window appears) and focuses it.
    bool openOverlay(const QString &keys = "Print", xcb_window_t *found = nullptr);
    bool messageBoxShown() { return messageBox() != XCB_WINDOW_NONE; }
    bool answerMessageBox();         // Return until it is gone
    bool stop(int signal = SIGTERM); // true on a normal exit with code 0
    bool running() {
        return !m_process.waitForFinished(0) && m_process.state() != m_process.NotRunning;
    }
    int exitCode() const { return m_process.exitCode(); }
    QByteArray stderrText() const { return readFile(m_dir.filePath("stderr")); }

private:
    xcb_window_t messageBox();

    XSession &m_x;
    QTemporaryDir m_dir;
    Child m_process;
};

} // namespace xs
