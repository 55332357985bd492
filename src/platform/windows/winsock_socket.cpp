// SPDX-License-Identifier: MIT
#include "platform/windows/winsock_socket.h"

#include "platform/windows/schannel_session.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <thread>
#include <utility>

namespace pellwick {

namespace {

// The name's addresses, in the order the resolver gives them.
using Resolved = std::vector<sockaddr_storage>;

std::vector<sockaddr_storage> resolve(const std::string &host, std::uint16_t port)
{
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo *found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
        return {};
    std::vector<sockaddr_storage> addresses;
    for (const addrinfo *entry = found; entry; entry = entry->ai_next) {
        sockaddr_storage address {};
        std::memcpy(&address, entry->ai_addr,
                    std::min(sizeof address, static_cast<std::size_t>(entry->ai_addrlen)));
        addresses.push_back(address);
    }
    freeaddrinfo(found);
    return addresses;
}

int addressLength(const sockaddr_storage &address)
{
    return address.ss_family == AF_INET6 ? static_cast<int>(sizeof(sockaddr_in6))
                                         : static_cast<int>(sizeof(sockaddr_in));
}

} // namespace

WinsockSocket::WinsockSocket(HWND window, DataArrival dataArrival)
    : m_window(window)
    , m_dataArrival(std::move(dataArrival))
{
}

WinsockSocket::~WinsockSocket()
{
    Close();
}

void WinsockSocket::Close()
{
    ++m_attempt;
    dropAttempts();
    m_pending.clear();
    m_connected = false;
    m_tlsOnConnect = false;
    m_tls.reset();
    m_encrypted = false;
    m_plainIn.clear();
    m_plainOut.clear();
    if (m_socket != INVALID_SOCKET) {
        CloseAbortively(m_socket);
        m_socket = INVALID_SOCKET;
    }
}

void WinsockSocket::dropAttempts()
{
    KillTimer(m_window, reinterpret_cast<UINT_PTR>(this));
    m_race.reset();
    m_addresses.clear();
    for (const SOCKET attempt : std::exchange(m_attempts, {}))
        CloseAbortively(attempt);
}

void WinsockSocket::Connect(const std::string &host, std::uint16_t port, Security security)
{
    Close();
    if (!m_winsock)
        return;
    m_host = host;
    m_tlsOnConnect = security == Security::Tls;
    const WPARAM attempt = m_attempt;
    const HWND window = m_window;
    // The thread owns copies only: the window may be gone before the answer.
    std::thread([host, port, window, attempt] {
        auto result = std::make_unique<Resolved>(resolve(host, port));
        if (PostMessageW(window, kResolvedMessage, attempt, reinterpret_cast<LPARAM>(result.get())))
            result.release(); // the window deletes it
    }).detach();
}

bool WinsockSocket::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kSocketMessage) {
        onSocketEvent(wParam, lParam);
        return true;
    }
    if (message != kResolvedMessage)
        return false;
    const std::unique_ptr<Resolved> resolved(reinterpret_cast<Resolved *>(lParam));
    if (wParam != m_attempt)
        return true; // an answer for an attempt since closed or connected elsewhere
    m_addresses = InterleaveFamilies(
        *resolved, [](const sockaddr_storage &address) { return address.ss_family == AF_INET6; });
    m_race.emplace(m_addresses.size());
    step(m_race->Begin());
    return true;
}

void WinsockSocket::step(ConnectRace::Step next)
{
    if (next.armTimer)
        SetTimer(m_window, reinterpret_cast<UINT_PTR>(this), ConnectRace::kAttemptDelayMs,
                 &WinsockSocket::staggerElapsed);
    if (next.failed) {
        const bool unresolved = m_addresses.empty();
        dropAttempts();
        if (unresolved)
            fail(SocketFailure::HostNotFound, "host not found");
        else if (m_lastError == WSAECONNREFUSED)
            fail(SocketFailure::Refused, "connection refused");
        else
            fail(SocketFailure::Other,
                 "connection failed (Winsock error " + std::to_string(m_lastError) + ")");
        return;
    }
    if (!next.start)
        return;
    const sockaddr_storage &address = m_addresses[*next.start];
    const SOCKET s = socket(address.ss_family, SOCK_STREAM, IPPROTO_TCP);
    // WSAAsyncSelect also makes the socket non-blocking.
    const bool started
        = s != INVALID_SOCKET
          && WSAAsyncSelect(s, m_window, kSocketMessage, FD_CONNECT | FD_READ | FD_WRITE | FD_CLOSE)
                 != SOCKET_ERROR
          && (connect(s, reinterpret_cast<const sockaddr *>(&address), addressLength(address))
                  != SOCKET_ERROR
              || WSAGetLastError() == WSAEWOULDBLOCK);
    if (started) {
        m_attempts.push_back(s);
        return;
    }
    m_lastError = WSAGetLastError();
    if (s != INVALID_SOCKET)
        closesocket(s);
    step(m_race->AttemptFailed());
}

void CALLBACK WinsockSocket::staggerElapsed(HWND window, UINT, UINT_PTR id, DWORD)
{
    KillTimer(window, id);
    // The timer's id is the socket; a closed socket killed its timer.
    auto *self = reinterpret_cast<WinsockSocket *>(id);
    if (self->m_race)
        self->step(self->m_race->TimerFired());
}

