// SPDX-License-Identifier: MIT
#include "core/app/retry_schedule.h"
#include "core/mail/debug_log_limit.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

using namespace pellwick;

TEST(RetrySchedule, CaptionRoundsUpToWholeSecondsOrMinutes)
{
    EXPECT_EQ(RetryCaption(30000), "Retrying in 30 s");
    EXPECT_EQ(RetryCaption(60000), "Retrying in 1 min");
    EXPECT_EQ(RetryCaption(60001), "Retrying in 2 min");
}

TEST(DebugLogLimit, KeepsTheNewestTextFromALineStart)
{
    using Row = std::tuple<std::string, std::string, std::size_t, std::string>;
    for (const auto &[before, text, limit, kept] : {
             Row {"", "abc\r\n", 5, "abc\r\n"}, // exactly at the limit: nothing goes
             Row {"ab\r\n", "cd\r\n", 7, "cd\r\n"}, // one byte over: the whole first line goes
             Row {"a\nbb\nccc\n", "d\n", 6, "ccc\nd\n"},
             Row {"", "one line far too long\n", 4, ""}, // no line fits: nothing half kept
             Row {"x\n", "no break at the end", 19, "no break at the end"},
         }) {
        std::string log = before;
        const std::string dropped = AppendToBoundedLog(log, text, limit);
        EXPECT_EQ(log, kept) << before << "|" << text;
        EXPECT_EQ(dropped + log, before + text);
    }
}
