// SPDX-License-Identifier: MIT
#include "core/mail/message.h"

#include "core/text/text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <random>

namespace pellwick {

namespace {

constexpr const char *kCrLf = "\r\n";
// RFC 5321: a text line is at most 998 octets before its CRLF.
constexpr std::size_t kMaxLineOctets = 998;

// The address itself: the part in angle brackets when there is one.
std::string bareAddress(const std::string &field)
{
    const std::string envelope = EnvelopeAddress(field);
    return envelope.substr(1, envelope.size() - 2);
}

bool isDomain(const std::string &text)
{
    constexpr const char *kDomainCharacters
        = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-";
    return !text.empty() && text.front() != '.' && text.back() != '.'
           && text.find_first_not_of(kDomainCharacters) == std::string::npos;
}

// The body split at every CRLF, lone CR or lone LF, without line endings.
std::vector<std::string> splitLines(const std::string &body)
{
    std::vector<std::string> lines;
    if (body.empty())
        return lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = body.find_first_of("\r\n", start);
        lines.push_back(body.substr(start, end - start));
        if (end == std::string::npos)
            return lines;
        start = end + (body.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
}

constexpr std::size_t kHeaderLineLimit = 78;
constexpr std::size_t kQuotedPrintableLimit = 76;
constexpr const char *kFold = "\r\n ";
constexpr const char *kWordStart = "=?UTF-8?B?";
constexpr const char *kWordEnd = "?=";
// RFC 2047: an encoded word is at most 75 characters.
constexpr std::size_t kMaxWord = 75;

bool isUtf8Continuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u;
}

// The longest piece of `text` from `from` whose encoded word fits in `room`
// characters, never cutting a UTF-8 sequence; at least one whole character.
std::size_t wordPieceLength(const std::string &text, std::size_t from, std::size_t room)
{
    const std::size_t overhead = std::char_traits<char>::length(kWordStart) + 2;
    const std::size_t fitting = room > overhead ? (room - overhead) / 4 * 3 : 0;
    std::size_t length = std::min(std::max<std::size_t>(fitting, 1), text.size() - from);
    while (length > 1 && from + length < text.size() && isUtf8Continuation(text[from + length]))
        --length;
    while (from + length < text.size() && length < 4 && isUtf8Continuation(text[from + length]))
        ++length; // one character wider than the room: it still has to go somewhere
    return length;
}

// The text as encoded words after `used` characters of the first line.
std::string encodedWords(const std::string &text, std::size_t used)
{
    std::string result;
    std::size_t from = 0;
    while (from < text.size()) {
        // A word needs room for at least one character (4 Base64 digits).
        const std::size_t room
            = used + 16 <= kHeaderLineLimit ? std::min(kMaxWord, kHeaderLineLimit - used) : 16;
        const std::size_t length = wordPieceLength(text, from, room);
        if (from > 0)
            result += kFold;
        result += kWordStart + Base64(text.substr(from, length)) + kWordEnd;
        from += length;
        used = 1; // the blank that starts a continuation line
    }
    return result;
}

// Folds "Name: value" at blanks so no line passes 78 characters; nothing when
// some run without a blank is too long for that.
std::optional<std::string> foldAtBlanks(const std::string &line)
{
    std::string folded;
    std::size_t lineStart = 0;
    while (line.size() - lineStart > kHeaderLineLimit) {
        const std::size_t blank = line.rfind(' ', lineStart + kHeaderLineLimit);
        if (blank == std::string::npos || blank <= lineStart)
            return std::nullopt;
        folded += line.substr(lineStart, blank - lineStart) + "\r\n";
        lineStart = blank; // the blank starts the continuation line
    }
    return folded + line.substr(lineStart);
}

std::string encodeDisplayName(const std::string &address, std::size_t used)
{
    const std::size_t open = address.rfind('<');
    if (!HasNonAscii(address) || open == std::string::npos)
        return address;
    std::string name(TrimEnd(std::string_view(address).substr(0, open)));
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
        name = name.substr(1, name.size() - 2);
    return encodedWords(name, used) + " " + address.substr(open);
}

} // namespace

std::string TrimSpaces(const std::string &text)
{
    return std::string(Trim(text));
}

std::string RemoveLineBreaks(const std::string &text)
{
    std::string result = text;
    std::erase_if(result, [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
    return result;
}

std::string HeloArgument(const std::string &sender)
{
    const std::string address = bareAddress(sender);
    const std::string local = address.substr(0, address.find('@'));
    return local.empty() ? std::string("localhost") : local;
}

std::string EnvelopeAddress(const std::string &address)
{
    const std::string trimmed = TrimSpaces(RemoveLineBreaks(address));
    const std::size_t open = trimmed.find('<');
    if (open != std::string::npos) {
        const std::size_t close = trimmed.find('>', open);
        if (close != std::string::npos)
            return trimmed.substr(open, close - open + 1);
    }
    return "<" + trimmed + ">";
}

std::vector<std::string> SplitRecipients(const std::string &field)
{
    std::vector<std::string> addresses;
    const std::string cleaned = RemoveLineBreaks(field);
    for (std::size_t start = 0; start <= cleaned.size();) {
        const std::size_t end = std::min(cleaned.find_first_of(";,", start), cleaned.size());
        std::string trimmed = TrimSpaces(cleaned.substr(start, end - start));
        if (!trimmed.empty())
            addresses.push_back(std::move(trimmed));
        start = end + 1;
    }
    if (addresses.empty())
        addresses.emplace_back();
    return addresses;
}

std::string MessageId(const std::string &sender, const std::string &hostName, const LocalTime &time,
                      std::uint64_t random)
{
    const std::string address = bareAddress(sender);
    const std::size_t at = address.rfind('@');
    std::string domain = at == std::string::npos ? std::string() : address.substr(at + 1);
    if (!isDomain(domain))
        domain = isDomain(hostName) ? hostName : "localhost";
    const std::tm &t = time.fields;
    std::array<char, 48> unique {};
    std::snprintf(unique.data(), unique.size(), "%04d%02d%02d%02d%02d%02d.%016llx",
                  t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec,
                  static_cast<unsigned long long>(random));
    return "<" + std::string(unique.data()) + "@" + domain + ">";
}

std::function<std::uint64_t()> MessageIdRandom()
{
    std::random_device entropy;
    auto engine = std::make_shared<std::mt19937_64>((static_cast<std::uint64_t>(entropy()) << 32)
                                                    | entropy());
    return [engine] {
        return (*engine)();
    };
}

BodyEncoding ChooseBodyEncoding(const MessageTexts &texts, bool eightBitMime)
{
    for (const std::string &line : splitLines(texts.body)) {
        // Dot-stuffing may add one octet.
        if (line.size() + (line.starts_with('.') ? 1 : 0) > kMaxLineOctets)
            return BodyEncoding::QuotedPrintable;
    }
    if (HasNonAscii(texts.body))
        return eightBitMime ? BodyEncoding::EightBit : BodyEncoding::QuotedPrintable;
    if (HasNonAscii(texts.sender + texts.recipient + texts.subject + texts.mailer))
        return BodyEncoding::SevenBit;
    return BodyEncoding::Plain;
}

std::string HeaderBlock(const MessageTexts &texts, BodyEncoding encoding)
{
    // One address as typed; a list gets the ", " the mail format wants.
    const std::string recipient = RemoveLineBreaks(texts.recipient);
    const std::vector<std::string> recipients = recipient.find_first_of(";,") == std::string::npos
                                                    ? std::vector {recipient}
                                                    : SplitRecipients(recipient);
    std::string block;
    block += AddressHeader("From", {RemoveLineBreaks(texts.sender)}) + kCrLf;
    block += "Date: " + texts.date + kCrLf;
    block += "Message-ID: " + texts.messageId + kCrLf;
    block += UnstructuredHeader("X-Mailer", RemoveLineBreaks(texts.mailer)) + kCrLf;
    block += AddressHeader("To", recipients) + kCrLf;
    block += UnstructuredHeader("Subject", RemoveLineBreaks(texts.subject)) + kCrLf;
    if (encoding != BodyEncoding::Plain) {
        static constexpr std::array kTransfer {"", "7bit", "8bit", "quoted-printable"};
        block += std::string("MIME-Version: 1.0") + kCrLf;
        block += std::string("Content-Type: text/plain; charset=UTF-8") + kCrLf;
        block += std::string("Content-Transfer-Encoding: ")
                 + kTransfer[static_cast<std::size_t>(encoding)] + kCrLf;
    }
    block += kCrLf;
    return block;
}

std::vector<std::string> BodyLines(const std::string &body, BodyEncoding encoding)
{
    std::vector<std::string> lines;
    for (const std::string &line : splitLines(body)) {
        const std::vector<std::string> pieces = encoding == BodyEncoding::QuotedPrintable
                                                    ? QuotedPrintableLine(line)
                                                    : std::vector {line};
        // A line starting with "." gets a second one, so that no body line can
        // read as the end of the data.
        for (const std::string &piece : pieces)
            lines.push_back((piece.starts_with('.') ? "." : "") + piece + kCrLf);
    }
    return lines;
}

bool HasNonAscii(const std::string &text)
{
    return std::ranges::any_of(text, [](char c) { return static_cast<unsigned char>(c) >= 0x80u; });
}

std::string Base64(const std::string &bytes)
{
    static constexpr char kAlphabet[]
        = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string result;
    result.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t group = 0;
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        for (std::size_t k = 0; k < 3; ++k) {
            const auto byte = k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u;
            group = (group << 8) | byte;
        }
        for (std::size_t k = 0; k < 4; ++k)
            result += k <= n ? kAlphabet[(group >> (18 - 6 * k)) & 0x3Fu] : '=';
    }
    return result;
}

std::vector<std::string> QuotedPrintableLine(const std::string &line)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        const bool last = i + 1 == line.size();
        // A blank at the end of a line would be lost in transport; "=" and
        // anything beyond ASCII or below the blank are escaped.
        const bool literal = (byte >= 33 && byte <= 126 && byte != '=')
                             || ((byte == ' ' || byte == '\t') && !last);
        const std::string piece = literal ? std::string(1, line[i])
                                          : std::string {'=', kHex[byte >> 4], kHex[byte & 0xFu]};
        // Room for the soft break "=" unless this is the line's last piece.
        const std::size_t limit = last ? kQuotedPrintableLimit : kQuotedPrintableLimit - 1;
        if (current.size() + piece.size() > limit) {
            lines.push_back(current + "=");
            current.clear();
        }
        current += piece;
    }
    lines.push_back(current);
    return lines;
}

