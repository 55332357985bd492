// SPDX-License-Identifier: MIT
#include "platform/windows/winsock_datagrams.h"

#include "core/net/nat_pmp.h"
#include "platform/platform.h"

#include <ws2tcpip.h>

#include <memory>
#include <thread>

namespace pellwick {

namespace {

struct Lookup
{
    std::string host;
    Ipv4 address = 0;
};

Ipv4 firstIpv4(const std::string &host)
{
    addrinfo hints {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo *found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found)
        return 0;
    const Ipv4 address
        = ntohl(reinterpret_cast<const sockaddr_in *>(found->ai_addr)->sin_addr.s_addr);
    freeaddrinfo(found);
    return address;
}

// A UDP socket on `port` (0: any) whose datagrams come to the window; shared with
// other programs when `shared`.
SOCKET openSocket(HWND window, std::uint16_t port, bool shared)
{
    const SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET)
        return s;
    const BOOL yes = TRUE;
    const sockaddr_in local = Ipv4Endpoint(0, port);
    const bool ready
        = (!shared
           || setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char *>(&yes),
                         sizeof yes)
                  == 0)
          && bind(s, reinterpret_cast<const sockaddr *>(&local), sizeof local) == 0
          && WSAAsyncSelect(s, window, WinsockDatagrams::kDatagramMessage, FD_READ) == 0;
    if (ready)
        return s;
    closesocket(s);
    return INVALID_SOCKET;
}

} // namespace

WinsockDatagrams::WinsockDatagrams(HWND window)
    : m_window(window)
{
}

WinsockDatagrams::~WinsockDatagrams()
{
    Close();
}

std::string WinsockDatagrams::Open()
{
    if (m_ask != INVALID_SOCKET)
        return {};
    if (!m_winsock)
        return "Winsock could not start";
    m_ask = openSocket(m_window, 0, false);
    if (m_ask == INVALID_SOCKET)
        return "no UDP socket (error " + std::to_string(WSAGetLastError()) + ")";
    m_hear = openSocket(m_window, kNatPmpAnnouncePort, true);
    ip_mreq group {};
    group.imr_multiaddr.s_addr = htonl(kAllHostsGroup);
    group.imr_interface.s_addr = htonl(INADDR_ANY);
    if (m_hear != INVALID_SOCKET
        && setsockopt(m_hear, IPPROTO_IP, IP_ADD_MEMBERSHIP, reinterpret_cast<const char *>(&group),
                      sizeof group)
               != 0) {
        closesocket(m_hear);
        m_hear = INVALID_SOCKET;
    }
    return {};
}

void WinsockDatagrams::Close()
{
    ++m_generation;
    for (SOCKET *s : {&m_ask, &m_hear})
        if (*s != INVALID_SOCKET) {
            closesocket(*s);
            *s = INVALID_SOCKET;
        }
}

void WinsockDatagrams::Send(Ipv4 to, std::uint16_t port, const std::string &bytes)
{
    const sockaddr_in target = Ipv4Endpoint(to, port);
    if (m_ask != INVALID_SOCKET)
        sendto(m_ask, bytes.data(), static_cast<int>(bytes.size()), 0,
               reinterpret_cast<const sockaddr *>(&target), sizeof target);
}

void WinsockDatagrams::Resolve(const std::string &host)
{
    const HWND window = m_window;
    const WPARAM generation = m_generation;
    // The thread owns copies only: the window may be gone before the answer.
    std::thread([host, window, generation] {
        auto lookup = std::make_unique<Lookup>(Lookup {host, firstIpv4(host)});
        if (PostMessageW(window, kResolvedMessage, generation,
                         reinterpret_cast<LPARAM>(lookup.get())))
            lookup.release(); // the window deletes it
    }).detach();
}

Ipv4 WinsockDatagrams::DefaultGateway()
{
    return pellwick::DefaultGateway();
}

bool WinsockDatagrams::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kDatagramMessage) {
        const auto socket = static_cast<SOCKET>(wParam);
        if (socket != INVALID_SOCKET && (socket == m_ask || socket == m_hear))
            readAll(socket, socket == m_hear);
        return true;
    }
    if (message != kResolvedMessage)
        return false;
    const std::unique_ptr<Lookup> lookup(reinterpret_cast<Lookup *>(lParam));
    if (wParam == m_generation && Events())
        Events()->HostResolved(lookup->host, lookup->address);
    return true;
}

void WinsockDatagrams::readAll(SOCKET socket, bool announcement)
{
    char buffer[1500];
    for (;;) {
        sockaddr_in from {};
        int fromLength = sizeof from;
        const int got = recvfrom(socket, buffer, sizeof buffer, 0,
                                 reinterpret_cast<sockaddr *>(&from), &fromLength);
        // WSAEWOULDBLOCK: all read. An ICMP error on the socket reads as a
        // failure too (WSAECONNRESET) and is passed over.
        if (got < 0 && WSAGetLastError() == WSAECONNRESET)
            continue;
        if (got < 0 || !Events())
            return;
        Events()->DatagramArrived({ntohl(from.sin_addr.s_addr), ntohs(from.sin_port),
                                   std::string(buffer, static_cast<std::size_t>(got))},
                                  announcement);
        // The event may have closed the sockets.
        if (socket != m_ask && socket != m_hear)
            return;
    }
}

} // namespace pellwick
