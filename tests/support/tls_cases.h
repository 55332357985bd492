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
    bool rightPassword;
    bool loginSent;
    std::string logged; // empty: delivered; "@" stands for the self-signed fingerprint
};

inline const std::vector<TlsCase> kTlsCases {
    {"starttls", "server", "starttls", Security::StartTls, false, true, true, ""},
    {"tls from the first byte", "server", "implicit", Security::Tls, false, true, true, ""},
    {"self-signed but pinned", "self", "implicit", Security::Tls, true, true, true, ""},
    {"untrusted certificate", "self", "implicit", Security::Tls, false, true, false,
     "; SHA-256 fingerprint @\r\n"},
    {"no starttls offered", "server", "none", Security::StartTls, false, true, false,
     " offers no STARTTLS"},
    {"wrong password", "server", "starttls", Security::StartTls, false, false, true,
     "535 5.7.8 Authentication credentials invalid\r\n"},
};

inline Submission TlsSubmission(const TlsCase &c, std::uint16_t port, const std::string &password,
                                const std::string &fingerprint)
{
    const std::string typed = c.rightPassword ? password : "wrong";
    return {port, c.security, "alice", typed, c.pinned ? fingerprint : "", ""};
}

// What the dialogue showed, and the message the server received (empty: none).
inline void ExpectTlsOutcome(const TlsCase &c, const RecordingSmtpListener &host,
                             const std::string &received, const std::string &password,
                             const std::string &selfFingerprint)
{
    const std::string &log = host.log;
    const bool delivered = c.logged.empty();
    EXPECT_EQ(received.ends_with("\r\n\r\nYour New IP Address is 10.9.8.7\r\n"), delivered);
    EXPECT_EQ(host.outcome.result,
              delivered ? DeliveryResult::Delivered : DeliveryResult::RefusedForGood);
    std::string logged = delivered ? "221 " : c.logged;
    if (const auto at = logged.find('@'); at != std::string::npos)
        logged.replace(at, 1, selfFingerprint);
    EXPECT_NE(log.find(logged), std::string::npos) << log;
    EXPECT_EQ(log.find("AUTH") != std::string::npos, c.loginSent) << log;
    EXPECT_EQ(log.find("MAIL FROM") != std::string::npos, delivered) << log;
    // Not even a part of a password shows.
    EXPECT_EQ(log.find(password.substr(0, 4)), std::string::npos) << log;
    EXPECT_EQ(log.find("wrong"), std::string::npos) << log;
    if (c.certStem == "self") {
        EXPECT_EQ(host.outcome.peerFingerprint, selfFingerprint);
    }
}

} // namespace pellwick::test
