#pragma once

#include "core/mail/date_header.h"
#include "core/mail/reply_framer.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pellwick {

class Socket;
class SmtpHost;

// The program's SMTP client: one dialogue at a time, driven one step per
// server reply. Accepted replies are 220, 250 and 354; anything else ends the
// dialogue. The state runs 0, 1, 2, 4, 5, 3, 6.
class Smtp
{
public:
    using Clock = std::function<LocalTime()>;

    Smtp(Socket &socket, SmtpHost &host, Clock clock);

    // Stores the mail's texts, drops any earlier connection and connects to the
    // trimmed server on port 25. The server speaks first.
    void ConnectToServer(std::string server, std::string recipient, std::string body,
                         std::string sender, std::string subject, std::string mailer);
    // Reads the `count` waiting bytes and performs one step for every complete
    // reply among what has arrived so far.
    void HandleServerReply(std::int32_t count);
    // Sends the text and logs it unchanged.
    void SendToServer(const std::string &text);
    // Appends the text to the debug log as it is.
    void AppendDebug(const std::string &text);

    std::int32_t SmtpState() const { return g_lngSmtpState; }

    static constexpr std::uint16_t kSmtpPort = 25;

private:
    // Performs the step for one reply; false when the dialogue has ended.
    bool handleReply(const ServerReply &reply);
    void sendMessage();
    void endDialogue();

    Socket &m_socket;
    SmtpHost &m_host;
    Clock m_clock;
    ReplyFramer m_framer;

    std::string g_strSmtpServer;
    std::string g_strRecipient;
    std::string g_strBody;
    std::string g_strSender;
    std::string g_strSubject;
    std::string g_strMailer;
    std::int32_t g_lngSmtpState = 0;
    // Between ConnectToServer and the dialogue's end; data arriving outside a
    // dialogue is no reply and is dropped.
    bool m_inDialogue = false;

    // The envelope recipients of this dialogue and the next one to send.
    std::vector<std::string> m_recipients;
    std::size_t m_nextRecipient = 0;
};

} // namespace pellwick
