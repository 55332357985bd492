#include "core/app/retry_schedule.h"
#include "core/mail/debug_log_limit.h"

#include <gtest/gtest.h>

#include <string>

using namespace pellwick;

TEST(RetrySchedule, BacksOffToEveryFifteenMinutes)
{
    const std::int64_t expected[] = {30, 60, 120, 240, 480, 900, 900, 900};
    for (int failures = 1; failures <= 8; ++failures)
        EXPECT_EQ(RetryDelayMs(failures), expected[failures - 1] * 1000) << failures;
    EXPECT_EQ(RetryCaption(30000), "Retrying in 30 s");
    EXPECT_EQ(RetryCaption(1), "Retrying in 1 s");
    EXPECT_EQ(RetryCaption(60000), "Retrying in 1 min");
    EXPECT_EQ(RetryCaption(60001), "Retrying in 2 min");
    EXPECT_EQ(RetryCaption(900000), "Retrying in 15 min");
}

TEST(DebugLogLimit, KeepsTheNewestTextFromALineStart)
{
    struct Case
    {
        std::string log, text;
        std::size_t limit;
        std::string kept;
    };
    const Case cases[] = {
        {"", "abc\r\n", 5, "abc\r\n"}, // exactly at the limit: nothing goes
        {"ab\r\n", "cd\r\n", 8, "ab\r\ncd\r\n"},
        {"ab\r\n", "cd\r\n", 7, "cd\r\n"}, // one byte over: the whole first line goes
        {"a\nbb\nccc\n", "d\n", 9, "bb\nccc\nd\n"},
        {"a\nbb\nccc\n", "d\n", 6, "ccc\nd\n"},
        {"", "one line far too long\n", 4, ""}, // no line fits: nothing half kept
        {"x\n", "no break at the end", 19, "no break at the end"},
    };
    for (const Case &c : cases) {
        std::string log = c.log;
        const std::string dropped = AppendToBoundedLog(log, c.text, c.limit);
        EXPECT_EQ(log, c.kept) << c.log << "|" << c.text;
        EXPECT_EQ(dropped + log, c.log + c.text);
    }
}
