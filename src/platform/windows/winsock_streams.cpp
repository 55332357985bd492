// SPDX-License-Identifier: MIT
#include "platform/windows/winsock_streams.h"

#include <algorithm>
#include <utility>

namespace pellwick {

namespace {

// Appends what waits on `s`, up to the cap. Reads until nothing is left, since
// Winsock posts FD_READ again only after a read.
void readWaiting(SOCKET s, std::string &bytes)
{
    char buffer[16 * 1024];
    while (bytes.size() < kMaxStreamBytes) {
        const int room = static_cast<int>(std::min(sizeof buffer, kMaxStreamBytes - bytes.size()));
        const int got = recv(s, buffer, room, 0);
        if (got <= 0)
            return;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

sockaddr_in localEnd(SOCKET s)
{
    sockaddr_in local {};
    int length = sizeof local;
    getsockname(s, reinterpret_cast<sockaddr *>(&local), &length);
    return local;
}

} // namespace

WinsockStreams::~WinsockStreams()
{
    Close();
    for (const SOCKET s : m_retired)
        closesocket(s);
}

void WinsockStreams::Exchange(Ipv4 to, std::uint16_t port, const std::string &request)
{
    Cancel();
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    const sockaddr_in target = Ipv4Endpoint(to, port);
    // WSAAsyncSelect also makes the socket non-blocking.
    if (s != INVALID_SOCKET
        && WSAAsyncSelect(s, m_window, kStreamMessage, FD_CONNECT | FD_READ | FD_WRITE | FD_CLOSE)
               == 0
        && (connect(s, reinterpret_cast<const sockaddr *>(&target), sizeof target) == 0
            || WSAGetLastError() == WSAEWOULDBLOCK)) {
        m_exchange = s;
        m_request = request;
        return;
    }
    if (s != INVALID_SOCKET)
        closesocket(s);
    // Told from the window's loop, as a connection that fails later is.
    PostMessageW(m_window, kRefusedMessage, m_generation, 0);
}

void WinsockStreams::Cancel()
{
    ++m_generation;
    if (m_exchange != INVALID_SOCKET)
        retire(std::exchange(m_exchange, INVALID_SOCKET), true);
    m_request.clear();
    m_response.clear();
    m_local = 0;
}

std::uint16_t WinsockStreams::Listen()
{
    if (m_listener != INVALID_SOCKET)
        return m_port;
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    const sockaddr_in any = Ipv4Endpoint(0, 0);
    if (s != INVALID_SOCKET && bind(s, reinterpret_cast<const sockaddr *>(&any), sizeof any) == 0
        && listen(s, SOMAXCONN) == 0
        && WSAAsyncSelect(s, m_window, kStreamMessage, FD_ACCEPT) == 0) {
        m_listener = s;
        m_port = ntohs(localEnd(s).sin_port);
        return m_port;
    }
    if (s != INVALID_SOCKET)
        closesocket(s);
    return 0;
}

void WinsockStreams::Close()
{
    Cancel();
    // Closed at once, so that the port refuses from now on; a message it left
    // is passed over by whatever gets its handle.
    if (m_listener != INVALID_SOCKET)
        closesocket(std::exchange(m_listener, INVALID_SOCKET));
    m_port = 0;
    for (const Accepted &connection : std::exchange(m_accepted, {}))
        retire(connection.socket, true);
}

bool WinsockStreams::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto s = static_cast<SOCKET>(wParam);
    switch (message) {
    case kRetiredMessage:
        if (std::erase(m_retired, s) > 0)
            closesocket(s);
        return true;
    case kRefusedMessage:
        if (wParam == m_generation && m_exchange == INVALID_SOCKET) {
            ++m_generation;
            if (Events())
                Events()->ExchangeEnded({}, 0);
        }
        return true;
    case kStreamMessage:
        break;
    default:
        return false;
    }
    if (s == INVALID_SOCKET)
        return true;
    if (s == m_exchange)
        onExchange(WSAGETSELECTEVENT(lParam), WSAGETSELECTERROR(lParam));
    else if (s == m_listener)
        acceptAll();
    else
        onAccepted(s, WSAGETSELECTEVENT(lParam));
    return true;
}

void WinsockStreams::onExchange(int event, int error)
{
    switch (event) {
    case FD_CONNECT:
        if (error != 0) {
            endExchange(false);
            return;
        }
        m_local = ntohl(localEnd(m_exchange).sin_addr.s_addr);
        [[fallthrough]];
    case FD_WRITE:
        SendWhatFits(m_exchange, m_request);
        return;
    case FD_READ:
        readWaiting(m_exchange, m_response);
        if (m_response.size() >= kMaxStreamBytes)
            endExchange(true); // the rest is cut off
        return;
    case FD_CLOSE:
        readWaiting(m_exchange, m_response);
        endExchange(true);
        return;
    }
}

void WinsockStreams::endExchange(bool connected)
{
    const std::string response = connected ? std::move(m_response) : std::string();
    const Ipv4 local = connected ? m_local : 0;
    // Dropped first: the report may start the next exchange.
    Cancel();
    if (Events())
        Events()->ExchangeEnded(response, local);
}

void WinsockStreams::acceptAll()
{
    for (;;) {
        sockaddr_in from {};
        int length = sizeof from;
        const SOCKET s = accept(m_listener, reinterpret_cast<sockaddr *>(&from), &length);
        if (s == INVALID_SOCKET)
            return;
        // It came with the listener's selection.
        if (WSAAsyncSelect(s, m_window, kStreamMessage, FD_READ | FD_WRITE | FD_CLOSE) != 0) {
            closesocket(s);
            continue;
        }
        m_accepted.push_back({s, ntohl(from.sin_addr.s_addr), {}, {}});
        if (m_accepted.size() > kMaxAccepted)
            drop(m_accepted.front().socket, true);
    }
}

void WinsockStreams::onAccepted(SOCKET s, int event)
{
    Accepted *connection = find(s);
    if (!connection)
        return; // a message left over from a connection since dropped
    if (connection->answered) {
        if (event == FD_WRITE)
            finish(*connection);
        else if (event == FD_CLOSE)
            drop(s, true);
        return;
    }
    if (event != FD_READ && event != FD_CLOSE)
        return;
    readWaiting(s, connection->request);
    // Copies: the events may close the connection.
    const Ipv4 from = connection->from;
    const std::string request = connection->request;
    const std::optional<std::string> reply
        = Events() ? Events()->RequestArrived(from, request) : std::nullopt;
    connection = find(s);
    if (!connection)
        return;
    if (reply) {
        connection->answered = true;
        connection->reply = *reply;
        finish(*connection);
    } else if (event == FD_CLOSE || request.size() >= kMaxStreamBytes) {
        drop(s, true); // it will never be complete
    }
}

void WinsockStreams::finish(Accepted &connection)
{
    SendWhatFits(connection.socket, connection.reply);
    if (connection.reply.empty())
        drop(connection.socket, false);
}

WinsockStreams::Accepted *WinsockStreams::find(SOCKET s)
{
    const auto found = std::ranges::find(m_accepted, s, &Accepted::socket);
    return found == m_accepted.end() ? nullptr : &*found;
}

void WinsockStreams::drop(SOCKET s, bool abortive)
{
    std::erase_if(m_accepted, [s](const Accepted &connection) { return connection.socket == s; });
    retire(s, abortive);
}

void WinsockStreams::retire(SOCKET s, bool abortive)
{
    WSAAsyncSelect(s, m_window, 0, 0); // it posts nothing more
    if (abortive)
        SetAbortiveClose(s);
    else
        shutdown(s, SD_SEND); // the reply goes out in full, then the end
    m_retired.push_back(s);
    if (!PostMessageW(m_window, kRetiredMessage, static_cast<WPARAM>(s), 0)) {
        m_retired.pop_back();
        closesocket(s);
    }
}

} // namespace pellwick
