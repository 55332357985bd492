// SPDX-License-Identifier: MIT
#pragma once

#include "core/net/ipv4.h"

#include "platform/windows/windows_api.h"

#include <winsock2.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace pellwick {

// Winsock for as long as the object lives; false when it could not start.
class WinsockUse
{
public:
    WinsockUse()
    {
        WSADATA data {};
        m_started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~WinsockUse()
    {
        if (m_started)
            WSACleanup();
    }
    WinsockUse(const WinsockUse &) = delete;
    WinsockUse &operator=(const WinsockUse &) = delete;

    explicit operator bool() const { return m_started; }

private:
    bool m_started = false;
};

inline sockaddr_in Ipv4Endpoint(Ipv4 address, std::uint16_t port)
{
    sockaddr_in result {};
    result.sin_family = AF_INET;
    result.sin_addr.s_addr = htonl(address);
    result.sin_port = htons(port);
    return result;
}

// Closing `s` will abort, like the Qt socket: no lingering, whatever was not
// sent is dropped.
inline void SetAbortiveClose(SOCKET s)
{
    linger abortive {1, 0};
    setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char *>(&abortive),
               sizeof abortive);
}

inline void CloseAbortively(SOCKET s)
{
    SetAbortiveClose(s);
    closesocket(s);
}

// Sends as much of `bytes` as `s` takes now and keeps the rest; FD_WRITE says
// when there is room again.
inline void SendWhatFits(SOCKET s, std::string &bytes)
{
    while (!bytes.empty()) {
        const int chunk = static_cast<int>(std::min<std::size_t>(bytes.size(), 64 * 1024));
        const int sent = send(s, bytes.data(), chunk, 0);
        if (sent == SOCKET_ERROR)
            return;
        bytes.erase(0, static_cast<std::size_t>(sent));
    }
}

} // namespace pellwick
