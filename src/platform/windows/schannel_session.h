// SPDX-License-Identifier: MIT
#pragma once

#include "core/mail/socket.h"

#include "platform/windows/windows_api.h"

#ifndef SECURITY_WIN32
#define SECURITY_WIN32
#endif
#include <schannel.h>
#include <security.h>

#include <string>

namespace pellwick {

// One client TLS session through SChannel (SSPI), over bytes only: the socket
// hands it what arrives and sends what it gives back. The certificate is not
// judged here: the session reports its fingerprint and whether it chains to an
// authority the system trusts and names the server, and the dialogue decides.
class SchannelSession
{
public:
    enum class Step { Continue, Done, Failed };

    explicit SchannelSession(const std::string &serverName);
    ~SchannelSession();
    SchannelSession(const SchannelSession &) = delete;
    SchannelSession &operator=(const SchannelSession &) = delete;

    // Starts the handshake (nothing arrived yet), or takes bytes that arrived
    // during it; `out` receives the bytes to send. Bytes that arrived after the
    // handshake's end stay for Decrypt.
    Step Handshake(const std::string &arrived, std::string &out);
    // Appends the encrypted form of the bytes, ready to send, to `out`; false
    // when they could not be encrypted.
    bool Encrypt(const std::string &plain, std::string &out);
    // Takes bytes that arrived and appends what they decrypt to `plain`; false
    // when the connection cannot go on (the peer closed the session, or broken
    // data). `out` receives what must be sent back, if anything.
    bool Decrypt(const std::string &arrived, std::string &plain, std::string &out);

    // Why the session failed, in lower case.
    const std::string &Problem() const { return m_problem; }
    // The server's certificate and what the system says of it; after Done.
    TlsPeer Peer() const;

private:
    Step step(std::string &out);
    Step fail(const std::string &what, SECURITY_STATUS status);

    std::wstring m_serverName;
    CredHandle m_credentials {};
    CtxtHandle m_context {};
    bool m_haveCredentials = false;
    bool m_haveContext = false;
    bool m_certificateAsked = false;
    // Received bytes not used yet: the rest of a record, or more records.
    std::string m_input;
    SecPkgContext_StreamSizes m_sizes {};
    std::string m_problem;
};

} // namespace pellwick
