// SPDX-License-Identifier: MIT
#pragma once

#include "core/net/stream_port.h"

#include "platform/windows/winsock_use.h"

#include <deque>
#include <vector>

namespace pellwick {

// The router's TCP over Winsock, non-blocking: connecting, reading, writing and
// accepting reach the window as messages (WSAAsyncSelect), so the window never
// waits. A socket given up is closed only once the messages it posted before
// have come, so that no new socket gets its handle and takes them for its own.
class WinsockStreams : public StreamPort
{
public:
    explicit WinsockStreams(HWND window)
        : m_window(window)
    {
    }
    ~WinsockStreams() override;

    void Exchange(Ipv4 to, std::uint16_t port, const std::string &request) override;
    void Cancel() override;
    std::uint16_t Listen() override;
    void Close() override;

    // Acts on one of the three messages below; false for any other message.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Above the numbers the window and its other parts use.
    static constexpr UINT kStreamMessage = WM_APP + 10;
    static constexpr UINT kRefusedMessage = WM_APP + 11;
    static constexpr UINT kRetiredMessage = WM_APP + 12;
    // Connections the listener keeps at once; one more drops the oldest.
    static constexpr std::size_t kMaxAccepted = 4;

private:
    struct Accepted
    {
        SOCKET socket;
        Ipv4 from;
        std::string request;
        std::string reply; // what is still to send, once answered
        bool answered = false;
    };

    void onExchange(int event, int error);
    void endExchange(bool connected);
    void acceptAll();
    void onAccepted(SOCKET socket, int event);
    // Sends what is left of the reply, then closes the connection.
    void finish(Accepted &connection);
    Accepted *find(SOCKET socket);
    void drop(SOCKET socket, bool abortive);
    void retire(SOCKET socket, bool abortive);

    WinsockUse m_winsock;
    HWND m_window;
    // The running exchange: the request still to send, the response so far.
    SOCKET m_exchange = INVALID_SOCKET;
    WPARAM m_generation = 0;
    std::string m_request;
    std::string m_response;
    Ipv4 m_local = 0;
    SOCKET m_listener = INVALID_SOCKET;
    std::uint16_t m_port = 0;
    std::deque<Accepted> m_accepted; // the oldest first
    std::vector<SOCKET> m_retired;
};

} // namespace pellwick
