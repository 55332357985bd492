// The SMTP dialogue over the real Qt socket against a real server (aiosmtpd)
// on loopback, driven by the real event loop: plain, STARTTLS and TLS with a
// login, the mail read back by a real MIME parser, and broken or hostile peers
// (whose failures each end the dialogue with their cause; the same client then
// delivers). Time limits pass when the test says so.
#include "core/mail/smtp.h"
#include "core/settings/registry.h"
#include "gui/qt/qt_socket.h"
#include "platform/linux/hive_file.h"
#include "platform/local_time.h"
#include "support/event_loop.h"
#include "support/manual_deadline.h"
#include "support/recording_smtp_host.h"
#include "support/smtp_sink.h"
#include "support/temp_folder.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSslConfiguration>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using pellwick::DeliveryResult;
using pellwick::QtSocket;
using pellwick::Security;
using pellwick::Smtp;
using pellwick::Submission;
using pellwick::test::RunEventsUntil;
using pellwick::test::SinkOptions;
using pellwick::test::SmtpSink;

namespace {

struct Client
{
    Client()
    {
        QObject::connect(&socket, &QtSocket::dataArrival,
                         [this](std::int32_t count) { smtp.HandleServerReply(count); });
    }
    bool send(const std::string &recipient, const std::string &body,
              const std::string &subject = "IP 10.9.8.7", Submission submission = {},
              const std::string &server = " 127.0.0.1 ")
    {
        const int before = host.dialoguesEnded;
        host.log.clear();
        smtp.ConnectToServer(server, recipient, body, "alice@example.com", subject, "Pellwick v1.0",
                             std::move(submission));
        return RunEventsUntil([&] { return host.dialoguesEnded > before; });
    }
    bool sendTo(std::uint16_t port, const std::string &body = "Your New IP Address is 10.9.8.7")
    {
        return send("bob@example.org", body, "IP", {port, Security::None, "", {}, "", ""});
    }

    QtSocket socket;
    pellwick::test::ManualDeadline deadline;
    pellwick::test::RecordingSmtpHost host;
    Smtp smtp {socket,
               host,
               deadline,
               {pellwick::CurrentLocalTime, [] { return std::string("client.test"); },
                [] {
                    return 42ull;
                }}};
};

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

TEST(SmtpWithRealServer, DeliversTheMessageAsWritten)
{
    SmtpSink sink;
    ASSERT_TRUE(sink.started());
    Client client;

    ASSERT_TRUE(client.sendTo(sink.port(), "Your New IP Address is 10.9.8.7\r\n.\r\n.hidden"));
    const auto messages = sink.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].mailFrom, "alice@example.com");
    EXPECT_EQ(messages[0].recipients, std::vector<std::string> {"bob@example.org"});
    const std::string &data = messages[0].data;
    EXPECT_TRUE(data.starts_with("From: alice@example.com\r\nDate: ")) << data;
    EXPECT_NE(data.find("\r\nMessage-ID: <"), std::string::npos) << data;
    EXPECT_NE(data.find(".000000000000002a@example.com>\r\n"), std::string::npos) << data;
    // A lone "." line does not end the message early: everything arrives.
    EXPECT_TRUE(data.ends_with("X-Mailer: Pellwick v1.0\r\nTo: bob@example.org\r\n"
                               "Subject: IP\r\n\r\n"
                               "Your New IP Address is 10.9.8.7\r\n.\r\n.hidden\r\n"))
        << data;
    EXPECT_TRUE(client.host.log.starts_with("220 ")) << client.host.log;
    EXPECT_TRUE(client.host.log.ends_with("221 Bye\r\n\r\nClosing Connection\r\n"))
        << client.host.log;
    EXPECT_EQ(client.host.outcome.result, DeliveryResult::Delivered);
}

TEST(SmtpWithRealServer, NulsStoredInServerAndRecipientNeverReachTheServer)
{
    SmtpSink sink;
    ASSERT_TRUE(sink.started());
    pellwick::test::TempFolder folder;
    // "127.0.0.1" and "bob@x.test", each with a NUL inside or after it.
    pellwick::test::WriteBytes(folder / "registry.reg",
                               "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\Software\\Pellwick]\r\n"
                               "\"SMTPServer\"=hex(1):31,32,37,2e,30,2e,30,2e,31,00,00\r\n"
                               "\"Recipient\"=hex(1):62,6f,62,00,40,78,2e,74,65,73,74,00\r\n");
    pellwick::HiveFile hive(folder / "registry.reg");
    pellwick::Registry registry(hive);
    const auto stored = [&registry](const std::string &name) {
        return pellwick::ValueText(
            registry.QueryValue(pellwick::kHkeyLocalMachine, "Software\\Pellwick", name, {}));
    };
    ASSERT_EQ(stored("Recipient"), std::string("bob\0@x.test", 11));

    Client client;
    ASSERT_TRUE(client.send(stored("Recipient"), "body", "IP",
                            {sink.port(), Security::None, "", {}, "", ""}, stored("SMTPServer")));
    const auto messages = sink.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].recipients, std::vector<std::string> {"bob@x.test"});
    EXPECT_NE(messages[0].data.find("\r\nTo: bob@x.test\r\n"), std::string::npos);
    EXPECT_EQ(messages[0].data.find('\0'), std::string::npos);
}

