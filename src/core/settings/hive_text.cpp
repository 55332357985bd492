#include "core/settings/hive_text.h"

#include "core/settings/store.h"
#include "core/text/text.h"

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace pellwick {

namespace {

constexpr std::string_view kHeader = "REGEDIT4";
// The newer export's header; such a file written as 8-bit text reads the same.
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";
// Hex lines are broken before they pass the width of the registry's own export.
constexpr std::size_t kLineWidth = 80;
constexpr std::string_view kHexDigits = "0123456789abcdef";

std::string_view trimLeft(std::string_view s)
{
    return TrimStart(s, " \t");
}

std::string_view trimRight(std::string_view s)
{
    return TrimEnd(s, " \t");
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// `digits` of 1 to 8 hex digits and nothing else.
std::optional<std::uint32_t> parseHexNumber(std::string_view digits)
{
    if (digits.empty() || digits.size() > 8)
        return std::nullopt;
    std::uint32_t number = 0;
    for (const char c : digits) {
        const int d = hexDigit(c);
        if (d < 0)
            return std::nullopt;
        number = number << 4 | static_cast<std::uint32_t>(d);
    }
    return number;
}

bool startsWithFolded(std::string_view s, std::string_view prefix)
{
    return s.size() >= prefix.size() && EqualsIgnoringAsciiCase(s.substr(0, prefix.size()), prefix);
}

// The quoted text at the start of `s` (which begins with '"'), without its quotes,
// `s` moved past the closing quote. "\\" and "\"" are the escapes; any other
// backslash stands for itself, as people type paths by hand.
std::optional<std::string> takeQuoted(std::string_view &s)
{
    std::string text;
    for (std::size_t i = 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            s.remove_prefix(i + 1);
            return text;
        }
        if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"'))
            ++i;
        text += s[i];
    }
    return std::nullopt;
}

// Comma-separated byte pairs; an empty list is no bytes.
std::optional<std::string> parseBytes(std::string_view list)
{
    list = trimRight(trimLeft(list));
    std::string bytes;
    if (list.empty())
        return bytes;
    for (;;) {
        const std::size_t comma = list.find(',');
        const std::string_view pair = trimRight(trimLeft(list.substr(0, comma)));
        if (pair.size() != 2 || hexDigit(pair[0]) < 0 || hexDigit(pair[1]) < 0)
            return std::nullopt;
        bytes += static_cast<char>(hexDigit(pair[0]) * 16 + hexDigit(pair[1]));
        if (comma == std::string_view::npos)
            return bytes;
        list.remove_prefix(comma + 1);
    }
}

class Parser
{
public:
    explicit Parser(std::string_view text)
        : m_text(text)
    {
    }

    std::optional<HiveDocument> Run()
    {
        if (m_text.starts_with(kByteOrderMark))
            m_text.remove_prefix(kByteOrderMark.size());
        if (m_text.empty())
            return HiveDocument {};
        std::string_view line;
        nextLine(line);
        line = trimRight(line);
        if (line != kHeader && line != kHeader5)
            return std::nullopt;
        while (!m_text.empty()) {
            nextLine(line);
            line = trimLeft(line);
            if (line.empty() || line.front() == ';')
                continue;
            if (line.front() == '[') {
                if (!parseSection(line))
                    return std::nullopt;
                continue;
            }
            if (m_sections.empty() || !parseValue(line))
                return std::nullopt;
        }
        return HiveDocument(std::move(m_sections));
    }

private:
    // The next line without its line end. The last one may lack its line end; then
    // `m_open` is set, for that line may have been cut short.
    void nextLine(std::string_view &line)
    {
        const std::size_t lf = m_text.find('\n');
        m_open = lf == std::string_view::npos;
        line = m_text.substr(0, lf);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        m_text.remove_prefix(m_open ? m_text.size() : lf + 1);
    }

    bool parseSection(std::string_view line)
    {
        const std::size_t close = line.rfind(']');
        if (close == std::string_view::npos || !trimRight(line.substr(close + 1)).empty())
            return false;
        const std::string_view path = line.substr(1, close - 1);
        // "[-path]" deletes a key when imported; a hive holds no such thing.
        if (path.empty() || path.front() == '-' || path.back() == '\\'
            || path.find("\\\\") != std::string_view::npos || path.front() == '\\')
            return false;
        // A key named twice is one key; its values are merged.
        const auto [found, added] = m_sectionIndex.try_emplace(FoldedName(path), m_sections.size());
        if (added) {
            m_sections.push_back(HiveSection {std::string(path), {}});
            m_valueIndex.emplace_back();
        }
        m_current = found->second;
        return true;
    }

    // A later line for the same name replaces the data, as an import would.
    void assign(std::string name, std::uint32_t type, std::string data)
    {
        std::vector<HiveValue> &values = m_sections[m_current].values;
        const auto [found, added]
            = m_valueIndex[m_current].try_emplace(FoldedName(name), values.size());
        if (added) {
            values.push_back(HiveValue {std::move(name), type, std::move(data)});
        } else {
            values[found->second].type = type;
            values[found->second].data = std::move(data);
        }
    }

    bool parseValue(std::string_view line)
    {
        std::string name;
        if (line.front() == '@') {
            line.remove_prefix(1);
        } else if (line.front() == '"') {
            auto quoted = takeQuoted(line);
            if (!quoted)
                return false;
            name = std::move(*quoted);
        } else {
            return false;
        }
        line = trimLeft(line);
        if (line.empty() || line.front() != '=')
            return false;
        line = trimLeft(line.substr(1));

        std::uint32_t type = 0;
        std::string data;
        if (!line.empty() && line.front() == '"') {
            auto quoted = takeQuoted(line);
            if (!quoted || !trimRight(line).empty())
                return false;
            type = kTextType;
            data = std::move(*quoted);
            data += '\0';
        } else if (startsWithFolded(line, "dword:")) {
            // Fewer than eight digits are fine unless the line may have been cut short.
            const std::string_view digits = trimRight(line.substr(6));
            const auto number
                = m_open && digits.size() != 8 ? std::nullopt : parseHexNumber(digits);
            if (!number)
                return false;
            type = kNumberType;
            for (int shift = 0; shift < 32; shift += 8)
                data += static_cast<char>(*number >> shift & 0xFF);
        } else if (startsWithFolded(line, "hex")) {
            line.remove_prefix(3);
            type = kBinaryType;
            if (!line.empty() && line.front() == '(') {
                const std::size_t close = line.find(')');
                const auto code = close == std::string_view::npos
                                      ? std::nullopt
                                      : parseHexNumber(line.substr(1, close - 1));
                if (!code)
                    return false;
                type = *code;
                line.remove_prefix(close + 1);
            }
            if (line.empty() || line.front() != ':')
                return false;
            auto bytes = parseBytes(joinContinued(line.substr(1)));
            // A byte list that ends the text without a line end may have been longer.
            if (!bytes || m_open)
                return false;
            data = std::move(*bytes);
        } else {
            return false;
        }
        assign(std::move(name), type, std::move(data));
        return true;
    }

    // The hex list with the lines that continue it ("\" at a line's end) joined on.
    std::string joinContinued(std::string_view first)
    {
        std::string list;
        std::string_view part = trimRight(first);
        while (!part.empty() && part.back() == '\\') {
            list += part.substr(0, part.size() - 1);
            if (m_open)
                return list;
            std::string_view next;
            nextLine(next);
            part = trimRight(trimLeft(next));
        }
        list += part;
        return list;
    }

    std::string_view m_text;
    bool m_open = false;
    std::vector<HiveSection> m_sections;
    std::size_t m_current = 0;
    // Folded paths and names, so that a large hive is read in linear time.
    std::unordered_map<std::string, std::size_t> m_sectionIndex;
    std::vector<std::unordered_map<std::string, std::size_t>> m_valueIndex;
};

void appendQuoted(std::string &out, std::string_view text)
{
    out += '"';
    for (const char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
}

bool writesAsText(const HiveValue &value)
{
    // The quoted form always reads back with one NUL at the end; text ending in a
    // line break instead must keep its bytes as hex.
    const std::string &d = value.data;
    return value.type == kTextType && !d.empty() && d.back() == '\0'
           && d.find_first_of(std::string_view("\0\r\n", 3)) == d.size() - 1;
}

void appendByte(std::string &out, unsigned char byte)
{
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0xF];
}

void appendHex(std::string &out, std::size_t lineStart, const HiveValue &value)
{
    if (value.type == kBinaryType) {
        out += "hex:";
    } else {
        out += "hex(";
        bool leading = true;
        for (int shift = 28; shift >= 0; shift -= 4) {
            const auto d = value.type >> shift & 0xF;
            if (d == 0 && leading && shift > 0)
                continue;
            leading = false;
            out += kHexDigits[d];
        }
        out += "):";
    }
    bool lineHasBytes = false;
    for (std::size_t i = 0; i < value.data.size(); ++i) {
        const auto byte = static_cast<unsigned char>(value.data[i]);
        const std::size_t width = i + 1 < value.data.size() ? 3 : 2;
        // Room is kept for the "\" that continues the line.
        if (lineHasBytes && out.size() - lineStart + width + 1 > kLineWidth) {
            out += '\\';
            out += kLineEnd;
            lineStart = out.size();
            out += "  ";
        }
        appendByte(out, byte);
        if (width == 3)
            out += ',';
        lineHasBytes = true;
    }
}

} // namespace

std::optional<HiveDocument> ParseHive(std::string_view text)
{
    return Parser(text).Run();
}

std::string FormatHive(const HiveDocument &hive)
{
    std::string out(kHeader);
    out += kLineEnd;
    out += kLineEnd;
    for (const HiveSection &section : hive.Sections()) {
        out += '[';
        out += section.path;
        out += ']';
        out += kLineEnd;
        for (const HiveValue &value : section.values) {
            const std::size_t lineStart = out.size();
            if (value.name.empty())
                out += '@';
            else
                appendQuoted(out, value.name);
            out += '=';
            if (writesAsText(value)) {
                appendQuoted(out, std::string_view(value.data).substr(0, value.data.size() - 1));
            } else if (value.type == kNumberType && value.data.size() == 4) {
                out += "dword:";
                for (std::size_t i = 4; i-- > 0;)
                    appendByte(out, static_cast<unsigned char>(value.data[i]));
            } else {
                appendHex(out, lineStart, value);
            }
            out += kLineEnd;
        }
        out += kLineEnd;
    }
    return out;
}

} // namespace pellwick
