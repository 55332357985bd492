// Arbitrary server bytes, cut into arbitrary arrivals, fed to the SMTP dialogue,
// plain or with a login. Whatever the server sends, the client never sends a
// bare CR or LF, never lets the password reach the log, stays in a known state,
// keeps its buffers bounded and never acts after its dialogue ended.
#include "core/mail/smtp.h"
#include "core/mail/smtp_host.h"
#include "core/mail/socket.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>

namespace {

constexpr const char *kPassword = "pw-XYZZY";

std::string withoutBreaks(std::string text)
{
    std::erase_if(text, [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
    return text;
}

class Peer
    : public pellwick::Socket
    , public pellwick::SmtpHost
{
public:
    void Close() override { closed = true; }
    void Connect(const std::string &, std::uint16_t) override { closed = false; }
    void SendData(const std::string &text) override
    {
        if (closed)
            std::abort(); // sending on a dropped connection
        wire += text;
    }
    void GetData(std::string &data, std::int32_t count) override
    {
        data = waiting.substr(0, static_cast<std::size_t>(count));
        waiting.erase(0, static_cast<std::size_t>(count));
    }
    void AppendToDebugLog(const std::string &text) override
    {
        logSize += text.size();
        // Unless the server or the mail's own texts hold it, the password is never
        // logged. Line breaks and NULs are left out on both sides: the dialogue
        // drops them from the fields, which can join a password out of pieces.
        if (withoutBreaks(text).find(kPassword) != std::string::npos
            && withoutBreaks(given).find(kPassword) == std::string::npos)
            std::abort();
    }
    void UpdateCaption(const std::string &) override { }
    void CheckAutoExit() override { ++endings; }

    std::string waiting;
    // Everything that came from the fuzzer's input: the mail's texts and the
    // server's bytes.
    std::string given;
    std::string wire;
    std::size_t logSize = 0;
    bool closed = true;
    int endings = 0;
};

pellwick::LocalTime noon()
{
    pellwick::LocalTime t;
    t.fields.tm_year = 126;
    t.fields.tm_mday = 1;
    t.fields.tm_hour = 12;
    return t;
}

void checkWire(const std::string &wire)
{
    for (std::size_t i = 0; i < wire.size(); ++i) {
        const bool crlf = wire[i] == '\r' && i + 1 < wire.size() && wire[i + 1] == '\n';
        if (crlf) {
            ++i;
            continue;
        }
        if (wire[i] == '\r' || wire[i] == '\n')
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    Peer peer;
    pellwick::Smtp smtp(peer, peer, noon);
    const std::string body = input.ConsumeRandomLengthString(64);
    const std::string recipient = input.ConsumeRandomLengthString(32);
    peer.given = body + recipient;
    pellwick::Submission submission;
    if (input.ConsumeBool()) {
        submission.user = "u";
        submission.password = kPassword;
    }
    smtp.ConnectToServer("mx.example.com", recipient, body, "a@example.com", "s", "Pellwick v1.0",
                         submission);

    std::size_t fed = 0;
    while (input.remaining_bytes() > 0) {
        const auto cut = input.ConsumeIntegralInRange<std::size_t>(1, 9000);
        const std::string bytes = input.ConsumeBytesAsString(cut);
        fed += bytes.size();
        peer.waiting += bytes;
        peer.given += bytes;
        smtp.HandleServerReply(static_cast<std::int32_t>(peer.waiting.size()));
        const int state = smtp.SmtpState();
        if (state < 0 || state > 13)
            std::abort();
        if (peer.endings > 1)
            std::abort(); // one dialogue ends once
    }
    checkWire(peer.wire);
    // The log holds what arrived plus what was sent and a few fixed texts.
    if (peer.logSize > fed + peer.wire.size() + 64 * 2 + 64)
        std::abort();
    return 0;
}
