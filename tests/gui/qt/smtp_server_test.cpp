// SPDX-License-Identifier: MIT
// The SMTP dialogue over the real Qt socket and event loop against a real server
// (aiosmtpd) on loopback: plain, STARTTLS and TLS with a login, the mail read back
// by a real MIME parser, and broken or hostile peers.
#include "core/mail/smtp.h"
#include "gui/qt/qt_deadline.h"
#include "gui/qt/qt_socket.h"
#include "support/event_loop.h"
#include "support/fake_mail.h"
#include "support/smtp_sink.h"
#include "support/temp_folder.h"
#include "support/tls_cases.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSslConfiguration>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace pellwick;
using namespace pellwick::test;

namespace {

struct Client
{
    Client()
    {
        QObject::connect(&socket, &QtSocket::dataArrival,
                         [this](std::int32_t count) { smtp.HandleServerReply(count); });
    }
    bool send(Submission submission, const std::string &body = "Your New IP Address is 10.9.8.7",
              const std::string &subject = "IP", const std::string &server = " 127.0.0.1 ")
    {
        const int before = host.dialoguesEnded;
        host.log.clear();
        smtp.ConnectToServer(server, "bob@example.org", body, "alice@example.com", subject,
                             "Pellwick v1.0", std::move(submission));
        return RunEventsUntil([&] { return host.dialoguesEnded > before; });
    }

    QtSocket socket;
    RecordingSmtpListener host;
    QtDeadline deadline;
    Smtp smtp {socket, host, deadline, FixedEnvironment()};
};

Submission plain(std::uint16_t port)
{
    return {port, Security::None, "", {}, "", ""};
}

// Python's email package reads the message as a mail reader would.
QJsonObject parsedByPython(const std::string &message)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import email, email.policy, json, sys\n"
                                 "raw = sys.stdin.buffer.read()\n"
                                 "m = email.message_from_bytes(raw, policy=email.policy.default)\n"
                                 "head = raw.split(b'\\r\\n\\r\\n')[0].split(b'\\r\\n')\n"
                                 "print(json.dumps({'subject': m['subject'],\n"
                                 "  'body': m.get_content().replace('\\r\\n', '\\n'), 'longest': "
                                 "max(map(len, head))}))\n")});
    python.write(QByteArray::fromStdString(message));
    python.closeWriteChannel();
    python.waitForFinished(10000);
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

} // namespace

// Python's email package reads back what was typed; the core's own test holds the
// bytes, 8bit where the server offers 8BITMIME included.
TEST(SmtpWithRealServer, TextBeyondAsciiReadsBackAsTyped)
{
    const std::string subject = "Gr\xC3\xBC\xC3\x9F"
                                "e \xE2\x98\x83 aus K\xC3\xB6ln, "
                                + std::string(60, 'x') + " neue IP 10.9.8.7";
    // A lone "." line must not end the message early.
    const std::string body = "Hall\xC3\xB6 \xE2\x98\x83\r\n=3D stays\r\n.\r\n.dot\r\n"
                             + std::string(1200, 'L') + "\r\ntrailing blank ";
    SmtpSink sink;
    ASSERT_TRUE(sink.started());
    Client client;
    ASSERT_TRUE(client.send(plain(sink.port()), body, subject));
    ASSERT_EQ(sink.Messages().size(), 1u) << client.host.log;
    const QJsonObject read = parsedByPython(sink.Messages()[0]);
    EXPECT_EQ(read[QStringLiteral("subject")].toString().toStdString(), subject);
    QString typed = QString::fromStdString(body);
    typed.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(read[QStringLiteral("body")].toString(), typed + QStringLiteral("\n"));
    EXPECT_LE(read[QStringLiteral("longest")].toInt(), 78);
}

