#include "core/app/schedule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

using namespace pellwick;

TEST(Schedule, UnitFromTheListOrFromTheTypedText)
{
    struct Case
    {
        int index;
        const char *typed;
        std::int64_t factor;
    };
    for (const Case &c : {Case {0, "Minutes", 1000}, Case {1, "", 60000}, Case {2, "x", 3600000},
                          Case {-1, "minutes", 60000}, Case {-1, " HOURS\t", 3600000},
                          Case {-1, "fortnights", 1000}, Case {-1, "Minute", 1000},
                          // Only ASCII letters fold: a dotless capital I is no "i".
                          Case {-1, "M\xC4\xB0NUTES", 1000}})
        EXPECT_EQ(UnitFactor(c.index, c.typed), c.factor) << c.typed;
}

TEST(Schedule, RateTextReadAsAWholeNumberOrTreatedAsEmpty)
{
    struct Case
    {
        const char *rate;
        int unit;
        std::int64_t countdown;
    };
    for (const Case &c : {
             Case {" 45 ", 0, 45000},
             Case {"+4", 0, 4000},
             Case {"2.5", 0, 2000},
             Case {"3.5", 0, 4000},
             Case {"2.50001", 0, 3000},
             Case {"-2.5", 0, -2000},
             Case {".5", 0, 0},
             Case {"700", 2, 2520000000},
             Case {"2562047788015", 2, 2562047788015 * 3600000},
             // Not a number, or too large to count down: like an empty field.
             Case {"", 0, 30000},
             Case {"1e9", 0, 30000},
             Case {"1,5", 0, 30000},
             Case {"- 5", 0, 30000},
             Case {"2562047788016", 2, 30 * 3600000},
             Case {"99999999999999999999999", 0, 30000},
         }) {
        const TimerSettingsResult result = ApplyTimerSettings({true, c.rate, c.unit, ""});
        EXPECT_EQ(result.countdown, c.countdown) << c.rate;
        EXPECT_EQ(result.rateText, c.countdown == 30000 || c.countdown == 30 * 3600000
                                       ? std::string("30")
                                       : std::string(c.rate));
    }
    EXPECT_EQ(ApplyTimerSettings({false, "45", 0, ""}).countdown, std::nullopt);
}

TEST(Schedule, TicksStopAtTheLowestValueInsteadOfWrapping)
{
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(ScheduleTick(5000, true).countdown, 0);
    EXPECT_TRUE(ScheduleTick(5000, true).send);
    EXPECT_FALSE(ScheduleTick(5001, true).send);
    EXPECT_FALSE(ScheduleTick(0, false).send);
    EXPECT_EQ(ScheduleTick(kMin + 1, false).countdown, kMin);
    EXPECT_TRUE(ScheduleTick(kMin, true).send);
}
