#include "core/app/schedule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

using pellwick::ApplyTimerSettings;
using pellwick::RateLostFocusAction;
using pellwick::ScheduleTick;
using pellwick::TimerFields;
using pellwick::UnitFactor;

namespace {

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

// The window's part: arm from the fields, tick, and re-arm after each timed e-mail.
// Gives the numbers of the ticks (counted from arming) that sent.
std::vector<int> sendingTicks(const TimerFields &fields, int ticks)
{
    std::int64_t countdown = *ApplyTimerSettings(fields).countdown;
    std::vector<int> sent;
    for (int tick = 1; tick <= ticks; ++tick) {
        const auto step = ScheduleTick(countdown, fields.timerSend);
        countdown = step.countdown;
        if (step.send) {
            sent.push_back(tick);
            countdown = *ApplyTimerSettings(fields).countdown;
        }
    }
    return sent;
}

std::int64_t armed(const std::string &rate, int unit = 0)
{
    const auto result = ApplyTimerSettings({true, rate, unit, ""});
    return result.countdown.value_or(-1);
}

} // namespace

TEST(Schedule, UnitFromTheListOrFromTheTypedText)
{
    EXPECT_EQ(UnitFactor(0, "Minutes"), 1000);
    EXPECT_EQ(UnitFactor(1, ""), 60000);
    EXPECT_EQ(UnitFactor(2, "Seconds"), 3600000);
    EXPECT_EQ(UnitFactor(-1, "minutes"), 60000);
    EXPECT_EQ(UnitFactor(-1, " HOURS "), 3600000);
    EXPECT_EQ(UnitFactor(-1, "Seconds"), 1000);
    EXPECT_EQ(UnitFactor(-1, "fortnights"), 1000);
    EXPECT_EQ(UnitFactor(-1, ""), 1000);
    EXPECT_EQ(UnitFactor(-1, "Minute"), 1000);
}

TEST(Schedule, SendsAFullPeriodAfterArmingAndAgainAfterEach)
{
    EXPECT_EQ(sendingTicks({true, "30", 0, "Seconds"}, 18), (std::vector<int> {6, 12, 18}));
    EXPECT_EQ(sendingTicks({true, "1", 1, "Minutes"}, 24), (std::vector<int> {12, 24}));
    EXPECT_EQ(sendingTicks({true, "1", -1, "minutes"}, 12), (std::vector<int> {12}));
    EXPECT_EQ(sendingTicks({true, "30", -1, "fortnights"}, 6), (std::vector<int> {6}));
    EXPECT_EQ(sendingTicks({true, "0", 0, "Seconds"}, 3), (std::vector<int> {1, 2, 3}));
    EXPECT_EQ(sendingTicks({true, "-5", 2, "Hours"}, 3), (std::vector<int> {1, 2, 3}));
}

TEST(Schedule, OffForADayThenOnWaitsAFullPeriod)
{
    std::int64_t countdown = 0;
    const auto off = ApplyTimerSettings({false, "30", 0, "Seconds"});
    EXPECT_FALSE(off.fieldsEnabled);
    EXPECT_EQ(off.countdown, std::nullopt);
    for (int tick = 0; tick < 24 * 60 * 12; ++tick) {
        const auto step = ScheduleTick(countdown, false);
        EXPECT_FALSE(step.send);
        countdown = step.countdown;
    }
    EXPECT_EQ(countdown, -86400000);

    const auto on = ApplyTimerSettings({true, "30", 0, "Seconds"});
    EXPECT_TRUE(on.fieldsEnabled);
    EXPECT_EQ(on.countdown, 30000);
    EXPECT_EQ(sendingTicks({true, "30", 0, "Seconds"}, 6), (std::vector<int> {6}));

    // Years of ticks with the schedule off stop at the lowest value, never wrap.
    EXPECT_EQ(ScheduleTick(kMin + 1, false).countdown, kMin);
    EXPECT_EQ(ScheduleTick(kMin, true).countdown, kMin);
    EXPECT_TRUE(ScheduleTick(kMin, true).send);
}

TEST(Schedule, EmptiedRateSwitchesOffAndPutsThirtyBack)
{
    EXPECT_EQ(pellwick::TimerRateLostFocus(""), RateLostFocusAction::UncheckTimerSend);
    EXPECT_EQ(pellwick::TimerRateLostFocus("45"), RateLostFocusAction::ApplySettings);
    EXPECT_EQ(pellwick::TimerRateLostFocus(" "), RateLostFocusAction::ApplySettings);
    // Unchecking runs chkTimerSend_Click, which applies the settings.
    const auto result = ApplyTimerSettings({false, "", 0, "Seconds"});
    EXPECT_EQ(result.rateText, "30");
    EXPECT_FALSE(result.fieldsEnabled);
    EXPECT_EQ(result.countdown, std::nullopt);
    EXPECT_EQ(ApplyTimerSettings({true, "", 0, "Seconds"}).countdown, 30000);
}

TEST(Schedule, RateTextReadAsAWholeNumberOrTreatedAsEmpty)
{
    EXPECT_EQ(armed(" 45 "), 45000);
    EXPECT_EQ(armed("+4"), 4000);
    EXPECT_EQ(armed("007"), 7000);
    EXPECT_EQ(armed("2.5"), 2000);
    EXPECT_EQ(armed("3.5"), 4000);
    EXPECT_EQ(armed("2.50001"), 3000);
    EXPECT_EQ(armed("2.4999"), 2000);
    EXPECT_EQ(armed("-2.5"), -2000);
    EXPECT_EQ(armed(".5"), 0);
    EXPECT_EQ(armed("4."), 4000);
    EXPECT_EQ(armed("700", 2), 2520000000); // beyond 32 bits
    for (const std::string bad :
         {"", " ", "1e9", "abc", "12abc", "1.2.3", "-", ".", "1,5", "- 5"}) {
        SCOPED_TRACE(bad);
        const auto result = ApplyTimerSettings({true, bad, 0, "Seconds"});
        EXPECT_EQ(result.rateText, "30");
        EXPECT_EQ(result.countdown, 30000);
    }
    EXPECT_EQ(ApplyTimerSettings({true, " 45 ", 0, ""}).rateText, " 45 ");

    // The largest rate of hours that fits, one more, and numbers past 64 bits.
    EXPECT_EQ(armed("2562047788015", 2), 2562047788015 * 3600000);
    EXPECT_EQ(armed("-2562047788015", 2), -2562047788015 * 3600000);
    for (const std::string huge :
         {"2562047788016", "-2562047788016", "9223372036854775808", "99999999999999999999999"}) {
        SCOPED_TRACE(huge);
        const auto result = ApplyTimerSettings({true, huge, 2, "Hours"});
        EXPECT_EQ(result.rateText, "30");
        EXPECT_EQ(result.countdown, 30 * 3600000);
    }
}
