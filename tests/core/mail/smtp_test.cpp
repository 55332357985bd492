#include "support/fake_smtp_peer.h"

#include "core/mail/smtp.h"
#include "platform/local_time.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using pellwick::LocalTime;
using pellwick::Smtp;
using pellwick::test::FakeSmtpPeer;

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
    Smtp smtp {peer, peer, fixedTime};

    void start(const std::string &recipient = "bob@example.org",
               const std::string &body = "Your New IP Address is 10.1.2.3",
               const std::string &sender = "alice@example.com",
               const std::string &subject = "Your New IP is 10.1.2.3",
               const std::string &server = "mail.example.com")
    {
        smtp.ConnectToServer(server, recipient, body, sender, subject, "Pellwick v1.0");
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

const std::string kHeader = "From: alice@example.com\r\n"
                            "Date: Sun, 06 Dec 2026 10:05:09 +0100\r\n"
                            "X-Mailer: Pellwick v1.0\r\n"
                            "To: bob@example.org\r\n"
                            "Subject: Your New IP is 10.1.2.3\r\n"
                            "\r\n";

} // namespace

TEST(SmtpDialogue, WholeDeliveryGoesOutByteForByteWithLogAndCaptions)
{
    Dialogue d;
    d.start("bob@example.org", "Your New IP Address is 10.1.2.3\r\nSee you", " alice@example.com ",
            "Your New IP is 10.1.2.3", " mail.example.com ");
    EXPECT_EQ(d.peer.events,
              (std::vector<std::string> {"close", "connect mail.example.com:25",
                                         "caption Connecting to  mail.example.com "}));
    EXPECT_EQ(d.peer.debugLog, "");

    d.reply("220 mx ready\r\n");
    d.reply("250 mx\r\n");
    d.reply("250 sender ok\r\n");
    d.reply("250 rcpt ok\r\n");
    d.reply("354 go ahead\r\n");
    d.reply("250 queued\r\n");
    d.reply("221 bye\r\n");

    const std::string header = "From:  alice@example.com \r\n"
                               "Date: Sun, 06 Dec 2026 10:05:09 +0100\r\n"
                               "X-Mailer: Pellwick v1.0\r\n"
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
}

TEST(SmtpDialogue, StatesRunInTheirFixedOrderWhateverAcceptedCodeArrives)
{
    Dialogue d;
    d.start();
    std::vector<int> states;
    // Any of the three accepted codes advances any state.
    for (const char *r :
         {"250 hi\r\n", "354 x\r\n", "220 y\r\n", "250 z\r\n", "220 w\r\n", "354 v\r\n"}) {
        d.reply(r);
        states.push_back(d.smtp.SmtpState());
    }
    EXPECT_EQ(states, (std::vector<int> {1, 2, 4, 5, 3, 6}));
    EXPECT_TRUE(d.peer.wire.starts_with("HELO alice\r\n"));
    // In state 6 every answer ends the dialogue, an accepted one too.
    d.reply("250 still fine\r\n");
    EXPECT_EQ(d.smtp.SmtpState(), 0);
    EXPECT_TRUE(d.peer.debugLog.ends_with("250 still fine\r\n\r\nClosing Connection\r\n"));
    EXPECT_EQ(d.peer.autoExitChecks, 1);
}

TEST(SmtpDialogue, RefusedRepliesEndTheDialogueAtOnce)
{
    struct Case
    {
        int acceptedBefore;
        std::string refusal;
        std::string lastSent;
    };
    const std::vector<Case> cases {
        {0, "554 go away\r\n", ""},
        {3, "550 no such user\r\n", "RCPT TO:<bob@example.org>\r\n"},
        {1, "25\r\n", "HELO alice\r\n"},
        {1, "\r\n", "HELO alice\r\n"},
        {2, "2500 odd\r\n", "MAIL FROM:<alice@example.com>\r\n"}, // code is "250": accepted
    };
    for (const auto &c : cases) {
        Dialogue d;
        d.start();
        d.reply("220 hi\r\n");
        for (int i = 1; i < c.acceptedBefore; ++i)
            d.reply("250 ok\r\n");
        const std::string wireBefore = d.peer.wire;
        d.reply(c.refusal);
        if (c.refusal.starts_with("250")) {
            EXPECT_EQ(d.smtp.SmtpState(), 4);
            continue;
        }
        SCOPED_TRACE(c.refusal);
        EXPECT_EQ(d.peer.wire, wireBefore) << "nothing is sent after a refusal";
        EXPECT_TRUE(d.peer.wire.ends_with(c.lastSent));
        EXPECT_TRUE(d.peer.debugLog.ends_with(c.refusal + "\r\nClosing Connection\r\n"));
        EXPECT_EQ(d.peer.captions.back(), "");
        EXPECT_EQ(d.peer.autoExitChecks, 1);
        EXPECT_EQ(d.smtp.SmtpState(), 0);
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
        EXPECT_TRUE(d.peer.debugLog.ends_with(logged + "\r\nClosing Connection\r\n"));
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
        {"Alice <alice@example.com>", "bob@example.org;", "HELO Alice <alice",
         "MAIL FROM:<alice@example.com>", "RCPT TO:<bob@example.org>"},
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
    // The To: header keeps the field as typed.
    EXPECT_NE(d.peer.wire.find("To:  ann@x.test; ben@y.test ,carl@z.test \r\n"), std::string::npos);

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
