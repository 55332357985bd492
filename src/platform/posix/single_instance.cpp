// SPDX-License-Identifier: MIT
#include "platform/single_instance.h"

#include "platform/posix/file_descriptor.h"
#include "platform/posix/xdg_autostart.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace pellwick {

namespace {

// $XDG_RUNTIME_DIR when set (private to the user by definition), else the
// program's own settings folder.
std::filesystem::path instanceFolder()
{
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/')
        return runtime;
    return XdgConfigHome() / "pellwick";
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

    std::optional<InstanceRequest> TakeRequest() override
    {
        if (m_listen.get() < 0)
            return std::nullopt;
        const FileDescriptor peer(::accept4(m_listen.get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (peer.get() < 0)
            return std::nullopt;
        // The later start writes one word and closes; a peer that sends nothing
        // in time is treated as an ordinary start.
        timeval limit {1, 0};
        ::setsockopt(peer.get(), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        char word[16] = {};
        const ssize_t got = ::recv(peer.get(), word, sizeof word - 1, 0);
        if (got > 0 && std::strncmp(word, "login", 5) == 0)
            return InstanceRequest::LoginRun;
        return InstanceRequest::Show;
    }

private:
    FileDescriptor m_lock;
    FileDescriptor m_listen;
};

void handOver(const std::filesystem::path &socketPath, InstanceRequest request)
{
    sockaddr_un address;
    if (!fillAddress(address, socketPath))
        return;
    // The first instance may be between taking the lock and listening: try a
    // few times, briefly. Either way this start ends without mailing.
    for (int attempt = 0; attempt < 20; ++attempt) {
        const FileDescriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
        if (fd.get() < 0)
            return;
        if (::connect(fd.get(), reinterpret_cast<const sockaddr *>(&address), sizeof address)
            == 0) {
            const char *word = request == InstanceRequest::LoginRun ? "login\n" : "show\n";
            [[maybe_unused]] const ssize_t sent
                = ::send(fd.get(), word, std::strlen(word), MSG_NOSIGNAL);
            return;
        }
        ::usleep(50 * 1000);
    }
}

} // namespace

InstanceClaim ClaimSingleInstance(InstanceRequest request)
{
    const std::filesystem::path folder = instanceFolder();
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    const std::filesystem::path lockPath = folder / "pellwick.lock";
    const std::filesystem::path socketPath = folder / "pellwick.socket";

    const int lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lockFd < 0) // no safe place for the claim: run rather than lose the mail
        return {std::make_unique<LocalInstance>(-1, -1)};
    if (::flock(lockFd, LOCK_EX | LOCK_NB) != 0) {
        ::close(lockFd);
        handOver(socketPath, request);
        return {};
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
    return {std::make_unique<LocalInstance>(lockFd, listenFd)};
}

} // namespace pellwick
