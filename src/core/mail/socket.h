// SPDX-License-Identifier: MIT
#pragma once

#include "core/net/event_source.h"

#include <cstdint>
#include <string>

namespace pellwick {

// What the server's certificate looked like when TLS came up.
struct TlsPeer
{
    // SHA-256 of the certificate (DER), upper-case hex pairs joined by ":".
    std::string fingerprint;
    // It chains to an authority the system trusts and names the server.
    bool verified = false;
    // Why it is not verified; empty when it is.
    std::string problem;
};

// How the connection to the mail server is protected ("SMTPSecurity").
enum class Security {
    None = 0, // plain SMTP, as on port 25
    StartTls = 1, // plain connection, then STARTTLS before anything else
    Tls = 2, // TLS from the first byte (port 465)
};

// Why a connection could not be made or was lost.
enum class SocketFailure {
    HostNotFound,
    Refused,
    Closed,
    Tls,
    Other,
};

// Events of the connection, other than data arrival, for the one dialogue that
// listens to the socket.
class SocketEvents
{
public:
    // The TCP connection is up.
    virtual void SocketConnected() = 0;
    // The TLS handshake is done; nothing has been sent inside it yet.
    virtual void SocketEncrypted(const TlsPeer &peer) = 0;
    // The connection failed or is gone; `detail` says why, in lower case
    // ("connection refused").
    virtual void SocketFailed(SocketFailure failure, const std::string &detail) = 0;

protected:
    virtual ~SocketEvents() = default;
};

// The socket as the SMTP dialogue sees it. The window owns the real one
// (QtSocket); tests give the dialogue a fake. Data arrival is reported by the
// owner calling Smtp::HandleServerReply with the count of waiting bytes; every
// other event goes to the SocketEvents listener the dialogue registers.
class Socket : public EventSource<SocketEvents>
{
public:
    virtual ~Socket() = default;

    // Drops any open connection; does nothing when none is open.
    virtual void Close() = 0;
    // Starts a connection and returns at once: TLS from its first byte, or TCP
    // (on which StartTls follows later with StartTls security; a socket that
    // loads its TLS machinery only when a dialogue needs it loads it then).
    virtual void Connect(const std::string &host, std::uint16_t port, Security security) = 0;
    // Sends the bytes as they are, after everything sent before.
    virtual void SendData(const std::string &text) = 0;
    // Replaces `data` with up to `count` of the bytes waiting to be read.
    virtual void GetData(std::string &data, std::int32_t count) = 0;
    // Starts the TLS handshake on the open connection now.
    virtual void StartTls() = 0;
};

} // namespace pellwick
