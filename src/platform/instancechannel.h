#pragma once

#include "platform/instanceclient.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

namespace quillcap {

// How the running program hears from later starts of itself; binding it is
// also the single-instance lock.
class InstanceChannel {
public:
    using SendOutcome = quillcap::SendOutcome;
    enum class ListenOutcome { Listening, AlreadyRunning, Failed };
    // Gets each request line (newline stripped); true when it was taken.
    using LineHandler = std::function<bool(const QByteArray &line)>;

    virtual ~InstanceChannel() = default;
    // Sends one short line to the running program.
    virtual SendOutcome Send(const QByteArray &line) = 0;
    // Becomes the running program, unless one runs already. `error` says why
    // on Failed.
    virtual ListenOutcome Listen(LineHandler handler, QString *error) = 0;
};

// A local socket in `baseFolder`/quillcap (created for this user alone),
// named after the X `display`, taking lines only from this user's processes.
// `log` hears about refused peers.
std::unique_ptr<InstanceChannel> makeLocalInstanceChannel(const QString &baseFolder,
                                                          const QString &display,
                                                          std::function<void(const QString &)> log);

} // namespace quillcap
