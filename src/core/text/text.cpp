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

} // namespace pellwick
