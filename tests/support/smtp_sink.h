// SPDX-License-Identifier: MIT
#pragma once

#include <QFile>
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
    explicit SmtpSink(const QStringList &options = {}) // smtp_sink.py's options
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("/usr/bin/python3"),
                        QStringList {QStringLiteral(PELLWICK_SMTP_SINK_SCRIPT),
                                     QStringLiteral("--dir"), m_dir.path()}
                            + options);
        // It prints its port once listening; anything else leaves the port 0.
        while (!m_process.canReadLine() && m_process.waitForReadyRead(10000)) { }
        const int port = m_process.readLine().trimmed().toInt();
        if (port > 0 && port < 65536)
            m_port = static_cast<std::uint16_t>(port);
    }
    ~SmtpSink()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    bool started() const { return m_port != 0; }
    std::uint16_t port() const { return m_port; }
    // Every message accepted so far, in the order of arrival: raw bytes,
    // dot-stuffing removed.
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> messages;
        for (int n = 1;; ++n) {
            QFile data(m_dir.filePath(QString::number(n) + QStringLiteral(".data")));
            if (!data.open(QIODevice::ReadOnly))
                return messages;
            messages.push_back(data.readAll().toStdString());
        }
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    std::uint16_t m_port = 0;
};

} // namespace pellwick::test
