// SPDX-License-Identifier: MIT
#pragma once

// The TLS and login cases each shell's socket goes through against a real server
// (smtp_sink.py) with certificates from test_authority.py.
#include "core/mail/submission.h"
#include "support/fake_mail.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pellwick::test {

struct TlsCase
{
    std::string name;
    // "server": issued by the test authority, which the test trusts; "self": self-signed.
    std::string certStem;
    std::string tls; // smtp_sink.py's --tls
    Security security;
    bool pinned; // the self-signed certificate's fingerprint
    bool delivered; // else the fingerprint is logged
};

inline const std::vector<TlsCase> kTlsCases {
    {"starttls", "server", "starttls", Security::StartTls, false, true},
    {"self-signed but pinned", "self", "implicit", Security::Tls, true, true},
    {"untrusted certificate", "self", "implicit", Security::Tls, false, false},
};

inline Submission TlsSubmission(const TlsCase &c, std::uint16_t port, const std::string &password,
                                const std::string &fingerprint)
{
    return {port, c.security, "alice", password, c.pinned ? fingerprint : "", ""};
}

// What the dialogue showed, and the message the server received (empty: none).
inline void ExpectTlsOutcome(const TlsCase &c, const RecordingSmtpListener &host,
                             const std::string &received, const std::string &password,
                             const std::string &selfFingerprint)
{
    EXPECT_EQ(received.ends_with("\r\n\r\nYour New IP Address is 10.9.8.7\r\n"), c.delivered);
    EXPECT_EQ(host.outcome.result,
              c.delivered ? DeliveryResult::Delivered : DeliveryResult::RefusedForGood);
    const std::string logged = c.delivered ? "221 " : "; SHA-256 fingerprint " + selfFingerprint;
    EXPECT_NE(host.log.find(logged), std::string::npos) << host.log;
    EXPECT_EQ(host.log.find(password.substr(0, 4)), std::string::npos) << host.log;
    if (c.certStem == "self") {
        EXPECT_EQ(host.outcome.peerFingerprint, selfFingerprint);
    }
}

} // namespace pellwick::test
