#include "e2e_support.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <signal.h>
#include <sys/types.h>
#include <thread>

namespace e2e {

namespace {

using Clock = std::chrono::steady_clock;

QString seconds(std::chrono::milliseconds ms) {
    return QString::number(double(ms.count()) / 1000.0) + QStringLiteral(" s");
}

int msLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return int(std::max<qint64>(left.count(), 0));
}

QString describe(const QList<Window> &windows) {
    QStringList titles;
    for (const Window &w : windows)
        titles << QStringLiteral("\"%1\"").arg(w.title);
    return titles.join(QStringLiteral(", "));
}

} // namespace

testing::AssertionResult waitFor(const std::function<bool()> &condition, const QString &what,
                                 std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (true) {
        if (condition())
            return testing::AssertionSuccess();
        if (Clock::now() >= deadline)
            return testing::AssertionFailure() << "timed out after " << qPrintable(seconds(timeout))
                                               << " waiting for " << qPrintable(what);
        std::this_thread::sleep_for(50ms);
    }
}

QString quillCapBinary() {
    return QStringLiteral(QUILLCAP_BINARY);
}

QString folderOf(const QString &file) {
    return QFileInfo(file).absolutePath();
}

ToolResult runTool(const QString &program, const QStringList &args, const QProcessEnvironment &env,
                   std::chrono::milliseconds timeout) {
    ToolResult result;
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForStarted(int(timeout.count()))) {
        result.err = p.errorString().toUtf8();
        return result;
    }
    p.closeWriteChannel();
    result.finished = p.waitForFinished(int(timeout.count()));
    if (!result.finished) {
        p.kill();
        p.waitForFinished(5000);
    }
    result.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    result.out = p.readAllStandardOutput();
    result.err = p.readAllStandardError();
    return result;
}

// --- XServer -------------------------------------------------------------

XServer::XServer(const QStringList &extraArgs) {
    m_process.setStandardErrorFile(m_dir.filePath(QStringLiteral("xvfb.log")));
    // -displayfd 1: Xvfb picks a free display and writes its number to our
    // pipe once it accepts clients, so parallel tests never collide.
    QStringList args{QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                     QStringLiteral("0"), QStringLiteral("1920x1080x24"),
                     // Without it the server resets when the last client
                     // leaves and xdotool's pointer jumps.
                     QStringLiteral("-noreset"), QStringLiteral("-nolisten"),
                     QStringLiteral("tcp")};
    args += extraArgs;
    m_process.start(QStringLiteral("Xvfb"), args);
    const auto deadline = Clock::now() + kTimeout;
    QByteArray out;
    if (m_process.waitForStarted(msLeft(deadline))) {
        while (!out.contains('\n') && m_process.waitForReadyRead(msLeft(deadline)))
            out += m_process.readAllStandardOutput();
    }
    const QByteArray number = out.trimmed();
    if (!out.contains('\n') || number.isEmpty()) {
        m_error = QStringLiteral("Xvfb gave no display number: ") + m_process.errorString() +
                  QStringLiteral("\n") +
                  QString::fromLocal8Bit(readFile(m_dir.filePath(QStringLiteral("xvfb.log"))));
        return;
    }
    m_display = QStringLiteral(":") + QString::fromLatin1(number);
}

XServer::~XServer() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
}

QProcessEnvironment XServer::environment() const {
    QProcessEnvironment env;
    const QString path = qEnvironmentVariable("PATH");
    env.insert(QStringLiteral("PATH"),
               path.isEmpty() ? QStringLiteral("/usr/local/bin:/usr/bin:/bin") : path);
    // Qt complains on stderr under a non-UTF-8 locale; stderr is checked.
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("DISPLAY"), m_display);
    // Sanitizer builds need their settings to reach the program.
    for (const char *name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
        if (qEnvironmentVariableIsSet(name))
            env.insert(QString::fromLatin1(name), qEnvironmentVariable(name));
    }
    return env;
}

// --- Child ---------------------------------------------------------------

Child::Child(const QString &program, const QStringList &args, const QProcessEnvironment &env)
    : m_name(QFileInfo(program).fileName()) {
    m_process.setProcessEnvironment(env);
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.setStandardOutputFile(m_dir.filePath(QStringLiteral("stdout")));
    m_process.setStandardErrorFile(m_dir.filePath(QStringLiteral("stderr")));
    m_process.start(program, args);
    m_started = m_process.waitForStarted(int(kTimeout.count()));
    m_pid = m_process.processId();
}

Child::~Child() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(10000);
}

bool Child::running() const {
    if (m_process.state() == QProcess::NotRunning)
        return false;
    // Lets QProcess notice an exit that happened since the last look.
    const_cast<QProcess &>(m_process).waitForFinished(0);
    return m_process.state() != QProcess::NotRunning;
}

void Child::terminate(int signal) const {
    if (m_pid > 0)
        ::kill(pid_t(m_pid), signal);
}

