// SPDX-License-Identifier: MIT
#pragma once

#include <linux/netlink.h>
#include <linux/rtnetlink.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>

namespace pellwick {

// Sends one dump request (`type`) for the address `family` on a NETLINK_ROUTE
// socket and hands every answer of type `answer` to `each`; false when the
// kernel could not be asked or refused.
bool RouteNetlinkDump(int fd, unsigned char family, std::uint16_t type, std::uint16_t answer,
                      const std::function<void(const nlmsghdr &)> &each);

// The message's body, of type `Body`.
template<typename Body>
const Body &NetlinkBody(const nlmsghdr &header)
{
    return *reinterpret_cast<const Body *>(reinterpret_cast<const char *>(&header)
                                           + NLMSG_ALIGN(sizeof(nlmsghdr)));
}

// The attributes after the message's body of type `Body`, each handed to
// `each` with its payload and the payload's size.
template<typename Body, typename Each>
void ForEachNetlinkAttribute(const nlmsghdr &header, Each each)
{
    const char *at
        = reinterpret_cast<const char *>(&NetlinkBody<Body>(header)) + NLMSG_ALIGN(sizeof(Body));
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

// A 32-bit payload, as the host holds it.
inline std::uint32_t NetlinkWord(const char *payload, std::size_t size)
{
    std::uint32_t value = 0;
    std::memcpy(&value, payload, size < sizeof value ? size : sizeof value);
    return value;
}

} // namespace pellwick
