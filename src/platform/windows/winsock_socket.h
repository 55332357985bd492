// SPDX-License-Identifier: MIT
#pragma once

#include "core/mail/socket.h"
#include "core/net/connect_race.h"

#include "platform/windows/winsock_use.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pellwick {

class SchannelSession;

// The socket over Winsock, non-blocking: connect, read, write
// and close events reach the window as messages (WSAAsyncSelect), and the server's
// name is resolved on a thread of its own, so the window never waits. The name's
// addresses, of both families, are tried in turn, each attempt 250 ms after the
// one before unless that failed sooner, and the first to connect is kept. Every
// arrival of data is reported with the number of bytes waiting; connecting, and
// every failure, to the socket's events. TLS goes through SChannel: from the
// first byte (Security::Tls) or from StartTls on; the certificate is reported to
// the events and judged there, and nothing falls back to plain text.
class WinsockSocket : public Socket
{
public:
    using DataArrival = std::function<void(std::int32_t count)>;

    // The messages this socket posts to its window; the window hands them to
    // HandleMessage.
    static constexpr UINT kSocketMessage = WM_APP + 1;
    static constexpr UINT kResolvedMessage = WM_APP + 2;

    WinsockSocket(HWND window, DataArrival dataArrival);
    ~WinsockSocket() override;
    WinsockSocket(const WinsockSocket &) = delete;
    WinsockSocket &operator=(const WinsockSocket &) = delete;

    void Close() override;
    void Connect(const std::string &host, std::uint16_t port, Security security) override;
    void SendData(const std::string &text) override;
    void GetData(std::string &data, std::int32_t count) override;
    void StartTls() override;

    // Acts on one of the two messages above; false for any other message.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    // Acts on one step of the race between the name's addresses.
    void step(ConnectRace::Step next);
    // An attempt's connection came up (error 0) or failed.
    void attemptEnded(SOCKET attempt, int error);
    static void CALLBACK staggerElapsed(HWND window, UINT message, UINT_PTR id, DWORD time);
    void dropAttempts();
    void fail(SocketFailure failure, const std::string &detail);
    void flush();
    void onSocketEvent(WPARAM socket, LPARAM event);
    void beginTls();
    void readTls();
    // Queues bytes for the connection, encrypted once TLS is up.
    void queue(const std::string &text);

    WinsockUse m_winsock;
    HWND m_window;
    DataArrival m_dataArrival;
    SOCKET m_socket = INVALID_SOCKET;
    bool m_connected = false;
    // Counts connection attempts, so that a late answer for an earlier one is dropped.
    WPARAM m_attempt = 0;
    // The name's addresses in the order tried, the attempts still running, and
    // bytes the connection has not taken yet.
    std::vector<sockaddr_storage> m_addresses;
    std::optional<ConnectRace> m_race;
    std::vector<SOCKET> m_attempts;
    int m_lastError = 0;
    std::string m_pending;
    // The name connected to: the one the certificate must carry.
    std::string m_host;
    bool m_tlsOnConnect = false;
    std::unique_ptr<SchannelSession> m_tls;
    bool m_encrypted = false;
    // Decrypted bytes not read yet, and bytes sent while the handshake runs.
    std::string m_plainIn;
    std::string m_plainOut;
};

} // namespace pellwick
