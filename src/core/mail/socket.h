#pragma once

#include <cstdint>
#include <string>

namespace pellwick {

// The socket control as the SMTP dialogue sees it. The window owns the real one
// (QtSocket); tests give the dialogue a fake. Data arrival is reported by the
// owner calling Smtp::HandleServerReply with the count of waiting bytes.
class Socket
{
public:
    virtual ~Socket() = default;

    // Drops any open connection; does nothing when none is open.
    virtual void Close() = 0;
    // Starts a TCP connection and returns at once.
    virtual void Connect(const std::string &host, std::uint16_t port) = 0;
    // Sends the bytes as they are, after everything sent before.
    virtual void SendData(const std::string &text) = 0;
    // Replaces `data` with up to `count` of the bytes waiting to be read.
    virtual void GetData(std::string &data, std::int32_t count) = 0;
};

} // namespace pellwick
