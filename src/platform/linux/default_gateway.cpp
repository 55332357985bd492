// SPDX-License-Identifier: MIT
#include "platform/platform.h"

#include "platform/linux/route_netlink.h"
#include "platform/posix/file_descriptor.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <climits>

namespace pellwick {

Ipv4 DefaultGateway()
{
    // The main table's IPv4 default routes (no destination bits), compared by
    // their metric.
    const FileDescriptor link(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE));
    Ipv4 best = 0;
    std::uint32_t bestMetric = UINT32_MAX;
    if (link.get() < 0)
        return best;
    RouteNetlinkDump(link.get(), AF_INET, RTM_GETROUTE, RTM_NEWROUTE, [&](const nlmsghdr &header) {
        const rtmsg &route = NetlinkBody<rtmsg>(header);
        if (route.rtm_dst_len != 0 || route.rtm_table != RT_TABLE_MAIN)
            return;
        Ipv4 gateway = 0;
        std::uint32_t metric = 0;
        ForEachNetlinkAttribute<rtmsg>(header,
                                       [&](auto type, const char *payload, std::size_t size) {
                                           if (type == RTA_GATEWAY && size == 4)
                                               gateway = ntohl(NetlinkWord(payload, size));
                                           else if (type == RTA_PRIORITY)
                                               metric = NetlinkWord(payload, size);
                                       });
        if (gateway != 0 && metric < bestMetric) {
            best = gateway;
            bestMetric = metric;
        }
    });
    return best;
}

} // namespace pellwick
