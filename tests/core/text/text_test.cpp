// SPDX-License-Identifier: MIT
#include "core/text/text.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>

using namespace pellwick;

TEST(Text, WholeNumbersClampAndCutsKeepCharactersWhole)
{
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    using Row = std::pair<const char *, std::optional<std::int64_t>>;
    for (const auto &[text, number] :
         {Row {"42", 42}, Row {"-0", 0}, Row {"+7", 7}, Row {"", {}}, Row {"-", {}}, Row {" 1", {}},
          Row {"1x", {}}, Row {"99999999999999999999", kMax}, Row {"-99999999999999999999", -kMax}})
        EXPECT_EQ(ParseWholeNumber(text), number) << text;
    EXPECT_EQ(Utf8CutLength("ab\xE2\x82\xAC", 4), 2U);
    EXPECT_EQ(Utf8CutLength("ab\xE2\x82\xAC", 5), 5U);
}
