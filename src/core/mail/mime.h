#pragma once

#include <string>
#include <vector>

namespace pellwick {

// MIME pieces for a plain-text mail in UTF-8. Every function here is pure.

// Whether the text holds a byte beyond 7-bit ASCII.
bool HasNonAscii(const std::string &text);

// Base64 (RFC 4648) of the bytes, without line breaks.
std::string Base64(const std::string &bytes);

// One body line (no line ending) in quoted-printable (RFC 2045): the lines to
// send, each within 76 characters; all but the last end in a soft break "=".
std::vector<std::string> QuotedPrintableLine(const std::string &line);

// A header "Name: value" whose value is unstructured text (the subject): as it
// stands when it is ASCII and folds at blanks within 78 characters a line;
// otherwise as RFC 2047 encoded words, folded so no line passes 78. Lines are
// joined by CRLF + blank, with no final CRLF.
std::string UnstructuredHeader(const std::string &name, const std::string &value);

// A header whose value is a list of addresses: a display name beyond ASCII
// ("Jörg <joerg@example.org>") becomes an encoded word; the header is folded
// after the commas where it passes 78 characters.
std::string AddressHeader(const std::string &name, const std::vector<std::string> &addresses);

} // namespace pellwick
