// SPDX-License-Identifier: MIT
// The SMTP dialogue over the real Qt socket and event loop against a real server
// (aiosmtpd) on loopback: STARTTLS and TLS with a login, and broken or hostile peers.
#include "core/mail/smtp.h"
#include "gui/qt/qt_deadline.h"
#include "gui/qt/qt_socket.h"
#include "support/event_loop.h"
#include "support/fake_mail.h"
#include "support/smtp_sink.h"
#include "support/temp_folder.h"
#include "support/tls_cases.h"

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
    bool send(Submission submission, const std::string &server = " 127.0.0.1 ")
    {
        const int before = host.dialoguesEnded;
        host.log.clear();
        smtp.ConnectToServer(server, "bob@example.org", "Your New IP Address is 10.9.8.7",
                             "alice@example.com", "IP", "Pellwick v1.0", std::move(submission));
        return RunEventsUntil([&] { return host.dialoguesEnded > before; });
    }

    QtSocket socket;
    RecordingSmtpListener host;
    QtDeadline deadline;
    Smtp smtp {socket, host, deadline, FixedEnvironment()};
};

} // namespace

TEST(SmtpOverTls, DeliversOnlyOverTrustedTlsAndNeverShowsThePassword)
{
    // Certificates from a test authority this process trusts, and a self-signed one.
    QTemporaryDir certs;
    QProcess::execute(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral(PELLWICK_TEST_AUTHORITY_SCRIPT), certs.path()});
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.addCaCertificates(certs.filePath(QStringLiteral("ca.pem")));
    QSslConfiguration::setDefaultConfiguration(config);
    const std::string selfFingerprint
        = ReadBytes(certs.filePath(QStringLiteral("self.sha256")).toStdString());
    const std::string password = "pa55 w\xC3\xB6rd";
    for (const auto &c : kTlsCases) {
        SCOPED_TRACE(c.name);
        const QString stem = certs.filePath(QString::fromStdString(c.certStem));
        SmtpSink sink({QStringLiteral("--tls"), QString::fromStdString(c.tls),
                       QStringLiteral("--cert"), stem + QStringLiteral(".pem"),
                       QStringLiteral("--key"), stem + QStringLiteral(".key"),
                       QStringLiteral("--login"), QString::fromStdString("alice:" + password)});
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
        ASSERT_TRUE(client.send({port, Security::None, "", {}, "", ""}, c.server));
        std::string log = c.log;
        log.replace(log.find('@'), 1, c.server + ":" + std::to_string(port));
        EXPECT_EQ(client.host.log, log + "Closing Connection\r\n");
        EXPECT_EQ(client.host.outcome.result, c.log.find("size limit") == std::string::npos
                                                  ? DeliveryResult::PassingFailure
                                                  : DeliveryResult::RefusedForGood);
        EXPECT_EQ(client.socket.findChild<QTcpSocket *>()->bytesAvailable(), 0);
        peer.close();
        // Nothing left from that peer spoils the next mail (all are counted below).
        ASSERT_TRUE(client.send({sink.port(), Security::None, "", {}, "", ""}));
    }
    EXPECT_EQ(sink.Messages().size(), cases.size());
}
