// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>

namespace pellwick {

// The placeholder that stands for the local IP in the subject and the body.
inline constexpr const char *kIpToken = "[IPADDRESS]";
// The IPv4 address the internet sees, as the router or a STUN server tells it.
inline constexpr const char *kPublicIpToken = "[PUBLICIPADDRESS]";
// What a token stands for in a mail sent before its address is known.
inline constexpr const char *kUnknownAddress = "unknown";

// Every "[IPADDRESS]" in the text, left to right and without overlap, replaced
// by the IP. Matching is exact and case-sensitive.
std::string ReplaceIpToken(const std::string &text, const std::string &ip);
// The same for any token.
std::string ReplaceToken(const std::string &text, const std::string &token,
                         const std::string &value);

// What the tokens of a mail stand for.
struct TokenValues
{
    std::string localIp;
    std::string publicIp = kUnknownAddress;
};
std::string ReplaceTokens(const std::string &text, const TokenValues &values);

// The text after the insert-IP button: the selection (`length` bytes from
// `start`) replaced by the token at its place; with nothing selected the
// token goes in at the caret, or at the end when the caret lies beyond it.
std::string InsertTokenAtCaret(const std::string &text, std::size_t start, std::size_t length,
                               const std::string &token = kIpToken);

} // namespace pellwick
