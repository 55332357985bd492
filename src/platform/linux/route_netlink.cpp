// SPDX-License-Identifier: MIT
#include "platform/linux/route_netlink.h"

#include <sys/socket.h>

#include <array>
#include <cerrno>

namespace pellwick {

bool RouteNetlinkDump(int fd, unsigned char family, std::uint16_t type, std::uint16_t answer,
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
    request.body.rtgen_family = family;
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

} // namespace pellwick
