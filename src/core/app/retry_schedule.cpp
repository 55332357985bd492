#include "core/app/retry_schedule.h"

#include <array>

namespace pellwick {

std::int64_t RetryDelayMs(int failures)
{
    static constexpr std::array<std::int64_t, 6> kSeconds {30, 60, 120, 240, 480, 900};
    const auto index = static_cast<std::size_t>(failures < 1 ? 0 : failures - 1);
    return (index < kSeconds.size() ? kSeconds[index] : kSeconds.back()) * 1000;
}

std::string RetryCaption(std::int64_t remainingMs)
{
    const std::int64_t seconds = remainingMs <= 0 ? 0 : (remainingMs + 999) / 1000;
    if (seconds < 60)
        return "Retrying in " + std::to_string(seconds) + " s";
    return "Retrying in " + std::to_string((seconds + 59) / 60) + " min";
}

} // namespace pellwick