testing::AssertionResult Child::waitForExit(std::chrono::milliseconds timeout) {
    if (!m_started)
        return testing::AssertionFailure() << qPrintable(m_name) << " never started";
    if (m_process.state() != QProcess::NotRunning &&
        !m_process.waitForFinished(int(timeout.count())))
        return testing::AssertionFailure()
               << qPrintable(m_name) << " still running after " << qPrintable(seconds(timeout))
               << "; its stderr so far:\n"
               << stderrText().toStdString();
    return testing::AssertionSuccess();
}

bool Child::exitedNormally() const {
    return m_process.exitStatus() == QProcess::NormalExit;
}

int Child::exitCode() const {
    return m_process.exitCode();
}

QByteArray Child::stdoutText() const {
    return readFile(m_dir.filePath(QStringLiteral("stdout")));
}

QByteArray Child::stderrText() const {
    return readFile(m_dir.filePath(QStringLiteral("stderr")));
}

// --- TestHome / QuillCapRun / Openbox --------------------------------------

TestHome::TestHome() {
    makeFolder(home());
    makeFolder(runtimeDir());
    QFile::setPermissions(runtimeDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QProcessEnvironment TestHome::environment(const XServer &x) const {
    QProcessEnvironment env = x.environment();
    env.insert(QStringLiteral("HOME"), home());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir());
    return env;
}

QuillCapRun::QuillCapRun(const QProcessEnvironment &env, const QString &binary,
                         const QStringList &launcher)
    : Child(launcher.isEmpty() ? binary : launcher.first(),
            launcher.isEmpty() ? QStringList{} : launcher.mid(1) + QStringList{binary}, env) {}

Openbox::Openbox(const XServer &x, const QProcessEnvironment &env)
    : m_x(x), m_child(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")}, env) {}

testing::AssertionResult Openbox::waitUntilManaging() {
    // A manager that follows the EWMH announces itself on the root window.
    return waitFor(
        [&] {
            const ToolResult r =
                runTool(QStringLiteral("xprop"),
                        {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")},
                        m_x.environment());
            return r.exitCode == 0 && r.out.contains("window id");
        },
        QStringLiteral("openbox to manage the display"));
}

// --- windows -------------------------------------------------------------

QList<Window> windowTitles(const XServer &x) {
    // One query for the whole tree; a window that vanishes meanwhile makes
    // xwininfo fail part-way, and callers poll anyway.
    const ToolResult r =
        runTool(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")},
                x.environment());
    static const QRegularExpression line(QStringLiteral("^\\s*(0x[0-9a-fA-F]+) \"(.*)\": \\("));
    QList<Window> windows;
    for (const QString &text : QString::fromUtf8(r.out).split(u'\n')) {
        const QRegularExpressionMatch m = line.match(text);
        if (m.hasMatch())
            windows.append({m.captured(1), m.captured(2)});
    }
    return windows;
}

ToolResult xdotool(const XServer &x, const QStringList &args) {
    return runTool(QStringLiteral("xdotool"), args, x.environment());
}

int windowCount(const XServer &x, const QString &pattern) {
    const QRegularExpression re(QRegularExpression::anchoredPattern(pattern));
    int count = 0;
    for (const Window &w : windowTitles(x))
        count += re.match(w.title).hasMatch() ? 1 : 0;
    return count;
}

testing::AssertionResult pressUntilWindow(const XServer &x, const QString &keys,
                                          const QString &pattern, QString *id) {
    const auto deadline = Clock::now() + kTimeout;
    for (;;) {
        xdotool(x, {QStringLiteral("key"), keys});
        auto shown = waitForWindow(x, pattern, id, 2s);
        if (shown || Clock::now() >= deadline)
            return shown;
    }
}

testing::AssertionResult waitForWindow(const XServer &x, const QString &pattern, QString *id,
                                       std::chrono::milliseconds timeout) {
    const QRegularExpression re(QRegularExpression::anchoredPattern(pattern));
    QList<Window> seen;
    testing::AssertionResult found = waitFor(
        [&] {
            seen = windowTitles(x);
            for (const Window &w : seen) {
                if (re.match(w.title).hasMatch()) {
                    if (id)
                        *id = w.id;
                    return true;
                }
            }
            return false;
        },
        QStringLiteral("a window titled /%1/").arg(pattern), timeout);
    if (!found)
        found << "; windows seen: " << qPrintable(describe(seen));
    return found;
}

testing::AssertionResult focusWindow(const XServer &x, const QString &id) {
    // A window gets its caption a moment before it is shown, and X refuses
    // the focus to a window that is not viewable.
    testing::AssertionResult viewable = waitFor(
        [&] {
            return runTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id}, x.environment())
                .out.contains("IsViewable");
        },
        QStringLiteral("window %1 to be shown").arg(id));
    if (!viewable)
        return viewable;
    const ToolResult r = xdotool(x, {QStringLiteral("windowfocus"), QStringLiteral("--sync"), id});
    if (!r.finished || r.exitCode != 0)
        return testing::AssertionFailure()
               << "could not focus window " << qPrintable(id) << ": " << r.err.toStdString();
    return testing::AssertionSuccess();
}

QRect windowGeometry(const XServer &x, const QString &id) {
    const ToolResult r =
        runTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id}, x.environment());
    if (r.exitCode != 0)
        return QRect();
    auto field = [&](const char *name) {
        const QRegularExpression re(QRegularExpression::escape(QLatin1String(name)) +
                                    QStringLiteral(":\\s*(-?\\d+)"));
        const QRegularExpressionMatch m = re.match(QString::fromUtf8(r.out));
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    };
    return QRect(field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"),
                 field("Height"));
}

