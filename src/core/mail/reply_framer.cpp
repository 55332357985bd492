#include "core/mail/reply_framer.h"

#include <algorithm>

namespace pellwick {

void ReplyFramer::Feed(const std::string &bytes)
{
    m_buffer += bytes;
}

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

void ReplyFramer::Reset()
{
    m_buffer.clear();
    m_lineStart = 0;
    m_scanned = 0;
}

} // namespace pellwick
