#include "core/mail/mime.h"

#include "core/text/text.h"

#include <algorithm>
#include <cstdint>

namespace pellwick {

namespace {

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

// Folds "Name: value" at blanks so no line passes 78 characters; false when some
// run without a blank is too long for that.
bool foldAtBlanks(const std::string &line, std::string &folded)
{
    folded.clear();
    std::size_t lineStart = 0;
    while (line.size() - lineStart > kHeaderLineLimit) {
        const std::size_t blank = line.rfind(' ', lineStart + kHeaderLineLimit);
        if (blank == std::string::npos || blank <= lineStart)
            return false;
        folded += line.substr(lineStart, blank - lineStart) + "\r\n";
        lineStart = blank; // the blank starts the continuation line
    }
    folded += line.substr(lineStart);
    return true;
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
    std::string folded;
    if (!HasNonAscii(value) && foldAtBlanks(start + value, folded))
        return folded;
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

} // namespace pellwick
