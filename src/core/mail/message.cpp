#include "core/mail/message.h"

#include "core/mail/mime.h"
#include "core/text/text.h"

#include <array>
#include <cstdio>
#include <memory>
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
    std::string line;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < body.size() && body[i + 1] == '\n')
                ++i;
            lines.push_back(std::move(line));
            line.clear();
        } else {
            line += c;
        }
    }
    lines.push_back(std::move(line));
    return lines;
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
    std::string piece;
    auto flush = [&] {
        std::string trimmed = TrimSpaces(piece);
        if (!trimmed.empty())
            addresses.push_back(std::move(trimmed));
        piece.clear();
    };
    for (const char c : RemoveLineBreaks(field)) {
        if (c == ';' || c == ',')
            flush();
        else
            piece += c;
    }
    flush();
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

} // namespace pellwick
