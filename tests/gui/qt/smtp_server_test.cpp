// The SMTP dialogue over the real Qt socket against a real server (aiosmtpd)
// on loopback, driven by the real event loop.
#include "core/mail/smtp.h"
#include "core/mail/smtp_host.h"
#include "core/settings/registry.h"
#include "gui/qt/qt_socket.h"
#include "platform/linux/hive_file.h"
#include "platform/local_time.h"
#include "support/event_loop.h"
#include "support/recording_smtp_host.h"
#include "support/smtp_sink.h"
#include "support/temp_folder.h"

#include <QTcpServer>

#include <gtest/gtest.h>

using pellwick::QtSocket;
using pellwick::Smtp;
using pellwick::test::RunEventsUntil;
using pellwick::test::SmtpSink;

namespace {

struct Client
{
    explicit Client(std::uint16_t port)
        : socket(port)
    {
        QObject::connect(&socket, &QtSocket::dataArrival,
                         [this](std::int32_t count) { smtp.HandleServerReply(count); });
    }
    bool send(const std::string &recipient, const std::string &body,
              const std::string &server = " 127.0.0.1 ")
    {
        const int before = host.dialoguesEnded;
        smtp.ConnectToServer(server, recipient, body, "alice@example.com", "IP 10.9.8.7",
                             "Pellwick v1.0");
        return RunEventsUntil([&] { return host.dialoguesEnded > before; });
    }

    QtSocket socket;
    pellwick::test::RecordingSmtpHost host;
    Smtp smtp {socket, host, pellwick::CurrentLocalTime};
};

} // namespace

TEST(SmtpWithRealServer, DeliversTheMessageAsWritten)
{
    SmtpSink sink;
    ASSERT_TRUE(sink.started());
    Client client(sink.port());

    ASSERT_TRUE(client.send("bob@example.org", "Your New IP Address is 10.9.8.7\r\n.\r\n.hidden"));
    const auto messages = sink.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].mailFrom, "alice@example.com");
    EXPECT_EQ(messages[0].recipients, std::vector<std::string> {"bob@example.org"});
    const std::string &data = messages[0].data;
    EXPECT_TRUE(data.starts_with("From: alice@example.com\r\nDate: ")) << data;
    // A lone "." line does not end the message early: everything arrives.
    EXPECT_TRUE(data.ends_with("X-Mailer: Pellwick v1.0\r\nTo: bob@example.org\r\n"
                               "Subject: IP 10.9.8.7\r\n\r\n"
                               "Your New IP Address is 10.9.8.7\r\n.\r\n.hidden\r\n"))
        << data;
    EXPECT_TRUE(client.host.log.starts_with("220 ")) << client.host.log;
    EXPECT_TRUE(client.host.log.ends_with("221 Bye\r\n\r\nClosing Connection\r\n"))
        << client.host.log;
    EXPECT_EQ(client.host.caption, "");
    EXPECT_EQ(client.smtp.SmtpState(), 0);
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

    Client client(sink.port());
    ASSERT_TRUE(client.send(stored("Recipient"), "body", stored("SMTPServer")));
    const auto messages = sink.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].recipients, std::vector<std::string> {"bob@x.test"});
    EXPECT_NE(messages[0].data.find("\r\nTo: bob@x.test\r\n"), std::string::npos);
    EXPECT_EQ(messages[0].data.find('\0'), std::string::npos);
}

TEST(SmtpWithRealServer, SeveralRecipientsReachTheServerAndTheNextSendWorks)
{
    SmtpSink sink;
    ASSERT_TRUE(sink.started());
    Client client(sink.port());

    ASSERT_TRUE(client.send("ann@x.test; ben@y.test", "first"));
    ASSERT_TRUE(client.send("carl@z.test", "second"));
    const auto messages = sink.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].recipients, (std::vector<std::string> {"ann@x.test", "ben@y.test"}));
    EXPECT_TRUE(messages[0].data.find("To: ann@x.test; ben@y.test\r\n") != std::string::npos);
    EXPECT_EQ(messages[1].recipients, std::vector<std::string> {"carl@z.test"});
    EXPECT_TRUE(messages[1].data.ends_with("\r\n\r\nsecond\r\n"));
}

TEST(SmtpWithRealServer, RefusedConnectionLogsNothingAndLeavesTheCaption)
{
    // A port that was just free: nothing listens there.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const auto port = static_cast<std::uint16_t>(probe.serverPort());
    probe.close();

    Client client(port);
    client.smtp.ConnectToServer("127.0.0.1", "bob@example.org", "x", "alice@example.com", "s",
                                "Pellwick v1.0");
    RunEventsUntil(
        [&] {
            return client.socket.findChild<QTcpSocket *>()->state()
                   == QAbstractSocket::UnconnectedState;
        },
        5000);
    EXPECT_EQ(client.host.log, "");
    EXPECT_EQ(client.host.caption, "Connecting to 127.0.0.1");
    EXPECT_EQ(client.host.dialoguesEnded, 0);
}
