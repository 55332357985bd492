// SPDX-License-Identifier: MIT
#include "core/app/retry_schedule.h"
#include "core/app/schedule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <tuple>

using namespace pellwick;

TEST(Schedule, UnitAndRateFromTheListAndTheTypedText)
{
    using Row = std::tuple<int, const char *, std::int64_t>;
    for (const auto &[index, typed, factor] :
         {Row {0, "Minutes", 1000}, Row {1, "", 60000}, Row {2, "x", 3600000},
          Row {-1, " HOURS\t", 3600000}, Row {-1, "fortnights", 1000}, Row {-1, "Minute", 1000},
          // Only ASCII letters fold: a dotless capital I is no "i".
          Row {-1, "M\xC4\xB0NUTES", 1000}})
        EXPECT_EQ(UnitFactor(index, typed), factor) << typed;

    // The rate text is read as a whole number, or treated as empty.
    using RateRow = std::tuple<std::string, int, std::int64_t>;
    for (const auto &[rate, unit, countdown] : {
             RateRow {" 45 ", 0, 45000},
             RateRow {"2.5", 0, 2000},
             RateRow {"3.5", 0, 4000},
             RateRow {".5", 0, 0},
             RateRow {"2562047788015", 2, 2562047788015 * 3600000},
             // Not a number, or too large to count down: like an empty field.
             RateRow {"", 0, 30000},
             RateRow {"1e9", 0, 30000},
             RateRow {"2562047788016", 2, 30 * 3600000},
         }) {
        const TimerSettingsResult result = ApplyTimerSettings({true, rate, unit, ""});
        EXPECT_EQ(result.countdown, countdown) << rate;
        EXPECT_EQ(result.rateText, countdown == 30000 || countdown == 30 * 3600000 ? "30" : rate);
    }
    EXPECT_EQ(ApplyTimerSettings({false, "45", 0, ""}).countdown, std::nullopt);
}

TEST(Schedule, TicksStopAtTheLowestValueAndRetryWaitsRoundUp)
{
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(ScheduleTick(kMin + 1, false).countdown, kMin);
    EXPECT_TRUE(ScheduleTick(kMin, true).send);
    // A retry's wait is told rounded up (30 s and 1 min are the window tests').
    EXPECT_EQ(RetryCaption(60001), "Retrying in 2 min");
}