namespace {

// Qt keeps unmapped helper windows with the bare application name, so only
// a mapped one is a message box.
QStringList visibleBoxes(const XServer &x) {
    const QStringList search{QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                             QStringLiteral("--name"), QStringLiteral("^QuillCap$")};
    return QString::fromLatin1(xdotool(x, search).out).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

bool hasMessageBox(const XServer &x) {
    return !visibleBoxes(x).isEmpty();
}

testing::AssertionResult answerMessageBox(const XServer &x) {
    QString box;
    testing::AssertionResult shown = waitFor(
        [&] {
            const QStringList boxes = visibleBoxes(x);
            box = boxes.value(0);
            return !box.isEmpty();
        },
        QStringLiteral("a QuillCap message box"));
    if (!shown)
        return shown << "; windows seen: " << qPrintable(describe(windowTitles(x)));
    // A box can be mapped a moment before it takes keys: press again if it
    // stays, rather than trust one key press.
    return waitFor(
        [&]() -> bool {
            if (!focusWindow(x, box))
                return !visibleBoxes(x).contains(box);
            xdotool(x, {QStringLiteral("key"), QStringLiteral("Return")});
            return waitFor([&] { return !visibleBoxes(x).contains(box); }, QString(), 3s);
        },
        QStringLiteral("the message box to close after Return"));
}

// --- files ---------------------------------------------------------------

QByteArray readFile(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool writeFile(const QString &path, const QByteArray &bytes) {
    if (!makeFolder(QFileInfo(path).absolutePath()))
        return false;
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

bool makeFolder(const QString &path) {
    return QDir().mkpath(path);
}

QByteArray crlf(const QStringList &lines) {
    QByteArray out;
    for (const QString &l : lines)
        out += l.toLatin1() + "\r\n";
    return out;
}

QMap<QString, QByteArray> snapshot(const QString &folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir base(folder);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        files.insert(base.relativeFilePath(path),
                     info.isDir() ? QByteArray("<dir>") : readFile(path));
    }
    return files;
}

const std::array<SettingsKey, 13> kSettingsKeys{{{"DEBUGLOG", 1},
                                                 {"SAVEFOLDER", 1},
                                                 {"PREFIX", 1},
                                                 {"FILETYPEINDEX", 1},
                                                 {"STARTMINIMIZED", 1},
                                                 {"SOUNDPATHS", 2},
                                                 {"SHOWMESSAGE", 1},
                                                 {"POSITION", 2},
                                                 {"PLAYSOUND", 1},
                                                 {"SHOWMOUSE", 1},
                                                 {"LASTOVERRIDENAME", 1},
                                                 {"NUMBEROFSNAPS", 1},
                                                 {"SYSTEMTRAY", 1}}};

namespace {

// Splits CR LF lines; a bare CR or LF inside a line stays in it and is
// caught by the caller.
QList<QByteArray> crlfLines(const QByteArray &file) {
    QList<QByteArray> lines = file.split('\n');
    lines.removeLast(); // after the last line end, or an unterminated tail
    for (QByteArray &l : lines)
        l.chop(l.endsWith('\r') ? 1 : 0);
    return lines;
}

} // namespace

testing::AssertionResult isWellFormedSettings(const QByteArray &file) {
    if (!file.endsWith("\r\n"))
        return testing::AssertionFailure() << "settings file does not end with CR LF";
    if (file.count("\r\n") != file.count('\n') || file.count('\r') != file.count('\n'))
        return testing::AssertionFailure() << "settings file has a line end that is not CR LF";
    const QList<QByteArray> lines = crlfLines(file);
    if (lines.size() != 28)
        return testing::AssertionFailure()
               << "settings file has " << lines.size() << " lines instead of 28:\n"
               << file.toStdString();
    qsizetype at = 0;
    for (const SettingsKey &k : kSettingsKeys) {
        if (lines[at] != k.key)
            return testing::AssertionFailure()
                   << "line " << at + 1 << " is \"" << lines[at].toStdString()
                   << "\", expected key " << k.key << ":\n"
                   << file.toStdString();
        at += 1 + k.values;
    }
    return testing::AssertionSuccess();
}

QString settingValue(const QByteArray &file, const QString &key, int n) {
    const QList<QByteArray> lines = crlfLines(file);
    // Walk key by key so a value that looks like a key is not taken for one.
    for (qsizetype at = 0; at < lines.size();) {
        const QString k = QString::fromLatin1(lines[at]);
        int values = 0;
        for (const SettingsKey &known : kSettingsKeys) {
            if (k == QLatin1String(known.key))
                values = known.values;
        }
        if (k == key)
            return n < values && at + 1 + n < lines.size() ? QString::fromLatin1(lines[at + 1 + n])
                                                           : QString();
        at += 1 + values;
    }
    return QString();
}

} // namespace e2e
