// SPDX-License-Identifier: MIT
// Arbitrary server bytes in arbitrary arrivals, to the SMTP dialogue plain or with a
// login: the client never sends a bare CR or LF, never logs the password, stays in a
// known state, keeps its buffers bounded and never acts after its dialogue ended.
#include "support/fake_mail.h"

#include "core/mail/smtp.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>

namespace {

constexpr const char *kPassword = "pw-XYZZY";

void check(bool holds)
{
    if (!holds)
        std::abort();
}

std::string withoutBreaks(std::string text)
{
    std::erase_if(text, [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
    return text;
}

struct Peer
    : pellwick::test::FakeSocket
    , pellwick::test::RecordingSmtpListener
{
    std::string given; // the mail's texts and the server's bytes

    void SendData(const std::string &text) override
    {
        check(!connectedTo.empty()); // never on a dropped connection
        FakeSocket::SendData(text);
    }
    void AppendToDebugLog(const std::string &text) override
    {
        // Unless the server or the mail's own texts hold it, the password is never
        // logged. Line breaks and NULs are left out on both sides: the dialogue
        // drops them from the fields, which can join a password out of pieces.
        check(withoutBreaks(text).find(kPassword) == std::string::npos
              || withoutBreaks(given).find(kPassword) != std::string::npos);
        RecordingSmtpListener::AppendToDebugLog(text);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    Peer peer;
    pellwick::test::ManualDeadline deadline;
    pellwick::Smtp smtp(peer, peer, deadline, pellwick::test::FixedEnvironment());
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
        peer.given += bytes;
        smtp.HandleServerReply(peer.Arrive(bytes));
        check(peer.dialoguesEnded <= 1); // one dialogue ends once
    }
    // Every CR starts a CRLF and every LF ends one.
    const std::string &wire = peer.wire;
    check(!wire.starts_with('\n'));
    for (std::size_t i = 0; i < wire.size(); ++i)
        check((wire[i] == '\r') == (i + 1 < wire.size() && wire[i + 1] == '\n'));
    // The log holds what arrived plus what was sent and a few fixed texts.
    check(peer.log.size() <= fed + wire.size() + 64 * 2 + 64);
    return 0;
}
