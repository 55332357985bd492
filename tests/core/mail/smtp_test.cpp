#include "support/fake_smtp_peer.h"

#include "core/mail/smtp.h"
#include "platform/local_time.h"

#include "core/mail/mime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include <string>
#include <vector>

using pellwick::DeliveryResult;
using pellwick::LocalTime;
using pellwick::Security;
using pellwick::Smtp;
using pellwick::SocketFailure;
using pellwick::Submission;
using pellwick::test::FakeSmtpPeer;
using namespace std::chrono_literals;

namespace {

// Sunday 6 December 2026, 10:05:09, one hour east of UTC.
LocalTime fixedTime()
{
    LocalTime t;
    t.fields.tm_year = 126;
    t.fields.tm_mon = 11;
    t.fields.tm_mday = 6;
    t.fields.tm_wday = 0;
    t.fields.tm_hour = 10;
    t.fields.tm_min = 5;
    t.fields.tm_sec = 9;
    t.utcOffsetSeconds = 3600;
    return t;
}

struct Dialogue
{
    FakeSmtpPeer peer;
    Smtp smtp {peer,
               peer,
               peer,
               {fixedTime, [] { return std::string("ws1.example.net"); },
                [] {
                    return 0x0123456789abcdefull;
                }}};

    void start(const std::string &recipient = "bob@example.org",
               const std::string &body = "Your New IP Address is 10.1.2.3",
               const std::string &sender = "alice@example.com",
               const std::string &subject = "Your New IP is 10.1.2.3",
               const std::string &server = "mail.example.com", Submission submission = {})
    {
        smtp.ConnectToServer(server, recipient, body, sender, subject, "Pellwick v1.0",
                             std::move(submission));
        peer.Connected();
    }
    void reply(const std::string &bytes) { smtp.HandleServerReply(peer.Arrive(bytes)); }
    // Answers every step up to and including the message with a 250.
    void acceptUpToQuit(const std::string &greeting = "220 mx ready\r\n")
    {
        reply(greeting);
        for (int i = 0; i < 5 && smtp.SmtpState() != 6; ++i)
            reply(smtp.SmtpState() == 5 ? "354 go ahead\r\n" : "250 ok\r\n");
    }
};

const std::string kMessageId = "Message-ID: <20261206100509.0123456789abcdef@example.com>\r\n";
const std::string kHeader = "From: alice@example.com\r\n"
                            "Date: Sun, 06 Dec 2026 10:05:09 +0100\r\n"
                            + kMessageId
                            + "X-Mailer: Pellwick v1.0\r\n"
                              "To: bob@example.org\r\n"
                              "Subject: Your New IP is 10.1.2.3\r\n"
                              "\r\n";
} // namespace

