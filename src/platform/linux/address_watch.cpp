// SPDX-License-Identifier: MIT
#include "platform/linux/watch_thread.h"

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace pellwick {

namespace {

// Reads every notice waiting on the rtnetlink socket; true when one of them was
// about an address or a route.
bool drainNotices(int fd)
{
    bool changed = false;
    alignas(nlmsghdr) std::array<char, 16384> buffer;
    for (;;) {
        const ssize_t got = ::recv(fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
        if (got < 0) {
            // ENOBUFS: the kernel dropped notices for us; something changed.
            if (errno == ENOBUFS)
                changed = true;
            if (errno == EINTR || errno == ENOBUFS)
                continue;
            return changed;
        }
        if (got == 0)
            return changed;
        auto length = static_cast<unsigned int>(got);
        for (auto *header = reinterpret_cast<nlmsghdr *>(buffer.data()); NLMSG_OK(header, length);
             header = NLMSG_NEXT(header, length)) {
            const auto type = header->nlmsg_type;
            changed = changed || type == RTM_NEWADDR || type == RTM_DELADDR || type == RTM_NEWROUTE
                      || type == RTM_DELROUTE;
        }
    }
}

} // namespace

// An rtnetlink socket joined to the IPv4 and IPv6 address and route groups; one
// burst of notices asks for one IP step.
std::unique_ptr<Watch> WatchAddresses(std::function<void()> changed)
{
    const int fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE);
    if (fd < 0)
        return nullptr;
    sockaddr_nl address {};
    address.nl_family = AF_NETLINK;
    address.nl_groups
        = RTMGRP_IPV4_IFADDR | RTMGRP_IPV4_ROUTE | RTMGRP_IPV6_IFADDR | RTMGRP_IPV6_ROUTE;
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return nullptr;
    }
    return WatchThread::Start(fd, drainNotices, std::move(changed));
}

} // namespace pellwick