// A server with a certificate from a test authority the tests make and trust,
// and one with a self-signed certificate nobody trusts.
class SmtpOverTls : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_certs = new QTemporaryDir;
        QProcess::execute(QStringLiteral("/usr/bin/python3"),
                          {QStringLiteral(PELLWICK_TEST_AUTHORITY_SCRIPT), s_certs->path()});
        QSslConfiguration config = QSslConfiguration::defaultConfiguration();
        config.addCaCertificates(s_certs->filePath(QStringLiteral("ca.pem")));
        QSslConfiguration::setDefaultConfiguration(config);
    }
    static void TearDownTestSuite() { delete s_certs; }

    static std::string cert(const char *file)
    {
        return s_certs->filePath(QString::fromLatin1(file)).toStdString();
    }

    static inline QTemporaryDir *s_certs = nullptr;
};

TEST_F(SmtpOverTls, TextBeyondAsciiReadsBackAsTyped)
{
    const std::string subject = "Gr\xC3\xBC\xC3\x9F"
                                "e \xE2\x98\x83 aus K\xC3\xB6ln, "
                                + std::string(60, 'x') + " neue IP 10.9.8.7";
    const std::string body = "Hall\xC3\xB6 \xE2\x98\x83\r\n=3D stays\r\n.dot\r\n"
                             + std::string(1200, 'L') + "\r\ntrailing blank ";
    // Quoted-printable on the plain dialogue; 8bit where EHLO announced 8BITMIME
    // (but the long line still forces quoted-printable, so a short body there).
    for (const bool eightBit : {false, true}) {
        const std::string sent = eightBit ? "Hall\xC3\xB6 \xE2\x98\x83\r\n.dot" : body;
        SmtpSink sink({eightBit ? SinkOptions::Tls::StartTls : SinkOptions::Tls::None,
                       cert("server.pem"), cert("server.key"), ""});
        ASSERT_TRUE(sink.started());
        Client client;
        ASSERT_TRUE(client.send(
            "bob@example.org", sent, subject,
            {sink.port(), eightBit ? Security::StartTls : Security::None, "", {}, "", ""}));
        ASSERT_EQ(sink.Messages().size(), 1u) << client.host.log;
        const std::string data = sink.Messages()[0].data;
        EXPECT_NE(data.find(eightBit ? "Content-Transfer-Encoding: 8bit\r\n"
                                     : "Content-Transfer-Encoding: quoted-printable\r\n"),
                  std::string::npos);
        const QJsonObject read = parsedByPython(data);
        EXPECT_EQ(read[QStringLiteral("subject")].toString().toStdString(), subject);
        QString typed = QString::fromStdString(sent);
        typed.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        EXPECT_EQ(read[QStringLiteral("body")].toString(), typed + QStringLiteral("\n"));
        EXPECT_LE(read[QStringLiteral("longest")].toInt(), 78);
    }
}

