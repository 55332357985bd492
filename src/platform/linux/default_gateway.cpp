// SPDX-License-Identifier: MIT
#include "platform/platform.h"

#include "platform/posix/file_descriptor.h"

#include <arpa/inet.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <climits>
#include <cstring>

namespace pellwick {

Ipv4 DefaultGateway()
{
    // The kernel's routes as rtnetlink lists them: every IPv4 route of the main
    // table, the default ones (no destination bits) compared by their metric.
    FileDescriptor link(socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE));
    if (link.get() < 0)
        return 0;
    struct
    {
        nlmsghdr header;
        rtmsg route;
    } request {};
    request.header.nlmsg_len = sizeof request;
    request.header.nlmsg_type = RTM_GETROUTE;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.route.rtm_family = AF_INET;
    if (send(link.get(), &request, sizeof request, 0) < 0)
        return 0;

    Ipv4 best = 0;
    std::uint32_t bestMetric = UINT32_MAX;
    alignas(nlmsghdr) char buffer[16384];
    for (;;) {
        const ssize_t got = recv(link.get(), buffer, sizeof buffer, 0);
        if (got <= 0)
            return best;
        auto left = static_cast<unsigned>(got);
        for (auto *message = reinterpret_cast<nlmsghdr *>(buffer); NLMSG_OK(message, left);
             message = NLMSG_NEXT(message, left)) {
            if (message->nlmsg_type == NLMSG_DONE || message->nlmsg_type == NLMSG_ERROR)
                return best;
            // The macros' casts are spelled out: the build allows no old-style cast.
            const char *data = reinterpret_cast<const char *>(message) + NLMSG_HDRLEN;
            rtmsg route {};
            std::memcpy(&route, data, sizeof route);
            if (message->nlmsg_type != RTM_NEWROUTE || route.rtm_dst_len != 0
                || route.rtm_table != RT_TABLE_MAIN)
                continue;
            Ipv4 gateway = 0;
            std::uint32_t metric = 0;
            const char *end = reinterpret_cast<const char *>(message) + message->nlmsg_len;
            for (const char *at = data + NLMSG_ALIGN(sizeof route); at + sizeof(rtattr) <= end;) {
                rtattr attribute {};
                std::memcpy(&attribute, at, sizeof attribute);
                if (attribute.rta_len < sizeof attribute || at + attribute.rta_len > end)
                    break;
                const char *value = at + RTA_ALIGN(sizeof attribute);
                if (attribute.rta_len == RTA_LENGTH(4) && attribute.rta_type == RTA_GATEWAY) {
                    std::uint32_t network = 0;
                    std::memcpy(&network, value, 4);
                    gateway = ntohl(network);
                } else if (attribute.rta_len == RTA_LENGTH(4)
                           && attribute.rta_type == RTA_PRIORITY) {
                    std::memcpy(&metric, value, 4);
                }
                at += RTA_ALIGN(attribute.rta_len);
            }
            if (gateway != 0 && metric < bestMetric) {
                best = gateway;
                bestMetric = metric;
            }
        }
    }
}

} // namespace pellwick
