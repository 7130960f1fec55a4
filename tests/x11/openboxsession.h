#pragma once

#include <QProcess>

class XProbe;

// Openbox running on the test's display for the lifetime of the object.
class OpenboxSession {
public:
    explicit OpenboxSession(XProbe &probe);
    ~OpenboxSession();
    OpenboxSession(const OpenboxSession &) = delete;
    OpenboxSession &operator=(const OpenboxSession &) = delete;

    // True once openbox owns the window manager selection.
    bool running() const { return m_running; }

private:
    XProbe &m_probe;
    QProcess m_process;
    bool m_running = false;
};
