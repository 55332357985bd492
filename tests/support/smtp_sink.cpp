#include "support/smtp_sink.h"

#include <QFile>

namespace pellwick::test {

namespace {

std::string readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

} // namespace

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
        const QString base = m_dir.filePath(QString::number(n));
        if (!QFile::exists(base + QStringLiteral(".data")))
            break;
        SinkMessage message;
        message.mailFrom = readFile(base + QStringLiteral(".from"));
        message.data = readFile(base + QStringLiteral(".data"));
        const std::string rcpt = readFile(base + QStringLiteral(".rcpt"));
        std::size_t start = 0;
        while (start <= rcpt.size() && !rcpt.empty()) {
            const std::size_t end = rcpt.find('\n', start);
            message.recipients.push_back(rcpt.substr(start, end - start));
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
        messages.push_back(std::move(message));
    }
    return messages;
}

} // namespace pellwick::test
