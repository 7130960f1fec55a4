#include "platform/signalwatcher.h"

#include <QSocketNotifier>
#include <QtGlobal>

#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quillcap {

namespace {

// The handler may only touch these: [0] is read on the Qt thread, [1] is
// written from the handler.
int g_fds[2] = {-1, -1};

void OnSignal(int signalNumber) {
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // Non-blocking: when the buffer is full a request is already pending.
    [[maybe_unused]] const ssize_t written = ::write(g_fds[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

SignalWatcher::SignalWatcher(QObject *parent) : QObject(parent) {
    if (g_fds[0] != -1) {
        qWarning("SignalWatcher: another watcher is already active");
        return;
    }
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds) != 0) {
        qWarning("SignalWatcher: socketpair failed");
        return;
    }
    g_fds[0] = fds[0];
    g_fds[1] = fds[1];

    m_notifier = new QSocketNotifier(g_fds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalWatcher::drain);

    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    m_active = true;
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        if (::sigaction(kSignals[i], &action, &m_previous[i]) != 0)
            m_active = false;
    }
    // A file-size limit makes the write fail (EFBIG), told like a full disk,
    // instead of ending the program in the middle of a save.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, &m_previousFileSize);
}

SignalWatcher::~SignalWatcher() {
    if (!m_notifier)
        return;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &m_previous[i], nullptr);
    ::sigaction(SIGXFSZ, &m_previousFileSize, nullptr);
    delete m_notifier;
    ::close(g_fds[0]);
    ::close(g_fds[1]);
    g_fds[0] = g_fds[1] = -1;
}

void SignalWatcher::drain() {
    unsigned char bytes[16];
    ssize_t count;
    while ((count = ::read(g_fds[0], bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < count; ++i)
            emit terminationRequested(bytes[i]);
    }
}

} // namespace quillcap