std::string UnstructuredHeader(const std::string &name, const std::string &value)
{
    const std::string start = name + ": ";
    if (auto folded = HasNonAscii(value) ? std::nullopt : foldAtBlanks(start + value))
        return *folded;
    return start + encodedWords(value, start.size());
}

std::string AddressHeader(const std::string &name, const std::vector<std::string> &addresses)
{
    std::string line = name + ":";
    std::size_t lineLength = line.size();
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        const std::string plain = addresses[i] + (i + 1 < addresses.size() ? "," : "");
        if (i > 0 && lineLength + 1 + plain.size() > kHeaderLineLimit) {
            line += "\r\n";
            lineLength = 0;
        }
        const std::string item = encodeDisplayName(plain, lineLength + 1);
        line += " " + item;
        const std::size_t lastBreak = item.rfind('\n');
        lineLength = lastBreak == std::string::npos ? lineLength + 1 + item.size()
                                                    : item.size() - lastBreak - 1;
    }
    return line;
}

std::string FormatMailDate(const LocalTime &time)
{
    static constexpr const char *kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char *kMonths[]
        = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::tm &t = time.fields;
    // Fields out of range (a broken clock) give a visible "???", not a crash.
    const char *day = t.tm_wday >= 0 && t.tm_wday < 7 ? kDays[t.tm_wday] : "???";
    const char *month = t.tm_mon >= 0 && t.tm_mon < 12 ? kMonths[t.tm_mon] : "???";
    const long offsetMinutes = std::labs(time.utcOffsetSeconds) / 60;
    std::array<char, 64> text {};
    std::snprintf(text.data(), text.size(), "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld", day,
                  t.tm_mday, month, t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec,
                  time.utcOffsetSeconds < 0 ? '-' : '+', offsetMinutes / 60, offsetMinutes % 60);
    return text.data();
}

} // namespace pellwick
