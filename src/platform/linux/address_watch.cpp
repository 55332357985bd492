// SPDX-License-Identifier: MIT
#include "platform/platform.h"

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <thread>

namespace pellwick {

namespace {

// An rtnetlink socket joined to the IPv4 and IPv6 address and route groups,
// read by a thread of its own that sleeps in poll() between notices.
class NetlinkWatch final : public AddressWatch
{
public:
    NetlinkWatch(int fd, std::array<int, 2> stop, std::function<void()> changed)
        : m_fd(fd)
        , m_stop(stop)
        , m_changed(std::move(changed))
        , m_thread([this] { run(); })
    {
    }
    ~NetlinkWatch() override
    {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_stop[1], &byte, 1);
        m_thread.join();
        for (const int fd : {m_fd, m_stop[0], m_stop[1]})
            ::close(fd);
    }

private:
    void run()
    {
        for (;;) {
            std::array<pollfd, 2> waits {{{m_fd, POLLIN, 0}, {m_stop[0], POLLIN, 0}}};
            if (::poll(waits.data(), waits.size(), -1) < 0 && errno != EINTR)
                return;
            if (waits[1].revents != 0)
                return;
            // One burst of notices asks for one IP step.
            if (waits[0].revents != 0 && drain())
                m_changed();
        }
    }

    // Reads every notice waiting; true when one of them was about an address
    // or a route.
    bool drain()
    {
        bool changed = false;
        alignas(nlmsghdr) std::array<char, 16384> buffer;
        for (;;) {
            const ssize_t got = ::recv(m_fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
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
            for (auto *header = reinterpret_cast<nlmsghdr *>(buffer.data());
                 NLMSG_OK(header, length); header = NLMSG_NEXT(header, length)) {
                const auto type = header->nlmsg_type;
                changed = changed || type == RTM_NEWADDR || type == RTM_DELADDR
                          || type == RTM_NEWROUTE || type == RTM_DELROUTE;
            }
        }
    }

    int m_fd;
    std::array<int, 2> m_stop;
    std::function<void()> m_changed;
    std::thread m_thread;
};

} // namespace

std::unique_ptr<AddressWatch> WatchAddresses(std::function<void()> changed)
{
    const int fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE);
    if (fd < 0)
        return nullptr;
    sockaddr_nl address {};
    address.nl_family = AF_NETLINK;
    address.nl_groups
        = RTMGRP_IPV4_IFADDR | RTMGRP_IPV4_ROUTE | RTMGRP_IPV6_IFADDR | RTMGRP_IPV6_ROUTE;
    std::array<int, 2> stop {-1, -1};
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0
        || ::pipe2(stop.data(), O_CLOEXEC) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<NetlinkWatch>(fd, stop, std::move(changed));
}

} // namespace pellwick
