// SPDX-License-Identifier: MIT
#include "platform/single_instance.h"

#include "platform/posix/file_descriptor.h"
#include "platform/posix/xdg_autostart.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace pellwick {

namespace {

// No request or reply is larger: a setting at its limit is well below it.
constexpr std::size_t kMaxMessage = 16u << 20;

// A folder of the program's own that only this user may enter: below
// $XDG_RUNTIME_DIR when set, else the settings folder. Empty when it cannot be
// made so (another user owns it).
std::filesystem::path instanceFolder()
{
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::filesystem::path folder
        = (runtime && runtime[0] == '/' ? std::filesystem::path(runtime) : XdgConfigHome())
          / "pellwick";
    std::error_code ignored;
    std::filesystem::create_directories(folder.parent_path(), ignored);
    ::mkdir(folder.c_str(), 0700);
    struct stat status
    {
    };
    if (::lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)
        || status.st_uid != ::getuid())
        return {};
    if ((status.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0)
        return {};
    return folder;
}

bool fillAddress(sockaddr_un &address, const std::filesystem::path &socketPath)
{
    address = {};
    address.sun_family = AF_UNIX;
    const std::string &path = socketPath.native();
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

void limitWaits(int fd, int seconds)
{
    const timeval limit {seconds, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

// Everything the peer sends until it stops sending; none when it breaks off,
// says too much or keeps silent too long.
std::optional<std::string> receiveAll(int fd)
{
    std::string bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got == 0)
            return bytes;
        if (got < 0 || bytes.size() + static_cast<std::size_t>(got) > kMaxMessage)
            return std::nullopt;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

bool sendAll(int fd, const std::string &bytes)
{
    for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t put = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (put <= 0)
            return false;
        sent += static_cast<std::size_t>(put);
    }
    return ::shutdown(fd, SHUT_WR) == 0;
}

// Holds the lock file for the program's life and listens on the socket beside it.
class LocalInstance final : public SingleInstance
{
public:
    LocalInstance(int lockFd, int listenFd)
        : m_lock(lockFd)
        , m_listen(listenFd)
    {
    }

    int Handle() const override { return m_listen.get(); }

    void TakeRequest(const HandOverAnswer &answer) override
    {
        if (m_listen.get() < 0)
            return;
        const FileDescriptor peer(::accept4(m_listen.get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (peer.get() < 0)
            return;
        // A peer that says nothing in time is an ordinary start; one that
        // never reads its reply is left.
        limitWaits(peer.get(), 1);
        ucred credentials {};
        socklen_t size = sizeof credentials;
        HandOver handOver;
        if (::getsockopt(peer.get(), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0
            || credentials.uid != ::getuid()) {
            handOver.refusal = "refused a request of user " + std::to_string(credentials.uid)
                               + ": only the user who runs Pellwick may command it";
        } else if (const std::optional<std::string> bytes = receiveAll(peer.get())) {
            handOver = DecodedHandOver(*bytes).value_or(HandOver {});
        }
        HandOverReply reply = answer(handOver);
        reply.process = ::getpid();
        sendAll(peer.get(), Encoded(reply));
    }

private:
    FileDescriptor m_lock;
    FileDescriptor m_listen;
};

// Connects to the running program and hands over: its reply, or a reply
// telling that it did not answer. None when nothing listens.
std::optional<HandOverReply> handOver(const std::filesystem::path &socketPath,
                                      const HandOver &request, bool lockHeld)
{
    sockaddr_un address;
    if (!fillAddress(address, socketPath))
        return std::nullopt;
    // The first instance may be between taking the lock and listening: try a
    // few times, briefly.
    for (int attempt = 0; attempt < 20; ++attempt) {
        const FileDescriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
        if (fd.get() < 0)
            return std::nullopt;
        if (::connect(fd.get(), reinterpret_cast<const sockaddr *>(&address), sizeof address)
            == 0) {
            limitWaits(fd.get(), 20);
            const std::optional<std::string> bytes
                = sendAll(fd.get(), Encoded(request)) ? receiveAll(fd.get()) : std::nullopt;
            if (const auto reply = bytes ? DecodedReply(*bytes) : std::nullopt)
                return reply;
            return FailureReply(75, "pellwick: the running Pellwick did not answer");
        }
        if (!lockHeld)
            return std::nullopt;
        ::usleep(50 * 1000);
    }
    return std::nullopt;
}

} // namespace

InstanceClaim ClaimSingleInstance(const HandOver &request)
{
    const std::filesystem::path folder = instanceFolder();
    const int lockFd = folder.empty() ? -1
                                      : ::open((folder / "pellwick.lock").c_str(),
                                               O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lockFd < 0) // no safe place for the claim: run rather than lose the mail
        return {std::make_unique<LocalInstance>(-1, -1), std::nullopt};
    const std::filesystem::path socketPath = folder / "pellwick.socket";
    if (::flock(lockFd, LOCK_EX | LOCK_NB) != 0) {
        ::close(lockFd);
        return {nullptr, handOver(socketPath, request, true)};
    }

    // Under the lock, a socket file left by a killed instance is stale.
    ::unlink(socketPath.c_str());
    int listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_un address;
    if (listenFd >= 0
        && (!fillAddress(address, socketPath)
            || ::bind(listenFd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0
            || ::listen(listenFd, 4) != 0)) {
        ::close(listenFd);
        listenFd = -1;
    }
    return {std::make_unique<LocalInstance>(lockFd, listenFd), std::nullopt};
}

std::optional<HandOverReply> AskRunningInstance(const HandOver &request)
{
    const std::filesystem::path folder = instanceFolder();
    if (folder.empty())
        return std::nullopt;
    // The lock tells whether one runs; this start only looks.
    const FileDescriptor lock(
        ::open((folder / "pellwick.lock").c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (lock.get() < 0 || ::flock(lock.get(), LOCK_SH | LOCK_NB) == 0)
        return std::nullopt;
    return handOver(folder / "pellwick.socket", request, true);
}

} // namespace pellwick