TEST(SmtpDialogue, GoldenTranscriptOfAPlainDelivery)
{
    Dialogue d;
    d.start("bob@example.org", "Your New IP Address is 10.1.2.3\r\nSee you", " alice@example.com ",
            "Your New IP is 10.1.2.3", " mail.example.com ");
    EXPECT_EQ(d.peer.events,
              (std::vector<std::string> {"close", "connect mail.example.com:25",
                                         "caption Connecting to  mail.example.com "}));
    EXPECT_EQ(d.peer.armed, 5min) << "the greeting's limit once connected";
    EXPECT_EQ(d.peer.debugLog, "");

    d.reply("220 mx ready\r\n");
    d.reply("250 mx\r\n");
    d.reply("250 sender ok\r\n");
    d.reply("250 rcpt ok\r\n");
    d.reply("354 go ahead\r\n");
    d.reply("250 queued\r\n");
    d.reply("221 bye\r\n");

    // Today's bytes but for the Message-ID line.
    const std::string header = "From:  alice@example.com \r\n"
                               "Date: Sun, 06 Dec 2026 10:05:09 +0100\r\n"
                               + kMessageId
                               + "X-Mailer: Pellwick v1.0\r\n"
                                 "To: bob@example.org\r\n"
                                 "Subject: Your New IP is 10.1.2.3\r\n"
                                 "\r\n";
    EXPECT_EQ(d.peer.wire, "HELO alice\r\n"
                           "MAIL FROM:<alice@example.com>\r\n"
                           "RCPT TO:<bob@example.org>\r\n"
                           "DATA\r\n"
                               + header
                               + "Your New IP Address is 10.1.2.3\r\n"
                                 "See you\r\n"
                                 ".\r\n"
                                 "QUIT\r\n");
    EXPECT_EQ(d.peer.debugLog, "220 mx ready\r\n\r\n"
                               "HELO alice\r\n"
                               "250 mx\r\n\r\n"
                               "MAIL FROM:<alice@example.com>\r\n"
                               "250 sender ok\r\n\r\n"
                               "RCPT TO:<bob@example.org>\r\n"
                               "250 rcpt ok\r\n\r\n"
                               "DATA\r\n"
                               "354 go ahead\r\n\r\n"
                                   + header
                                   + "Your New IP Address is 10.1.2.3\r\n"
                                     "See you\r\n"
                                     ".\r\n"
                                     "250 queued\r\n\r\n"
                                     "QUIT\r\n"
                                     "221 bye\r\n\r\n"
                                     "Closing Connection\r\n");
    EXPECT_EQ(d.peer.captions,
              (std::vector<std::string> {"Connecting to  mail.example.com ", "Sending Email.",
                                         "Sending Email..", "Sending Email...", "Sending Email....",
                                         "Sending Email.....", ""}));
    // The header block, each body line and the end line are separate sends.
    int sends = 0;
    for (const auto &e : d.peer.events)
        sends += e.starts_with("send ");
    EXPECT_EQ(sends, 4 + 1 + 2 + 1 + 1);
    EXPECT_EQ(d.peer.events.back(), "check-auto-exit");
    EXPECT_EQ(d.peer.events[d.peer.events.size() - 3], "close");
    EXPECT_EQ(d.peer.autoExitChecks, 1);
    EXPECT_EQ(d.smtp.SmtpState(), 0);
    EXPECT_EQ(d.peer.outcome.result, DeliveryResult::Delivered);
    EXPECT_EQ(d.peer.outcome.cause, "250 queued");
    EXPECT_EQ(d.peer.armed, 0ms);
}

TEST(SmtpDialogue, EachReplyMustFitItsCommand)
{
    // The accepted answer to each step: greeting, HELO, MAIL, RCPT, DATA, ".", QUIT.
    const std::vector<std::string> accepted {"220 hi\r\n", "250 ok\r\n", "250 ok\r\n",
                                             "250 ok\r\n", "354 go\r\n", "250 queued\r\n",
                                             "221 bye\r\n"};
    const std::vector<int> states {0, 1, 2, 4, 5, 3, 6};
    struct Case
    {
        std::size_t step;
        std::string reply;
        bool fits;
        DeliveryResult result = DeliveryResult::RefusedForGood;
        std::string causeLine = {};
    };
    const std::vector<Case> cases {
        {0, "250 hello\r\n", true},
        {0, "354 x\r\n", false, DeliveryResult::RefusedForGood,
         "Unexpected reply to the greeting\r\n"},
        {0, "554 go away\r\n", false},
        {0, "421 busy\r\n", false, DeliveryResult::PassingFailure},
        {1, "220 y\r\n", false, DeliveryResult::RefusedForGood, "Unexpected reply to HELO\r\n"},
        {1, "25\r\n", false, DeliveryResult::RefusedForGood, "Unexpected reply to HELO\r\n"},
        {1, "\r\n", false, DeliveryResult::RefusedForGood, "Unexpected reply to HELO\r\n"},
        {2, "2500 odd\r\n", true},
        {2, "250-fine\r\n550 but no\r\n", false, DeliveryResult::RefusedForGood,
         "Unexpected reply to MAIL FROM\r\n"},
        {3, "251 forwarded\r\n", true},
        {3, "550 no such user\r\n", false},
        {3, "451 try later\r\n", false, DeliveryResult::PassingFailure},
        {4, "250 ok\r\n", false, DeliveryResult::RefusedForGood, "Unexpected reply to DATA\r\n"},
        {5, "354 again\r\n", false, DeliveryResult::RefusedForGood,
         "Unexpected reply to the message\r\n"},
        {6, "250 still fine\r\n", false, DeliveryResult::Delivered},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reply);
        Dialogue d;
        d.start();
        for (std::size_t step = 0; step < c.step; ++step) {
            ASSERT_EQ(d.smtp.SmtpState(), states[step]);
            d.reply(accepted[step]);
        }
        const std::string wireBefore = d.peer.wire;
        d.reply(c.reply);
        if (c.fits) {
            EXPECT_EQ(d.smtp.SmtpState(), states[c.step + 1]);
            EXPECT_EQ(d.peer.autoExitChecks, 0);
            continue;
        }
        EXPECT_EQ(d.peer.wire, wireBefore) << "nothing is sent after a refusal";
        EXPECT_TRUE(
            d.peer.debugLog.ends_with(c.reply + "\r\n" + c.causeLine + "Closing Connection\r\n"))
            << d.peer.debugLog;
        EXPECT_EQ(d.peer.captions.back(), "");
        EXPECT_EQ(d.peer.events.back(), "check-auto-exit");
        EXPECT_EQ(d.peer.autoExitChecks, 1);
        EXPECT_EQ(d.smtp.SmtpState(), 0);
        EXPECT_EQ(d.peer.outcome.result, c.result);
    }
}

