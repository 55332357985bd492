// SPDX-License-Identifier: MIT
// The SMTP dialogue against a fake socket, deadline and window: byte-exact
// transcripts, each reply matched to its command, each failure's log line; the
// addresses and the IP token it is given.
#include "support/fake_mail.h"

#include "core/mail/address.h"
#include "core/mail/ip_token.h"
#include "core/mail/smtp.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using namespace pellwick;
using namespace pellwick::test;
using namespace std::chrono_literals;
using namespace std::string_literals;

namespace {

// The accepted answer to each step of the plain dialogue, greeting (whose lines
// straggle in, as behind postscreen) to QUIT.
const std::vector<std::string> kAccepted {"220-mx ESMTP\r\n220-please wait\n220 mx ready\r\n",
                                          "250 mx\r\n",
                                          "250 ok\r\n",
                                          "250 ok\r\n",
                                          "354 go\r\n",
                                          "250 queued\r\n",
                                          "221 bye\r\n"};

// The dialogue with its socket, deadline and window, whose events the test fires.
struct Dialogue
    : FakeSocket
    , RecordingSmtpListener
    , ManualDeadline
{
    bool toldBeforeExitCheck = false;
    Smtp smtp {*this, *this, *this, FixedEnvironment("ws1.example.net", 0x0123456789abcdef)};

    // A log-in run may end here, so this comes after everything else is told.
    void CheckAutoExit() override
    {
        toldBeforeExitCheck = captions.back().empty() && !outcome.cause.empty();
        RecordingSmtpListener::CheckAutoExit();
    }
    void start(const std::string &recipient = "bob@example.org",
               const std::string &body = "Your New IP Address is 10.1.2.3",
               const std::string &sender = "alice@example.com",
               const std::string &subject = "Your New IP is 10.1.2.3",
               const std::string &server = "mail.example.com", Submission submission = {})
    {
        smtp.ConnectToServer(server, recipient, body, sender, subject, "Pellwick v1.0",
                             std::move(submission));
        Connected();
    }
    void reply(const std::string &bytes) { smtp.HandleServerReply(Arrive(bytes)); }
    // What went out after DATA.
    std::string data() const { return wire.substr(wire.find("DATA\r\n") + 6); }
    // The dialogue is over once, its connection closed and the caption normal again.
    void expectEnded(DeliveryResult result) const
    {
        EXPECT_EQ(connectedTo, "");
        EXPECT_EQ(captions.back(), "");
        EXPECT_EQ(dialoguesEnded, 1);
        EXPECT_TRUE(toldBeforeExitCheck);
        EXPECT_EQ(smtp.Step(), SmtpStep::Greeting);
        EXPECT_EQ(outcome.result, result);
    }
};

} // namespace

