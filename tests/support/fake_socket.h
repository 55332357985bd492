#pragma once

#include "core/mail/socket.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace pellwick::test {

// A socket kept as plain state: where it is connected, what went out on the
// wire, what the server sent that is not read yet. The test fires its events.
struct FakeSocket : Socket
{
    std::string connectedTo, wire, waiting;
    int tlsStarts = 0;

    // Queues the server's next bytes; returns the count the socket would report.
    std::int32_t Arrive(const std::string &bytes)
    {
        waiting += bytes;
        return static_cast<std::int32_t>(waiting.size());
    }
    void Connected() { Events()->SocketConnected(); }
    void Encrypted(const TlsPeer &peer) { Events()->SocketEncrypted(peer); }
    void Fail(SocketFailure failure, const std::string &detail)
    {
        Events()->SocketFailed(failure, detail);
    }

    void Close() override { connectedTo.clear(); }
    void Connect(const std::string &host, std::uint16_t port, Security security) override
    {
        connectedTo = (security == Security::Tls ? "tls " : "") + host + ":" + std::to_string(port);
        wire.clear();
    }
    void StartTls() override { ++tlsStarts; }
    void SendData(const std::string &text) override { wire += text; }
    void GetData(std::string &data, std::int32_t count) override
    {
        data = waiting.substr(0, static_cast<std::size_t>(std::max(count, 0)));
        waiting.erase(0, data.size());
    }
};

} // namespace pellwick::test
