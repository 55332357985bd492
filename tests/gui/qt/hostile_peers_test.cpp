// Broken and hostile SMTP servers met by the real Qt socket and the dialogue.
// Whatever the peer does, the dialogue ends with one line naming the cause, the
// program keeps little of what it was sent, and the same client then delivers
// to a real server (aiosmtpd). Time limits pass when the test says so.
#include "core/mail/reply_framer.h"
#include "core/mail/smtp.h"
#include "core/mail/smtp_host.h"
#include "gui/qt/qt_socket.h"
#include "platform/local_time.h"
#include "support/event_loop.h"
#include "support/manual_deadline.h"
#include "support/recording_smtp_host.h"
#include "support/smtp_sink.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using pellwick::ReplyFramer;
using pellwick::test::RunEventsUntil;

namespace {

const std::string kBody = "Your New IP Address is 10.9.8.7";

// One client meets every peer. The peers listen on the real server's port, each
// on a loopback address of its own, so the one port the socket is sent to fits all.
class HostilePeers : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sink.started());
        socket = std::make_unique<pellwick::QtSocket>(sink.port());
        smtp = std::make_unique<pellwick::Smtp>(
            *socket, host, deadline,
            pellwick::SmtpEnvironment {pellwick::CurrentLocalTime,
                                       [] { return std::string("client.test"); },
                                       [] {
                                           return 7ull;
                                       }});
        QObject::connect(socket.get(), &pellwick::QtSocket::dataArrival,
                         [this](std::int32_t count) { smtp->HandleServerReply(count); });
        wire = socket->findChild<QTcpSocket *>();
    }

    void connectTo(const std::string &server)
    {
        host.log.clear();
        smtp->ConnectToServer(server, "bob@example.org", kBody, "alice@example.com", "IP",
                              "Pellwick v1.0");
    }

    // The peer runs `onConnect` for every client it accepts.
    void listen(QTcpServer &peer, std::function<void(QTcpSocket *)> onConnect)
    {
        ASSERT_TRUE(peer.listen(QHostAddress(QStringLiteral("127.0.0.2")), sink.port()));
        QObject::connect(&peer, &QTcpServer::newConnection, [&peer, onConnect] {
            while (QTcpSocket *client = peer.nextPendingConnection())
                onConnect(client);
        });
    }

    void expectNextSendDelivers()
    {
        const std::size_t before = sink.Messages().size();
        const int ended = host.dialoguesEnded;
        connectTo("127.0.0.1");
        ASSERT_TRUE(RunEventsUntil([&] { return host.dialoguesEnded > ended; }));
        EXPECT_TRUE(host.log.starts_with("220 ")) << host.log;
        EXPECT_TRUE(host.log.ends_with("221 Bye\r\n\r\nClosing Connection\r\n")) << host.log;
        const auto messages = sink.Messages();
        ASSERT_EQ(messages.size(), before + 1);
        EXPECT_TRUE(messages.back().data.ends_with("\r\n\r\n" + kBody + "\r\n"));
    }

    pellwick::test::SmtpSink sink;
    pellwick::test::RecordingSmtpHost host;
    pellwick::test::ManualDeadline deadline;
    std::unique_ptr<pellwick::QtSocket> socket;
    std::unique_ptr<pellwick::Smtp> smtp;
    QTcpSocket *wire = nullptr;
};

std::string repeated(const std::string &piece, std::size_t size)
{
    std::string text;
    while (text.size() < size)
        text += piece;
    return text;
}

} // namespace