TEST(SmtpDialogue, EveryFailureEndsItWithOneLineNamingTheCause)
{
    const std::string server = "mail.example.com:25";
    struct Case
    {
        std::size_t repliesBefore; // accepted replies before the failure
        bool connected;
        std::function<void(FakeSmtpPeer &)> failure;
        std::chrono::milliseconds limit; // armed when the failure came
        std::string line;
    };
    const auto refused = [](FakeSmtpPeer &p) {
        p.Fail(SocketFailure::Refused, "connection refused");
    };
    const auto expire = [](FakeSmtpPeer &p) {
        p.Expire();
    };
    const std::vector<Case> cases {
        {0, false, refused, 30s, "Could not connect to " + server + ": connection refused"},
        {0, false, [](FakeSmtpPeer &p) { p.Fail(SocketFailure::HostNotFound, "host not found"); },
         30s, "Could not connect to " + server + ": host not found"},
        {0, false, expire, 30s, "No connection to " + server + " within 30 s"},
        {0, true, expire, 5min,
         "No reply from " + server + " within 5 min waiting for the greeting"},
        {2, true, expire, 5min,
         "No reply from " + server + " within 5 min waiting for the reply to MAIL FROM"},
        {3, true, [](FakeSmtpPeer &p) { p.Fail(SocketFailure::Closed, "closed by the server"); },
         5min,
         "Connection to " + server
             + " lost waiting for the reply to RCPT TO: closed by the server"},
        {4, true, expire, 2min,
         "No reply from " + server + " within 2 min waiting for the reply to DATA"},
        {5, true, expire, 10min,
         "No reply from " + server + " within 10 min waiting for the reply to the message"},
    };
    const std::vector<std::string> accepted {"220 hi\r\n", "250 ok\r\n", "250 ok\r\n", "250 ok\r\n",
                                             "354 go\r\n"};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        Dialogue d;
        d.smtp.ConnectToServer("mail.example.com", "bob@example.org", "x", "alice@example.com", "s",
                               "Pellwick v1.0");
        if (c.connected)
            d.peer.Connected();
        for (std::size_t i = 0; i < c.repliesBefore; ++i)
            d.reply(accepted[i]);
        EXPECT_EQ(d.peer.armed, c.limit);
        const std::string logBefore = d.peer.debugLog;
        c.failure(d.peer);
        EXPECT_EQ(d.peer.debugLog, logBefore + c.line + "\r\nClosing Connection\r\n");
        EXPECT_EQ(d.peer.captions.back(), "");
        EXPECT_EQ(d.peer.autoExitChecks, 1);
        EXPECT_EQ(d.peer.outcome.result, DeliveryResult::PassingFailure);
        EXPECT_EQ(d.peer.outcome.cause, c.line);
        EXPECT_EQ(d.smtp.SmtpState(), 0);
        // Late events of the dropped connection change nothing.
        d.peer.Fail(SocketFailure::Closed, "closed");
        d.peer.Expire();
        d.reply("250 late\r\n");
        EXPECT_EQ(d.peer.autoExitChecks, 1);
    }
}

