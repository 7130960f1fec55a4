#pragma once
// Drives the real program on a real X server of its own, the way a user and
// other programs see it: windows by title, keys through xdotool, files on disk.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <array>
#include <chrono>
#include <csignal>
#include <functional>

namespace e2e {

using namespace std::chrono_literals;

// CI is a noisy 2-core machine: every wait is this generous.
inline constexpr std::chrono::milliseconds kTimeout = 20s;

// Polls `condition` until it holds; on time-out names `what` in the failure.
testing::AssertionResult waitFor(const std::function<bool()> &condition, const QString &what,
                                 std::chrono::milliseconds timeout = kTimeout);

// The program under test, as built.
QString quillCapBinary();
// The folder the program sits in (where its sounds are expected).
QString folderOf(const QString &file);

struct ToolResult {
    bool finished = false;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs a short-lived helper (xdotool, xwininfo, ...) to completion.
ToolResult runTool(const QString &program, const QStringList &args, const QProcessEnvironment &env,
                   std::chrono::milliseconds timeout = kTimeout);

// An Xvfb of our own, stopped in the destructor.
class XServer {
public:
    explicit XServer(const QStringList &extraArgs = {});
    // A server someone else runs (e.g. Xorg with several monitors).
    enum class Existing { Display };
    XServer(Existing, const QString &display) : m_display(display) {}
    ~XServer();
    XServer(const XServer &) = delete;
    XServer &operator=(const XServer &) = delete;

    // Empty when the server did not come up; see startupError().
    QString display() const { return m_display; }
    QString startupError() const { return m_error; }
    // Just enough for X clients: PATH, DISPLAY, a UTF-8 locale.
    QProcessEnvironment environment() const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_display;
    QString m_error;
};

// A background process whose output goes to files, killed if still running
// when it goes out of scope.
class Child {
public:
    Child(const QString &program, const QStringList &args, const QProcessEnvironment &env);
    ~Child();
    Child(const Child &) = delete;
    Child &operator=(const Child &) = delete;

    bool started() const { return m_started; }
    qint64 pid() const { return m_pid; }
    bool running() const;
    void terminate(int signal = SIGTERM) const;
    testing::AssertionResult waitForExit(std::chrono::milliseconds timeout = kTimeout);
    // Valid after waitForExit succeeded.
    bool exitedNormally() const;
    int exitCode() const;
    QByteArray stdoutText() const;
    QByteArray stderrText() const;

private:
    QString m_name;
    QTemporaryDir m_dir;
    QProcess m_process;
    bool m_started = false;
    qint64 m_pid = 0;
};

// A private HOME with XDG_CONFIG_HOME and XDG_RUNTIME_DIR inside, kept across
// restarts of the program within one test.
class TestHome {
public:
    TestHome();
    QString root() const { return m_dir.path(); }
    QString home() const { return m_dir.path() + QStringLiteral("/home"); }
    QString configHome() const { return home() + QStringLiteral("/.config"); }
    QString runtimeDir() const { return m_dir.path() + QStringLiteral("/runtime"); }
    QString dataFolder() const { return configHome() + QStringLiteral("/quillcap"); }
    QString settingsFile() const { return dataFolder() + QStringLiteral("/qcapprf.txt"); }
    QString regionsFile() const { return dataFolder() + QStringLiteral("/lastcaps.txt"); }
    QString logFile() const { return dataFolder() + QStringLiteral("/QuillCap.log"); }
    // A clean environment for the program on `x`: no Wayland, nothing of ours.
    QProcessEnvironment environment(const XServer &x) const;

private:
    QTemporaryDir m_dir;
};

class QuillCapRun : public Child {
public:
    // `launcher` goes before the binary, e.g. setpriv to run as another user.
    explicit QuillCapRun(const QProcessEnvironment &env, const QString &binary = quillCapBinary(),
                         const QStringList &launcher = {});
};

// Openbox managing `x` until destroyed.
class Openbox {
public:
    explicit Openbox(const XServer &x, const QProcessEnvironment &env);
    testing::AssertionResult waitUntilManaging();

private:
    const XServer &m_x;
    Child m_child;
};

// --- windows -------------------------------------------------------------

struct Window {
    QString id; // as xwininfo prints it, e.g. 0x400006
    QString title;
};

// Every window of the display with a title, mapped or not, frames included.
QList<Window> windowTitles(const XServer &x);
ToolResult xdotool(const XServer &x, const QStringList &args);
// Waits for a window whose whole title matches `pattern`.
testing::AssertionResult waitForWindow(const XServer &x, const QString &pattern,
                                       QString *id = nullptr,
                                       std::chrono::milliseconds timeout = kTimeout);
// Presses `keys` until a window titled `pattern` appears: the program takes
// its global key a moment after its main window shows, so a press that comes
// too early is repeated (a press while the window is up is ignored).
testing::AssertionResult pressUntilWindow(const XServer &x, const QString &keys,
                                          const QString &pattern, QString *id = nullptr);
// The capture overlay's title.
inline const QString kOverlayTitle = QStringLiteral("QuillCap capture");
// How many windows' whole titles match `pattern`.
int windowCount(const XServer &x, const QString &pattern);
inline bool hasWindow(const XServer &x, const QString &pattern) {
    return windowCount(x, pattern) > 0;
}
// The main window's caption, set once start-up has loaded the settings.
inline const QString kMainCaption = QStringLiteral("QuillCap  \\(\\d[\\d,. ]* snaps\\)");
// Where a window is on the screen, in pixels; null if it cannot be read.
QRect windowGeometry(const XServer &x, const QString &id);
// True while one of the program's message boxes is on screen.
bool hasMessageBox(const XServer &x);
// Waits for one of the program's message boxes and presses its OK button.
testing::AssertionResult answerMessageBox(const XServer &x);
// Focuses a window and waits until it has the input focus.
testing::AssertionResult focusWindow(const XServer &x, const QString &id);

// --- files ---------------------------------------------------------------

QByteArray readFile(const QString &path);
bool writeFile(const QString &path, const QByteArray &bytes); // creates the folders
bool makeFolder(const QString &path);
// Lines joined with CR LF, the ending of the settings file.
QByteArray crlf(const QStringList &lines);
// Path -> contents of every file below `folder` (folders as "<dir>").
QMap<QString, QByteArray> snapshot(const QString &folder);

// The settings file's 13 keys in the order they are written, with the number
// of value lines each.
struct SettingsKey {
    const char *key;
    int values;
};
extern const std::array<SettingsKey, 13> kSettingsKeys;

// A file of exactly 28 CR LF lines: every key in its place, its values after.
testing::AssertionResult isWellFormedSettings(const QByteArray &file);
// The n-th value line after `key` (latin-1), or a null string if absent.
QString settingValue(const QByteArray &file, const QString &key, int n = 0);

// Lets gtest name a table row by its `name` instead of dumping its bytes.
#define E2E_PRINTS_NAME(Row)                                                                       \
    [[maybe_unused]] inline void PrintTo(const Row &row, std::ostream *os) {                       \
        *os << row.name;                                                                           \
    }

// Each test case gets an X server and a HOME of its own.
class E2eTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(x.display().isEmpty()) << qPrintable(x.startupError()); }

    XServer x;
    TestHome home;
};

} // namespace e2e
