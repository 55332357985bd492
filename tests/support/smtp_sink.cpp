#include "support/smtp_sink.h"

#include <QFile>

namespace pellwick::test {

SmtpSink::SmtpSink(const SinkOptions &options)
{
    QStringList arguments {QStringLiteral(PELLWICK_SMTP_SINK_SCRIPT), QStringLiteral("--dir"),
                           m_dir.path()};
    if (options.tls != SinkOptions::Tls::None) {
        arguments << QStringLiteral("--tls")
                  << (options.tls == SinkOptions::Tls::StartTls ? QStringLiteral("starttls")
                                                                : QStringLiteral("implicit"))
                  << QStringLiteral("--cert") << QString::fromStdString(options.cert)
                  << QStringLiteral("--key") << QString::fromStdString(options.key);
    }
    if (!options.login.empty())
        arguments << QStringLiteral("--login") << QString::fromStdString(options.login);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral("/usr/bin/python3"), arguments);
    if (!m_process.waitForStarted(10000))
        return;
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(10000))
            return;
    }
    bool ok = false;
    const int port = m_process.readLine().trimmed().toInt(&ok);
    if (ok && port > 0 && port < 65536)
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

std::vector<SinkMessage> SmtpSink::Messages() const
{
    std::vector<SinkMessage> messages;
    for (int n = 1;; ++n) {
        const auto read = [&](const char *extension) {
            QFile file(m_dir.filePath(QString::number(n) + QLatin1String(extension)));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        if (!QFile::exists(m_dir.filePath(QString::number(n) + QStringLiteral(".data"))))
            break;
        SinkMessage message {{}, read(".data").toStdString()};
        for (const QByteArray &address : read(".rcpt").split('\n'))
            if (!address.isEmpty())
                message.recipients.push_back(address.toStdString());
        messages.push_back(std::move(message));
    }
    return messages;
}

} // namespace pellwick::test
