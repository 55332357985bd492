#include "core/text/text.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>

using namespace pellwick;

TEST(Text, TrimFoldAndParseWholeNumbers)
{
    EXPECT_EQ(Trim("  a b  "), "a b");
    EXPECT_EQ(Trim(" \t a\t", " \t"), "a");
    EXPECT_EQ(TrimStart("  a  "), "a  ");
    EXPECT_EQ(TrimEnd("  a  "), "  a");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_TRUE(EqualsIgnoringAsciiCase("MiNuTeS", "minutes"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("\xC3\x89", "\xC3\xA9"));
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    using Row = std::pair<const char *, std::optional<std::int64_t>>;
    for (const auto &[text, number] :
         {Row {"42", 42}, Row {"-0", 0}, Row {"+7", 7}, Row {"", {}}, Row {"-", {}}, Row {" 1", {}},
          Row {"1x", {}}, Row {"99999999999999999999", kMax}, Row {"-99999999999999999999", -kMax}})
        EXPECT_EQ(ParseWholeNumber(text), number) << text;
}

TEST(Text, HalvesRoundToEvenAndCutsKeepCharactersWhole)
{
    EXPECT_EQ(RoundHalfToEven(2, 500, 1000), 2U);
    EXPECT_EQ(RoundHalfToEven(3, 500, 1000), 4U);
    EXPECT_EQ(RoundHalfToEven(3, 499, 1000), 3U);
    EXPECT_EQ(RoundHalfToEven(3, 501, 1000), 4U);
    EXPECT_EQ(Utf8CutLength("abc", 5), 3U);
    EXPECT_EQ(Utf8CutLength("ab\xC3\xA9", 3), 2U);
    EXPECT_EQ(Utf8CutLength("ab\xE2\x82\xAC", 4), 2U);
    EXPECT_EQ(Utf8CutLength("ab\xE2\x82\xAC", 5), 5U);
}
