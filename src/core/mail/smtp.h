// SPDX-License-Identifier: MIT
#pragma once

#include "core/mail/deadline.h"
#include "core/mail/message.h"
#include "core/mail/smtp_listener.h"
#include "core/mail/socket.h"
#include "core/mail/submission.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pellwick {

class SmtpListener;

// One complete server reply: every line of it, each with its line ending.
struct ServerReply
{
    std::string text;
    // The reply broke the size limits; it is a refusal whatever its code.
    bool oversized = false;
};

// Cuts the byte stream from the server into whole SMTP replies. A line ends in
// LF (CRLF or a lone LF); a line whose fourth character is '-' is continued by
// the next line. Arrival boundaries do not matter.
class ReplyFramer
{
public:
    static constexpr std::size_t kMaxLineLength = 4096;
    static constexpr std::size_t kMaxReplyLength = 64 * 1024;

    void Feed(const std::string &bytes) { m_buffer += bytes; }
    // The next complete reply, if one has arrived.
    std::optional<ServerReply> Next();
    // Forgets everything buffered (a new connection, or the dialogue ended).
    void Reset() { *this = {}; }

private:
    ServerReply takeOversized();

    std::string m_buffer;
    // Where the first line not yet known to be complete starts; every line before
    // it is a continuation line of the reply being assembled.
    std::size_t m_lineStart = 0;
    // Bytes from m_lineStart up to here hold no LF: a long line arriving in many
    // pieces is not scanned again from its start each time.
    std::size_t m_scanned = 0;
};

// The extensions an EHLO reply announces that the dialogue uses.
struct EhloCapabilities
{
    bool startTls = false;
    bool eightBitMime = false;
    bool authPlain = false;
    bool authLogin = false;
};

// The dialogue's steps in the order they happen, each named for the reply it
// waits for. The plain dialogue runs Greeting, Helo, MailFrom, RcptTo (once per
// recipient), Data, Message, Quit; TLS and a login put Ehlo, StartTls,
// EhloInTls and one way of logging in between the greeting and MailFrom.
enum class SmtpStep {
    Greeting,
    Helo,
    Ehlo,
    StartTls,
    EhloInTls,
    AuthPlain,
    AuthLogin,
    LoginUser,
    LoginPassword,
    MailFrom,
    RcptTo,
    Data,
    Message,
    Quit,
};

// What the dialogue needs from the machine besides the socket.
struct SmtpEnvironment
{
    // The local time now (Date header, Message-ID).
    std::function<LocalTime()> clock;
    // This machine's name: the EHLO argument, and the Message-ID's domain when
    // the sender's address has none.
    std::function<std::string()> hostName;
    // A fresh random number for each Message-ID.
    std::function<std::uint64_t()> random;
};

// The program's SMTP client: one dialogue at a time, driven one step per
// complete server reply, each reply matched to the command it answers. With
// the default submission it speaks the HELO dialogue on port 25; with TLS or a
// login it speaks EHLO, STARTTLS and AUTH first. Every failure ends the
// dialogue the way a refusal does, with one log line naming its cause; every
// wait has a time limit.
class Smtp : private SocketEvents
{
public:
    using Clock = std::function<LocalTime()>;

    // The socket and the deadline must outlive the dialogue.
    Smtp(Socket &socket, SmtpListener &host, Deadline &deadline, SmtpEnvironment environment);
    ~Smtp();
    Smtp(const Smtp &) = delete;
    Smtp &operator=(const Smtp &) = delete;

    // Stores the mail's texts, drops any earlier connection and connects to the
    // trimmed server on the submission's port. The server speaks first.
    void ConnectToServer(std::string server, std::string recipient, std::string body,
                         std::string sender, std::string subject, std::string mailer,
                         Submission submission = {});
    // Reads the `count` waiting bytes and performs one step for every complete
    // reply among what has arrived so far.
    void HandleServerReply(std::int32_t count);
    // Sends the text and logs it unchanged.
    void SendToServer(const std::string &text);

    SmtpStep Step() const { return m_step; }
    const DialogueOutcome &LastOutcome() const { return m_outcome; }

    // RFC 5321 4.5.3.2, and 30 s to connect (with TLS: to finish the handshake).
    static constexpr std::chrono::seconds kConnectLimit {30};
    static constexpr std::chrono::minutes kReplyLimit {5};
    static constexpr std::chrono::minutes kDataLimit {2};
    static constexpr std::chrono::minutes kEndOfDataLimit {10};

private:
    // SocketEvents.
    void SocketConnected() override;
    void SocketEncrypted(const TlsPeer &peer) override;
    void SocketFailed(SocketFailure failure, const std::string &detail) override;

    // Performs the step for one reply; false when the dialogue has ended.
    bool handleReply(const ServerReply &reply);
    bool replyFits(const std::string &code) const;
    void afterEhlo(const std::string &reply);
    void startLogin();
    void sendMailFrom();
    void sendMessage();
    std::chrono::minutes replyLimit() const;
    void timedOut();
    // Logs the cause (unless the log shows it already), then ends the dialogue.
    void fail(DeliveryResult result, const std::string &cause, bool logCause = true);
    void endDialogue();
    std::string serverAndPort() const;
    std::string awaitedCommand() const;
    std::string awaitedReply() const;

    Socket &m_socket;
    SmtpListener &m_host;
    Deadline &m_deadline;
    SmtpEnvironment m_environment;
    ReplyFramer m_framer;

    std::string m_server;
    std::string m_recipient;
    std::string m_body;
    std::string m_sender;
    std::string m_subject;
    std::string m_mailer;
    SmtpStep m_step = SmtpStep::Greeting;
    // Between ConnectToServer and the dialogue's end; data arriving outside a
    // dialogue is no reply and is dropped.
    bool m_inDialogue = false;
    bool m_connected = false;

    Submission m_submission;
    EhloCapabilities m_capabilities;
    BodyEncoding m_encoding = BodyEncoding::Plain;
    DialogueOutcome m_outcome;

    // The envelope recipients of this dialogue and the next one to send.
    std::vector<std::string> m_recipients;
    std::size_t m_nextRecipient = 0;
};

} // namespace pellwick
