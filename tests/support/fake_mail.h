// SPDX-License-Identifier: MIT
#pragma once

// What the SMTP dialogue talks to, kept as plain state the test reads and whose
// events it fires: socket, deadline, window, clock.
#include "core/mail/deadline.h"
#include "core/mail/smtp.h"
#include "core/mail/smtp_listener.h"
#include "core/mail/socket.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace pellwick::test {

// Where the socket is connected, what went out on the wire, what the server sent
// that is not read yet.
struct FakeSocket : Socket
{
    std::string connectedTo, wire, waiting;
    int tlsStarts = 0, connects = 0;

    // Queues the server's next bytes; returns the count the socket would report.
    std::int32_t Arrive(const std::string &bytes)
    {
        waiting += bytes;
        return static_cast<std::int32_t>(waiting.size());
    }
    void Connected() { Events()->SocketConnected(); }
    void Encrypted(const TlsPeer &peer) { Events()->SocketEncrypted(peer); }
    void Fail(SocketFailure failure, const std::string &detail)
    {
        Events()->SocketFailed(failure, detail);
    }

    void Close() override { connectedTo.clear(); }
    void Connect(const std::string &host, std::uint16_t port, Security security) override
    {
        connectedTo = (security == Security::Tls ? "tls " : "") + host + ":" + std::to_string(port);
        wire.clear();
        ++connects;
    }
    void StartTls() override { ++tlsStarts; }
    void SendData(const std::string &text) override { wire += text; }
    void GetData(std::string &data, std::int32_t count) override
    {
        data = waiting.substr(0, static_cast<std::size_t>(std::max(count, 0)));
        waiting.erase(0, data.size());
    }
};

// A deadline that passes only when the test says so.
struct ManualDeadline : Deadline
{
    void Arm(std::chrono::milliseconds after, std::function<void()> expired) override
    {
        armed = after;
        pending = std::move(expired);
    }
    void Disarm() override
    {
        armed = std::chrono::milliseconds {0};
        pending = nullptr;
    }
    void Expire()
    {
        if (auto expired = std::exchange(pending, nullptr))
            expired();
    }

    std::chrono::milliseconds armed {0}; // the limit armed last; 0 when none is
    std::function<void()> pending; // what the armed limit calls
};

// A window for the SMTP dialogue that keeps what the dialogue shows it.
struct RecordingSmtpListener : SmtpListener
{
    void AppendToDebugLog(const std::string &text) override { log += text; }
    void UpdateCaption(const std::string &text) override { captions.push_back(text); }
    void DialogueEnded(const DialogueOutcome &result) override { outcome = result; }
    void CheckAutoExit() override { ++dialoguesEnded; }

    std::string log;
    std::vector<std::string> captions; // the last is the one shown
    DialogueOutcome outcome;
    int dialoguesEnded = 0;
};

// Sunday 6 December 2026, 10:05:09, one hour east of UTC: the clock of every
// test that sends a mail.
inline LocalTime FixedTime()
{
    LocalTime t;
    std::tm &f = t.fields;
    std::tie(f.tm_year, f.tm_mon, f.tm_mday, f.tm_hour, f.tm_min, f.tm_sec)
        = std::tuple(126, 11, 6, 10, 5, 9);
    t.utcOffsetSeconds = 3600;
    return t;
}

inline SmtpEnvironment FixedEnvironment(std::string host = "localhost", std::uint64_t random = 0)
{
    return {FixedTime, [host] { return host; },
            [random] {
                return random;
            }};
}

} // namespace pellwick::test