TEST(SmtpDialogue, GoldenTranscriptOfAPlainDelivery)
{
    Dialogue d;
    // A line break or NUL in a field (a stored value may hold one) must not start a
    // command or a header, nor reach the server: each goes.
    d.start("bob@\0example.\r\norg\0"s,
            "IP 10.1.2.3\r\n.\r\nQUIT\r\n..x\r\n.y\rcr\nlf\r\n\rSee you\r\n",
            " alice@example.\r\ncom ", "Your New IP\r\n is 10.1.2.3", " mail.\0example.\ncom\0 "s);
    EXPECT_EQ(d.connectedTo, "mail.example.com:25");

    // Each reply is logged, then an empty line, then what answers it. Every line
    // break of the body becomes CRLF, and a leading "." is doubled.
    const std::vector<std::string> sent {
        "HELO alice\r\n",
        "MAIL FROM:<alice@example.com>\r\n",
        "RCPT TO:<bob@example.org>\r\n",
        "DATA\r\n",
        "From:  alice@example.com \r\nDate: Sun, 06 Dec 2026 10:05:09 +0100\r\n"
        "Message-ID: <20261206100509.0123456789abcdef@example.com>\r\n"
        "X-Mailer: Pellwick v1.0\r\nTo: bob@example.org\r\nSubject: Your New IP is 10.1.2.3\r\n\r\n"
        "IP 10.1.2.3\r\n..\r\nQUIT\r\n...x\r\n..y\r\ncr\r\nlf\r\n\r\nSee you\r\n\r\n.\r\n",
        "QUIT\r\n",
        ""};
    std::string wire, log;
    for (std::size_t i = 0; i < kAccepted.size(); ++i) {
        wire += sent[i];
        log += kAccepted[i] + "\r\n" + sent[i];
    }
    // One reply in two arrivals is one step, several in one arrival are several.
    for (const char *piece :
         {"220-mx ESMTP\r\n", "220-please wait\n", "220 mx ready\r\n25", "0 mx\r\n",
          "250 ok\r\n250 ok\r\n", "354 go\r\n250 queued\r\n221 bye\r\n"})
        d.reply(piece);
    EXPECT_EQ(d.wire, wire);
    EXPECT_EQ(d.log, log + "Closing Connection\r\n");
    EXPECT_EQ(d.captions,
              (std::vector<std::string> {"Connecting to  mail.example.com ", "Sending Email.",
                                         "Sending Email..", "Sending Email...", "Sending Email....",
                                         "Sending Email.....", ""}));
    d.expectEnded(DeliveryResult::Delivered);
    EXPECT_EQ(d.outcome.cause, "250 queued");
    EXPECT_EQ(d.armed, 0ms);

    // West of UTC the date's offset is told in hours and minutes too.
    LocalTime t = FixedTime();
    t.utcOffsetSeconds = -(3 * 3600 + 30 * 60);
    EXPECT_EQ(FormatMailDate(t), "Sun, 06 Dec 2026 10:05:09 -0330");
}

TEST(SmtpDialogue, EachReplyMustFitItsCommandAndEveryFailureEndsItWithOneLine)
{
    // The limit armed at each step.
    const std::vector<std::chrono::milliseconds> limits {5min, 5min, 5min, 5min, 2min, 10min, 5min};
    const std::string noReply = "No reply from mail.example.com:25 within ";
    // The step, the reply (empty: none comes within the limit), whether it fits, the ending, the
    // line that tells its cause.
    using Case = std::tuple<std::size_t, std::string, bool, DeliveryResult, std::string>;
    const auto refused = DeliveryResult::RefusedForGood;
    const auto passing = DeliveryResult::PassingFailure;
    // A lost connection, refusals and unknown hosts are the real-server test's.
    const std::vector<Case> cases {
        {0, "250 hello\r\n", true, refused, ""},
        {0, "354 x\r\n", false, refused, "Unexpected reply to the greeting\r\n"},
        {0, "421 busy\r\n", false, passing, ""},
        {0, "", false, passing, noReply + "5 min waiting for the greeting\r\n"},
        {1, "25\r\n", false, refused, "Unexpected reply to HELO\r\n"},
        {2, "2500 odd\r\n", true, refused, ""},
        {2, "250-fine\r\n550 but no\r\n", false, refused, "Unexpected reply to MAIL FROM\r\n"},
        {3, "550 no such user\r\n", false, refused, ""},
        {4, "250 ok\r\n", false, refused, "Unexpected reply to DATA\r\n"},
        {5, "", false, passing, noReply + "10 min waiting for the reply to the message\r\n"},
        {6, "250 still fine\r\n", false, DeliveryResult::Delivered, ""},
    };
    for (const auto &[step, reply, fits, result, causeLine] : cases) {
        SCOPED_TRACE(reply + causeLine);
        Dialogue d;
        d.start();
        for (std::size_t i = 0; i < step; ++i)
            d.reply(kAccepted[i]);
        EXPECT_EQ(d.armed, limits[step]);
        const std::string wireBefore = d.wire, logBefore = d.log;
        if (reply.empty())
            d.Expire();
        else
            d.reply(reply);
        if (fits) {
            EXPECT_NE(d.wire, wireBefore) << "the next command goes out";
            EXPECT_EQ(d.dialoguesEnded, 0);
            continue;
        }
        EXPECT_EQ(d.wire, wireBefore) << "nothing is sent after a failure";
        EXPECT_EQ(d.log, logBefore + (reply.empty() ? "" : reply + "\r\n") + causeLine
                             + "Closing Connection\r\n");
        // Late events of the dropped connection change nothing.
        d.Fail(SocketFailure::Closed, "closed");
        d.Expire();
        d.reply("250 late\r\n");
        d.expectEnded(result);
    }

    // No connection within its limit.
    Dialogue d;
    d.smtp.ConnectToServer("mail.example.com", "bob@example.org", "x", "alice@example.com", "s",
                           "Pellwick v1.0");
    EXPECT_EQ(d.armed, 30s);
    d.Expire();
    EXPECT_EQ(d.log, "No connection to mail.example.com:25 within 30 s\r\nClosing Connection\r\n");
    EXPECT_EQ(d.outcome.cause, "No connection to mail.example.com:25 within 30 s");
    d.expectEnded(DeliveryResult::PassingFailure);
}

