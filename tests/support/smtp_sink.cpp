// SPDX-License-Identifier: MIT
#include "support/smtp_sink.h"

#include <QFile>

namespace pellwick::test {

SmtpSink::SmtpSink(const QStringList &options)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral("/usr/bin/python3"),
                    QStringList {QStringLiteral(PELLWICK_SMTP_SINK_SCRIPT), QStringLiteral("--dir"),
                                 m_dir.path()}
                        + options);
    // It prints its port once listening; anything else leaves the port 0.
    while (!m_process.canReadLine() && m_process.waitForReadyRead(10000)) { }
    const int port = m_process.readLine().trimmed().toInt();
    if (port > 0 && port < 65536)
        m_port = static_cast<std::uint16_t>(port);
}

SmtpSink::~SmtpSink()
{
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

std::vector<std::string> SmtpSink::Messages() const
{
    std::vector<std::string> messages;
    for (int n = 1;; ++n) {
        QFile data(m_dir.filePath(QString::number(n) + QStringLiteral(".data")));
        if (!data.open(QIODevice::ReadOnly))
            break;
        messages.push_back(data.readAll().toStdString());
    }
    return messages;
}

} // namespace pellwick::test
