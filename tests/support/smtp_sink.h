// SPDX-License-Identifier: MIT
#pragma once

#include <QProcess>
#include <QTemporaryDir>

#include <cstdint>
#include <string>
#include <vector>

namespace pellwick::test {

// How the server protects the connection and whom it lets in.
struct SinkOptions
{
    std::string tls = "none"; // or "starttls", "implicit"
    std::string cert, key; // PEM files, for TLS
    std::string login; // "user:password" wanted before any mail; empty: none
};

// Debian's aiosmtpd as a real SMTP server on a free loopback port while this lives.
class SmtpSink
{
public:
    explicit SmtpSink(const SinkOptions &options = {});
    ~SmtpSink();

    bool started() const { return m_port != 0; }
    std::uint16_t port() const { return m_port; }
    // Every message accepted so far, in the order of arrival: raw bytes,
    // dot-stuffing removed.
    std::vector<std::string> Messages() const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    std::uint16_t m_port = 0;
};

} // namespace pellwick::test
