// SPDX-License-Identifier: MIT
#include "core/mail/debug_log_limit.h"

namespace pellwick {

std::string AppendToBoundedLog(std::string &log, const std::string &text, std::size_t limit)
{
    log += text;
    if (log.size() <= limit)
        return {};
    // Cut after the first line break that leaves at most `limit` bytes; with no
    // such break the whole log goes rather than half a line.
    const std::size_t earliest = log.size() - limit;
    const std::size_t lineBreak = log.find('\n', earliest - 1);
    const std::size_t cut = lineBreak == std::string::npos ? log.size() : lineBreak + 1;
    std::string dropped = log.substr(0, cut);
    log.erase(0, cut);
    return dropped;
}

} // namespace pellwick
