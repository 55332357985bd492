// SPDX-License-Identifier: MIT
// The service manager's two channels, spoken by hand: one datagram per state
// to $NOTIFY_SOCKET, and the journal's stream named by $JOURNAL_STREAM.
#include "platform/platform.h"

#include "platform/posix/file_descriptor.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace pellwick {

namespace {

// The stream is the one the journal reads: $JOURNAL_STREAM is its
// "device:inode", which a stream redirected since no longer matches.
bool journalReads(int fd)
{
    const char *named = std::getenv("JOURNAL_STREAM");
    unsigned long long device = 0, inode = 0;
    struct stat status
    {
    };
    return named && std::sscanf(named, "%llu:%llu", &device, &inode) == 2
           && ::fstat(fd, &status) == 0 && status.st_dev == device && status.st_ino == inode;
}

} // namespace

void NotifyServiceManager(std::string_view state)
{
    const char *socketName = std::getenv("NOTIFY_SOCKET");
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    // A path, or an abstract name written with '@' for its leading NUL.
    const std::size_t length = socketName ? std::strlen(socketName) : 0;
    if (length == 0 || length >= sizeof address.sun_path
        || (socketName[0] != '/' && socketName[0] != '@'))
        return;
    std::memcpy(address.sun_path, socketName, length);
    if (socketName[0] == '@')
        address.sun_path[0] = '\0';
    const FileDescriptor fd(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (fd.get() < 0)
        return;
    // Nobody to tell about a lost datagram: the service manager then waits on.
    [[maybe_unused]] const ssize_t sent
        = ::sendto(fd.get(), state.data(), state.size(), MSG_NOSIGNAL,
                   reinterpret_cast<const sockaddr *>(&address),
                   static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + length));
}

MessageLines PlatformMessageLines()
{
    return {.outToJournal = journalReads(STDOUT_FILENO),
            .errToJournal = journalReads(STDERR_FILENO)};
}

} // namespace pellwick
