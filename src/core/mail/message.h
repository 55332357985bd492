#pragma once

#include <string>
#include <vector>

namespace pellwick {

// Texts of one mail as they go on the wire. Every function here is pure.

// Removes leading and trailing blanks (the space character only).
std::string TrimSpaces(const std::string &text);

// Removes every CR and LF, so a field cannot start a new command or header line,
// and every NUL, which would cut the field short for a server that reads C strings.
std::string RemoveLineBreaks(const std::string &text);

// The HELO argument: the trimmed sender up to its first "@"; the whole trimmed
// sender when it has none; "localhost" when that leaves nothing.
std::string HeloArgument(const std::string &sender);

// An envelope address in angle brackets. A text that already holds a bracketed
// address ("Name <a@b>") contributes just that part.
std::string EnvelopeAddress(const std::string &address);

// The addresses of a recipient field, split at ";" and ",", trimmed, empty ones
// dropped. A field with no address at all gives one empty address.
std::vector<std::string> SplitRecipients(const std::string &field);

// The header block: From, Date, X-Mailer, To and Subject lines and the empty
// line that ends the header, each ending in CRLF.
std::string HeaderBlock(const std::string &sender, const std::string &date,
                        const std::string &mailer, const std::string &recipient,
                        const std::string &subject);

// The body as the lines to send, each ending in CRLF: split at every CRLF, lone
// CR or lone LF, and dot-stuffed. An empty body gives no line at all.
std::vector<std::string> BodyLines(const std::string &body);

// The line that ends the message data.
inline constexpr const char *kEndOfData = ".\r\n";

} // namespace pellwick
