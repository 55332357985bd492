// SPDX-License-Identifier: MIT
#pragma once

#include "core/net/datagram_port.h"

#include "platform/windows/winsock_use.h"

#include <winsock2.h>

namespace pellwick {

// The public address's UDP over Winsock: both sockets report their datagrams to
// the window as messages (WSAAsyncSelect), and a name is looked up on a thread
// of its own, so the window never waits.
class WinsockDatagrams : public DatagramPort
{
public:
    // Above the numbers the window and its other parts use.
    static constexpr UINT kDatagramMessage = WM_APP + 8;
    static constexpr UINT kResolvedMessage = WM_APP + 9;

    explicit WinsockDatagrams(HWND window);
    ~WinsockDatagrams() override;
    WinsockDatagrams(const WinsockDatagrams &) = delete;
    WinsockDatagrams &operator=(const WinsockDatagrams &) = delete;

    std::string Open() override;
    void Close() override;
    void Send(Ipv4 to, std::uint16_t port, const std::string &bytes) override;
    void Resolve(const std::string &host) override;
    Ipv4 DefaultGateway() override;

    // Acts on one of the two messages above; false for any other message.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void readAll(SOCKET socket, bool announcement);

    WinsockUse m_winsock;
    HWND m_window;
    SOCKET m_ask = INVALID_SOCKET;
    SOCKET m_hear = INVALID_SOCKET;
    // Lookups still running answer nobody once the sockets are closed.
    WPARAM m_generation = 0;
};

} // namespace pellwick