TEST(SmtpDialogue, ANamedSenderAndEveryRecipientGoInTheEnvelope)
{
    Dialogue d;
    d.start(" ann@x.test; ben@y.test ,carl@z.test ", "", "J\xC3\xB6rg <joerg@example.org>");
    while (d.smtp.Step() != SmtpStep::Data)
        d.reply(d.smtp.Step() == SmtpStep::Greeting ? kAccepted[0] : kAccepted[2]);
    EXPECT_EQ(d.wire, "HELO joerg\r\nMAIL FROM:<joerg@example.org>\r\nRCPT TO:<ann@x.test>\r\n"
                      "RCPT TO:<ben@y.test>\r\nRCPT TO:<carl@z.test>\r\nDATA\r\n");
    d.reply("354 go\r\n");
    EXPECT_NE(d.data().find("\r\nTo: ann@x.test, ben@y.test, carl@z.test\r\n"), std::string::npos);
    EXPECT_TRUE(d.data().ends_with("\r\n\r\n.\r\n")) << "empty body";
    EXPECT_TRUE(d.data().starts_with("From: =?UTF-8?B?SsO2cmc=?= <joerg@example.org>\r\n"));
}

TEST(SmtpSubmission, TlsAndLoginComeFirstAndFailuresStopBeforeAnySecret)
{
    const std::string password = "s3cret!";
    const std::pair<std::string, std::string> greeted {"220 mx\r\n", "EHLO ws1.example.net\r\n"};
    const std::string plainAuth
        = "AUTH PLAIN " + Base64(std::string("\0alice\0", 7) + password) + "\r\n";
    // What arrives ("tls:..." is the handshake ending) and what goes out then.
    using Steps = std::vector<std::pair<std::string, std::string>>;
    // Name, protection, pin, steps, and the cause it ends with (empty: it goes on to MAIL FROM).
    using Case = std::tuple<std::string, Security, std::string, Steps, std::string>;
    // clang-format off
    const std::vector<Case> cases {
        {"tls, login only", Security::Tls, "",
         {{"tls:verified", ""}, greeted, {"250-mx\r\n250 AUTH=LOGIN\r\n", "AUTH LOGIN\r\n"},
          {"334 VXNlcm5hbWU6\r\n", "YWxpY2U=\r\n"},
          {"334 UGFzc3dvcmQ6\r\n", Base64(password) + "\r\n"},
          {"235 ok\r\n", "MAIL FROM:<alice@example.com>\r\n"}}, ""},
        {"pinned certificate", Security::Tls, "aa:" + std::string(62, 'a'),
         {{"tls:untrusted", ""}, greeted, {"250-mx\r\n250 AUTH PLAIN\r\n", plainAuth}}, ""},
        {"no STARTTLS offered", Security::StartTls, "",
         {greeted, {"250-mx\r\n250 AUTH PLAIN\r\n", ""}},
         "Server mail.example.com:587 offers no STARTTLS; neither the password nor the mail goes "
         "out without TLS"},
        {"bytes planted after STARTTLS", Security::StartTls, "",
         {greeted, {"250-mx\r\n250 STARTTLS\r\n", "STARTTLS\r\n"},
          {"220 go\r\n250 AUTH PLAIN\r\n", ""}},
         "Server mail.example.com:587 sent more after its STARTTLS reply"},
        {"no password", Security::None, "",
         {greeted, {"250-mx\r\n250 AUTH PLAIN\r\n", ""}},
         "No password stored for alice at mail.example.com:587"},
        {"refused login", Security::None, "",
         {greeted, {"250-mx\r\n250 AUTH PLAIN\r\n", plainAuth}, {"535 5.7.8 no\r\n", ""}},
         "535 5.7.8 no"},
    };
    // clang-format on
    for (const auto &[name, security, pin, steps, cause] : cases) {
        SCOPED_TRACE(name);
        Dialogue d;
        d.start("bob@example.org", "body", "alice@example.com", "s", "mail.example.com",
                {587, security, "alice",
                 name == "no password" ? std::nullopt : std::optional(password), pin, ""});
        EXPECT_EQ(d.connectedTo,
                  (security == Security::Tls ? "tls " : "") + std::string("mail.example.com:587"));
        for (const auto &[input, sent] : steps) {
            const std::size_t before = d.wire.size();
            if (input.starts_with("tls:"))
                d.Encrypted({std::string(64, 'A'), input == "tls:verified",
                             input == "tls:verified" ? "" : "self-signed"});
            else
                d.reply(input);
            EXPECT_EQ(d.wire.substr(before), sent) << input;
        }
        EXPECT_EQ(d.tlsStarts, 0) << "no accepted STARTTLS here";
        // The secret never reaches the log, in any form; the log says it was sent.
        for (const std::string &secret : {password, Base64(password), plainAuth})
            EXPECT_EQ(d.log.find(secret), std::string::npos);
        EXPECT_EQ(d.wire.find(plainAuth) != std::string::npos,
                  d.log.find("\r\nAUTH PLAIN [password hidden]\r\n") != std::string::npos);
        if (cause.empty()) {
            EXPECT_EQ(d.dialoguesEnded, 0);
            continue;
        }
        EXPECT_EQ(d.wire.find("MAIL"), std::string::npos);
        // The refusal is the server's reply, logged as each reply is.
        const std::string after = name == "refused login" ? "\r\n\r\n" : "\r\n";
        EXPECT_TRUE(d.log.ends_with(cause + after + "Closing Connection\r\n")) << d.log;
        d.expectEnded(DeliveryResult::RefusedForGood);
        EXPECT_EQ(d.outcome.cause, cause);
    }
}

