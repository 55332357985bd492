// SPDX-License-Identifier: MIT
#pragma once

#include <QProcess>
#include <QTemporaryDir>

#include <cstdint>
#include <string>
#include <vector>

namespace pellwick::test {

// Debian's aiosmtpd as a real SMTP server on a free loopback port while this lives.
class SmtpSink
{
public:
    explicit SmtpSink(const QStringList &options = {}); // smtp_sink.py's options
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
