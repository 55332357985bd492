// SPDX-License-Identifier: MIT
#include "core/text/text.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace pellwick {

std::string_view TrimStart(std::string_view text, std::string_view what)
{
    const std::size_t first = text.find_first_not_of(what);
    return first == std::string_view::npos ? std::string_view {} : text.substr(first);
}

std::string_view TrimEnd(std::string_view text, std::string_view what)
{
    const std::size_t last = text.find_last_not_of(what);
    return last == std::string_view::npos ? std::string_view {} : text.substr(0, last + 1);
}

std::string_view Trim(std::string_view text, std::string_view what)
{
    return TrimEnd(TrimStart(text, what), what);
}

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, {}, AsciiLower, AsciiLower);
}

std::optional<std::int64_t> ParseWholeNumber(std::string_view text)
{
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+'))
        text.remove_prefix(1);
    std::uint64_t digits = 0;
    const char *end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, digits);
    if (stop != end || (error != std::errc() && error != std::errc::result_out_of_range))
        return std::nullopt;
    constexpr auto limit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    const auto magnitude
        = static_cast<std::int64_t>(error == std::errc() ? std::min(digits, limit) : limit);
    return negative ? -magnitude : magnitude;
}

std::uint64_t RoundHalfToEven(std::uint64_t q, std::uint64_t r, std::uint64_t d)
{
    const std::uint64_t rest = d - r;
    if (r > rest || (r == rest && (q & 1U) != 0))
        return q + 1;
    return q;
}

std::size_t Utf8CutLength(std::string_view text, std::size_t limit)
{
    if (text.size() <= limit)
        return text.size();
    std::size_t length = limit;
    // Step back over continuation bytes (10xxxxxx) to the start of a character.
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0U) == 0x80U)
        --length;
    return length;
}

std::optional<std::string> Utf8FromUtf16Le(std::string_view bytes)
{
    if (bytes.size() % 2 != 0)
        return std::nullopt;
    const auto unit = [&bytes](std::size_t i) -> std::uint32_t {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i]))
               | static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8U;
    };
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        std::uint32_t c = unit(i);
        if (c >= 0xDC00 && c < 0xE000)
            return std::nullopt;
        if (c >= 0xD800 && c < 0xDC00) {
            i += 2;
            if (i >= bytes.size() || unit(i) < 0xDC00 || unit(i) >= 0xE000)
                return std::nullopt;
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i) - 0xDC00);
        }
        const auto put = [&out](std::uint32_t b) {
            out += static_cast<char>(b);
        };
        if (c < 0x80) {
            put(c);
        } else if (c < 0x800) {
            put(0xC0 | c >> 6);
            put(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            put(0xE0 | c >> 12);
            put(0x80 | (c >> 6 & 0x3F));
            put(0x80 | (c & 0x3F));
        } else {
            put(0xF0 | c >> 18);
            put(0x80 | (c >> 12 & 0x3F));
            put(0x80 | (c >> 6 & 0x3F));
            put(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::size_t ControlCutLength(std::string_view text, std::size_t limit)
{
    std::size_t units = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0U) == 0x80U || (byte == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            continue;
        units += byte >= 0xF0U ? 2 : 1;
        if (units > limit)
            return i - (byte == '\n' && i > 0 && text[i - 1] == '\r' ? 1 : 0);
    }
    return text.size();
}

} // namespace pellwick
