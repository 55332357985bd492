#include "core/mail/ip_token.h"

namespace pellwick {

std::string ReplaceIpToken(const std::string &text, const std::string &ip)
{
    const std::string token = kIpToken;
    std::string result;
    result.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at = text.find(token); at != std::string::npos; at = text.find(token, from)) {
        result.append(text, from, at - from);
        result += ip;
        from = at + token.size();
    }
    result.append(text, from, std::string::npos);
    return result;
}

std::string InsertTokenAtCaret(const std::string &text, std::size_t start, std::size_t length)
{
    std::string result = text;
    if (start >= result.size())
        return result + kIpToken;
    return result.replace(start, length, kIpToken);
}

} // namespace pellwick
