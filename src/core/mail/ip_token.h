// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace pellwick {

// The placeholder that stands for the local IP in the subject and the body.
inline constexpr const char *kIpToken = "[IPADDRESS]";

// The placeholder for the machine's global IPv6 address.
inline constexpr const char *kIpv6Token = "[IPV6ADDRESS]";

// The IPv4 address the internet sees, as the router or a STUN server tells it.
inline constexpr const char *kPublicIpToken = "[PUBLICIPADDRESS]";

// A token and the text it stands for.
using TokenValues = std::vector<std::pair<std::string, std::string>>;

// Every "[IPADDRESS]" in the text, left to right and without overlap, replaced
// by the IP. Matching is exact and case-sensitive.
std::string ReplaceIpToken(const std::string &text, const std::string &ip);

// The same for each token in turn, by its value.
std::string ReplaceTokens(const std::string &text, const TokenValues &values);

// The text after the insert-IP button: the selection (`length` bytes from
// `start`) replaced by the token at its place; with nothing selected the
// token goes in at the caret, or at the end when the caret lies beyond it.
std::string InsertTokenAtCaret(const std::string &text, std::size_t start, std::size_t length,
                               const std::string &token = kIpToken);

} // namespace pellwick