TEST(SmtpDialogue, RepliesAreFramedWhateverTheArrivals)
{
    {
        // One reply in two arrivals is one step.
        Dialogue d;
        d.start();
        d.reply("22");
        EXPECT_EQ(d.peer.wire, "");
        EXPECT_EQ(d.peer.debugLog, "");
        d.reply("0 ready\r\n");
        EXPECT_EQ(d.peer.wire, "HELO alice\r\n");
        EXPECT_EQ(d.peer.debugLog, "220 ready\r\n\r\nHELO alice\r\n");
    }
    {
        // Two replies in one arrival are two steps, each logged before its step.
        Dialogue d;
        d.start();
        d.reply("220 ready\r\n250 hello\r\n");
        EXPECT_EQ(d.peer.wire, "HELO alice\r\nMAIL FROM:<alice@example.com>\r\n");
        EXPECT_EQ(d.peer.debugLog, "220 ready\r\n\r\nHELO alice\r\n250 hello\r\n\r\n"
                                   "MAIL FROM:<alice@example.com>\r\n");
    }
    {
        // A greeting whose first line comes long before its last (as postscreen
        // does) is answered only once it is whole; lone LFs end lines too.
        Dialogue d;
        d.start();
        d.reply("220-mx.example.com ESMTP\r\n");
        d.reply("220-please wait\n");
        EXPECT_EQ(d.peer.wire, "");
        d.reply("220 mx.example.com ready\r\n");
        EXPECT_EQ(d.peer.wire, "HELO alice\r\n");
        EXPECT_EQ(d.peer.debugLog, "220-mx.example.com ESMTP\r\n220-please wait\n"
                                   "220 mx.example.com ready\r\n\r\nHELO alice\r\n");
        d.reply("250-mx.example.com\r\n250-PIPELINING\r\n250 8BITMIME\r\n");
        EXPECT_EQ(d.smtp.SmtpState(), 2);
    }
    {
        // A line longer than 4096 bytes is a refusal, even when it starts "250";
        // only its first 4096 bytes are logged.
        Dialogue d;
        d.start();
        d.reply("220 ready\r\n");
        d.reply("250 " + std::string(3000, 'x'));
        EXPECT_EQ(d.smtp.SmtpState(), 1);
        d.reply(std::string(3000, 'y'));
        EXPECT_EQ(d.smtp.SmtpState(), 0);
        EXPECT_EQ(d.peer.wire, "HELO alice\r\n");
        const std::string logged = "250 " + std::string(3000, 'x') + std::string(1092, 'y');
        EXPECT_TRUE(d.peer.debugLog.ends_with(
            logged
            + "\r\nReply from mail.example.com:25 over the size limit\r\nClosing Connection\r\n"));
        // What the server sends after that is never acted upon as a reply of
        // that dialogue.
        d.reply("yyy\r\n250 late\r\n");
        EXPECT_EQ(d.peer.wire, "HELO alice\r\n");
        EXPECT_EQ(d.peer.autoExitChecks, 1);
    }
    {
        // An endless run of continuation lines is cut off too.
        Dialogue d;
        d.start();
        std::string flood;
        while (flood.size() < 70 * 1024)
            flood += "220-more and more\r\n";
        d.reply(flood);
        EXPECT_EQ(d.peer.wire, "");
        EXPECT_EQ(d.peer.autoExitChecks, 1);
        EXPECT_LT(d.peer.debugLog.size(), 65 * 1024 + 100);
    }
}

