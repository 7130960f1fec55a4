#pragma once

#include <QObject>

#include <array>
#include <csignal>

class QSocketNotifier;

namespace quillcap {

// Turns SIGTERM, SIGINT and SIGHUP into terminationRequested() on the thread
// that owns the watcher, so the program can save its settings and quit
// through the normal shutdown instead of dying mid-write.
// SIGXFSZ is ignored meanwhile. One watcher at a time; the previous handlers
// come back when it goes.
class SignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit SignalWatcher(QObject *parent = nullptr);
    ~SignalWatcher() override;

    SignalWatcher(const SignalWatcher &) = delete;
    SignalWatcher &operator=(const SignalWatcher &) = delete;

    // False when the pipe or a handler could not be set up.
    bool isActive() const { return m_active; }

signals:
    void terminationRequested(int signalNumber);

private:
    void drain();

    static constexpr std::array<int, 3> kSignals{SIGTERM, SIGINT, SIGHUP};

    QSocketNotifier *m_notifier = nullptr;
    std::array<struct sigaction, kSignals.size()> m_previous{};
    struct sigaction m_previousFileSize {};
    bool m_active = false;
};

} // namespace quillcap
