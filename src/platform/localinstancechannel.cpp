// The instance channel on a Unix domain socket. The peer's user id comes from
// the kernel (SO_PEERCRED), so loose file modes let no other user in.
#include "platform/instancechannel.h"
#include "platform/instanceclient.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace quillcap {
namespace {

constexpr int kMaxLine = 64;
constexpr int kMaxPeers = 8;

class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }
    void reset(int fd = -1) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

QString Errno(const char *what) {
    return QString::fromLatin1(what) + QStringLiteral(": ") +
           QString::fromLocal8Bit(std::strerror(errno));
}

// One accepted connection until its line is read.
struct Peer {
    Fd fd;
    QByteArray buffer;
    std::unique_ptr<QSocketNotifier> notifier;
};

class LocalInstanceChannel : public InstanceChannel {
public:
    LocalInstanceChannel(const QString &baseFolder, const QString &display,
                         std::function<void(const QString &)> log)
        : m_folder(baseFolder + QStringLiteral("/quillcap")), m_log(std::move(log)) {
        const QByteArray stem = QByteArray::fromStdString(InstanceFileStem(
            QFile::encodeName(baseFolder).toStdString(), display.toLocal8Bit().toStdString()));
        m_socketPath = stem + ".sock";
        m_lockPath = stem + ".lock";
    }

    ~LocalInstanceChannel() override {
        if (m_listener.get() >= 0)
            ::unlink(m_socketPath.constData());
    }

    SendOutcome Send(const QByteArray &line) override {
        return SendInstanceLine(m_socketPath.toStdString(), line.toStdString());
    }

    ListenOutcome Listen(LineHandler handler, QString *error) override {
        if (m_socketPath.size() >= int(sizeof(sockaddr_un{}.sun_path)))
            return Fail(error, QStringLiteral("socket path too long"));
        const QByteArray folder = QFile::encodeName(m_folder);
        struct stat st {};
        if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST)
            return Fail(error, Errno("mkdir"));
        if (::lstat(folder.constData(), &st) != 0 || !S_ISDIR(st.st_mode) ||
            st.st_uid != ::getuid())
            return Fail(error, m_folder + QStringLiteral(" is not this user's folder"));
        // Under the lock, a start that finds no one listening may replace a
        // crashed run's socket: no second start unlinks the fresh one.
        Fd lock(::open(m_lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
        if (lock.get() < 0 || ::flock(lock.get(), LOCK_EX) != 0)
            return Fail(error, Errno("lock"));
        if (const Fd probe(ConnectInstanceSocket(m_socketPath.toStdString())); probe.get() >= 0)
            return ListenOutcome::AlreadyRunning;
        ::unlink(m_socketPath.constData());
        Fd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
        const sockaddr_un addr = Address();
        if (fd.get() < 0 ||
            ::bind(fd.get(), reinterpret_cast<const sockaddr *>(&addr), sizeof addr) != 0 ||
            ::listen(fd.get(), 16) != 0)
            return Fail(error, Errno("listen"));
        m_listener.reset(fd.release());
        m_handler = std::move(handler);
        m_notifier = std::make_unique<QSocketNotifier>(m_listener.get(), QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { Accept(); });
        return ListenOutcome::Listening;
    }

private:
    static ListenOutcome Fail(QString *error, const QString &why) {
        if (error)
            *error = why;
        return ListenOutcome::Failed;
    }

    sockaddr_un Address() const {
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::memcpy(addr.sun_path, m_socketPath.constData(), size_t(m_socketPath.size()));
        return addr;
    }

    void Accept() {
        Fd fd(::accept4(m_listener.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (fd.get() < 0)
            return;
        ucred cred{};
        socklen_t length = sizeof cred;
        if (::getsockopt(fd.get(), SOL_SOCKET, SO_PEERCRED, &cred, &length) != 0 ||
            cred.uid != ::getuid()) {
            m_log(QStringLiteral("Refused a request from user id ") + QString::number(cred.uid));
            return;
        }
        if (m_peers.size() >= kMaxPeers)
            return;
        auto peer = std::make_unique<Peer>();
        peer->fd.reset(fd.release());
        peer->notifier = std::make_unique<QSocketNotifier>(peer->fd.get(), QSocketNotifier::Read);
        Peer *raw = peer.get();
        QObject::connect(peer->notifier.get(), &QSocketNotifier::activated,
                         [this, raw] { Read(raw); });
        m_peers.push_back(std::move(peer));
    }

    void Read(Peer *peer) {
        char chunk[kMaxLine];
        const ssize_t n = ::recv(peer->fd.get(), chunk, sizeof chunk, 0);
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        if (n > 0)
            peer->buffer.append(chunk, n);
        const qsizetype end = peer->buffer.indexOf('\n');
        if (end >= 0) {
            const QByteArray line = peer->buffer.left(end);
            if (m_handler(line))
                ::send(peer->fd.get(), "ok\n", 3, MSG_NOSIGNAL);
        } else if (n > 0 && peer->buffer.size() <= kMaxLine) {
            return;
        } else if (!peer->buffer.isEmpty()) {
            m_handler(peer->buffer.left(kMaxLine));
        }
        // The notifier goes later: this runs inside its signal.
        peer->notifier->setEnabled(false);
        peer->notifier.release()->deleteLater();
        std::erase_if(m_peers, [peer](const auto &p) { return p.get() == peer; });
    }

    QString m_folder;
    QByteArray m_socketPath, m_lockPath;
    std::function<void(const QString &)> m_log;
    Fd m_listener;
    LineHandler m_handler;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::vector<std::unique_ptr<Peer>> m_peers;
};

} // namespace

std::unique_ptr<InstanceChannel>
makeLocalInstanceChannel(const QString &baseFolder, const QString &display,
                         std::function<void(const QString &)> log) {
    return std::make_unique<LocalInstanceChannel>(baseFolder, display, std::move(log));
}

} // namespace quillcap
