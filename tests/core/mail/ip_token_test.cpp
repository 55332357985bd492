#include "core/mail/ip_token.h"

#include <gtest/gtest.h>

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
    // An empty IP makes the token disappear.
    EXPECT_EQ(ReplaceIpToken("is [IPADDRESS]!", ""), "is !");
    EXPECT_EQ(ReplaceIpToken("", "1.2.3.4"), "");
}

TEST(IpToken, WritesTheTokenAtTheCaretLikeTheButton)
{
    // The caret after the fifth character, nothing selected.
    EXPECT_EQ(InsertTokenAtCaret(u"Hello world", 5, u""), u"Hello[IPADDRESS] world");
    // A selected word whose first occurrence is the selection itself.
    EXPECT_EQ(InsertTokenAtCaret(u"my old ip, old", 3, u"old"), u"my [IPADDRESS] ip, old");
    // The second of two equal words selected: the first one goes, and the token
    // lands at the old caret, which is now past the end.
    EXPECT_EQ(InsertTokenAtCaret(u"abc abc", 4, u"abc"), u" abc[IPADDRESS]");
    // The caret at the very end, at the start, and far beyond the end.
    EXPECT_EQ(InsertTokenAtCaret(u"IP: ", 4, u""), u"IP: [IPADDRESS]");
    EXPECT_EQ(InsertTokenAtCaret(u"is new", 0, u""), u"[IPADDRESS]is new");
    EXPECT_EQ(InsertTokenAtCaret(u"", 9, u""), u"[IPADDRESS]");
    // A selection that no longer occurs removes nothing.
    EXPECT_EQ(InsertTokenAtCaret(u"abc", 1, u"xyz"), u"a[IPADDRESS]bc");
}
