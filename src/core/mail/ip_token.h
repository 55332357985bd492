#pragma once

#include <string>

namespace pellwick {

// The placeholder that stands for the local IP in the subject and the body.
inline constexpr const char *kIpToken = "[IPADDRESS]";

// Every "[IPADDRESS]" in the text, left to right and without overlap, replaced
// by the IP. Matching is exact and case-sensitive.
std::string ReplaceIpToken(const std::string &text, const std::string &ip);

// The text after the insert-IP button: the first occurrence of the selected
// text is removed, then the token is put at the old caret position (the start
// of the selection, in characters), or appended when that lies at or beyond
// the end of what is left.
std::u16string InsertTokenAtCaret(const std::u16string &text, std::size_t caret,
                                  const std::u16string &selected);

} // namespace pellwick
