// SPDX-License-Identifier: MIT
#include "core/net/global_ipv6.h"
#include "platform/platform.h"

#include <linux/if_addr.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <functional>

namespace pellwick {

namespace {

// Sends one dump request (`type`) for IPv6 and hands every answer (`answer`) to
// `each`; false when the kernel could not be asked.
bool dump(int fd, std::uint16_t type, std::uint16_t answer,
          const std::function<void(const nlmsghdr &)> &each)
{
    struct
    {
        nlmsghdr header;
        rtgenmsg body;
    } request {};
    request.header.nlmsg_len = sizeof request;
    request.header.nlmsg_type = type;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.header.nlmsg_seq = type;
    request.body.rtgen_family = AF_INET6;
    if (::send(fd, &request, sizeof request, 0) < 0)
        return false;
    alignas(nlmsghdr) std::array<char, 32768> buffer;
    for (;;) {
        const ssize_t got = ::recv(fd, buffer.data(), buffer.size(), 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        auto length = static_cast<unsigned int>(got);
        for (auto *header = reinterpret_cast<const nlmsghdr *>(buffer.data());
             NLMSG_OK(header, length); header = NLMSG_NEXT(header, length)) {
            if (header->nlmsg_type == NLMSG_DONE)
                return true;
            if (header->nlmsg_type == NLMSG_ERROR)
                return false;
            if (header->nlmsg_type == answer)
                each(*header);
        }
    }
}

// The message's body, of type `Body`.
template<typename Body>
const Body &body(const nlmsghdr &header)
{
    return *reinterpret_cast<const Body *>(reinterpret_cast<const char *>(&header)
                                           + NLMSG_ALIGN(sizeof(nlmsghdr)));
}

// The attributes after the message's body of type `Body`, each handed to
// `each` with its payload and the payload's size.
template<typename Body, typename Each>
void forEachAttribute(const nlmsghdr &header, Each each)
{
    const char *at
        = reinterpret_cast<const char *>(&body<Body>(header)) + NLMSG_ALIGN(sizeof(Body));
    const char *end = reinterpret_cast<const char *>(&header) + header.nlmsg_len;
    while (end - at >= static_cast<std::ptrdiff_t>(sizeof(rtattr))) {
        const auto *attribute = reinterpret_cast<const rtattr *>(at);
        if (attribute->rta_len < sizeof(rtattr) || attribute->rta_len > end - at)
            return;
        const std::size_t headerSize = RTA_ALIGN(sizeof(rtattr));
        each(attribute->rta_type, at + headerSize, attribute->rta_len - headerSize);
        at += RTA_ALIGN(attribute->rta_len);
    }
}

// A 32-bit payload.
std::uint32_t word(const char *payload, std::size_t size)
{
    std::uint32_t value = 0;
    std::memcpy(&value, payload, std::min(size, sizeof value));
    return value;
}

// The interface of the main table's IPv6 default route of lowest metric.
std::optional<std::uint32_t> defaultRouteInterface(int fd)
{
    std::optional<std::uint32_t> best;
    std::uint32_t bestMetric = 0;
    dump(fd, RTM_GETROUTE, RTM_NEWROUTE, [&](const nlmsghdr &header) {
        const rtmsg &route = body<rtmsg>(header);
        if (route.rtm_dst_len != 0 || route.rtm_table != RT_TABLE_MAIN
            || route.rtm_type != RTN_UNICAST)
            return;
        std::optional<std::uint32_t> interfaceIndex;
        std::uint32_t metric = 0;
        forEachAttribute<rtmsg>(header, [&](auto type, const char *payload, std::size_t size) {
            if (type == RTA_OIF)
                interfaceIndex = word(payload, size);
            else if (type == RTA_PRIORITY)
                metric = word(payload, size);
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
    dump(fd, RTM_GETADDR, RTM_NEWADDR, [&](const nlmsghdr &header) {
        const ifaddrmsg &address = body<ifaddrmsg>(header);
        Ipv6Candidate candidate;
        candidate.interfaceIndex = address.ifa_index;
        std::uint32_t flags = address.ifa_flags;
        bool present = false;
        forEachAttribute<ifaddrmsg>(header, [&](auto type, const char *payload, std::size_t size) {
            if (type == IFA_ADDRESS && size == candidate.address.size()) {
                std::memcpy(candidate.address.data(), payload, size);
                present = true;
            } else if (type == IFA_FLAGS) {
                flags = word(payload, size);
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
