#include "core/mail/smtp.h"

#include "core/mail/message.h"
#include "core/mail/smtp_host.h"
#include "core/mail/socket.h"

#include <utility>

namespace pellwick {

namespace {

constexpr const char *kCrLf = "\r\n";

bool isAcceptedCode(const std::string &reply)
{
    const std::string code = reply.substr(0, 3);
    return code == "220" || code == "250" || code == "354";
}

} // namespace

Smtp::Smtp(Socket &socket, SmtpHost &host, Clock clock)
    : m_socket(socket)
    , m_host(host)
    , m_clock(std::move(clock))
{
}

void Smtp::ConnectToServer(std::string server, std::string recipient, std::string body,
                           std::string sender, std::string subject, std::string mailer)
{
    g_strSmtpServer = RemoveLineBreaks(server);
    g_strRecipient = std::move(recipient);
    g_strBody = std::move(body);
    g_strSender = std::move(sender);
    g_strSubject = std::move(subject);
    g_strMailer = std::move(mailer);

    // A new connection always starts a new dialogue, whatever the last one left.
    g_lngSmtpState = 0;
    m_framer.Reset();
    m_inDialogue = true;
    m_recipients = SplitRecipients(g_strRecipient);
    m_nextRecipient = 0;

    m_socket.Close();
    m_socket.Connect(TrimSpaces(g_strSmtpServer), kSmtpPort);
    m_host.UpdateCaption("Connecting to " + g_strSmtpServer);
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

bool Smtp::handleReply(const ServerReply &reply)
{
    AppendDebug(reply.text + kCrLf);
    if (reply.oversized || !isAcceptedCode(reply.text)) {
        g_lngSmtpState = 0;
        endDialogue();
        return false;
    }

    switch (g_lngSmtpState) {
    case 0:
        g_lngSmtpState = 1;
        SendToServer("HELO " + HeloArgument(g_strSender) + kCrLf);
        m_host.UpdateCaption("Sending Email.");
        return true;
    case 1:
        g_lngSmtpState = 2;
        SendToServer("MAIL FROM:" + EnvelopeAddress(g_strSender) + kCrLf);
        m_host.UpdateCaption("Sending Email..");
        return true;
    case 2:
    case 4:
        // One RCPT TO per address, each after the reply to the one before; DATA
        // follows the reply to the last.
        if (m_nextRecipient < m_recipients.size()) {
            g_lngSmtpState = 4;
            SendToServer("RCPT TO:" + EnvelopeAddress(m_recipients[m_nextRecipient++]) + kCrLf);
            m_host.UpdateCaption("Sending Email...");
            return true;
        }
        g_lngSmtpState = 5;
        SendToServer(std::string("DATA") + kCrLf);
        m_host.UpdateCaption("Sending Email....");
        return true;
    case 5:
        g_lngSmtpState = 3;
        sendMessage();
        m_host.UpdateCaption("Sending Email.....");
        return true;
    case 3:
        g_lngSmtpState = 6;
        SendToServer(std::string("QUIT") + kCrLf);
        return true;
    default:
        endDialogue();
        return false;
    }
}

void Smtp::sendMessage()
{
    SendToServer(HeaderBlock(g_strSender, FormatMailDate(m_clock()), g_strMailer, g_strRecipient,
                             g_strSubject));
    for (const std::string &line : BodyLines(g_strBody))
        SendToServer(line);
    SendToServer(kEndOfData);
}

void Smtp::endDialogue()
{
    m_socket.Close();
    m_framer.Reset();
    m_inDialogue = false;
    AppendDebug(std::string("Closing Connection") + kCrLf);
    g_lngSmtpState = 0;
    m_host.UpdateCaption("");
    // May end the program; nothing of the dialogue is touched after it.
    m_host.CheckAutoExit();
}

void Smtp::SendToServer(const std::string &text)
{
    m_socket.SendData(text);
    AppendDebug(text);
}

void Smtp::AppendDebug(const std::string &text)
{
    m_host.AppendToDebugLog(text);
}

} // namespace pellwick
