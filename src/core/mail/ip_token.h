// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>

namespace pellwick {

// The placeholder that stands for the local IP in the subject and the body.
inline constexpr const char *kIpToken = "[IPADDRESS]";

// Every "[IPADDRESS]" in the text, left to right and without overlap, replaced
// by the IP. Matching is exact and case-sensitive.
std::string ReplaceIpToken(const std::string &text, const std::string &ip);

// The text after the insert-IP button: the selection (`length` bytes from
// `start`) replaced by the token at its place; with nothing selected the
// token goes in at the caret, or at the end when the caret lies beyond it.
std::string InsertTokenAtCaret(const std::string &text, std::size_t start, std::size_t length);

} // namespace pellwick