TEST(SmtpOverTls, DeliversOnlyOverTrustedTlsAndNeverShowsThePassword)
{
    // Certificates from a test authority this process trusts, and a self-signed one.
    QTemporaryDir certs;
    QProcess::execute(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral(PELLWICK_TEST_AUTHORITY_SCRIPT), certs.path()});
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.addCaCertificates(certs.filePath(QStringLiteral("ca.pem")));
    QSslConfiguration::setDefaultConfiguration(config);
    const std::string folder = certs.path().toStdString() + "/";
    const std::string selfFingerprint = ReadBytes(folder + "self.sha256");
    const std::string password = "pa55 w\xC3\xB6rd";
    for (const auto &c : kTlsCases) {
        SCOPED_TRACE(c.name);
        const std::string stem = folder + c.certStem;
        SmtpSink sink({c.tls, stem + ".pem", stem + ".key", "alice:" + password});
        ASSERT_TRUE(sink.started());
        Client client;
        ASSERT_TRUE(client.send(TlsSubmission(c, sink.port(), password, selfFingerprint)));
        const auto messages = sink.Messages();
        ExpectTlsOutcome(c, client.host, messages.empty() ? "" : messages[0], password,
                         selfFingerprint);
    }
}

TEST(SmtpWithRealServer, EveryWayAPeerFailsEndsTheDialogueWithItsCause)
{
    SmtpSink sink;
    ASSERT_TRUE(sink.started());
    Client client;
    const std::string megabyte(1 << 20, 'x');
    std::string continued;
    while (continued.size() < (1 << 20))
        continued += "220-" + std::string(99, 'y') + "\r\n";
    // What the peer does with each client, or nothing listening (empty).
    using Behaviour = std::function<void(QTcpSocket *)>;
    struct Case
    {
        Behaviour peer;
        std::string log; // "@" stands for the server and port
        std::string server = "127.0.0.1";
    };
    const std::vector<Case> cases {
        {[&](QTcpSocket *c) { c->write(QByteArray::fromStdString(megabyte)); },
         megabyte.substr(0, 4096) + "\r\nReply from @ over the size limit\r\n"},
        {[&](QTcpSocket *c) { c->write(QByteArray::fromStdString(continued)); },
         continued.substr(0, 64 * 1024) + "\r\nReply from @ over the size limit\r\n"},
        {[](QTcpSocket *c) {
             c->write("220 hostile\r\n");
             QObject::connect(c, &QTcpSocket::readyRead, c, [c] {
                 c->write("250-half");
                 c->disconnectFromHost();
             });
         },
         "220 hostile\r\n\r\nHELO alice\r\nConnection to @ lost waiting for the reply to HELO: "
         "closed by the server\r\n"},
        {nullptr, "Could not connect to @: connection refused\r\n"},
        // A name under ".invalid" would still go to the machine's name server,
        // which is not on loopback; an empty label fails here.
        {nullptr, "Could not connect to @: host not found\r\n", "nowhere..invalid"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.log.substr(c.log.size() - 40));
        QTcpServer peer;
        ASSERT_TRUE(peer.listen(QHostAddress::LocalHost));
        const auto port = static_cast<std::uint16_t>(peer.serverPort());
        if (c.peer) {
            QObject::connect(&peer, &QTcpServer::newConnection, [&] {
                while (QTcpSocket *accepted = peer.nextPendingConnection())
                    c.peer(accepted);
            });
        } else {
            peer.close();
        }
        ASSERT_TRUE(client.send(plain(port), "x", "IP", c.server));
        std::string log = c.log;
        log.replace(log.find('@'), 1, c.server + ":" + std::to_string(port));
        EXPECT_EQ(client.host.log, log + "Closing Connection\r\n");
        EXPECT_EQ(client.host.outcome.result, c.log.find("size limit") == std::string::npos
                                                  ? DeliveryResult::PassingFailure
                                                  : DeliveryResult::RefusedForGood);
        EXPECT_EQ(client.socket.findChild<QTcpSocket *>()->bytesAvailable(), 0);
        peer.close();
        // Nothing left from that peer spoils the next mail (all are counted below).
        ASSERT_TRUE(client.send(plain(sink.port())));
    }
    EXPECT_EQ(sink.Messages().size(), cases.size());
}