void WinsockSocket::attemptEnded(SOCKET attempt, int error)
{
    std::erase(m_attempts, attempt);
    if (error != 0) {
        m_lastError = error;
        closesocket(attempt);
        step(m_race->AttemptFailed());
        return;
    }
    dropAttempts();
    m_socket = attempt;
    m_connected = true;
    if (Events())
        Events()->SocketConnected();
    if (m_tlsOnConnect && m_socket != INVALID_SOCKET)
        beginTls();
    flush();
}

void WinsockSocket::fail(SocketFailure failure, const std::string &detail)
{
    if (Events())
        Events()->SocketFailed(failure, detail);
}

void WinsockSocket::onSocketEvent(WPARAM socket, LPARAM event)
{
    const int error = WSAGETSELECTERROR(event);
    if (std::ranges::find(m_attempts, static_cast<SOCKET>(socket)) != m_attempts.end()) {
        if (WSAGETSELECTEVENT(event) == FD_CONNECT)
            attemptEnded(static_cast<SOCKET>(socket), error);
        return;
    }
    if (static_cast<SOCKET>(socket) != m_socket || m_socket == INVALID_SOCKET)
        return; // a message left over from a closed socket
    switch (WSAGETSELECTEVENT(event)) {
    case FD_WRITE:
        flush();
        return;
    case FD_READ:
        if (m_tls)
            readTls();
        else if (u_long waiting = 0; ioctlsocket(m_socket, FIONREAD, &waiting) == 0 && waiting > 0)
            m_dataArrival(static_cast<std::int32_t>(
                std::min<u_long>(waiting, static_cast<u_long>(INT32_MAX))));
        return;
    case FD_CLOSE:
        // What the peer sent before was reported by FD_READ. The socket stays
        // until the next Close or Connect.
        if (m_tls && !m_encrypted)
            fail(SocketFailure::Tls, "closed by the server during the TLS handshake");
        else if (error == 0)
            fail(SocketFailure::Closed, "closed by the server");
        else
            fail(SocketFailure::Other,
                 "connection lost (Winsock error " + std::to_string(error) + ")");
        return;
    }
}

void WinsockSocket::SendData(const std::string &text)
{
    queue(text);
    if (m_connected)
        flush();
}

void WinsockSocket::queue(const std::string &text)
{
    if (!m_tls) {
        m_pending += text;
    } else if (!m_encrypted) {
        m_plainOut += text;
    } else if (!m_tls->Encrypt(text, m_pending)) {
        fail(SocketFailure::Tls, m_tls->Problem());
    }
}

void WinsockSocket::StartTls()
{
    if (!m_connected) {
        fail(SocketFailure::Tls, "no connection to start TLS on");
        return;
    }
    beginTls();
    flush();
}

void WinsockSocket::beginTls()
{
    m_tls = std::make_unique<SchannelSession>(m_host);
    if (m_tls->Handshake({}, m_pending) == SchannelSession::Step::Failed)
        fail(SocketFailure::Tls, m_tls->Problem());
}

void WinsockSocket::readTls()
{
    std::string arrived;
    char buffer[16 * 1024];
    for (int got; (got = recv(m_socket, buffer, sizeof buffer, 0)) > 0;)
        arrived.append(buffer, static_cast<std::size_t>(got));
    const WPARAM attempt = m_attempt;
    if (!m_encrypted) {
        const SchannelSession::Step step = m_tls->Handshake(arrived, m_pending);
        flush();
        if (step == SchannelSession::Step::Failed) {
            fail(SocketFailure::Tls, m_tls->Problem());
            return;
        }
        if (step == SchannelSession::Step::Continue)
            return;
        m_encrypted = true;
        arrived.clear(); // what came after the handshake waits in the session
        if (Events())
            Events()->SocketEncrypted(m_tls->Peer());
        // The dialogue may have closed the connection over the certificate.
        if (attempt != m_attempt || !m_tls)
            return;
        queue(std::exchange(m_plainOut, {}));
    }
    const bool decrypted = m_tls->Decrypt(arrived, m_plainIn, m_pending);
    flush();
    if (!decrypted) {
        const bool closed = m_tls->Problem() == "closed by the server";
        fail(closed ? SocketFailure::Closed : SocketFailure::Tls, m_tls->Problem());
        return;
    }
    if (!m_plainIn.empty())
        m_dataArrival(static_cast<std::int32_t>(
            std::min<std::size_t>(m_plainIn.size(), static_cast<std::size_t>(INT32_MAX))));
}

void WinsockSocket::flush()
{
    SendWhatFits(m_socket, m_pending);
}

void WinsockSocket::GetData(std::string &data, std::int32_t count)
{
    data.clear();
    if (m_socket == INVALID_SOCKET || count <= 0)
        return;
    if (m_tls) {
        data = m_plainIn.substr(0, static_cast<std::size_t>(count));
        m_plainIn.erase(0, data.size());
        return;
    }
    data.resize(static_cast<std::size_t>(count));
    const int got = recv(m_socket, data.data(), count, 0);
    data.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
}

} // namespace pellwick