TEST(SmtpMessage, TextBeyondAsciiGoesOutAsMimeUtf8)
{
    const std::string gruesse = "Gr\xC3\xBC\xC3\x9F"
                                "e";
    const std::string snowman = "\xE2\x98\x83";
    const std::string mime = "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=UTF-8\r\n"
                             "Content-Transfer-Encoding: ";
    // Subject, body, whether the server offers 8BITMIME; the header from
    // "Subject: " to its end, and the body sent (empty: not compared).
    using Row = std::tuple<std::string, std::string, bool, std::string, std::string>;
    for (const auto &[subject, body, eightBitMime, headerTail, bodySent] : {
             Row {gruesse, gruesse + " " + snowman + " \r\nok", false,
                  "Subject: =?UTF-8?B?R3LDvMOfZQ==?=\r\n" + mime + "quoted-printable\r\n\r\n",
                  "Gr=C3=BC=C3=9Fe =E2=98=83=20\r\nok\r\n"},
             Row {"IP", gruesse, true, "Subject: IP\r\n" + mime + "8bit\r\n\r\n", gruesse + "\r\n"},
             Row {"IP", std::string(999, 'z'), true,
                  "Subject: IP\r\n" + mime + "quoted-printable\r\n\r\n", ""},
             // Words end between characters, never inside one.
             Row {
                 gruesse + " " + std::string(30, 'x') + " " + snowman + " " + std::string(40, 'y'),
                 "", false,
                 "Subject: =?UTF-8?B?R3LDvMOfZSB4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHgg4piD?=\r\n"
                 " =?UTF-8?B?IHl5eXl5eXl5eXl5eXl5eXl5eXl5eXl5eXl5eXl5eXl5eXl5eXl5eXk=?=\r\n"
                     + mime + "7bit\r\n\r\n",
                 ""},
         }) {
        SCOPED_TRACE(subject);
        Dialogue d;
        // A login makes the dialogue ask EHLO, which is where 8BITMIME is learnt.
        d.start("bob@example.org", body, "a@b.c", subject, "mail.example.com",
                {25, Security::None, eightBitMime ? "u" : "", "pw", "", ""});
        d.reply("220 hi\r\n");
        d.reply(eightBitMime ? "250-mx\r\n250-8BITMIME\r\n250 AUTH PLAIN\r\n" : "250 ok\r\n");
        if (eightBitMime)
            d.reply("235 ok\r\n");
        EXPECT_EQ(d.wire.ends_with(" BODY=8BITMIME\r\n"),
                  headerTail.find("8bit") != std::string::npos);
        for (const char *reply : {"250 ok\r\n", "250 ok\r\n", "354 go\r\n"})
            d.reply(reply);
        const std::string data = d.data();
        const std::size_t from = data.find("\r\nSubject: ") + 2, end = data.find("\r\n\r\n") + 4;
        EXPECT_EQ(data.substr(from, end - from), headerTail);
        if (!bodySent.empty()) {
            EXPECT_EQ(data.substr(end), bodySent + ".\r\n");
        }
        for (std::size_t lineStart = 0, lf = data.find('\n'); lf != std::string::npos;
             lineStart = lf + 1, lf = data.find('\n', lineStart))
            EXPECT_LE(lf - lineStart - 1, lf < end ? 78u : 76u);
    }
}

