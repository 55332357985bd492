// SPDX-License-Identifier: MIT
#include "core/mail/ip_token.h"

namespace pellwick {

std::string ReplaceToken(const std::string &text, const std::string &token,
                         const std::string &value)
{
    std::string result = text;
    // The search goes on after the inserted value, which is never searched itself.
    for (std::size_t at = result.find(token); at != std::string::npos;
         at = result.find(token, at + value.size()))
        result.replace(at, token.size(), value);
    return result;
}

std::string ReplaceIpToken(const std::string &text, const std::string &ip)
{
    return ReplaceToken(text, kIpToken, ip);
}

std::string ReplaceTokens(const std::string &text, const TokenValues &values)
{
    return ReplaceToken(ReplaceIpToken(text, values.localIp), kPublicIpToken, values.publicIp);
}

std::string InsertTokenAtCaret(const std::string &text, std::size_t start, std::size_t length,
                               const std::string &token)
{
    if (start >= text.size())
        return text + token;
    return std::string(text).replace(start, length, token);
}

} // namespace pellwick