TEST_F(HostilePeers, AMegabyteFloodIsCutAtTheLimitAndDropped)
{
    const std::size_t megabyte = 1 << 20;
    // One line without a break, then one reply of endless continuation lines.
    const struct
    {
        std::string bytes;
        std::size_t logged;
    } floods[] = {
        {std::string(megabyte, 'x'), ReplyFramer::kMaxLineLength},
        {repeated("220-" + std::string(99, 'y') + "\r\n", megabyte), ReplyFramer::kMaxReplyLength}};
    for (const auto &flood : floods) {
        QTcpServer peer;
        listen(peer, [&flood](QTcpSocket *client) {
            client->write(QByteArray::fromStdString(flood.bytes));
        });
        const int ended = host.dialoguesEnded;
        connectTo("127.0.0.2");
        ASSERT_TRUE(RunEventsUntil([&] { return host.dialoguesEnded > ended; }));

        EXPECT_EQ(host.log, flood.bytes.substr(0, flood.logged)
                                + "\r\nReply from 127.0.0.2:25 over the size limit\r\n"
                                  "Closing Connection\r\n");
        EXPECT_LT(host.log.size(), 70u * 1024);
        EXPECT_EQ(wire->bytesAvailable(), 0);
        EXPECT_EQ(smtp->SmtpState(), 0);
        EXPECT_EQ(host.caption, "");
        peer.close();
        expectNextSendDelivers();
    }
}

TEST_F(HostilePeers, EveryWayOfFailingEndsTheDialogueWithItsCause)
{
    // Hangs up after the greeting and half a reply to HELO.
    QTcpServer hangUp;
    listen(hangUp, [](QTcpSocket *client) {
        client->write("220 hostile\r\n");
        QObject::connect(client, &QTcpSocket::readyRead, client, [client] {
            client->write("250-half");
            client->disconnectFromHost();
        });
    });
    const int ended = host.dialoguesEnded;
    connectTo("127.0.0.2");
    ASSERT_TRUE(RunEventsUntil([&] { return host.dialoguesEnded > ended; }));
    EXPECT_EQ(host.log, "220 hostile\r\n\r\nHELO alice\r\n"
                        "Connection to 127.0.0.2:25 lost waiting for the reply to HELO: closed by "
                        "the server\r\nClosing Connection\r\n");
    EXPECT_EQ(host.caption, "");
    EXPECT_EQ(host.outcome.result, pellwick::DeliveryResult::PassingFailure);
    hangUp.close();
    // The half reply kept from the old connection must not prefix the new greeting.
    expectNextSendDelivers();

    // Accepts and never says a word: the greeting's limit passes.
    QTcpServer silent;
    QTcpSocket *accepted = nullptr;
    listen(silent, [&accepted](QTcpSocket *client) { accepted = client; });
    connectTo("127.0.0.2");
    ASSERT_TRUE(RunEventsUntil(
        [&] { return accepted && wire->state() == QAbstractSocket::ConnectedState; }));
    EXPECT_EQ(deadline.armed, pellwick::Smtp::kReplyLimit);
    const int before = host.dialoguesEnded;
    deadline.Expire();
    EXPECT_EQ(host.dialoguesEnded, before + 1);
    EXPECT_EQ(host.log, "No reply from 127.0.0.2:25 within 5 min waiting for the greeting\r\n"
                        "Closing Connection\r\n");
    EXPECT_EQ(host.caption, "");
    // The connection that timed out is dropped, not left open.
    EXPECT_TRUE(
        RunEventsUntil([&] { return accepted->state() == QAbstractSocket::UnconnectedState; }));
    expectNextSendDelivers();

    // Nothing listens on 127.0.0.3. A name under ".invalid" would still be sent to
    // the machine's name server, which is not on loopback; an empty label makes the
    // lookup fail on this machine.
    const struct
    {
        std::string server;
        std::string line;
    } unreachable[]
        = {{"127.0.0.3", "Could not connect to 127.0.0.3:25: connection refused"},
           {"nowhere..invalid", "Could not connect to nowhere..invalid:25: host not found"}};
    for (const auto &[server, line] : unreachable) {
        const int was = host.dialoguesEnded;
        connectTo(server);
        ASSERT_TRUE(RunEventsUntil([&] { return host.dialoguesEnded > was; }));
        EXPECT_EQ(host.log, line + "\r\nClosing Connection\r\n");
        EXPECT_EQ(host.caption, "");
        EXPECT_EQ(host.outcome.cause, line);
        expectNextSendDelivers();
    }
}