TEST(SmtpDialogue, MessageIsDotStuffedAndEveryLineEndsInCrLf)
{
    struct Case
    {
        std::string body;
        std::string sent;
    };
    const std::vector<Case> cases {
        {"", ""},
        {"one\r\ntwo\r\nthree\r\n", "one\r\ntwo\r\nthree\r\n\r\n"},
        {".\r\nQUIT\r\n..x\r\n.y", "..\r\nQUIT\r\n...x\r\n..y\r\n"},
        {"cr\ronly\nlf\r\n\rmixed", "cr\r\nonly\r\nlf\r\n\r\nmixed\r\n"},
        {"\n", "\r\n\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.body);
        Dialogue d;
        d.start("bob@example.org", c.body);
        d.acceptUpToQuit();
        const std::string afterData = d.peer.wire.substr(d.peer.wire.find("DATA\r\n") + 6);
        EXPECT_EQ(afterData, kHeader + c.sent + ".\r\nQUIT\r\n");
    }
}

TEST(SmtpDialogue, FieldsCannotInjectCommandsOrHeaders)
{
    Dialogue d;
    d.start("bob@example.org\r\nRCPT TO:evil@x", "body", "alice@example.com\r\nRSET",
            "Hi\r\nBcc: evil@x", "mail.example.com\r\nQUIT");
    d.acceptUpToQuit();
    EXPECT_EQ(d.peer.events[1], "connect mail.example.comQUIT:25");
    EXPECT_EQ(d.peer.captions.front(), "Connecting to mail.example.comQUIT");
    EXPECT_EQ(d.peer.wire, "HELO alice\r\n"
                           "MAIL FROM:<alice@example.comRSET>\r\n"
                           "RCPT TO:<bob@example.orgRCPT TO:evil@x>\r\n"
                           "DATA\r\n"
                           "From: alice@example.comRSET\r\n"
                           "Date: Sun, 06 Dec 2026 10:05:09 +0100\r\n"
                           "Message-ID: <20261206100509.0123456789abcdef@example.comRSET>\r\n"
                           "X-Mailer: Pellwick v1.0\r\n"
                           "To: bob@example.orgRCPT TO:evil@x\r\n"
                           "Subject: HiBcc: evil@x\r\n"
                           "\r\n"
                           "body\r\n"
                           ".\r\n"
                           "QUIT\r\n");
}

TEST(SmtpDialogue, HeloAndEnvelopeArgumentsForOddFields)
{
    struct Case
    {
        std::string sender, recipient;
        std::string helo, mailFrom, rcptTo;
    };
    const std::vector<Case> cases {
        {"  alice@example.com  ", "bob@example.org", "HELO alice", "MAIL FROM:<alice@example.com>",
         "RCPT TO:<bob@example.org>"},
        {" workstation ", "<bob@example.org>", "HELO workstation", "MAIL FROM:<workstation>",
         "RCPT TO:<bob@example.org>"},
        {"", "", "HELO localhost", "MAIL FROM:<>", "RCPT TO:<>"},
        {"   ", "  ", "HELO localhost", "MAIL FROM:<>", "RCPT TO:<>"},
        {"@example.com", "Bob Smith <bob@example.org>", "HELO localhost",
         "MAIL FROM:<@example.com>", "RCPT TO:<bob@example.org>"},
        {"Alice <alice@example.com>", "bob@example.org;", "HELO alice",
         "MAIL FROM:<alice@example.com>", "RCPT TO:<bob@example.org>"},
        {"J\xC3\xB6rg <joerg@example.org>", "x@y", "HELO joerg", "MAIL FROM:<joerg@example.org>",
         "RCPT TO:<x@y>"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.sender + " / " + c.recipient);
        Dialogue d;
        d.start(c.recipient, "", c.sender);
        d.reply("220 hi\r\n");
        d.reply("250 ok\r\n");
        d.reply("250 ok\r\n");
        d.reply("250 ok\r\n");
        EXPECT_EQ(d.peer.wire, c.helo + "\r\n" + c.mailFrom + "\r\n" + c.rcptTo + "\r\nDATA\r\n");
    }
}

TEST(SmtpDialogue, SeveralRecipientsGetOneRcptEachAfterTheReplyBefore)
{
    Dialogue d;
    d.start(" ann@x.test; ben@y.test ,carl@z.test ");
    d.reply("220 hi\r\n");
    d.reply("250 ok\r\n");
    d.reply("250 ok\r\n");
    EXPECT_TRUE(d.peer.wire.ends_with("MAIL FROM:<alice@example.com>\r\nRCPT TO:<ann@x.test>\r\n"));
    d.reply("250 ok\r\n");
    EXPECT_TRUE(d.peer.wire.ends_with("RCPT TO:<ann@x.test>\r\nRCPT TO:<ben@y.test>\r\n"));
    d.reply("250 ok\r\n");
    EXPECT_TRUE(d.peer.wire.ends_with("RCPT TO:<carl@z.test>\r\n"));
    EXPECT_EQ(d.smtp.SmtpState(), 4);
    d.reply("250 ok\r\n");
    EXPECT_TRUE(d.peer.wire.ends_with("RCPT TO:<carl@z.test>\r\nDATA\r\n"));
    d.reply("354 go\r\n");
    // The To: header separates the addresses the way the mail format wants.
    EXPECT_NE(d.peer.wire.find("\r\nTo: ann@x.test, ben@y.test, carl@z.test\r\n"),
              std::string::npos);

    // A refusal of any one ends the dialogue.
    Dialogue r;
    r.start("ann@x.test,ben@y.test");
    r.reply("220 hi\r\n");
    r.reply("250 ok\r\n");
    r.reply("250 ok\r\n");
    r.reply("550 no ann\r\n");
    EXPECT_TRUE(r.peer.wire.ends_with("RCPT TO:<ann@x.test>\r\n"));
    EXPECT_EQ(r.smtp.SmtpState(), 0);
    EXPECT_TRUE(r.peer.debugLog.ends_with("550 no ann\r\n\r\nClosing Connection\r\n"));
}

TEST(SmtpDialogue, EveryNewConnectionStartsAtTheGreeting)
{
    Dialogue d;
    d.start();
    d.reply("220 hi\r\n");
    d.reply("250 ok\r\n");
    d.reply("250 o"); // half a reply is left behind with the old connection
    EXPECT_EQ(d.smtp.SmtpState(), 2);

    d.start("carol@example.net");
    EXPECT_EQ(d.peer.events.back(), "caption Connecting to mail.example.com");
    const std::size_t sentBefore = d.peer.wire.size();
    d.reply("220 again\r\n");
    EXPECT_EQ(d.peer.wire.substr(sentBefore), "HELO alice\r\n");
    EXPECT_EQ(d.smtp.SmtpState(), 1);
    d.reply("250 ok\r\n");
    d.reply("250 ok\r\n");
    EXPECT_TRUE(d.peer.wire.ends_with("RCPT TO:<carol@example.net>\r\n"));
}

TEST(SmtpSubmission, TlsAndLoginComeFirstAndFailuresStopBeforeAnySecret)
{
    const std::string password = "s3cret!";
    const std::string fingerprint(64, 'A');
    const std::string ehlo = "EHLO ws1.example.net\r\n";
    const std::string mailFrom = "MAIL FROM:<alice@example.com>\r\n";
    // One step: what arrives ("tls:..." is the handshake ending), what goes out.
    struct Step
    {
        std::string input;
        std::string sent;
    };
    struct Case
    {
        std::string name;
        Security security;
        std::string pin;
        std::vector<Step> steps;
        std::string cause; // empty: the dialogue goes on to MAIL FROM
    };
    const std::string plainAuth
        = "AUTH PLAIN " + pellwick::Base64(std::string("\0alice\0", 7) + password);
    const std::vector<Case> cases {
        {"starttls, plain",
         Security::StartTls,
         "",
         {{"220 mx\r\n", ehlo},
          {"250-mx\r\n250-STARTTLS\r\n250 AUTH LOGIN\r\n", "STARTTLS\r\n"},
          {"220 go ahead\r\n", ""},
          {"tls:verified", ehlo},
          {"250-mx\r\n250 AUTH PLAIN LOGIN\r\n", plainAuth + "\r\n"},
          {"235 ok\r\n", mailFrom}},
         ""},
        {"tls, login only",
         Security::Tls,
         "",
         {{"tls:verified", ""},
          {"220 mx\r\n", ehlo},
          {"250-mx\r\n250 AUTH=LOGIN\r\n", "AUTH LOGIN\r\n"},
          {"334 VXNlcm5hbWU6\r\n", "YWxpY2U=\r\n"},
          {"334 UGFzc3dvcmQ6\r\n", pellwick::Base64(password) + "\r\n"},
          {"235 ok\r\n", mailFrom}},
         ""},
        {"pinned certificate",
         Security::Tls,
         "aa:" + std::string(62, 'a'),
         {{"tls:untrusted", ""},
          {"220 mx\r\n", ehlo},
          {"250-mx\r\n250 AUTH PLAIN\r\n", plainAuth + "\r\n"}},
         ""},
        {"no STARTTLS offered",
         Security::StartTls,
         "",
         {{"220 mx\r\n", ehlo}, {"250-mx\r\n250 AUTH PLAIN\r\n", ""}},
         "Server mail.example.com:587 offers no STARTTLS; neither the password nor the mail goes "
         "out "
         "without TLS"},
        {"untrusted certificate",
         Security::Tls,
         std::string(64, 'B'),
         {{"tls:untrusted", ""}},
         "Certificate of mail.example.com:587 not trusted (self-signed); SHA-256 fingerprint "
             + fingerprint},
        {"login refused",
         Security::StartTls,
         "",
         {{"220 mx\r\n", ehlo},
          {"250-mx\r\n250 STARTTLS\r\n", "STARTTLS\r\n"},
          {"220 go\r\n", ""},
          {"tls:verified", ehlo},
          {"250-mx\r\n250 AUTH PLAIN\r\n", plainAuth + "\r\n"},
          {"535 5.7.8 no\r\n", ""}},
         "535 5.7.8 no"},
        {"bytes planted after STARTTLS",
         Security::StartTls,
         "",
         {{"220 mx\r\n", ehlo},
          {"250-mx\r\n250 STARTTLS\r\n", "STARTTLS\r\n"},
          {"220 go\r\n250 AUTH PLAIN\r\n", ""}},
         "Server mail.example.com:587 sent more after its STARTTLS reply"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Dialogue d;
        d.start("bob@example.org", "body", "alice@example.com", "s", "mail.example.com",
                {587, c.security, "alice", password, c.pin});
        EXPECT_EQ(d.peer.events[1], (c.security == Security::Tls ? "connect-tls " : "connect ")
                                        + std::string("mail.example.com:587"));
        for (const auto &step : c.steps) {
            const std::size_t before = d.peer.wire.size();
            if (step.input.starts_with("tls:"))
                d.peer.Encrypted({fingerprint, step.input == "tls:verified",
                                  step.input == "tls:verified" ? "" : "self-signed"});
            else
                d.reply(step.input);
            EXPECT_EQ(d.peer.wire.substr(before), step.sent) << step.input;
        }
        const bool startTls = std::find(d.peer.events.begin(), d.peer.events.end(), "start-tls")
                              != d.peer.events.end();
        EXPECT_EQ(startTls, d.peer.wire.find("STARTTLS") != std::string::npos
                                && c.cause.find("STARTTLS") == std::string::npos);
        // The secret never reaches the log, in any form.
        EXPECT_EQ(d.peer.debugLog.find(password), std::string::npos);
        EXPECT_EQ(d.peer.debugLog.find(pellwick::Base64(password)), std::string::npos);
        EXPECT_EQ(d.peer.debugLog.find(plainAuth), std::string::npos);
        if (c.cause.empty()) {
            EXPECT_EQ(d.peer.autoExitChecks, 0);
            continue;
        }
        EXPECT_EQ(d.peer.wire.find("AUTH"),
                  c.name == "login refused" ? d.peer.wire.find("AUTH PLAIN") : std::string::npos);
        EXPECT_EQ(d.peer.wire.find("MAIL"), std::string::npos);
        EXPECT_TRUE(d.peer.debugLog.ends_with((c.cause.starts_with("535") ? "" : c.cause + "\r\n")
                                              + "Closing Connection\r\n"))
            << d.peer.debugLog;
        EXPECT_EQ(d.peer.outcome.result, DeliveryResult::RefusedForGood);
        EXPECT_EQ(d.peer.outcome.cause, c.cause);
        EXPECT_EQ(d.peer.captions.back(), "");
        EXPECT_EQ(d.peer.autoExitChecks, 1);
    }
}

TEST(SmtpSubmission, PasswordIsShownHiddenAndAMissingOneStopsBeforeAuth)
{
    Dialogue d;
    d.start("bob@example.org", "body", "alice@example.com", "s", "mail.example.com",
            {587, Security::StartTls, "alice", "pw", ""});
    d.reply("220 mx\r\n");
    d.reply("250-mx\r\n250 STARTTLS\r\n");
    d.reply("220 go\r\n");
    d.peer.Encrypted({std::string(64, 'A'), true, ""});
    d.reply("250-mx\r\n250 AUTH PLAIN\r\n");
    EXPECT_TRUE(
        d.peer.debugLog.ends_with("250 AUTH PLAIN\r\n\r\nAUTH PLAIN [password hidden]\r\n"));

    Dialogue none;
    none.start("bob@example.org", "body", "alice@example.com", "s", "mail.example.com",
               {25, Security::None, "alice", std::nullopt, ""});
    none.reply("220 mx\r\n");
    none.reply("250-mx\r\n250 AUTH PLAIN\r\n");
    EXPECT_EQ(none.peer.wire, "EHLO ws1.example.net\r\n");
    EXPECT_TRUE(none.peer.debugLog.ends_with(
        "No password stored for alice at mail.example.com:25\r\nClosing Connection\r\n"));
}

TEST(SmtpMessage, TextBeyondAsciiGoesOutAsMimeUtf8)
{
    const std::string snowman = "\xE2\x98\x83";
    const std::string longSubject = "Gr\xC3\xBC\xC3\x9F"
                                    "e "
                                    + std::string(30, 'x') + " " + snowman + " "
                                    + std::string(40, 'y');
    struct Case
    {
        std::string subject, body, sender;
        bool eightBitMime;
        std::string headerTail; // from "Subject: " to the end of the header
        std::string bodySent;
    };
    const std::string mime = "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=UTF-8\r\n"
                             "Content-Transfer-Encoding: ";
    const std::vector<Case> cases {
        {"Gr\xC3\xBC\xC3\x9F"
         "e",
         "Gr\xC3\xBC\xC3\x9F"
         "e " + snowman
             + " \r\nok",
         "a@b.c", false,
         "Subject: =?UTF-8?B?R3LDvMOfZQ==?=\r\n" + mime + "quoted-printable\r\n\r\n",
         "Gr=C3=BC=C3=9Fe =E2=98=83=20\r\nok\r\n"},
        {"IP",
         "Gr\xC3\xBC\xC3\x9F"
         "e",
         "a@b.c", true, "Subject: IP\r\n" + mime + "8bit\r\n\r\n",
         "Gr\xC3\xBC\xC3\x9F"
         "e\r\n"},
        {"IP", "x", "J\xC3\xB6rg <joerg@example.org>", false,
         "Subject: IP\r\n" + mime + "7bit\r\n\r\n", "x\r\n"},
        {"IP", std::string(999, 'z'), "a@b.c", true,
         "Subject: IP\r\n" + mime + "quoted-printable\r\n\r\n", ""},
        {longSubject, "", "a@b.c", false,
         // Words end between characters, never inside one.
         "Subject: =?UTF-8?B?R3LDvMOfZSB4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHgg4piD?=\r\n"
         " =?UTF-8?B?IHl5eXl5eXl5eXl5eXl5eXl5eXl5eXl5eXl5eXl5eXl5eXl5eXl5eXk=?=\r\n"
             + mime + "7bit\r\n\r\n",
         ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.subject + " / " + c.sender);
        Dialogue d;
        d.start("bob@example.org", c.body, c.sender, c.subject, "mail.example.com",
                {25, Security::None, c.eightBitMime ? "u" : "", "pw", ""});
        d.reply("220 hi\r\n");
        if (c.eightBitMime) {
            d.reply("250-mx\r\n250-8BITMIME\r\n250 AUTH PLAIN\r\n");
            d.reply("235 ok\r\n");
        } else {
            d.reply("250 ok\r\n");
        }
        const bool eightBit = c.headerTail.find("8bit") != std::string::npos;
        EXPECT_EQ(d.peer.wire.ends_with(" BODY=8BITMIME\r\n"), eightBit) << d.peer.wire;
        d.reply("250 ok\r\n");
        d.reply("250 ok\r\n");
        d.reply("354 go\r\n");
        const std::string data = d.peer.wire.substr(d.peer.wire.find("DATA\r\n") + 6);
        const std::size_t subject = data.find("\r\nSubject: ") + 2;
        const std::size_t end = data.find("\r\n\r\n") + 4;
        EXPECT_EQ(data.substr(subject, end - subject), c.headerTail);
        if (!c.bodySent.empty()) {
            EXPECT_EQ(data.substr(end), c.bodySent + ".\r\n");
        }
        std::size_t lineStart = 0;
        for (std::size_t lf = data.find('\n'); lf != std::string::npos;
             lf = data.find('\n', lf + 1)) {
            EXPECT_LE(lf - lineStart - 1, lf < end ? 78u : 76u)
                << data.substr(lineStart, lf - lineStart);
            lineStart = lf + 1;
        }
        if (c.sender.starts_with("J")) {
            EXPECT_TRUE(data.starts_with("From: =?UTF-8?B?SsO2cmc=?= <joerg@example.org>\r\n"))
                << data;
        }
    }
}

TEST(MailDate, FollowsRfc5322WithTheRealOffset)
{
    LocalTime t = fixedTime();
    EXPECT_EQ(pellwick::FormatMailDate(t), "Sun, 06 Dec 2026 10:05:09 +0100");
    t.utcOffsetSeconds = -(3 * 3600 + 30 * 60);
    t.fields = {};
    t.fields.tm_year = 100;
    t.fields.tm_mon = 1;
    t.fields.tm_mday = 29;
    t.fields.tm_wday = 2;
    t.fields.tm_hour = 23;
    t.fields.tm_min = 59;
    t.fields.tm_sec = 60;
    EXPECT_EQ(pellwick::FormatMailDate(t), "Tue, 29 Feb 2000 23:59:60 -0330");
    t.utcOffsetSeconds = 0;
    t.fields.tm_mon = 8;
    t.fields.tm_wday = 6;
    EXPECT_EQ(pellwick::FormatMailDate(t), "Sat, 29 Sep 2000 23:59:60 +0000");

    // The real clock gives a date of the same shape.
    const std::string now = pellwick::FormatMailDate(pellwick::CurrentLocalTime());
    ASSERT_EQ(now.size(), 31u) << now;
    EXPECT_EQ(now[3], ',');
    EXPECT_TRUE(now[26] == '+' || now[26] == '-') << now;
}
