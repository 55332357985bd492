// SPDX-License-Identifier: MIT
#include "core/mail/ip_token.h"

namespace pellwick {

namespace {

std::string replaceToken(const std::string &text, const std::string &token, const std::string &ip)
{
    std::string result = text;
    // The search goes on after the inserted IP, which is never searched itself.
    for (std::size_t at = result.find(token); at != std::string::npos;
         at = result.find(token, at + ip.size()))
        result.replace(at, token.size(), ip);
    return result;
}

} // namespace

std::string ReplaceIpToken(const std::string &text, const std::string &ip)
{
    return replaceToken(text, kIpToken, ip);
}

std::string ReplaceTokens(const std::string &text, const TokenValues &values)
{
    std::string result = text;
    for (const auto &[token, value] : values)
        result = replaceToken(result, token, value);
    return result;
}

std::string InsertTokenAtCaret(const std::string &text, std::size_t start, std::size_t length,
                               const std::string &token)
{
    if (start >= text.size())
        return text + token;
    return std::string(text).replace(start, length, token);
}

} // namespace pellwick
