#pragma once
// A user's desktop on a test's X server: a window manager, a panel and, for
// those that want one, a D-Bus session bus of their own. Nothing of it,
// not even what the bus started by itself, outlives it.
#include "xsession.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

#include <unistd.h>

#include <algorithm>

namespace e2e {

using namespace xs;

class Desktop {
public:
    Desktop(XSession &x, const Home &home) : m_x(x), m_home(home) {}
    ~Desktop() { stop(); }

    // A bus of dbus-run-session's, for the programs started after it; it
    // lasts until its stdin closes.
    bool startBus() {
        const QString file = m_home.root() + "/bus-address";
        m_bus = start({"dbus-run-session", "--", "sh", "-c",
                       R"(echo "$DBUS_SESSION_BUS_ADDRESS" >"$0"; exec cat)", file},
                      {}, true);
        const auto written = [&] { return (m_address = readFile(file)).endsWith('\n'); };
        return waitFor(written, "a D-Bus session") && (m_address.chop(1), true);
    }
    // Extra environment as "NAME=value".
    bool startManager(const QStringList &command, const QStringList &env = {}) {
        m_manager = start(command, env);
        return m_x.waitForManager(command.first()) || failWithOutput(command.first());
    }
    // Ready when `at` shows `colour`.
    bool startPanel(const QStringList &command, QPoint at, QRgb colour) {
        m_panel = start(command);
        const auto shown = [&] { return m_x.grabRoot().pixel(at) == colour; };
        return waitFor(shown, command.first() + " to show") || failWithOutput(command.first());
    }
    QDBusConnection bus() const { return QDBusConnection::connectToBus(m_address, m_address); }

    // True if nothing of it is left running.
    bool stop() {
        m_panel.reset(), m_manager.reset();
        if (!m_bus)
            return true;
        // What the bus started (xfconfd, kglobalaccel5) would outlive it.
        QList<pid_t> started;
        if (!m_address.isEmpty()) {
            const QDBusConnection bus = this->bus();
            for (const QString &name : bus.interface()->registeredServiceNames().value()) {
                const pid_t pid = name.startsWith(u':') ? bus.interface()->servicePid(name) : 0;
                if (pid && pid != ::getpid() && !started.contains(pid))
                    started << pid, ::kill(pid, SIGTERM);
            }
            QDBusConnection::disconnectFromBus(m_address);
        }
        m_bus->closeWriteChannel(); // ends the session, which ends the bus
        const bool ended = m_bus->waitForFinished(int(kTimeout.count()));
        m_bus.reset();
        return (ended || fail("dbus-run-session did not end")) &&
               waitFor([&] { return std::all_of(started.begin(), started.end(), gone); },
                       "the programs the bus started to end");
    }

private:
    static bool gone(pid_t pid) { // or a zombie left for init
        const QByteArray stat = readFile(QString("/proc/%1/stat").arg(pid));
        return stat.isEmpty() || stat.mid(stat.lastIndexOf(')') + 2, 1) == "Z";
    }
    QString outputFile(const QString &program) const {
        return m_home.root() + '/' + program + ".out";
    }
    std::unique_ptr<Child> start(const QStringList &command, const QStringList &env = {},
                                 bool input = false) {
        QProcessEnvironment environment = m_home.environment(m_x);
        environment.insert("NO_AT_BRIDGE", "1"); // no accessibility bus for GTK's programs
        if (!m_address.isEmpty())
            environment.insert("DBUS_SESSION_BUS_ADDRESS", m_address);
        for (const QString &pair : env)
            environment.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
        auto p = std::make_unique<Child>();
        p->setProcessEnvironment(environment);
        if (!input)
            p->setStandardInputFile(QProcess::nullDevice());
        // Into a file: what the bus starts keeps it open after the session.
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->setStandardOutputFile(outputFile(QFileInfo(command.first()).fileName()));
        p->start(command.first(), command.mid(1));
        return p;
    }
    bool failWithOutput(const QString &program) {
        return fail(QString::fromStdString(why()) + "; its output:\n" +
                    QString::fromUtf8(readFile(outputFile(program))));
    }

    XSession &m_x;
    const Home &m_home;
    std::unique_ptr<Child> m_bus, m_manager, m_panel;
    QString m_address;
};

} // namespace e2e
