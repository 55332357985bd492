// SPDX-License-Identifier: MIT
#include "core/settings/hive_text.h"

#include "core/settings/store.h"
#include "core/text/text.h"

#include <algorithm>
#include <charconv>
#include <unordered_map>
#include <utility>

namespace pellwick {

namespace {

constexpr std::string_view kHeader = "REGEDIT4";
// The newer export's header; such a file written as 8-bit text reads the same.
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kLineEnd = "\r\n";
// Hex lines are broken before they pass the width of the registry's own export.
constexpr std::size_t kLineWidth = 80;
constexpr std::string_view kHexDigits = "0123456789abcdef";
constexpr auto kNone = std::string_view::npos;

// The name with its ASCII letters in lower case: equal for names that are the same.
std::string FoldedName(std::string_view name)
{
    std::string result(name);
    std::transform(result.begin(), result.end(), result.begin(), AsciiLower);
    return result;
}

// The value of that name in the section, or its end.
auto valueIn(std::vector<HiveValue> &values, std::string_view name)
{
    return std::find_if(values.begin(), values.end(), [name](const HiveValue &v) {
        return EqualsIgnoringAsciiCase(v.name, name);
    });
}

constexpr std::string_view kBlanks = " \t";

// `digits` of 1 to 8 hex digits and nothing else.
std::optional<std::uint32_t> hexNumber(std::string_view digits)
{
    std::uint32_t number = 0;
    const char *end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, number, 16);
    return error == std::errc() && stop == end && digits.size() <= 8 ? std::optional(number)
                                                                     : std::nullopt;
}

// The quoted text `s` starts with, `s` moved past it. "\\" and "\"" are the escapes;
// any other backslash stands for itself, as people type paths by hand.
std::optional<std::string> takeQuoted(std::string_view &s)
{
    std::string text;
    for (std::size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '"') {
            s.remove_prefix(i + 1);
            return text;
        }
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"'))
            ++i;
        text += s[i];
    }
    return std::nullopt;
}

// Comma-separated byte pairs; an empty list is no bytes.
std::optional<std::string> parseBytes(std::string_view list)
{
    std::string bytes;
    for (std::size_t comma = Trim(list, kBlanks).empty() ? kNone : 0; comma != kNone;) {
        comma = list.find(',');
        const std::string_view pair = Trim(list.substr(0, comma), kBlanks);
        const auto byte = pair.size() == 2 ? hexNumber(pair) : std::nullopt;
        if (!byte)
            return std::nullopt;
        bytes += static_cast<char>(*byte);
        list.remove_prefix(comma == kNone ? list.size() : comma + 1);
    }
    return bytes;
}

struct Parser
{
    std::optional<HiveDocument> Run()
    {
        if (m_text.starts_with("\xEF\xBB\xBF"))
            m_text.remove_prefix(3); // a byte order mark
        if (m_text.empty())
            return HiveDocument {};
        const std::string_view header = TrimEnd(nextLine(), kBlanks);
        if (header != kHeader && header != kHeader5)
            return std::nullopt;
        while (!m_text.empty()) {
            const std::string_view line = TrimStart(nextLine(), kBlanks);
            if (line.empty() || line.front() == ';')
                continue;
            if (line.front() == '[' ? !parseSection(line) : m_sections.empty() || !parseValue(line))
                return std::nullopt;
        }
        return HiveDocument(std::move(m_sections));
    }

    // The next line without its end; `m_open` when it has none: it may be cut short.
    std::string_view nextLine()
    {
        const std::size_t lf = m_text.find('\n');
        m_open = lf == kNone;
        std::string_view line = m_text.substr(0, lf);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        m_text.remove_prefix(m_open ? m_text.size() : lf + 1);
        return line;
    }

