#include "core/settings/value_text.h"

#include <limits>

namespace pellwick {

std::string ValueText(const RegistryValue &value)
{
    if (const auto *text = std::get_if<std::string>(&value))
        return *text;
    if (const auto *number = std::get_if<std::int32_t>(&value))
        return std::to_string(*number);
    return {};
}

std::optional<std::int64_t> ParseInteger(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    constexpr std::int64_t limit = std::numeric_limits<std::int64_t>::max();
    std::int64_t magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const int digit = c - '0';
        magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
    }
    return negative ? -magnitude : magnitude;
}

} // namespace pellwick
