#include "platform/address_watch.h"

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace pellwick {

namespace {

// An rtnetlink socket joined to the IPv4 and IPv6 address and route groups.
class NetlinkWatch final : public AddressWatch
{
public:
    explicit NetlinkWatch(int fd)
        : m_fd(fd)
    {
    }
    ~NetlinkWatch() override { ::close(m_fd); }
    NetlinkWatch(const NetlinkWatch &) = delete;
    NetlinkWatch &operator=(const NetlinkWatch &) = delete;

    int Handle() const override { return m_fd; }

    bool Drain() override
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
                switch (header->nlmsg_type) {
                case RTM_NEWADDR:
                case RTM_DELADDR:
                case RTM_NEWROUTE:
                case RTM_DELROUTE:
                    changed = true;
                    break;
                default:
                    break;
                }
            }
        }
    }

private:
    int m_fd;
};

} // namespace

std::unique_ptr<AddressCallbacks> CallOnAddressChange(std::function<void()> changed)
{
    // Here the rtnetlink descriptor of OpenAddressWatch tells the event loop.
    (void)changed;
    return nullptr;
}

std::unique_ptr<AddressWatch> OpenAddressWatch()
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
    return std::make_unique<NetlinkWatch>(fd);
}

} // namespace pellwick
