#include "platform/instanceclient.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace quillcap {

namespace {
constexpr int kReplyWaitMs = 3000;
} // namespace

std::string InstanceFileStem(const std::string &baseFolder, const std::string &display) {
    std::string name = "x11-";
    for (const char c : display) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-';
        name += plain ? c : '_';
    }
    return baseFolder + "/quillcap/" + name;
}

int ConnectInstanceSocket(const std::string &path) {
    sockaddr_un addr{};
    if (path.size() >= sizeof addr.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.data(), path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::connect(fd, reinterpret_cast<const sockaddr *>(&addr), sizeof addr) == 0)
        return fd;
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
}

SendOutcome SendInstanceLine(const std::string &socketPath, std::string_view line) {
    const int fd = ConnectInstanceSocket(socketPath);
    if (fd < 0)
        return errno == ENOENT || errno == ECONNREFUSED ? SendOutcome::NoneRunning
                                                        : SendOutcome::Refused;
    const std::string data = std::string(line) + '\n';
    SendOutcome outcome = SendOutcome::Refused;
    if (::send(fd, data.data(), data.size(), MSG_NOSIGNAL) == ssize_t(data.size())) {
        // A program still starting answers once it runs: the line waits in
        // the socket meanwhile.
        pollfd p{fd, POLLIN, 0};
        char reply[4] = {};
        if (::poll(&p, 1, kReplyWaitMs) <= 0 ||
            (::recv(fd, reply, 3, 0) == 3 && std::memcmp(reply, "ok\n", 3) == 0))
            outcome = SendOutcome::Delivered;
    }
    ::close(fd);
    return outcome;
}

std::optional<int> ExitCodeAfterSending(SendOutcome outcome, bool exitRequest) {
    switch (outcome) {
    case SendOutcome::Delivered:
        return 0;
    case SendOutcome::Refused:
        std::fputs("quillcap: the running QuillCap refused the request\n", stderr);
        return 1;
    case SendOutcome::NoneRunning:
        break;
    }
    if (!exitRequest)
        return std::nullopt;
    std::fputs("quillcap: QuillCap is not running\n", stderr);
    return 1;
}

} // namespace quillcap