    bool parseSection(std::string_view line)
    {
        const std::size_t close = line.rfind(']');
        if (close == kNone || !Trim(line.substr(close + 1), kBlanks).empty())
            return false;
        const std::string_view path = line.substr(1, close - 1);
        // "[-path]" deletes a key when imported; a hive holds no such thing.
        if (path.empty() || path.front() == '-' || path.front() == '\\' || path.back() == '\\'
            || path.find("\\\\") != kNone)
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

    bool parseValue(std::string_view line)
    {
        std::optional<std::string> name = std::string();
        if (line.front() == '@')
            line.remove_prefix(1);
        else if (line.front() != '"' || !(name = takeQuoted(line)))
            return false;
        line = TrimStart(line, kBlanks);
        if (!line.starts_with('='))
            return false;
        line = TrimStart(line.substr(1), kBlanks);
        HiveValue value {std::move(*name), kBinaryType, {}};
        if (line.starts_with('"')) {
            auto text = takeQuoted(line);
            if (!text || !Trim(line, kBlanks).empty())
                return false;
            value.type = kTextType;
            value.data = *text + '\0';
        } else if (EqualsIgnoringAsciiCase(line.substr(0, 6), "dword:")) {
            // Fewer than eight digits are fine unless the line may have been cut short.
            const std::string_view digits = TrimEnd(line.substr(6), kBlanks);
            const auto number = m_open && digits.size() != 8 ? std::nullopt : hexNumber(digits);
            if (!number)
                return false;
            value.type = kNumberType;
            for (int shift = 0; shift < 32; shift += 8)
                value.data += static_cast<char>(*number >> shift & 0xFF);
        } else if (EqualsIgnoringAsciiCase(line.substr(0, 3), "hex")) {
            line.remove_prefix(3);
            if (line.starts_with('(')) {
                const std::size_t close = line.find(')');
                const auto code
                    = close == kNone ? std::nullopt : hexNumber(line.substr(1, close - 1));
                if (!code)
                    return false;
                value.type = *code;
                line.remove_prefix(close + 1);
            }
            auto bytes
                = line.starts_with(':') ? parseBytes(joinContinued(line.substr(1))) : std::nullopt;
            // A byte list that ends the text without a line end may have been longer.
            if (!bytes || m_open)
                return false;
            value.data = std::move(*bytes);
        } else {
            return false;
        }
        // A later line for the same name replaces the data, as an import would.
        std::vector<HiveValue> &values = m_sections[m_current].values;
        const auto [found, added]
            = m_valueIndex[m_current].try_emplace(FoldedName(value.name), values.size());
        if (added)
            values.push_back(std::move(value));
        else
            values[found->second] = {values[found->second].name, value.type, std::move(value.data)};
        return true;
    }

    // The hex list with the lines that continue it ("\" at a line's end) joined on.
    std::string joinContinued(std::string_view first)
    {
        std::string list;
        std::string_view part = TrimEnd(first, kBlanks);
        while (part.ends_with('\\')) {
            list += part.substr(0, part.size() - 1);
            if (m_open)
                return list;
            part = Trim(nextLine(), kBlanks);
        }
        return list += part;
    }

    std::string_view m_text;
    bool m_open = false;
    std::vector<HiveSection> m_sections {};
    std::size_t m_current = 0;
    // Folded paths and names, so that a large hive is read in linear time.
    std::unordered_map<std::string, std::size_t> m_sectionIndex {};
    std::vector<std::unordered_map<std::string, std::size_t>> m_valueIndex {};
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

void appendByte(std::string &out, char byte)
{
    out += kHexDigits[static_cast<unsigned char>(byte) >> 4];
    out += kHexDigits[static_cast<unsigned char>(byte) & 0xF];
}

void appendHex(std::string &out, std::size_t lineStart, const HiveValue &value)
{
    if (value.type == kBinaryType) {
        out += "hex:";
    } else {
        char code[8];
        out += "hex(";
        out.append(code, std::to_chars(code, code + sizeof code, value.type, 16).ptr);
        out += "):";
    }
    for (std::size_t i = 0; i < value.data.size(); ++i) {
        const bool last = i + 1 == value.data.size();
        // Room is kept for the "\" that continues the line.
        if (i > 0 && out.size() - lineStart + (last ? 2 : 3) + 1 > kLineWidth) {
            out += '\\';
            out += kLineEnd;
            lineStart = out.size();
            out += "  ";
        }
        appendByte(out, value.data[i]);
        if (!last)
            out += ',';
    }
}

} // namespace

HiveDocument::HiveDocument(std::vector<HiveSection> sections)
    : m_sections(std::move(sections))
{
}

HiveSection *HiveDocument::findSection(std::string_view path) const
{
    const auto found = std::ranges::find_if(
        m_sections, [path](const HiveSection &s) { return EqualsIgnoringAsciiCase(s.path, path); });
    return found == m_sections.end() ? nullptr : const_cast<HiveSection *>(&*found);
}

const HiveValue *HiveDocument::FindValue(std::string_view path, std::string_view name) const
{
    HiveSection *s = findSection(path);
    const auto found = s ? valueIn(s->values, name) : std::vector<HiveValue>::iterator();
    return s && found != s->values.end() ? &*found : nullptr;
}

std::string HiveDocument::respell(std::string_view path) const
{
    std::string spelled(path);
    // Each leading part of the path takes the spelling of the first key that has it.
    for (std::size_t end = 0; end < path.size();) {
        end = std::min(path.find('\\', end + 1), path.size());
        const auto same = std::find_if(m_sections.begin(), m_sections.end(), [&](const auto &s) {
            return s.path.size() >= end && (s.path.size() == end || s.path[end] == '\\')
                   && EqualsIgnoringAsciiCase(std::string_view(s.path).substr(0, end),
                                              path.substr(0, end));
        });
        if (same != m_sections.end())
            std::copy_n(same->path.begin(), end, spelled.begin());
    }
    return spelled;
}

bool HiveDocument::SetValue(std::string_view path, std::string_view name, std::uint32_t type,
                            std::string_view data)
{
    HiveSection *s = findSection(path);
    if (!s)
        s = &m_sections.emplace_back(HiveSection {respell(path), {}});
    const auto found = valueIn(s->values, name);
    if (found == s->values.end())
        s->values.push_back(HiveValue {std::string(name), type, std::string(data)});
    else if (found->type == type && found->data == data)
        return false;
    else
        *found = {found->name, type, std::string(data)};
    return true;
}

bool HiveDocument::DeleteValue(std::string_view path, std::string_view name)
{
    HiveSection *s = findSection(path);
    return s && std::erase_if(s->values, [name](const HiveValue &v) {
                    return EqualsIgnoringAsciiCase(v.name, name);
                }) > 0;
}

std::optional<HiveDocument> ParseHive(std::string_view text)
{
    // What regedit itself exports: UTF-16LE after its byte-order mark.
    if (text.starts_with("\xFF\xFE")) {
        const auto utf8 = Utf8FromUtf16Le(text.substr(2));
        return utf8 ? Parser {*utf8}.Run() : std::nullopt;
    }
    return Parser {text}.Run();
}

std::string FormatHive(const HiveDocument &hive)
{
    std::string out = std::string(kHeader).append(kLineEnd).append(kLineEnd);
    for (const HiveSection &section : hive.Sections()) {
        out.append("[").append(section.path).append("]").append(kLineEnd);
        for (const HiveValue &value : section.values) {
            const std::size_t lineStart = out.size();
            if (value.name.empty())
                out += '@';
            else
                appendQuoted(out, value.name);
            out += '=';
            // The quoted form always reads back with one NUL at the end; text ending in
            // a line break instead must keep its bytes as hex.
            const std::string &d = value.data;
            if (value.type == kTextType && !d.empty() && d.back() == '\0'
                && d.find_first_of(std::string_view("\0\r\n", 3)) == d.size() - 1) {
                appendQuoted(out, std::string_view(d).substr(0, d.size() - 1));
            } else if (value.type == kNumberType && d.size() == 4) {
                out += "dword:";
                for (std::size_t i = 4; i-- > 0;)
                    appendByte(out, d[i]);
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
