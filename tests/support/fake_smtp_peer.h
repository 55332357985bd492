#pragma once

#include "core/mail/smtp_host.h"
#include "core/mail/socket.h"
#include "support/manual_deadline.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pellwick::test {

// A socket, a deadline and a window for the SMTP dialogue that record what is
// done to them, in one ordered list of events. Socket events and the deadline
// are fired by the test.
class FakeSmtpPeer
    : public Socket
    , public SmtpHost
    , public ManualDeadline
{
public:
    // Queues bytes as the server's next arrival; returns the count the socket
    // would report.
    std::int32_t Arrive(const std::string &bytes)
    {
        m_waiting += bytes;
        return static_cast<std::int32_t>(m_waiting.size());
    }
    void Connected() { Events()->SocketConnected(); }
    void Encrypted(const TlsPeer &peer) { Events()->SocketEncrypted(peer); }
    void Fail(SocketFailure failure, const std::string &detail)
    {
        Events()->SocketFailed(failure, detail);
    }

    void Close() override { events.push_back("close"); }
    void Connect(const std::string &host, std::uint16_t port) override
    {
        events.push_back("connect " + host + ":" + std::to_string(port));
    }
    void ConnectTls(const std::string &host, std::uint16_t port) override
    {
        events.push_back("connect-tls " + host + ":" + std::to_string(port));
    }
    void StartTls() override { events.push_back("start-tls"); }
    void SendData(const std::string &text) override
    {
        wire += text;
        events.push_back("send " + text);
    }
    void GetData(std::string &data, std::int32_t count) override
    {
        const auto n = static_cast<std::size_t>(count < 0 ? 0 : count);
        data = m_waiting.substr(0, n);
        m_waiting.erase(0, n);
    }

    void AppendToDebugLog(const std::string &text) override { debugLog += text; }
    void UpdateCaption(const std::string &text) override
    {
        captions.push_back(text);
        events.push_back("caption " + text);
    }
    void DialogueEnded(const DialogueOutcome &result) override { outcome = result; }
    void CheckAutoExit() override
    {
        ++autoExitChecks;
        events.push_back("check-auto-exit");
    }

    std::vector<std::string> events;
    std::vector<std::string> captions;
    std::string wire;
    std::string debugLog;
    DialogueOutcome outcome;
    int autoExitChecks = 0;

private:
    std::string m_waiting;
};

} // namespace pellwick::test
