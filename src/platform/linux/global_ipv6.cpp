// SPDX-License-Identifier: MIT
#include "core/net/global_ipv6.h"
#include "platform/linux/route_netlink.h"
#include "platform/platform.h"

#include <linux/if_addr.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>

namespace pellwick {

namespace {

// The interface of the main table's IPv6 default route of lowest metric.
std::optional<std::uint32_t> defaultRouteInterface(int fd)
{
    std::optional<std::uint32_t> best;
    std::uint32_t bestMetric = 0;
    RouteNetlinkDump(fd, AF_INET6, RTM_GETROUTE, RTM_NEWROUTE, [&](const nlmsghdr &header) {
        const rtmsg &route = NetlinkBody<rtmsg>(header);
        if (route.rtm_dst_len != 0 || route.rtm_table != RT_TABLE_MAIN
            || route.rtm_type != RTN_UNICAST)
            return;
        std::optional<std::uint32_t> interfaceIndex;
        std::uint32_t metric = 0;
        ForEachNetlinkAttribute<rtmsg>(header,
                                       [&](auto type, const char *payload, std::size_t size) {
                                           if (type == RTA_OIF)
                                               interfaceIndex = NetlinkWord(payload, size);
                                           else if (type == RTA_PRIORITY)
                                               metric = NetlinkWord(payload, size);
                                       });
        if (interfaceIndex && (!best || metric < bestMetric)) {
            best = interfaceIndex;
            bestMetric = metric;
        }
    });
    return best;
}

std::vector<Ipv6Candidate> addresses(int fd)
{
    std::vector<Ipv6Candidate> found;
    RouteNetlinkDump(fd, AF_INET6, RTM_GETADDR, RTM_NEWADDR, [&](const nlmsghdr &header) {
        const ifaddrmsg &address = NetlinkBody<ifaddrmsg>(header);
        Ipv6Candidate candidate;
        candidate.interfaceIndex = address.ifa_index;
        std::uint32_t flags = address.ifa_flags;
        bool present = false;
        ForEachNetlinkAttribute<ifaddrmsg>(
            header, [&](auto type, const char *payload, std::size_t size) {
                if (type == IFA_ADDRESS && size == candidate.address.size()) {
                    std::memcpy(candidate.address.data(), payload, size);
                    present = true;
                } else if (type == IFA_FLAGS) {
                    flags = NetlinkWord(payload, size);
                } else if (type == IFA_CACHEINFO && size >= sizeof(ifa_cacheinfo)) {
                    ifa_cacheinfo times {};
                    std::memcpy(&times, payload, sizeof times);
                    candidate.deprecated = times.ifa_prefered == 0;
                }
            });
        candidate.temporary = (flags & IFA_F_TEMPORARY) != 0;
        candidate.tentative = (flags & (IFA_F_TENTATIVE | IFA_F_OPTIMISTIC)) != 0;
        candidate.duplicate = (flags & IFA_F_DADFAILED) != 0;
        candidate.deprecated = candidate.deprecated || (flags & IFA_F_DEPRECATED) != 0;
        if (present)
            found.push_back(candidate);
    });
    return found;
}

} // namespace

std::optional<std::string> GlobalIPv6()
{
    const int fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
    if (fd < 0)
        return std::nullopt;
    const std::optional<std::uint32_t> route = defaultRouteInterface(fd);
    const std::vector<Ipv6Candidate> candidates
        = route ? addresses(fd) : std::vector<Ipv6Candidate> {};
    ::close(fd);
    return ChooseGlobalIpv6(candidates, route);
}

} // namespace pellwick
