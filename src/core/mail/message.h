// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace pellwick {

// The broken-down local time of one moment and its distance from UTC.
struct LocalTime
{
    std::tm fields {};
    long utcOffsetSeconds = 0;
};

// Formats an RFC 5322 date: "Ddd, dd Mmm YYYY hh:mm:ss +hhmm", with English
// names whatever the host's locale.
std::string FormatMailDate(const LocalTime &time);

// Texts of one mail as they go on the wire. Every function here is pure.

// Removes leading and trailing blanks (the space character only).
std::string TrimSpaces(const std::string &text);

// Removes every CR and LF, so a field cannot start a new command or header line,
// and every NUL, which would cut the field short for a server that reads C strings.
std::string RemoveLineBreaks(const std::string &text);

// The HELO argument: the trimmed sender's address (the part in angle brackets
// when it has one) up to its first "@"; the whole address when it has none;
// "localhost" when that leaves nothing.
std::string HeloArgument(const std::string &sender);

// An envelope address in angle brackets. A text that already holds a bracketed
// address ("Name <a@b>") contributes just that part.
std::string EnvelopeAddress(const std::string &address);

// The addresses of a recipient field, split at ";" and ",", trimmed, empty ones
// dropped. A field with no address at all gives one empty address.
std::vector<std::string> SplitRecipients(const std::string &field);

// "<unique@domain>": the domain of the sender's address, else the host name,
// else "localhost"; the unique part from the time and a random number.
std::string MessageId(const std::string &sender, const std::string &hostName, const LocalTime &time,
                      std::uint64_t random);

// A source of random numbers for MessageId, seeded once from the system's
// entropy; each source keeps its own state.
std::function<std::uint64_t()> MessageIdRandom();

// How the body travels.
enum class BodyEncoding {
    Plain, // ASCII with short lines: no MIME headers, as it always was
    SevenBit, // ASCII body, but a header text beyond ASCII: MIME headers
    EightBit, // UTF-8 as it stands; only where the server announced 8BITMIME
    QuotedPrintable, // text beyond ASCII, or a line over 998 octets
};

// The texts of one message as typed (tokens already replaced).
struct MessageTexts
{
    std::string sender;
    std::string date;
    std::string messageId;
    std::string mailer;
    std::string recipient;
    std::string subject;
    std::string body;
};

BodyEncoding ChooseBodyEncoding(const MessageTexts &texts, bool eightBitMime);

// The header block: From, Date, Message-ID, X-Mailer, To and Subject lines, the
// MIME lines unless the encoding is Plain, and the empty line that ends the
// header, each ending in CRLF.
std::string HeaderBlock(const MessageTexts &texts, BodyEncoding encoding);

// The body as the lines to send, each ending in CRLF: split at every CRLF, lone
// CR or lone LF, encoded, and dot-stuffed. An empty body gives no line at all.
std::vector<std::string> BodyLines(const std::string &body, BodyEncoding encoding);

// The line that ends the message data.
inline constexpr const char *kEndOfData = ".\r\n";

// MIME pieces for a plain-text mail in UTF-8.

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