TEST(IpToken, ReplacesEveryExactTokenAndGoesWhereTheUserPutsIt)
{
    // Left to right without overlap, the replacement never scanned again; an empty
    // IP makes the token disappear.
    using Replaced = std::tuple<const char *, const char *, const char *>;
    for (const auto &[text, ip, result] :
         {Replaced {"IP [IPADDRESS] and [IPADDRESS].", "10.0.0.7", "IP 10.0.0.7 and 10.0.0.7."},
          {"[ipaddress] [IP ADDRESS] [IPADDRESS", "1", "[ipaddress] [IP ADDRESS] [IPADDRESS"},
          {"[[IPADDRESS]IPADDRESS]]", "[IPADDRESS]", "[[IPADDRESS]IPADDRESS]]"},
          {"is [IPADDRESS]!", "", "is !"}})
        EXPECT_EQ(ReplaceIpToken(text, ip), result) << text;

    // A selection or caret beyond the text (the shells' tests place it within).
    using Row = std::tuple<const char *, std::size_t, std::size_t, const char *>;
    for (const auto &[text, start, length, result] : {
             Row {"", 9, 0, "[IPADDRESS]"},
             Row {"abc", 1, 99, "a[IPADDRESS]"},
         })
        EXPECT_EQ(InsertTokenAtCaret(text, start, length), result) << text;
}

TEST(Address, OnlyWholeAddressesPassAndTheProblemNamesTheField)
{
    for (const char *field :
         {"root@localhost", "  ops@example.org ", "<ops@example.org>",
          "\"Doe \\\"JD\\\" John\" <j@example.org>", "me@[192.0.2.1]", "jörg@bücher.example"}) {
        EXPECT_EQ(SenderProblem(field), "") << field;
        EXPECT_EQ(RecipientsProblem(field), "") << field;
    }
    // Line breaks go first: what they glued must not become a command.
    for (const char *field :
         {"a@example.org\r\nRCPT TO:<evil@x>", "a@example.org>", "<a@example.org", "<a@b> <c@d>",
          "\"open <a@b>", "\"escaped end\\\" <a@b>", "no-domain@", "plain", "two words@example.org",
          ""}) {
        EXPECT_NE(SenderProblem(field), "") << field;
        EXPECT_NE(RecipientsProblem(field), "") << field;
    }
    EXPECT_EQ(SenderProblem("a@b\r\nRCPT TO:<evil@x>"),
              "The sender \"a@bRCPT TO:<evil@x>\" is not an email address.");
    EXPECT_EQ(RecipientsProblem(" ; , "), "No recipient is set.");
    EXPECT_EQ(RecipientsProblem("a@b; Ops <c@d>,,e@f"), "");
}