TEST_F(SmtpOverTls, DeliversOnlyOverTrustedTlsAndNeverShowsThePassword)
{
    const std::string password = "pa55 w\xC3\xB6rd";
    QFile selfSha(QString::fromStdString(cert("self.sha256")));
    ASSERT_TRUE(selfSha.open(QIODevice::ReadOnly));
    const std::string selfFingerprint = selfSha.readAll().toStdString();
    struct Case
    {
        std::string name;
        SinkOptions::Tls tls;
        const char *certStem;
        Security security;
        std::string typedPassword;
        std::string pin;
        bool delivered;
        std::string logged; // in the log when nothing is delivered
    };
    const std::vector<Case> cases {
        {"starttls on a submission port", SinkOptions::Tls::StartTls, "server", Security::StartTls,
         password, "", true, ""},
        {"tls from the first byte", SinkOptions::Tls::Implicit, "server", Security::Tls, password,
         "", true, ""},
        {"wrong password", SinkOptions::Tls::StartTls, "server", Security::StartTls, "wrong", "",
         false, "535 5.7.8 Authentication credentials invalid\r\n"},
        {"no starttls offered", SinkOptions::Tls::None, "server", Security::StartTls, password, "",
         false, " offers no STARTTLS"},
        {"untrusted certificate", SinkOptions::Tls::Implicit, "self", Security::Tls, password, "",
         false, "SHA-256 fingerprint " + selfFingerprint},
        {"the same certificate pinned", SinkOptions::Tls::Implicit, "self", Security::Tls, password,
         selfFingerprint, true, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string stem = cert(c.certStem);
        SmtpSink sink({c.tls, stem + ".pem", stem + ".key", "alice:" + password});
        ASSERT_TRUE(sink.started());
        Client client;
        ASSERT_TRUE(client.send("bob@example.org", "Your New IP Address is 10.9.8.7", "IP",
                                {sink.port(), c.security, "alice", c.typedPassword, c.pin, ""}))
            << client.host.log;
        const std::string &log = client.host.log;
        EXPECT_EQ(sink.Messages().size(), c.delivered ? 1u : 0u) << log;
        EXPECT_EQ(client.host.caption, "");
        EXPECT_EQ(client.host.outcome.result,
                  c.delivered ? DeliveryResult::Delivered : DeliveryResult::RefusedForGood);
        EXPECT_NE(log.find(c.delivered ? "221 " : c.logged), std::string::npos) << log;
        EXPECT_TRUE(log.ends_with("Closing Connection\r\n")) << log;
        if (!c.delivered) {
            EXPECT_EQ(log.find("MAIL FROM"), std::string::npos) << log;
        }
        if (c.name == "no starttls offered" || c.name == "untrusted certificate") {
            EXPECT_EQ(log.find("AUTH"), std::string::npos) << log;
        }
        for (const std::string &secret : {password, std::string("wrong"), std::string("pa55")})
            EXPECT_EQ(log.find(secret), std::string::npos);
        if (c.certStem == std::string("self")) {
            EXPECT_EQ(client.host.outcome.peerFingerprint, selfFingerprint);
        }
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
        std::string server;
        Behaviour peer;
        std::string log; // "@" stands for the server and port
        bool expire = false;
    };
    const std::vector<Case> cases {
        {"127.0.0.1", [&](QTcpSocket *c) { c->write(QByteArray::fromStdString(megabyte)); },
         megabyte.substr(0, 4096) + "\r\nReply from @ over the size limit\r\n"},
        {"127.0.0.1", [&](QTcpSocket *c) { c->write(QByteArray::fromStdString(continued)); },
         continued.substr(0, 64 * 1024) + "\r\nReply from @ over the size limit\r\n"},
        {"127.0.0.1",
         [](QTcpSocket *c) {
             c->write("220 hostile\r\n");
             QObject::connect(c, &QTcpSocket::readyRead, c, [c] {
                 c->write("250-half");
                 c->disconnectFromHost();
             });
         },
         "220 hostile\r\n\r\nHELO alice\r\nConnection to @ lost waiting for the reply to HELO: "
         "closed by the server\r\n"},
        {"127.0.0.1", [](QTcpSocket *) {},
         "No reply from @ within 5 min waiting for the greeting\r\n", true},
        {"127.0.0.1", nullptr, "Could not connect to @: connection refused\r\n"},
        // A name under ".invalid" would still go to the machine's name server,
        // which is not on loopback; an empty label fails here.
        {"nowhere..invalid", nullptr, "Could not connect to @: host not found\r\n"},
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
        const int before = client.host.dialoguesEnded;
        client.host.log.clear();
        client.smtp.ConnectToServer(c.server, "bob@example.org", "x", "alice@example.com", "IP",
                                    "Pellwick v1.0", {port, Security::None, "", {}, "", ""});
        if (c.expire) {
            ASSERT_TRUE(RunEventsUntil([&] { return client.deadline.armed == Smtp::kReplyLimit; }));
            client.deadline.Expire();
        }
        ASSERT_TRUE(RunEventsUntil([&] { return client.host.dialoguesEnded > before; }));
        std::string log = c.log;
        log.replace(log.find('@'), 1, c.server + ":" + std::to_string(port));
        EXPECT_EQ(client.host.log, log + "Closing Connection\r\n");
        EXPECT_EQ(client.host.caption, "");
        EXPECT_EQ(client.host.outcome.result, c.log.find("size limit") == std::string::npos
                                                  ? DeliveryResult::PassingFailure
                                                  : DeliveryResult::RefusedForGood);
        EXPECT_EQ(client.socket.findChild<QTcpSocket *>()->bytesAvailable(), 0);
        peer.close();
        // Nothing left from that peer spoils the next mail.
        ASSERT_TRUE(client.sendTo(sink.port()));
        EXPECT_TRUE(client.host.log.ends_with("221 Bye\r\n\r\nClosing Connection\r\n"));
    }
    EXPECT_EQ(sink.Messages().size(), cases.size());
}
