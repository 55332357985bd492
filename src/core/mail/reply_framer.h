#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace pellwick {

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

    void Feed(const std::string &bytes);
    // The next complete reply, if one has arrived.
    std::optional<ServerReply> Next();
    // Forgets everything buffered (a new connection, or the dialogue ended).
    void Reset();

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

} // namespace pellwick
