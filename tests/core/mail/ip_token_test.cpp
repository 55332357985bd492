// SPDX-License-Identifier: MIT
#include "core/mail/ip_token.h"

#include <gtest/gtest.h>

#include <tuple>
using pellwick::InsertTokenAtCaret;
using pellwick::ReplaceIpToken;

TEST(IpToken, ReplacesEveryExactTokenAndNothingElse)
{
    EXPECT_EQ(ReplaceIpToken("IP [IPADDRESS] and [IPADDRESS].", "10.0.0.7"),
              "IP 10.0.0.7 and 10.0.0.7.");
    EXPECT_EQ(ReplaceIpToken("[ipaddress] [IP ADDRESS] [IPADDRESS", "10.0.0.7"),
              "[ipaddress] [IP ADDRESS] [IPADDRESS");
    // Left to right without overlap, and the replacement is never scanned again.
    EXPECT_EQ(ReplaceIpToken("[[IPADDRESS]IPADDRESS]]", "[IPADDRESS]"), "[[IPADDRESS]IPADDRESS]]");
    EXPECT_EQ(ReplaceIpToken("[IPADDRESS][IPADDRESS]", "1"), "11");
    EXPECT_EQ(pellwick::ReplaceTokens("[PUBLICIPADDRESS] [IPADDRESS]", {"10.0.0.7"}),
              "unknown 10.0.0.7");
    // An empty IP makes the token disappear.
    EXPECT_EQ(ReplaceIpToken("is [IPADDRESS]!", ""), "is !");
}

TEST(IpToken, PutsTheTokenInPlaceOfTheSelectionOrAtTheCaret)
{
    using Row = std::tuple<const char *, std::size_t, std::size_t, const char *>;
    for (const auto &[text, start, length, result] : {
             Row {"Hello world", 5, 0, "Hello[IPADDRESS] world"},
             Row {"my old ip, old", 3, 3, "my [IPADDRESS] ip, old"},
             // The second of two equal words: that one goes, in its place.
             Row {"abc abc", 4, 3, "abc [IPADDRESS]"},
             Row {"is new", 0, 0, "[IPADDRESS]is new"},
             Row {"", 9, 0, "[IPADDRESS]"},
             Row {"abc", 1, 99, "a[IPADDRESS]"},
         })
        EXPECT_EQ(InsertTokenAtCaret(text, start, length), result) << text;
}
