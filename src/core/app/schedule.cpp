// SPDX-License-Identifier: MIT
#include "core/app/schedule.h"

#include "core/text/text.h"

#include <array>
#include <charconv>
#include <limits>
#include <string_view>

namespace pellwick {

namespace {

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
const std::string kDefaultRate = "30";

// Whether a fraction's digits (after the point) round the whole part up: above
// one half, or exactly one half next to an odd whole part.
bool roundsUp(std::string_view fraction, std::uint64_t whole)
{
    if (fraction.empty() || fraction.front() != '5')
        return !fraction.empty() && fraction.front() > '5';
    return fraction.find_first_not_of('0', 1) != std::string_view::npos || (whole & 1U) != 0;
}

} // namespace

std::int64_t UnitFactor(int unitIndex, const std::string &unitText)
{
    constexpr std::array<std::int64_t, 3> factors {1000, 60 * 1000, 60 * 60 * 1000};
    constexpr std::array<std::string_view, 3> names {"Seconds", "Minutes", "Hours"};
    if (unitIndex >= 0 && unitIndex < static_cast<int>(factors.size()))
        return factors[static_cast<std::size_t>(unitIndex)];
    const std::string_view typed = Trim(unitText, " \t");
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (EqualsIgnoringAsciiCase(typed, names[i]))
            return factors[i];
    }
    return factors[0];
}

std::optional<std::int64_t> ParseTimerRate(const std::string &text)
{
    std::string_view rest = Trim(text, " \t");
    bool negative = false;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    const std::size_t point = rest.find('.');
    const std::string_view wholeDigits = rest.substr(0, point);
    const std::string_view fraction
        = point == std::string_view::npos ? std::string_view {} : rest.substr(point + 1);
    if (wholeDigits.empty() && fraction.empty())
        return std::nullopt;
    for (const std::string_view digits : {wholeDigits, fraction}) {
        if (digits.find_first_not_of("0123456789") != std::string_view::npos)
            return std::nullopt;
    }

    // Magnitude up to 2^63, the size of the lowest value.
    const std::uint64_t limit = static_cast<std::uint64_t>(kMax) + 1;
    std::uint64_t whole = 0;
    const char *end = wholeDigits.data() + wholeDigits.size();
    if (std::from_chars(wholeDigits.data(), end, whole).ec == std::errc::result_out_of_range
        || whole > limit)
        return std::nullopt;
    if (roundsUp(fraction, whole)) {
        if (whole == limit)
            return std::nullopt;
        ++whole;
    }
    if (negative)
        return whole == limit ? kMin : -static_cast<std::int64_t>(whole);
    if (whole == limit)
        return std::nullopt;
    return static_cast<std::int64_t>(whole);
}

TimerSettingsResult ApplyTimerSettings(const TimerFields &fields)
{
    const std::int64_t factor = UnitFactor(fields.unitIndex, fields.unitText);
    TimerSettingsResult result {fields.rateText, fields.timerSend, std::nullopt};

    std::optional<std::int64_t> rate = ParseTimerRate(result.rateText);
    // The factor is positive, so the product fits exactly when the rate lies
    // within the 64-bit range divided by it.
    if (rate && (*rate > kMax / factor || *rate < kMin / factor))
        rate.reset();
    if (!rate) {
        result.rateText = kDefaultRate;
        rate = 30;
    }
    if (fields.timerSend)
        result.countdown = *rate * factor;
    return result;
}

ScheduleStep ScheduleTick(std::int64_t countdown, bool timerSend)
{
    const std::int64_t next
        = countdown < kMin + kTickIntervalMs ? kMin : countdown - kTickIntervalMs;
    return {next, timerSend && next <= 0};
}

} // namespace pellwick
