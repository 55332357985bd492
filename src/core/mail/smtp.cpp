// SPDX-License-Identifier: MIT
#include "core/mail/smtp.h"

#include "core/mail/smtp_listener.h"
#include "core/text/text.h"

#include <algorithm>
#include <iterator>
#include <sstream>
#include <utility>

namespace pellwick {

namespace {

constexpr const char *kCrLf = "\r\n";
constexpr const char *kHiddenSecret = " [password hidden]";
// A server's reply line as the one-line cause of a failure is cut here.
constexpr std::size_t kMaxCauseLength = 512;

std::vector<std::string> lines(const std::string &reply)
{
    std::vector<std::string> result;
    std::istringstream stream(reply);
    for (std::string line; std::getline(stream, line);)
        result.emplace_back(TrimEnd(line, "\r"));
    return result;
}

// The reply code: the first three characters every line of the reply starts
// with; empty when the lines disagree or a line is shorter than that.
std::string ReplyCode(const std::string &reply)
{
    std::string code;
    for (const std::string &line : lines(reply)) {
        if (line.size() < 3)
            return {};
        if (code.empty())
            code = line.substr(0, 3);
        else if (line.compare(0, 3, code) != 0)
            return {};
    }
    return code;
}

// The reply's last line without its line ending.
std::string LastLine(const std::string &reply)
{
    const std::vector<std::string> all = lines(reply);
    return all.empty() ? std::string() : all.back();
}

EhloCapabilities ParseEhloReply(const std::string &reply)
{
    EhloCapabilities caps;
    const std::vector<std::string> all = lines(reply);
    // The first line greets by name; each later one names one extension.
    for (std::size_t i = 1; i < all.size(); ++i) {
        std::string extension = all[i].size() > 4 ? all[i].substr(4) : std::string();
        std::ranges::transform(extension, extension.begin(), AsciiLower);
        std::istringstream words(extension);
        std::string keyword;
        words >> keyword;
        caps.startTls = caps.startTls || keyword == "starttls";
        caps.eightBitMime = caps.eightBitMime || keyword == "8bitmime";
        if (keyword.starts_with("auth")) {
            // "AUTH PLAIN LOGIN", or the older "AUTH=PLAIN LOGIN", in any case.
            std::string mechanism = keyword.size() > 5 ? keyword.substr(5) : std::string();
            do {
                caps.authPlain = caps.authPlain || mechanism == "plain";
                caps.authLogin = caps.authLogin || mechanism == "login";
            } while (words >> mechanism);
        }
    }
    return caps;
}

} // namespace

std::optional<ServerReply> ReplyFramer::Next()
{
    for (;;) {
        const std::size_t lf = m_buffer.find('\n', std::max(m_lineStart, m_scanned));
        if (lf == std::string::npos) {
            if (m_buffer.size() - m_lineStart > kMaxLineLength || m_buffer.size() > kMaxReplyLength)
                return takeOversized();
            m_scanned = m_buffer.size();
            return std::nullopt;
        }
        if (lf - m_lineStart > kMaxLineLength || lf >= kMaxReplyLength)
            return takeOversized();

        const std::size_t lineEnd = lf + 1;
        const bool continued = lineEnd - m_lineStart > 4 && m_buffer[m_lineStart + 3] == '-';
        if (continued) {
            m_lineStart = lineEnd;
            m_scanned = lineEnd;
            continue;
        }
        ServerReply reply {m_buffer.substr(0, lineEnd), false};
        m_buffer.erase(0, lineEnd);
        m_lineStart = 0;
        m_scanned = 0;
        return reply;
    }
}

ServerReply ReplyFramer::takeOversized()
{
    // The reply is cut where the limit was crossed; the rest of the stream can no
    // longer be trusted to be in step, so it is dropped with it.
    const std::size_t keep = std::min(m_lineStart + kMaxLineLength, kMaxReplyLength);
    ServerReply reply {m_buffer.substr(0, keep), true};
    Reset();
    return reply;
}

Smtp::Smtp(Socket &socket, SmtpListener &host, Deadline &deadline, SmtpEnvironment environment)
    : m_socket(socket)
    , m_host(host)
    , m_deadline(deadline)
    , m_environment(std::move(environment))
{
    m_socket.SetEvents(this);
}

Smtp::~Smtp()
{
    m_deadline.Disarm();
    m_socket.SetEvents(nullptr);
}

void Smtp::ConnectToServer(std::string server, std::string recipient, std::string body,
                           std::string sender, std::string subject, std::string mailer,
                           Submission submission)
{
    m_server = RemoveLineBreaks(server);
    m_recipient = std::move(recipient);
    m_body = std::move(body);
    m_sender = std::move(sender);
    m_subject = std::move(subject);
    m_mailer = std::move(mailer);

    // Whatever the old connection still reports belongs to no dialogue.
    m_inDialogue = false;
    m_socket.Close();

    // A new connection always starts a new dialogue, whatever the last one left.
    m_step = SmtpStep::Greeting;
    m_framer.Reset();
    m_inDialogue = true;
    m_connected = false;
    m_submission = std::move(submission);
    m_capabilities = {};
    m_outcome = {};
    m_recipients = SplitRecipients(m_recipient);
    m_nextRecipient = 0;

    m_deadline.Arm(kConnectLimit, [this] { timedOut(); });
    m_socket.Connect(TrimSpaces(m_server), m_submission.port, m_submission.security);
    // The socket may have failed at once; the caption then stays normal.
    if (m_inDialogue)
        m_host.UpdateCaption("Connecting to " + m_server);
}

void Smtp::HandleServerReply(std::int32_t count)
{
    std::string data;
    m_socket.GetData(data, count);
    if (!m_inDialogue)
        return;
    m_framer.Feed(data);
    while (auto reply = m_framer.Next()) {
        if (!handleReply(*reply))
            return;
    }
}

void Smtp::SocketConnected()
{
    if (!m_inDialogue || m_connected)
        return;
    m_connected = true;
    // With TLS from the first byte the connect limit also covers the handshake.
    if (m_submission.security != Security::Tls)
        m_deadline.Arm(replyLimit(), [this] { timedOut(); });
}

void Smtp::SocketEncrypted(const TlsPeer &peer)
{
    if (!m_inDialogue)
        return;
    m_outcome.peerFingerprint = peer.fingerprint;
    if (!peer.verified && !MatchesPin(m_submission.pin, peer.fingerprint)) {
        fail(DeliveryResult::RefusedForGood, "Certificate of " + serverAndPort() + " not trusted ("
                                                 + peer.problem + "); SHA-256 fingerprint "
                                                 + peer.fingerprint);
        return;
    }
    if (m_step == SmtpStep::StartTls) {
        // Everything learnt before TLS is forgotten; the server is asked again.
        m_step = SmtpStep::EhloInTls;
        SendToServer("EHLO " + HeloArgument(m_environment.hostName()) + kCrLf);
    }
    m_deadline.Arm(replyLimit(), [this] { timedOut(); });
}

void Smtp::SocketFailed(SocketFailure failure, const std::string &detail)
{
    if (!m_inDialogue)
        return;
    const bool tls = failure == SocketFailure::Tls;
    const DeliveryResult result
        = tls ? DeliveryResult::RefusedForGood : DeliveryResult::PassingFailure;
    if (!m_connected)
        fail(result, "Could not connect to " + serverAndPort() + ": " + detail);
    else if (tls)
        fail(result, "TLS with " + serverAndPort() + " failed: " + detail);
    else
        fail(result,
             "Connection to " + serverAndPort() + " lost " + awaitedReply() + ": " + detail);
}

void Smtp::timedOut()
{
    if (!m_inDialogue)
        return;
    // With TLS from the first byte, the connection is not up before the handshake is done.
    const bool connecting
        = !m_connected
          || (m_submission.security == Security::Tls && m_step == SmtpStep::Greeting
              && m_outcome.peerFingerprint.empty());
    fail(DeliveryResult::PassingFailure,
         connecting ? "No connection to " + serverAndPort() + " within 30 s"
                    : "No reply from " + serverAndPort() + " within "
                          + std::to_string(replyLimit().count()) + " min " + awaitedReply());
}

bool Smtp::replyFits(const std::string &code) const
{
    switch (m_step) {
    case SmtpStep::Greeting:
        return code == "220" || code == "250";
    case SmtpStep::RcptTo:
        return code == "250" || code == "251";
    case SmtpStep::Data:
        return code == "354";
    case SmtpStep::StartTls:
        return code == "220";
    case SmtpStep::AuthPlain:
    case SmtpStep::LoginPassword:
        return code == "235";
    case SmtpStep::AuthLogin:
    case SmtpStep::LoginUser:
        return code == "334";
    case SmtpStep::Quit:
        return true; // whatever the answer, the dialogue is over
    default:
        return code == "250";
    }
}

bool Smtp::handleReply(const ServerReply &reply)
{
    m_host.AppendToDebugLog(reply.text + kCrLf);
    const std::string code = reply.oversized ? std::string() : ReplyCode(reply.text);
    if (!replyFits(code)) {
        const bool passing = code.starts_with('4');
        const DeliveryResult result
            = passing ? DeliveryResult::PassingFailure : DeliveryResult::RefusedForGood;
        // The reply speaks for itself, unless it is no answer to what was asked.
        if (reply.oversized)
            fail(result, "Reply from " + serverAndPort() + " over the size limit");
        else if (!passing && !code.starts_with('5'))
            fail(result, "Unexpected reply to " + awaitedCommand());
        else
            fail(result, LastLine(reply.text).substr(0, kMaxCauseLength), false);
        return false;
    }

    switch (m_step) {
    case SmtpStep::Greeting:
        if (m_submission.Extended()) {
            m_step = SmtpStep::Ehlo;
            SendToServer("EHLO " + HeloArgument(m_environment.hostName()) + kCrLf);
        } else {
            m_step = SmtpStep::Helo;
            SendToServer("HELO " + HeloArgument(m_sender) + kCrLf);
        }
        m_host.UpdateCaption("Sending Email.");
        break;
    case SmtpStep::Ehlo:
    case SmtpStep::EhloInTls:
        afterEhlo(reply.text);
        break;
    case SmtpStep::StartTls:
        // Bytes after the go-ahead were sent before TLS and could have been
        // planted by anyone on the path: such a server is not talked to.
        if (m_framer.Next()) {
            fail(DeliveryResult::RefusedForGood,
                 "Server " + serverAndPort() + " sent more after its STARTTLS reply");
            return false;
        }
        m_socket.StartTls();
        break;
    case SmtpStep::AuthLogin:
        m_step = SmtpStep::LoginUser;
        SendToServer(Base64(m_submission.user) + kCrLf);
        break;
    case SmtpStep::LoginUser:
        m_step = SmtpStep::LoginPassword;
        m_socket.SendData(Base64(*m_submission.password) + kCrLf);
        m_host.AppendToDebugLog(std::string(kHiddenSecret) + kCrLf);
        break;
    case SmtpStep::Helo:
    case SmtpStep::AuthPlain:
    case SmtpStep::LoginPassword:
        sendMailFrom();
        break;
    case SmtpStep::MailFrom:
    case SmtpStep::RcptTo:
        // One RCPT TO per address, each after the reply to the one before; DATA
        // follows the reply to the last.
        if (m_nextRecipient < m_recipients.size()) {
            m_step = SmtpStep::RcptTo;
            SendToServer("RCPT TO:" + EnvelopeAddress(m_recipients[m_nextRecipient++]) + kCrLf);
            m_host.UpdateCaption("Sending Email...");
            break;
        }
        m_step = SmtpStep::Data;
        SendToServer(std::string("DATA") + kCrLf);
        m_host.UpdateCaption("Sending Email....");
        break;
    case SmtpStep::Data:
        m_step = SmtpStep::Message;
        sendMessage();
        m_host.UpdateCaption("Sending Email.....");
        break;
    case SmtpStep::Message:
        m_outcome.result = DeliveryResult::Delivered;
        m_outcome.cause = LastLine(reply.text);
        m_step = SmtpStep::Quit;
        SendToServer(std::string("QUIT") + kCrLf);
        break;
    default:
        endDialogue();
        return false;
    }
    if (!m_inDialogue)
        return false;
    m_deadline.Arm(replyLimit(), [this] { timedOut(); });
    return true;
}

void Smtp::afterEhlo(const std::string &reply)
{
    m_capabilities = ParseEhloReply(reply);
    if (m_step == SmtpStep::Ehlo && m_submission.security == Security::StartTls) {
        if (!m_capabilities.startTls) {
            fail(DeliveryResult::RefusedForGood, "Server " + serverAndPort()
                                                     + " offers no STARTTLS; neither the password "
                                                       "nor the mail goes out without TLS");
            return;
        }
        m_step = SmtpStep::StartTls;
        SendToServer(std::string("STARTTLS") + kCrLf);
        return;
    }
    if (m_submission.user.empty())
        sendMailFrom();
    else
        startLogin();
}

void Smtp::startLogin()
{
    const std::string who = m_submission.user + " at " + serverAndPort();
    if (!m_submission.password) {
        const std::string &why = m_submission.passwordProblem;
        fail(DeliveryResult::RefusedForGood,
             "No password stored for " + who + (why.empty() ? "" : " (" + why + ")"));
        return;
    }
    if (m_capabilities.authPlain) {
        m_step = SmtpStep::AuthPlain;
        const std::string response
            = Base64(std::string(1, '\0') + m_submission.user + '\0' + *m_submission.password);
        m_socket.SendData("AUTH PLAIN " + response + kCrLf);
        m_host.AppendToDebugLog(std::string("AUTH PLAIN") + kHiddenSecret + kCrLf);
    } else if (m_capabilities.authLogin) {
        m_step = SmtpStep::AuthLogin;
        SendToServer(std::string("AUTH LOGIN") + kCrLf);
    } else {
        fail(DeliveryResult::RefusedForGood,
             "Server " + serverAndPort() + " offers neither AUTH PLAIN nor AUTH LOGIN for " + who);
    }
}

void Smtp::sendMailFrom()
{
    const MessageTexts texts {m_sender, {}, {}, m_mailer, m_recipient, m_subject, m_body};
    m_encoding = ChooseBodyEncoding(texts, m_capabilities.eightBitMime);
    m_step = SmtpStep::MailFrom;
    SendToServer("MAIL FROM:" + EnvelopeAddress(m_sender)
                 + (m_encoding == BodyEncoding::EightBit ? " BODY=8BITMIME" : "") + kCrLf);
    m_host.UpdateCaption("Sending Email..");
}

void Smtp::sendMessage()
{
    const LocalTime now = m_environment.clock();
    const MessageTexts texts {
        m_sender,
        FormatMailDate(now),
        MessageId(m_sender, m_environment.hostName(), now, m_environment.random()),
        m_mailer,
        m_recipient,
        m_subject,
        m_body,
    };
    SendToServer(HeaderBlock(texts, m_encoding));
    for (const std::string &line : BodyLines(m_body, m_encoding))
        SendToServer(line);
    SendToServer(kEndOfData);
}

std::chrono::minutes Smtp::replyLimit() const
{
    return m_step == SmtpStep::Data      ? kDataLimit
           : m_step == SmtpStep::Message ? kEndOfDataLimit
                                         : kReplyLimit;
}

void Smtp::fail(DeliveryResult result, const std::string &cause, bool logCause)
{
    if (logCause)
        m_host.AppendToDebugLog(cause + kCrLf);
    // A mail the server took stays delivered, whatever happens after.
    if (m_outcome.result != DeliveryResult::Delivered) {
        m_outcome.result = result;
        m_outcome.cause = cause;
    }
    endDialogue();
}

void Smtp::endDialogue()
{
    m_deadline.Disarm();
    m_socket.Close();
    m_framer.Reset();
    m_inDialogue = false;
    m_host.AppendToDebugLog(std::string("Closing Connection") + kCrLf);
    m_step = SmtpStep::Greeting;
    m_host.UpdateCaption("");
    // A copy: the host may start the next dialogue from here.
    const DialogueOutcome outcome = m_outcome;
    m_host.DialogueEnded(outcome);
    // May end the program; nothing of the dialogue is touched after it.
    m_host.CheckAutoExit();
}

std::string Smtp::serverAndPort() const
{
    return TrimSpaces(m_server) + ":" + std::to_string(m_submission.port);
}

std::string Smtp::awaitedCommand() const
{
    // One entry per step, in the steps' order.
    static constexpr const char *kAwaited[] = {
        "the greeting", "HELO",       "EHLO",          "STARTTLS",     "EHLO",
        "AUTH PLAIN",   "AUTH LOGIN", "the user name", "the password", "MAIL FROM",
        "RCPT TO",      "DATA",       "the message",   "QUIT",
    };
    static_assert(std::size(kAwaited) == static_cast<std::size_t>(SmtpStep::Quit) + 1);
    return kAwaited[static_cast<std::size_t>(m_step)];
}

std::string Smtp::awaitedReply() const
{
    return m_step == SmtpStep::Greeting ? std::string("waiting for the greeting")
                                        : "waiting for the reply to " + awaitedCommand();
}

void Smtp::SendToServer(const std::string &text)
{
    m_socket.SendData(text);
    m_host.AppendToDebugLog(text);
}

} // namespace pellwick
